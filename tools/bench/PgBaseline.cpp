// Plain PostgreSQL through libpq, on the table the program keeps on the server, with none of the
// program's own tables and indexes beside it: what a program that stores the same cards in the
// plainest way would do. A module of its own, loaded only for the server's measures, as the
// program loads its server engine: the measures of a local collection map no libpq.
#include "Baseline.h"

#include <QFile>
#include <fcntl.h>
#include <libpq-fe.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Clear {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, Clear>;

class PgBaseline : public Baseline {
public:
    explicit PgBaseline(const QString& connection)
        : db_(PQconnectdb(connection.toUtf8().constData())) {
        if (PQstatus(db_) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(db_));
    }
    PgBaseline(const PgBaseline&) = delete;
    PgBaseline& operator=(const PgBaseline&) = delete;
    ~PgBaseline() override { PQfinish(db_); }

    qint64 OpenAndCount(const QString& code) override {
        const Result count = code.isEmpty()
                                 ? Run("SELECT count(*), min(numero) FROM trucpivane", {})
                                 : Run("SELECT count(*), min(numero) FROM trucpivane "
                                       "WHERE cate = $1",
                                       {code.toUtf8()});
        return Number(count, 0, 0) + Number(count, 0, 1);
    }

    qint64 ReadCard(qint32 numero) override {
        const Result read = Run("SELECT titre, pivanes FROM trucpivane WHERE numero = $1",
                                {QByteArray::number(numero)});
        return PQgetlength(read.get(), 0, 0) + PQgetlength(read.get(), 0, 1);
    }

    // The count of the titles that hold the keyword whatever the case, which the grid needs
    // first.
    qint64 CollectTitles(const QString& keyword) override {
        const Result count =
            Run("SELECT count(*) FROM trucpivane WHERE strpos(lower(titre), lower($1)) > 0",
                {keyword.toUtf8()});
        return Number(count, 0, 0);
    }

    qint64 ReadPage(const QString& code, qint64 from, int rows) override {
        const Result page =
            code.isEmpty()
                ? Run("SELECT numero, titre FROM trucpivane WHERE numero >= $1 ORDER BY numero "
                      "LIMIT $2",
                      {QByteArray::number(from), QByteArray::number(rows)})
                : Run("SELECT numero, titre FROM trucpivane WHERE numero >= $1 AND cate = $3 "
                      "ORDER BY numero LIMIT $2",
                      {QByteArray::number(from), QByteArray::number(rows), code.toUtf8()});
        std::vector<qint64> numbers;
        std::vector<std::string> titles;
        for (int row = 0; row < PQntuples(page.get()); ++row) {
            numbers.push_back(Number(page, row, 0));
            titles.emplace_back(PQgetvalue(page.get(), row, 1));
        }
        return qint64(numbers.size());
    }

    void InsertCard() override {
        Run("INSERT INTO trucpivane (numero, cate, titre, pivanes) SELECT max(numero) + 1, 'WIN', "
            "'MESURE', 'Texte de mesure' FROM trucpivane",
            {});
    }

    void UpdateCard(qint32 numero, const QString& text) override {
        Run("UPDATE trucpivane SET pivanes = $2 WHERE numero = $1",
            {QByteArray::number(numero), text.toUtf8()});
    }

    void Vacuum() override { Run("VACUUM (ANALYZE) trucpivane", {}); }

    // The rows in COPY's text form, written to the file and flushed.
    void Backup(const QString& target) override {
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("backup file not opened");
        const Result start(PQexec(db_, "COPY trucpivane (numero, cate, titre, pivanes) TO STDOUT"));
        if (PQresultStatus(start.get()) != PGRES_COPY_OUT)
            throw std::runtime_error(PQerrorMessage(db_));
        char* line = nullptr;
        int length = 0;
        while ((length = PQgetCopyData(db_, &line, 0)) > 0) {
            file.write(line, length);
            PQfreemem(line);
        }
        const Result end(PQgetResult(db_));
        file.flush();
        if (PQresultStatus(end.get()) != PGRES_COMMAND_OK || ::fsync(file.handle()) != 0)
            throw std::runtime_error("backup not written");
    }

private:
    Result Run(const char* sql, const std::vector<QByteArray>& values) {
        std::vector<const char*> pointers;
        pointers.reserve(values.size());
        for (const QByteArray& value : values)
            pointers.push_back(value.constData());
        Result result(PQexecParams(db_, sql, int(values.size()), nullptr, pointers.data(), nullptr,
                                   nullptr, 0));
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            throw std::runtime_error(PQerrorMessage(db_));
        return result;
    }

    static qint64 Number(const Result& result, int row, int column) {
        return std::strtoll(PQgetvalue(result.get(), row, column), nullptr, 10);
    }

    PGconn* db_;
};

} // namespace

extern "C" Q_DECL_EXPORT Baseline* pivanes_bench_pg_baseline(const QString& connection) {
    return new PgBaseline(connection);
}
