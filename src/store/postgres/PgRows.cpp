#include "store/postgres/PgRows.h"

#include "store/TextSearch.h"
#include "store/TitleCase.h"
#include "store/postgres/PgSql.h"

#include <QSet>
#include <algorithm>

namespace {

QString Kept(PgDoing doing) {
    return doing == PgDoing::Writing ? QStringLiteral("rien n'a été enregistré")
                                     : QStringLiteral("rien n'a été modifié");
}

// SQLSTATE classes and codes that call for their own advice.
bool IsRefusedRight(const QString& state) {
    return state == QLatin1String("42501") || state == QLatin1String("25006");
}

bool IsBusy(const QString& state) {
    return state == QLatin1String("55P03") || state == QLatin1String("40001") ||
           state == QLatin1String("40P01");
}

bool IsFull(const QString& state) {
    return state.startsWith(QLatin1String("53"));
}

} // namespace

StoreError NotReached(const QString& server, const QString& reason) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("Pivanes n'a pas pu se connecter au serveur PostgreSQL "
                                     "« %1 » : la collection partagée n'est pas ouverte. Vérifiez "
                                     "que le serveur est démarré et joignable, que la base existe "
                                     "et que votre rôle y est admis (mot de passe dans "
                                     "~/.pgpass) ; « pivanes --local » ouvre la collection de "
                                     "ce poste.")
                          .arg(server),
                      reason);
}

StoreError PgServer::Translated(const PgFailure& failure, PgDoing doing) const {
    using Kind = StoreError::Kind;
    switch (failure.kind()) {
    case PgFailure::Kind::Closed:
        return StoreError::CollectionClosed();
    case PgFailure::Kind::NotConnected:
        return StoreError(Kind::Failed,
                          QStringLiteral("Le serveur PostgreSQL « %1 » ne répond plus : %2. "
                                         "Vérifiez qu'il est démarré et joignable, puis "
                                         "recommencez : Pivanes s'y reconnecte à la commande "
                                         "suivante.")
                              .arg(name, Kept(doing)),
                          failure.reason());
    case PgFailure::Kind::ConnectionLost:
        return StoreError(Kind::Failed,
                          QStringLiteral("La connexion au serveur PostgreSQL « %1 » a été "
                                         "coupée : %2. Recommencez : Pivanes s'y reconnecte à la "
                                         "commande suivante.")
                              .arg(name, Kept(doing)),
                          failure.reason());
    case PgFailure::Kind::CommitUnknown:
        return StoreError(Kind::Failed,
                          QStringLiteral("La connexion au serveur PostgreSQL « %1 » a été coupée "
                                         "pendant qu'il confirmait l'enregistrement : il a pu "
                                         "être fait ou non. Rouvrez la fiche ou la liste pour "
                                         "voir ce que la collection contient avant de "
                                         "recommencer.")
                              .arg(name),
                          failure.reason());
    case PgFailure::Kind::Refused:
        break;
    }
    const QString& state = failure.sqlState();
    if (IsRefusedRight(state))
        return StoreError(
            Kind::ReadOnly,
            QStringLiteral("Le serveur PostgreSQL « %1 » refuse cette opération au "
                           "rôle « %2 », qui n'en a pas le droit : %3. Demandez à "
                           "l'administrateur de la base les droits qu'il faut "
                           "(voir « Une collection partagée sur un serveur » dans le guide de "
                           "Pivanes, « Lisez Moi », et « man pivanes »).")
                .arg(name, connection->Role(), Kept(doing)),
            failure.reason());
    if (IsBusy(state))
        return StoreError(Kind::Busy,
                          QStringLiteral("Le serveur PostgreSQL « %1 » est occupé par une autre "
                                         "écriture, une importation ou une restauration peut-être "
                                         ": %2. Recommencez dans un moment.")
                              .arg(name, Kept(doing)),
                          failure.reason());
    if (IsFull(state))
        return StoreError(Kind::DiskError,
                          QStringLiteral("Le serveur PostgreSQL « %1 » manque de place ou de "
                                         "mémoire : %2. Prévenez son administrateur.")
                              .arg(name, Kept(doing)),
                          failure.reason());
    return StoreError(Kind::Failed,
                      QStringLiteral("Le serveur PostgreSQL « %1 » a refusé l'opération : %2.")
                          .arg(name, Kept(doing)),
                      failure.reason());
}

