#include "convert/JsonCards.h"

#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

class JsonWriter : public CardText::FileCardWriter {
public:
    explicit JsonWriter(FileWriter& file) : FileCardWriter(file) { Put("["); }

    void Add(const StoredCard& card) override {
        Put(first_ ? "\n" : ",\n");
        first_ = false;
        Put(QByteArrayLiteral("{\"numero\": ") + QByteArray::number(card.numero) +
            QByteArrayLiteral(", \"categorie\": ") + CardText::Json(card.cate) +
            QByteArrayLiteral(", \"nom_categorie\": ") +
            CardText::Json(card.cate ? std::optional(CardText::CategoryName(card.cate))
                                     : std::nullopt) +
            QByteArrayLiteral(", \"titre\": ") + CardText::Json(card.titre) +
            QByteArrayLiteral(", \"texte\": ") + CardText::Json(card.pivanes) + "}");
    }

    void Finish() override {
        Put("\n]\n");
        FileCardWriter::Finish();
    }

private:
    bool first_ = true;
};

class JsonReader : public CardText::Reader {
public:
    explicit JsonReader(const QString& fileName) : shown_(QDir::toNativeSeparators(fileName)) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw StoreError(
                StoreError::Kind::MissingFile,
                QStringLiteral("« %1 » n'a pas pu être lu : rien n'a été importé.").arg(shown_),
                file.errorString());
        const QByteArray bytes = file.readAll();
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError) {
            const qint64 line = std::count(bytes.begin(), bytes.begin() + error.offset, '\n') + 1;
            CardText::Refuse(
                QStringLiteral("ligne %1 de « %2 »").arg(line).arg(shown_),
                error.error == QJsonParseError::IllegalUTF8String
                    ? QStringLiteral("le texte n'est pas en UTF-8 valide")
                    : QStringLiteral("ce n'est pas du JSON valide (%1)").arg(error.errorString()));
        }
        if (!document.isArray())
            CardText::Refuse(QStringLiteral("« %1 »").arg(shown_),
                             QStringLiteral("le fichier doit contenir un tableau de fiches"));
        cards_ = document.array();
    }

    bool Next(StoredCard& card) override {
        if (next_ == cards_.size())
            return false;
        const QJsonValue value = cards_.at(next_++);
        if (!value.isObject())
            CardText::Refuse(Where(), QStringLiteral("une fiche doit être un objet JSON"));
        const QJsonObject object = value.toObject();
        const QJsonValue numero = object.value(QLatin1String("numero"));
        // An integer of 64 bits is read exactly; anything else gives each default back.
        const bool given = !numero.isNull() && !numero.isUndefined();
        if (given && numero.toInteger(0) != numero.toInteger(1))
            CardText::Refuse(Where(), QStringLiteral("« numero » doit être un nombre entier"));
        card.numero = numero.toInteger(0);
        const std::pair<std::optional<QString>*, const char*> fields[] = {
            {&card.cate, "categorie"}, {&card.titre, "titre"}, {&card.pivanes, "texte"}};
        for (const auto& [field, name] : fields) {
            const QJsonValue text = object.value(QLatin1String(name));
            if (!text.isString() && !text.isNull() && !text.isUndefined())
                CardText::Refuse(
                    Where(),
                    QStringLiteral("« %1 » doit être un texte ou null").arg(QLatin1String(name)));
            *field = text.isString() ? std::optional(text.toString()) : std::nullopt;
        }
        card.version = 0;
        return true;
    }

    QString Where() const override {
        return QStringLiteral("fiche %1 du tableau de « %2 »").arg(next_).arg(shown_);
    }

    int Percent() const override {
        return cards_.isEmpty() ? 100 : int(next_ * 100 / cards_.size());
    }

private:
    QString shown_;
    QJsonArray cards_;
    qsizetype next_ = 0;
};

} // namespace

namespace JsonCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file) {
    return std::make_unique<JsonWriter>(file);
}

std::unique_ptr<CardText::Reader> Reader(const QString& fileName) {
    return std::make_unique<JsonReader>(fileName);
}

} // namespace JsonCards
