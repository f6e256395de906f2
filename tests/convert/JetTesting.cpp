#include "JetTesting.h"

#include <QDir>
#include <QtTest>
#include <algorithm>
#include <sqlite3.h>
#include <stdexcept>

QList<JetCard> SampleCards(int count, JetWriter::Version version) {
    const bool unicode = version == JetWriter::Version::Jet4;
    QList<JetCard> cards;
    for (int i = 0; i < count; ++i) {
        JetCard card;
        card.Numero = 10 + 3 * i;
        card.Cate = QStringLiteral("WIN");
        card.Titre = QStringLiteral("Fiche n° %1 : réglage « été » à 5 €").arg(card.Numero);
        card.Pivanes =
            QStringLiteral("Première ligne\r\nDeuxième ligne, cœur\r\n").repeated(1 + i % 4);
        switch (i % 10) {
        case 1: // missing values are not empty ones
            card.Cate.reset();
            card.Titre = QString();
            card.Pivanes.reset();
            break;
        case 2:
            card.Pivanes = QString();
            card.Titre.reset();
            break;
        case 3: // once over 64 KB, chained over many long-value pages
            if (i == 3)
                card.Pivanes = QStringLiteral("Ligne %1 é\r\n").arg(i).repeated(7000);
            break;
        case 4: // one long-value page
            card.Pivanes = QStringLiteral("àéèùç ").repeated(150);
            break;
        case 5:
            card.Titre = unicode ? QStringLiteral("Łódź → ∑ ĀĐ 中文") : QStringLiteral("Œuvre ÿ Ž");
            card.Cate = QStringLiteral("OFFI");
            break;
        case 7: // a Jet 3 row over 256 bytes needs its jump table
            card.Titre = QStringLiteral("Très long titre ").repeated(15);
            card.Pivanes = QStringLiteral("é").repeated(90);
            break;
        case 6: // a lone line feed stays what it is
            card.Pivanes = QStringLiteral("a\nb\r\rc\r\n");
            break;
        default:
            break;
        }
        if (i == 0)
            card.Numero = -7;
        cards.append(card);
    }
    return cards;
}

void WriteJet(const QString& file, JetWriter::Version version, const QList<JetCard>& cards) {
    JetWriter writer(version);
    for (const JetCard& card : cards)
        writer.Add(card);
    writer.Write(file);
}

QList<JetCard> ByNumber(QList<JetCard> cards) {
    std::sort(cards.begin(), cards.end(),
              [](const JetCard& a, const JetCard& b) { return a.Numero < b.Numero; });
    return cards;
}

QList<JetCard> StoredJetCards(const QString& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open the card database");
    }
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT Numero, Cate, Titre, Pivanes FROM TrucPivane ORDER BY Numero",
                       -1, &stmt, nullptr);
    auto text = [&](int column) -> std::optional<QString> {
        if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
            return std::nullopt;
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    };
    QList<JetCard> cards;
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        cards.append({qint32(sqlite3_column_int64(stmt, 0)), text(1), text(2), text(3)});
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return cards;
}

bool operator==(const JetCard& a, const JetCard& b) {
    return a.Numero == b.Numero && a.Cate == b.Cate && a.Titre == b.Titre && a.Pivanes == b.Pivanes;
}

char* toString(const JetCard& card) {
    auto shown = [](const std::optional<QString>& text) {
        return text ? QStringLiteral("\"%1\"").arg(text->left(40)) : QStringLiteral("NULL");
    };
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4 (%5 caractères)}")
                               .arg(card.Numero)
                               .arg(shown(card.Cate), shown(card.Titre), shown(card.Pivanes))
                               .arg(card.Pivanes ? card.Pivanes->size() : 0));
}

QStringList FolderNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
