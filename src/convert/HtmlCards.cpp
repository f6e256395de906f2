#include "convert/HtmlCards.h"

#include "store/CategoryCatalogue.h"

#include <map>

namespace {

constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="fr">
<head>
<meta charset="utf-8">
<title>Pivanes : les fiches</title>
<style>
body { font-family: "Liberation Sans", Arial, sans-serif; max-width: 50em; margin: 1em auto; padding: 0 1em; }
h2 { border-bottom: 2px solid #008; color: #008; }
article { break-inside: avoid; margin-bottom: 1.5em; }
h3 { margin-bottom: 0.3em; }
.texte { white-space: pre-wrap; font-family: "Liberation Mono", "Courier New", monospace; margin: 0; }
@media print { section { break-before: page; } section:first-of-type { break-before: auto; } }
</style>
</head>
<body>
)";

QString Escaped(const std::optional<QString>& text) {
    QString shown = text.value_or(QString()).toHtmlEscaped();
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

class HtmlWriter : public CardText::FileCardWriter {
public:
    using FileCardWriter::FileCardWriter;

    // Cards come in ascending number, each category's section is written whole at the end.
    void Add(const StoredCard& card) override {
        const QString code = card.cate.value_or(QString());
        const QString name = CardText::CategoryName(card.cate);
        Section& section = sections_[OrderOf(code)][code];
        section.name = name.isEmpty()
                           ? (code.isEmpty() ? QStringLiteral("Sans catégorie")
                                             : QStringLiteral("Catégorie « %1 »").arg(code))
                           : name;
        ++section.cards;
        section.html += QStringLiteral("<article id=\"fiche-%1\">\n<h3>N° %1 : %2</h3>\n"
                                       "<p class=\"texte\">%3</p>\n</article>\n")
                            .arg(card.numero)
                            .arg(Escaped(card.titre), Escaped(card.pivanes))
                            .toUtf8();
        ++cards_;
    }

    void Finish() override {
        Put(kHead);
        Put(QStringLiteral("<h1>Pivanes : %1 fiche(s)</h1>\n").arg(cards_).toUtf8());
        for (const auto& [order, byCode] : sections_)
            for (const auto& [code, section] : byCode) {
                Put(QStringLiteral("<section>\n<h2>%1 (%2 fiche(s))</h2>\n")
                        .arg(section.name.toHtmlEscaped())
                        .arg(section.cards)
                        .toUtf8());
                Put(section.html);
                Put("</section>\n");
            }
        Put("</body>\n</html>\n");
        FileCardWriter::Finish();
    }

private:
    struct Section {
        QString name;
        qint64 cards = 0;
        QByteArray html;
    };

    static int OrderOf(const QString& code) {
        const auto all = CategoryCatalogue::All();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (code == QLatin1String(all[i].code))
                return int(i);
        return int(all.size());
    }

    std::map<int, std::map<QString, Section>> sections_;
    qint64 cards_ = 0;
};

} // namespace

namespace HtmlCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file) {
    return std::make_unique<HtmlWriter>(file);
}

} // namespace HtmlCards