StoredCard StoredCardOf(const PgResult& row, int index) {
    return {row.Int64(index, 0), row.Text(index, 1), row.Text(index, 2), row.Text(index, 3),
            row.Int64(index, 4)};
}

namespace {

std::vector<CardRow> CardRowsOf(const PgResult& result) {
    std::vector<CardRow> rows;
    rows.reserve(std::size_t(result.Rows()));
    for (int i = 0; i < result.Rows(); ++i)
        rows.push_back({result.Int64(i, 0), result.Bytes(i, 1).toByteArray()});
    return rows;
}

} // namespace

PgSelectionRows::PgSelectionRows(PgServer server, Selection selection)
    : server_(std::move(server)), selection_(std::move(selection)) {}

std::vector<CardRow> PgSelectionRows::Read(const char* sql, qint64 numero, qint64 skip,
                                           qint64 count) {
    if (count <= 0)
        return {};
    return server_.Guarded(PgDoing::Reading, [&] {
        PgValues values;
        values.Add(numero).Add(count).Add(skip);
        if (!selection_.IsAllCards())
            values.Add(selection_.Code());
        return CardRowsOf(server_.connection->Run(sql, values));
    });
}

std::vector<CardRow> PgSelectionRows::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? PgSql::kAllUpward : PgSql::kCategoryUpward, from, skip,
                count);
}

std::vector<CardRow> PgSelectionRows::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? PgSql::kAllDownward : PgSql::kCategoryDownward, to, skip,
                count);
}

PgFoundRows::PgFoundRows(PgServer server, Selection selection, QByteArrayView keyword, qint64 upTo)
    : server_(std::move(server)), selection_(std::move(selection)), pattern_(Pattern(keyword)),
      upTo_(upTo) {}

QByteArray PgFoundRows::Pattern(QByteArrayView keyword) {
    QByteArray pattern;
    for (const char32_t c : TitleCase::Characters(keyword)) {
        const std::u32string variants = TitleCase::Variants(c);
        pattern += variants.size() > 1 ? "[" : "";
        for (const char32_t variant : variants)
            pattern += "\\U" + QByteArray::number(uint(variant), 16).rightJustified(8, '0');
        pattern += variants.size() > 1 ? "]" : "";
    }
    return pattern;
}

std::pair<qint64, qint64> PgFoundRows::Count() {
    return server_.Guarded(PgDoing::Reading, [&] {
        PgValues values;
        values.Add(upTo_).AddUtf8(pattern_);
        if (!selection_.IsAllCards())
            values.Add(selection_.Code());
        const PgResult found = server_.connection->RunPlanned(
            selection_.IsAllCards() ? PgSql::kFoundAll : PgSql::kFoundCategory, values);
        return std::pair{found.Int64(0, 0),
                         found.IsNull(0, 1) ? SelectionCount::kNone : found.Int64(0, 1)};
    });
}

std::vector<CardRow> PgFoundRows::Read(const char* sql, qint64 numero, qint64 skip, qint64 count) {
    if (count <= 0)
        return {};
    return server_.Guarded(PgDoing::Reading, [&] {
        PgValues values;
        values.Add(numero).Add(count).Add(skip).AddUtf8(pattern_).Add(upTo_);
        if (!selection_.IsAllCards())
            values.Add(selection_.Code());
        return CardRowsOf(server_.connection->RunPlanned(sql, values));
    });
}

