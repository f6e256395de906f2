#include "Baseline.h"

#include <QCoreApplication>
#include <QFile>
#include <dlfcn.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

struct Query {
    Query(sqlite3* connection, const char* sql) : db(connection) {
        Check(db, sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr));
    }
    ~Query() { sqlite3_finalize(stmt); }
    bool Step() {
        const int rc = sqlite3_step(stmt);
        Check(db, rc);
        return rc == SQLITE_ROW;
    }
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
};

class SqliteBaseline : public Baseline {
public:
    explicit SqliteBaseline(const QString& file);
    SqliteBaseline(const SqliteBaseline&) = delete;
    SqliteBaseline& operator=(const SqliteBaseline&) = delete;
    ~SqliteBaseline() override;

    qint64 OpenAndCount(const QString& code) override;
    qint64 ReadCard(qint32 numero) override;
    qint64 CollectTitles(const QString& keyword) override;
    qint64 ReadPage(const QString& code, qint64 from, int rows) override;
    void InsertCard() override;
    void UpdateCard(qint32 numero, const QString& text) override;
    void Vacuum() override;
    // A byte copy of the file, flushed to the disk.
    void Backup(const QString& target) override;

private:
    QString file_;
    sqlite3* db_ = nullptr;
};

SqliteBaseline::SqliteBaseline(const QString& file) : file_(file) {
    Check(db_, sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr));
    sqlite3_exec(db_, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
}

SqliteBaseline::~SqliteBaseline() {
    sqlite3_close(db_);
}

qint64 SqliteBaseline::OpenAndCount(const QString& code) {
    const QByteArray utf8 = code.toUtf8();
    Query count(db_, code.isEmpty() ? "SELECT COUNT(*) FROM TrucPivane"
                                    : "SELECT COUNT(*) FROM TrucPivane WHERE Cate = ?1");
    Query first(db_, code.isEmpty() ? "SELECT Numero, Titre FROM TrucPivane ORDER BY Numero LIMIT 1"
                                    : "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?1 "
                                      "ORDER BY Numero LIMIT 1");
    if (!code.isEmpty()) {
        sqlite3_bind_text(count.stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
        sqlite3_bind_text(first.stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    }
    count.Step();
    first.Step();
    return sqlite3_column_int64(count.stmt, 0) + sqlite3_column_int64(first.stmt, 0);
}

qint64 SqliteBaseline::ReadCard(qint32 numero) {
    Query read(db_, "SELECT Titre, Pivanes FROM TrucPivane WHERE Numero = ?1");
    sqlite3_bind_int(read.stmt, 1, numero);
    if (!read.Step())
        return 0;
    const std::string title(reinterpret_cast<const char*>(sqlite3_column_text(read.stmt, 0)));
    const std::string text(reinterpret_cast<const char*>(sqlite3_column_text(read.stmt, 1)));
    return qint64(title.size()) + qint64(text.size());
}

qint64 SqliteBaseline::CollectTitles(const QString& keyword) {
    const QByteArray utf8 = keyword.toUtf8();
    Query all(db_, "SELECT Numero, Titre FROM TrucPivane WHERE instr(lower(Titre), lower(?1)) > 0 "
                   "ORDER BY Numero");
    sqlite3_bind_text(all.stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    std::vector<qint32> numbers;
    std::vector<std::string> titles;
    while (all.Step()) {
        numbers.push_back(sqlite3_column_int(all.stmt, 0));
        titles.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(all.stmt, 1)));
    }
    return qint64(numbers.size());
}

qint64 SqliteBaseline::ReadPage(const QString& code, qint64 from, int rows) {
    const QByteArray utf8 = code.toUtf8();
    Query page(db_, code.isEmpty() ? "SELECT Numero, Titre FROM TrucPivane WHERE Numero >= ?1 "
                                     "ORDER BY Numero LIMIT ?3"
                                   : "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?2 AND "
                                     "Numero >= ?1 ORDER BY Numero LIMIT ?3");
    sqlite3_bind_int64(page.stmt, 1, from);
    if (!code.isEmpty())
        sqlite3_bind_text(page.stmt, 2, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    sqlite3_bind_int(page.stmt, 3, rows);
    std::vector<qint32> numbers;
    std::vector<std::string> titles;
    while (page.Step()) {
        numbers.push_back(sqlite3_column_int(page.stmt, 0));
        titles.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(page.stmt, 1)));
    }
    return qint64(numbers.size());
}

void SqliteBaseline::InsertCard() {
    Query insert(db_, "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                      "VALUES ((SELECT max(Numero) FROM TrucPivane) + 1, 'WIN', 'MESURE', "
                      "'Texte de mesure')");
    insert.Step();
}

void SqliteBaseline::UpdateCard(qint32 numero, const QString& text) {
    Query update(db_, "UPDATE TrucPivane SET Pivanes = ?2 WHERE Numero = ?1");
    sqlite3_bind_int(update.stmt, 1, numero);
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(update.stmt, 2, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    update.Step();
}

void SqliteBaseline::Vacuum() {
    Query vacuum(db_, "VACUUM");
    vacuum.Step();
}

void SqliteBaseline::Backup(const QString& target) {
    QFile::remove(target);
    if (!QFile::copy(file_, target))
        throw std::runtime_error("copy failed");
    const int fd = ::open(QFile::encodeName(target).constData(), O_RDONLY);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!flushed)
        throw std::runtime_error("flush failed");
}

} // namespace

std::unique_ptr<Baseline> Baseline::OnFile(const QString& file) {
    return std::make_unique<SqliteBaseline>(file);
}

std::unique_ptr<Baseline> Baseline::OnServer(const QString& connection) {
    const QString module = QCoreApplication::applicationDirPath() + "/pivanes-bench-pg.so";
    void* handle = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error(dlerror());
    using Make = Baseline* (*)(const QString&);
    const auto make = reinterpret_cast<Make>(dlsym(handle, "pivanes_bench_pg_baseline"));
    if (!make)
        throw std::runtime_error(dlerror());
    return std::unique_ptr<Baseline>(make(connection));
}
