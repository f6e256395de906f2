#include "store/CardRows.h"

#include "store/Connection.h"

#include <algorithm>

namespace {

// Statements are cached by text, so each shape of query is its own constant. The skipped rows
// are passed over inside the engine, without being read out.
constexpr const char* kAllUpward = "SELECT Numero, Titre FROM TrucPivane WHERE Numero >= ?1 "
                                   "ORDER BY Numero LIMIT ?3 OFFSET ?4";
constexpr const char* kCategoryUpward = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?2 "
                                        "AND Numero >= ?1 ORDER BY Numero LIMIT ?3 OFFSET ?4";
constexpr const char* kAllDownward = "SELECT Numero, Titre FROM TrucPivane WHERE Numero <= ?1 "
                                     "ORDER BY Numero DESC LIMIT ?3 OFFSET ?4";
constexpr const char* kCategoryDownward = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?2 "
                                          "AND Numero <= ?1 ORDER BY Numero DESC LIMIT ?3 "
                                          "OFFSET ?4";
constexpr const char* kAllEach = "SELECT Numero, Titre FROM TrucPivane WHERE Numero <= ?1 "
                                 "ORDER BY Numero";
constexpr const char* kCategoryEach = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?2 "
                                      "AND Numero <= ?1 ORDER BY Numero";
constexpr const char* kAllHolding = "SELECT Numero, Titre FROM TrucPivane WHERE Numero <= ?1 "
                                    "AND instr(Titre, ?3) > 0 ORDER BY Numero";
constexpr const char* kCategoryHolding = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = ?2 "
                                         "AND Numero <= ?1 AND instr(Titre, ?3) > 0 "
                                         "ORDER BY Numero";
constexpr const char* kTitleOf = "SELECT Titre FROM TrucPivane WHERE Numero = ?1";

} // namespace

SelectionRows::SelectionRows(std::shared_ptr<Connection> connection, bool allCards, QString code)
    : connection_(std::move(connection)), allCards_(allCards), code_(std::move(code)) {}

std::vector<CardRow> SelectionRows::Read(const char* sql, qint64 numero, qint64 skip,
                                         qint64 count) {
    std::vector<CardRow> rows;
    if (count <= 0)
        return rows;
    Statement read(Db(), sql);
    read.Bind(1, numero).Bind(3, count).Bind(4, skip);
    if (!allCards_)
        read.Bind(2, code_);
    rows.reserve(std::size_t(count));
    while (read.Step())
        rows.push_back({read.Int64(0), read.View(1).toByteArray()});
    return rows;
}

std::vector<CardRow> SelectionRows::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(allCards_ ? kAllUpward : kCategoryUpward, from, skip, count);
}

std::vector<CardRow> SelectionRows::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(allCards_ ? kAllDownward : kCategoryDownward, to, skip, count);
}

void SelectionRows::Each(qint64 to, const std::function<void(qint64, QByteArrayView)>& take,
                         const std::optional<QByteArray>& keyword) {
    const char* sql = keyword ? (allCards_ ? kAllHolding : kCategoryHolding)
                              : (allCards_ ? kAllEach : kCategoryEach);
    Statement read(Db(), sql);
    read.Bind(1, to);
    if (!allCards_)
        read.Bind(2, code_);
    if (keyword)
        read.Bind(3, QString::fromUtf8(*keyword));
    while (read.Step())
        take(read.Int64(0), read.View(1));
}

ListedRows::ListedRows(std::shared_ptr<Connection> connection, std::vector<qint64> numbers)
    : connection_(std::move(connection)), numbers_(std::move(numbers)) {}

// A card that another program removed since the list was made is passed over.
void ListedRows::Append(std::vector<CardRow>& rows, qint64 numero) const {
    Statement read(*connection_, kTitleOf);
    read.Bind(1, numero);
    if (read.Step())
        rows.push_back({numero, read.View(0).toByteArray()});
}

std::vector<CardRow> ListedRows::Upward(qint64 from, qint64 skip, qint64 count) {
    std::vector<CardRow> rows;
    const auto begin = std::lower_bound(numbers_.begin(), numbers_.end(), from);
    const qint64 available = numbers_.end() - begin;
    for (qint64 i = skip; i < std::min(available, skip + count); ++i)
        Append(rows, begin[i]);
    return rows;
}

std::vector<CardRow> ListedRows::Downward(qint64 to, qint64 skip, qint64 count) {
    std::vector<CardRow> rows;
    const auto end = std::upper_bound(numbers_.begin(), numbers_.end(), to);
    const qint64 available = end - numbers_.begin();
    for (qint64 i = skip; i < std::min(available, skip + count); ++i)
        Append(rows, end[-1 - i]);
    return rows;
}