std::vector<CardRow> PgFoundRows::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? PgSql::kFoundAllUpward : PgSql::kFoundCategoryUpward,
                from, skip, count);
}

std::vector<CardRow> PgFoundRows::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? PgSql::kFoundAllDownward : PgSql::kFoundCategoryDownward,
                to, skip, count);
}

namespace {

// What a lexeme and a whole list of lexemes may take on the server (2 KiB and 1 MiB), with room
// to spare.
constexpr qsizetype kLongestLexemeBytes = 2000;
constexpr qsizetype kLexemesBytes = 500000;

// A word as the server's text-search queries take it literally.
QString QuotedLexeme(QString word) {
    word.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    word.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + word + QLatin1Char('\'');
}

QString LikePattern(const QStringList& words, bool prefix) {
    return QLatin1String("% ") + words.join(QLatin1Char(' ')) +
           (prefix ? QLatin1String("%") : QLatin1String(" %"));
}

// A statement planned for its own words sees the bound on numbers; one prepared once hides it.
enum class Planning { Once, ForItsWords };

QByteArray Matches(const Selection& selection, int categoryAt, Planning planning) {
    return QString::fromLatin1(PgSql::kTextMatches)
        .arg(selection.IsAllCards() ? QString()
                                    : QString::fromLatin1(PgSql::kMatchInCategory).arg(categoryAt),
             planning == Planning::Once ? QStringLiteral(" + 0") : QString())
        .toLatin1();
}

QByteArray TextsFound(const Selection& selection, Planning planning) {
    return QString::fromLatin1(PgSql::kTextsFound)
        .arg(QString::fromLatin1(Matches(selection, 6, planning)))
        .toLatin1();
}

} // namespace

FoldedWords FoldedWordsOf(const std::optional<QString>& title, const std::optional<QString>& text) {
    FoldedWords folded{TextFolding::Words(title.value_or(QString())) +
                           TextFolding::Words(text.value_or(QString())),
                       std::nullopt};
    QSet<QStringView> seen;
    QString lexemes;
    for (const QStringView word :
         QStringView(folded.words).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.toUtf8().size() > kLongestLexemeBytes)
            return folded;
        if (!seen.contains(word)) {
            seen.insert(word);
            if (!lexemes.isEmpty())
                lexemes += QLatin1Char(' ');
            lexemes += word;
        }
    }
    if (lexemes.toUtf8().size() <= kLexemesBytes)
        folded.lexemes = lexemes;
    return folded;
}

PgTextRows::PgTextRows(PgServer server, Selection selection, const TextQuery& query, qint64 upTo)
    : server_(std::move(server)), selection_(std::move(selection)), upTo_(upTo) {
    QStringList lexemes, phrases, every;
    for (const TextQuery::Term& term : query.Terms()) {
        for (const QString& word : term.words)
            lexemes << QuotedLexeme(word) + (term.prefix ? QLatin1String(":*") : QLatin1String());
        if (term.words.size() > 1)
            phrases << LikePattern(term.words, false);
        every << LikePattern(term.words, term.prefix);
    }
    lexemes_ = lexemes.join(QLatin1String(" & "));
    phrases_ = phrases.join(QLatin1Char('\n'));
    everyPattern_ = every.join(QLatin1Char('\n'));
}

PgValues PgTextRows::Values() const {
    PgValues values;
    values.Add(upTo_).Add(lexemes_).Add(phrases_).Add(everyPattern_);
    return values;
}

