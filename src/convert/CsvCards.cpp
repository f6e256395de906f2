#include "convert/CsvCards.h"

#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 5> kHeader = {"numero", "categorie", "nom_categorie", "titre",
                                                "texte"};

void PutField(QByteArray& record, QByteArrayView value) {
    if (!value.contains(',') && !value.contains('"') && !value.contains('\n') &&
        !value.contains('\r')) {
        record += value;
        return;
    }
    record += '"';
    for (const char c : value) {
        if (c == '"')
            record += '"';
        record += c;
    }
    record += '"';
}

class CsvWriter : public CardText::FileCardWriter {
public:
    explicit CsvWriter(FileWriter& file) : FileCardWriter(file) {
        QByteArray header;
        for (const char* name : kHeader)
            header += (header.isEmpty() ? "" : ",") + QByteArray(name);
        Put(header + "\r\n");
    }

    void Add(const StoredCard& card) override {
        record_.clear();
        record_ += QByteArray::number(card.numero);
        for (const QString& value :
             {card.cate.value_or(QString()), CardText::CategoryName(card.cate),
              card.titre.value_or(QString()), card.pivanes.value_or(QString())}) {
            record_ += ',';
            PutField(record_, value.toUtf8());
        }
        record_ += "\r\n";
        Put(record_);
    }

private:
    QByteArray record_;
};

class CsvReader : public CardText::Reader {
public:
    explicit CsvReader(const QString& fileName)
        : file_(fileName), shown_(QDir::toNativeSeparators(fileName)) {
        if (!file_.open(QIODevice::ReadOnly))
            throw StoreError(
                StoreError::Kind::MissingFile,
                QStringLiteral("« %1 » n'a pas pu être lu : rien n'a été importé.").arg(shown_),
                file_.errorString());
        if (file_.size() > 0) {
            const uchar* mapped = file_.map(0, file_.size());
            if (!mapped)
                throw StoreError(StoreError::Kind::DiskError,
                                 QStringLiteral("« %1 » n'a pas pu être lu : rien n'a été "
                                                "importé.")
                                     .arg(shown_),
                                 file_.errorString());
            data_ = QByteArrayView(reinterpret_cast<const char*>(mapped), file_.size());
        }
        if (data_.startsWith("\xEF\xBB\xBF"))
            at_ = 3; // a byte-order mark, as spreadsheets write
        const QList<QByteArray> header(kHeader.begin(), kHeader.end());
        // A file without numbers can go into a collection that numbers the cards itself.
        const bool read = ReadRecord();
        numbered_ = read && fields_ == header;
        if (!numbered_ && (!read || fields_ != header.sliced(1)))
            CardText::Refuse(QStringLiteral("ligne 1 de « %1 »").arg(shown_),
                             QStringLiteral("l'en-tête doit être « numero,categorie,"
                                            "nom_categorie,titre,texte » (ou le même sans "
                                            "« numero, »)"));
    }

    bool Next(StoredCard& card) override {
        if (!ReadRecord())
            return false;
        const int first = numbered_ ? 0 : 1; // the place of the header's first field
        if (fields_.size() != qsizetype(kHeader.size()) - first)
            CardText::Refuse(Place(), QStringLiteral("%1 champ(s) au lieu de %2")
                                          .arg(fields_.size())
                                          .arg(qsizetype(kHeader.size()) - first));
        bool isNumber = true;
        card.numero = numbered_ && !fields_[0].isEmpty() ? fields_[0].toLongLong(&isNumber) : 0;
        if (!isNumber)
            CardText::Refuse(Place(), QStringLiteral("le numéro « %1 » n'est pas un nombre")
                                          .arg(QString::fromUtf8(fields_[0].left(40))));
        const std::pair<std::optional<QString>*, int> values[] = {
            {&card.cate, 1}, {&card.titre, 3}, {&card.pivanes, 4}};
        for (const auto& [value, index] : values) {
            *value = CardText::FromUtf8(fields_[index - first]);
            if (!*value)
                CardText::Refuse(Place(), QStringLiteral("le champ %1 n'est pas en UTF-8 valide")
                                              .arg(QLatin1String(kHeader[index])));
        }
        card.version = 0;
        return true;
    }

    QString Where() const override { return Place(); }
    int Percent() const override { return data_.isEmpty() ? 100 : int(at_ * 100 / data_.size()); }

private:
    // Where(), without a virtual call: the constructor refuses too.
    QString Place() const {
        return QStringLiteral("ligne %1 de « %2 »").arg(recordLine_).arg(shown_);
    }

    // The next record's fields; false at the end of the file.
    bool ReadRecord() {
        if (at_ >= data_.size())
            return false;
        recordLine_ = line_;
        fields_.clear();
        for (;;) {
            fields_.append(ReadField());
            if (at_ >= data_.size())
                return true;
            const char after = data_[at_];
            if (after == ',') {
                ++at_;
                continue;
            }
            at_ += after == '\r' ? 2 : 1; // CR LF or LF: ReadField stopped only there
            ++line_;
            return true;
        }
    }

    QByteArray ReadField() {
        if (at_ < data_.size() && data_[at_] == '"')
            return ReadQuoted();
        const qsizetype start = at_;
        while (at_ < data_.size()) {
            const char c = data_[at_];
            if (c == ',' || c == '\n' ||
                (c == '\r' && at_ + 1 < data_.size() && data_[at_ + 1] == '\n'))
                break;
            if (c == '"')
                CardText::Refuse(QStringLiteral("ligne %1 de « %2 »").arg(line_).arg(shown_),
                                 QStringLiteral("un guillemet se trouve dans un champ qui ne "
                                                "commence pas par un guillemet"));
            ++at_;
        }
        return data_.sliced(start, at_ - start).toByteArray();
    }

    QByteArray ReadQuoted() {
        QByteArray field;
        ++at_;
        for (;;) {
            const qsizetype quote = data_.indexOf('"', at_);
            if (quote < 0)
                CardText::Refuse(Place(), QStringLiteral("un guillemet ouvert n'est jamais fermé"));
            const QByteArrayView piece = data_.sliced(at_, quote - at_);
            line_ += std::count(piece.begin(), piece.end(), '\n');
            field += piece;
            at_ = quote + 1;
            if (at_ < data_.size() && data_[at_] == '"') {
                field += '"';
                ++at_;
                continue;
            }
            const bool ends = at_ == data_.size() || data_[at_] == ',' || data_[at_] == '\n' ||
                              data_.sliced(at_).startsWith("\r\n");
            if (!ends)
                CardText::Refuse(QStringLiteral("ligne %1 de « %2 »").arg(line_).arg(shown_),
                                 QStringLiteral("un guillemet fermant est suivi d'autre chose "
                                                "qu'une virgule ou une fin de ligne"));
            return field;
        }
    }

    QFile file_;
    QString shown_;
    QByteArrayView data_;
    qsizetype at_ = 0;
    qint64 line_ = 1;
    qint64 recordLine_ = 1;
    QList<QByteArray> fields_;
    bool numbered_ = true; // whether the file has the column « numero »
};

} // namespace

namespace CsvCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file) {
    return std::make_unique<CsvWriter>(file);
}

std::unique_ptr<CardText::Reader> Reader(const QString& fileName) {
    return std::make_unique<CsvReader>(fileName);
}

} // namespace CsvCards
