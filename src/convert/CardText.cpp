#include "convert/CardText.h"

#include "platform/FileWriter.h"
#include "store/CategoryCatalogue.h"
#include "store/StoreError.h"

#include <QStringDecoder>

namespace CardText {

QString CategoryName(const std::optional<QString>& code) {
    const Category* category = code ? CategoryCatalogue::FindByCode(*code) : nullptr;
    return category ? QString::fromLatin1(category->menuCaption) : QString();
}

QByteArray Json(const std::optional<QString>& value) {
    if (!value)
        return QByteArrayLiteral("null");
    const QByteArray bytes = value->toUtf8();
    QByteArray quoted;
    quoted.reserve(bytes.size() + 2);
    quoted += '"';
    for (const char c : bytes) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                quoted +=
                    QByteArrayLiteral("\\u00") +
                    QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::optional<QString> FromUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

void Refuse(const QString& where, const QString& why) {
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("%1 : %2. Rien n'a été importé.").arg(where, why));
}

void Check(const StoredCard& card, const Reader& from, bool numbersKept) {
    if (numbersKept && card.numero == 0)
        Refuse(from.Where(), QStringLiteral("la fiche n'a pas de numéro, alors que la collection "
                                            "est vide et garde les numéros des fiches"));
    if (numbersKept && card.numero < 0)
        Refuse(from.Where(), QStringLiteral("le numéro %1 n'est pas un numéro de fiche (1 ou plus)")
                                 .arg(card.numero));
    if (card.cate && !card.cate->isEmpty() && !CategoryCatalogue::FindByCode(*card.cate))
        Refuse(from.Where(),
               QStringLiteral("la catégorie « %1 » n'est pas une des treize de Pivanes "
                              "(WIN, MAT, MUL, INT, DIVE, ACCE, EXCE, OFFI, OPEN, OUTL, "
                              "PAIN, POWE, WORD)")
                   .arg(*card.cate));
    if (card.titre && card.titre->size() > kTitleLimit)
        Refuse(from.Where(),
               QStringLiteral("le titre a %1 caractères, plus que les %2 qu'une fiche "
                              "prend")
                   .arg(card.titre->size())
                   .arg(kTitleLimit));
}

void FileCardWriter::Put(QByteArrayView bytes) {
    constexpr qsizetype kPiece = 1 << 20;
    held_ += bytes;
    if (held_.size() >= kPiece) {
        file_.Write(held_);
        held_.clear();
    }
}

void FileCardWriter::Finish() {
    file_.Write(held_);
    held_.clear();
}

} // namespace CardText