// Prepared once: planning the statement for each keyword (the estimates of its LIKE patterns
// read the statistics of every card's words) took ten times as long as running it, and every
// keyword is best found the same way, through the index of lexemes. A keyword that finds many
// cards is planned for its own words, which lets the server share the reading among its workers.
PgTextRows::Found PgTextRows::Search(bool manyFound) {
    // The grid's first page.
    constexpr qint64 kRowsAhead = 300;
    static const QByteArray all = TextsFound(Selection::AllCards(), Planning::Once);
    static const QByteArray category = TextsFound(Selection::Category(QString()), Planning::Once);
    static const QByteArray manyInAll = TextsFound(Selection::AllCards(), Planning::ForItsWords);
    static const QByteArray manyInCategory =
        TextsFound(Selection::Category(QString()), Planning::ForItsWords);
    return server_.Guarded(PgDoing::Reading, [&] {
        PgValues values = Values();
        values.Add(kRowsAhead);
        if (!selection_.IsAllCards())
            values.Add(selection_.Code());
        PgConnection& connection = *server_.connection;
        const PgResult found =
            manyFound
                ? connection.InTransaction(PgSql::kBeginManyFound,
                                           [&] {
                                               return connection.RunPlanned(
                                                   selection_.IsAllCards()
                                                       ? manyInAll.constData()
                                                       : manyInCategory.constData(),
                                                   values);
                                           })
                : connection.Run((selection_.IsAllCards() ? all : category).constData(), values);
        ahead_.clear();
        for (int row = 0; row < found.Rows() && !found.IsNull(row, 3); ++row)
            ahead_.push_back({found.Int64(row, 3), found.Bytes(row, 4).toByteArray()});
        const qint64 count = found.Int64(0, 1);
        allAhead_ = qint64(ahead_.size()) == count;
        return Found{found.Bytes(0, 0) == "t", count,
                     found.IsNull(0, 2) ? SelectionCount::kNone : found.Int64(0, 2)};
    });
}

std::optional<std::vector<CardRow>> PgTextRows::Ahead(qint64 from, qint64 skip,
                                                      qint64 count) const {
    const auto first =
        std::lower_bound(ahead_.begin(), ahead_.end(), from,
                         [](const CardRow& row, qint64 numero) { return row.numero < numero; });
    const qint64 start = qint64(first - ahead_.begin()) + skip;
    const qint64 held = qint64(ahead_.size());
    if (start + count > held && !allAhead_)
        return std::nullopt;
    const qint64 end = std::min(start + count, held);
    if (start >= end)
        return std::vector<CardRow>{};
    return std::vector<CardRow>(ahead_.begin() + start, ahead_.begin() + end);
}

std::vector<CardRow> PgTextRows::Read(const QByteArray& sql, qint64 numero, qint64 skip,
                                      qint64 count) {
    if (count <= 0)
        return {};
    return server_.Guarded(PgDoing::Reading, [&] {
        PgValues values = Values();
        values.Add(numero).Add(count).Add(skip);
        if (!selection_.IsAllCards())
            values.Add(selection_.Code());
        return CardRowsOf(server_.connection->RunPlanned(sql.constData(), values));
    });
}

namespace {

QByteArray TextRows(const Selection& selection, const char* from, const char* order) {
    return QString::fromLatin1(PgSql::kTextRows)
        .arg(QString::fromLatin1(Matches(selection, 8, Planning::Once)), QString::fromLatin1(from),
             QString::fromLatin1(order))
        .toLatin1();
}

} // namespace

std::vector<CardRow> PgTextRows::Upward(qint64 from, qint64 skip, qint64 count) {
    if (std::optional<std::vector<CardRow>> held = Ahead(from, skip, count))
        return *std::move(held);
    static const QByteArray all = TextRows(Selection::AllCards(), ">=", "");
    static const QByteArray category = TextRows(Selection::Category(QString()), ">=", "");
    return Read(selection_.IsAllCards() ? all : category, from, skip, count);
}

std::vector<CardRow> PgTextRows::Downward(qint64 to, qint64 skip, qint64 count) {
    static const QByteArray all = TextRows(Selection::AllCards(), "<=", "DESC");
    static const QByteArray category = TextRows(Selection::Category(QString()), "<=", "DESC");
    return Read(selection_.IsAllCards() ? all : category, to, skip, count);
}
