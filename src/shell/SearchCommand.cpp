#include "shell/SearchCommand.h"

#include "store/StoreError.h"
#include "store/TextSearch.h"

#include <limits>

int RunSearchCommand(const CollectionPlace& place, const QString& keyword, QTextStream& out,
                     QTextStream& err) {
    // Large pages: on a server each page reads every card found again (100,000 cards found in a
    // million took 80 s a thousand at a time).
    constexpr qint64 kPage = 20000;
    try {
        const std::unique_ptr<Collection> collection = Collection::Open(place);
        const FoundCards found = collection->SearchTexts(
            Selection::AllCards(), TextQuery::Parse(keyword), std::numeric_limits<qint64>::max());
        for (qint64 from = std::numeric_limits<qint64>::min();;) {
            const std::vector<CardRow> rows = found.rows->Upward(from, 0, kPage);
            for (const CardRow& row : rows)
                out << row.numero << '\t' << QString::fromUtf8(row.title) << '\n';
            if (qint64(rows.size()) < kPage)
                break;
            from = rows.back().numero + 1;
        }
        out.flush();
        err << (found.count == 1 ? QStringLiteral("1 fiche trouvée.")
                                 : QStringLiteral("%1 fiches trouvées.").arg(found.count))
            << Qt::endl;
        return 0;
    } catch (const StoreError& error) {
        err << error.text() << Qt::endl;
        return 1;
    }
}
