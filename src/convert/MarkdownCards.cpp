#include "convert/MarkdownCards.h"

#include "platform/FileWriter.h"
#include "store/StoreError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace {

constexpr int kNameCharacters = 60;

// A file or folder name that every file system takes: no separator, no control or reserved
// character, no leading dot, and short.
QString SafeName(const QString& text, const QString& fallback) {
    QString name;
    for (const QChar c : text.left(kNameCharacters))
        name += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QChar('_') : c;
    name = name.simplified();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? fallback : name;
}

QString FolderOf(const std::optional<QString>& code) {
    QString name = CardText::CategoryName(code);
    if (!name.isEmpty())
        return name;
    return code && !code->isEmpty() ? SafeName(*code, QStringLiteral("Autre"))
                                    : QStringLiteral("Sans catégorie");
}

class MarkdownWriter : public CardText::Writer {
public:
    explicit MarkdownWriter(const QString& folder) : folder_(folder) {}

    void Add(const StoredCard& card) override {
        const QString sub = FolderOf(card.cate);
        if (!QDir(folder_).mkpath(sub))
            throw StoreError(StoreError::Kind::DiskError,
                             QStringLiteral("Le dossier « %1 » n'a pas pu être créé : rien n'a "
                                            "été exporté.")
                                 .arg(QDir::toNativeSeparators(QDir(folder_).filePath(sub))));
        // The number makes the name unique; the title makes it readable.
        const QString name =
            QStringLiteral("%1 %2.md")
                .arg(card.numero, 6, 10, QLatin1Char('0'))
                .arg(SafeName(card.titre.value_or(QString()), QStringLiteral("fiche")));
        const QByteArray content =
            QByteArrayLiteral("---\nnumero: ") + QByteArray::number(card.numero) +
            QByteArrayLiteral("\ncategorie: ") + card.cate.value_or(QString()).toUtf8() +
            QByteArrayLiteral("\ntitre: ") + CardText::Json(card.titre) +
            QByteArrayLiteral("\n---\n") + card.pivanes.value_or(QString()).toUtf8();
        WriteFileWhole(QDir(folder_).filePath(sub + QLatin1Char('/') + name), content,
                       FileWriter::Flush::NotNeeded);
    }

    void Finish() override {}

private:
    QString folder_;
};

struct CardFile {
    qint64 numero;
    QString path;
};

class MarkdownReader : public CardText::Reader {
public:
    explicit MarkdownReader(const QString& folder) {
        QDirIterator files(folder, {QStringLiteral("*.md")}, QDir::Files,
                           QDirIterator::Subdirectories);
        // Read once to learn the numbers, so that the cards come in ascending number.
        while (files.hasNext()) {
            const QString path = files.next();
            current_ = path;
            StoredCard card;
            Parse(path, card);
            order_.push_back({card.numero, path});
        }
        std::stable_sort(order_.begin(), order_.end(),
                         [](const CardFile& a, const CardFile& b) { return a.numero < b.numero; });
    }

    bool Next(StoredCard& card) override {
        if (next_ == order_.size())
            return false;
        current_ = order_[next_++].path;
        Parse(current_, card);
        return true;
    }

    QString Where() const override { return Place(); }
    int Percent() const override { return order_.empty() ? 100 : int(next_ * 100 / order_.size()); }

private:
    // Where(), without a virtual call: the constructor refuses too.
    QString Place() const {
        return QStringLiteral("« %1 »").arg(QDir::toNativeSeparators(current_));
    }

    void Parse(const QString& path, StoredCard& card) const {
        const std::optional<QByteArray> bytes = ReadRegularFile(path, QFileInfo(path).size());
        if (!bytes)
            CardText::Refuse(Place(), QStringLiteral("le fichier a disparu"));
        if (!bytes->startsWith("---\n"))
            CardText::Refuse(Place(), QStringLiteral("le fichier ne commence pas par l'en-tête "
                                                     "d'une fiche (une ligne « --- »)"));
        const qsizetype end = bytes->indexOf("\n---\n", 3);
        if (end < 0)
            CardText::Refuse(Place(), QStringLiteral("l'en-tête n'est pas fermé par une ligne "
                                                     "« --- »"));
        card = StoredCard();
        bool isNumber = true;
        for (const QByteArray& line : bytes->mid(4, end - 4).split('\n')) {
            const qsizetype colon = line.indexOf(':');
            const QByteArray key = line.left(colon).trimmed();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (colon < 0)
                CardText::Refuse(Place(), QStringLiteral("la ligne d'en-tête « %1 » n'a pas de "
                                                         "« : »")
                                              .arg(QString::fromUtf8(line.left(40))));
            if (key == "numero" && !value.isEmpty())
                card.numero = value.toLongLong(&isNumber);
            else if (key == "categorie")
                card.cate = QString::fromUtf8(value);
            else if (key == "titre")
                card.titre = Title(value);
        }
        if (!isNumber)
            CardText::Refuse(Place(), QStringLiteral("le numéro de l'en-tête n'est pas un nombre"));
        card.pivanes = CardText::FromUtf8(bytes->sliced(end + 5));
        if (!card.pivanes)
            CardText::Refuse(Place(), QStringLiteral("le texte n'est pas en UTF-8 valide"));
    }

    std::optional<QString> Title(const QByteArray& value) const {
        if (value == "null")
            return std::nullopt;
        if (!value.startsWith('"'))
            return CardText::FromUtf8(value).value_or(QString());
        QJsonParseError error{};
        const QJsonDocument parsed = QJsonDocument::fromJson('[' + value + ']', &error);
        if (error.error != QJsonParseError::NoError || !parsed.array().at(0).isString())
            CardText::Refuse(Place(), QStringLiteral("le titre n'est pas un texte entre "
                                                     "guillemets valide"));
        return parsed.array().at(0).toString();
    }

    std::vector<CardFile> order_;
    std::size_t next_ = 0;
    QString current_;
};

} // namespace

namespace MarkdownCards {

std::unique_ptr<CardText::Writer> Writer(const QString& folder) {
    return std::make_unique<MarkdownWriter>(folder);
}

std::unique_ptr<CardText::Reader> Reader(const QString& folder) {
    return std::make_unique<MarkdownReader>(folder);
}

} // namespace MarkdownCards
