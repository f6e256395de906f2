#include "convert/JetSource.h"

#include <QDir>
#include <QFileInfo>
#include <array>
#include <iconv.h>
#include <mdbtools.h>

namespace {

constexpr quint32 kMemoInline = 0x80000000u;
constexpr quint32 kMemoOnePage = 0x40000000u;
constexpr quint32 kMemoLengthMask = 0x3FFFFFFFu;
constexpr int kMemoHeader = 12;
constexpr int kOffsetMask = 0x1FFF;
constexpr quint16 kDeletedRow = 0x8000;
constexpr quint16 kMovedRow = 0x4000;

QString Where(const QString& fileName) {
    const QFileInfo info(fileName);
    return QStringLiteral("« %1 » dans le dossier « %2 »")
        .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

[[noreturn]] void Damaged(const QString& fileName, const QString& detail) {
    throw JetError(StoreError::Kind::Damaged,
                   QStringLiteral("Le fichier %1 est au format Jet (Access) mais il est "
                                  "endommagé : %2. Il n'a pas été modifié.")
                       .arg(Where(fileName), detail));
}

quint32 Int32(const unsigned char* bytes) {
    return quint32(bytes[0]) | (quint32(bytes[1]) << 8) | (quint32(bytes[2]) << 16) |
           (quint32(bytes[3]) << 24);
}

// iconv's documented "no converter" value.
const iconv_t kNoConverter = iconv_t(-1); // NOLINT(performance-no-int-to-ptr)

// Jet 3 texts are in the Windows code page the file was written with.
class CodePageDecoder {
public:
    explicit CodePageDecoder(quint16 codePage) {
        if (codePage != 0)
            converter_ = iconv_open("UTF-8", ("CP" + QByteArray::number(codePage)).constData());
        if (converter_ == kNoConverter)
            converter_ = iconv_open("UTF-8", "CP1252");
    }
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    ~CodePageDecoder() {
        if (converter_ != kNoConverter)
            iconv_close(converter_);
    }

    QString Decode(const char* bytes, size_t size) {
        QString text;
        iconv(converter_, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 4096> buffer;
        char* in = const_cast<char*>(bytes);
        size_t left = size;
        while (left > 0) {
            char* out = buffer.data();
            size_t room = buffer.size();
            const size_t rc = iconv(converter_, &in, &left, &out, &room);
            text += QString::fromUtf8(buffer.data(), out - buffer.data());
            if (rc == size_t(-1) && errno == EILSEQ) {
                // A byte the code page leaves undefined keeps its own value, as Windows does.
                text += QChar(char16_t(quint8(*in)));
                ++in;
                --left;
            } else if (rc == size_t(-1) && errno != E2BIG) {
                break;
            }
        }
        return text;
    }

private:
    iconv_t converter_ = kNoConverter;
};

// Jet 4 texts are UCS-2, or after FF FE its compressed form: one byte per character, a zero byte
// switching to two bytes per character and back.
std::optional<QString> DecodeUcs2(const unsigned char* bytes, size_t size) {
    QString text;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool single = true;
        for (size_t i = 2; i < size;) {
            if (bytes[i] == 0) {
                single = !single;
                ++i;
            } else if (single) {
                text += QChar(char16_t(bytes[i++]));
            } else if (i + 1 < size) {
                text += QChar(char16_t(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                return std::nullopt;
            }
        }
        return text;
    }
    if (size % 2 != 0)
        return std::nullopt;
    text.resize(qsizetype(size / 2));
    for (size_t i = 0; i < size / 2; ++i)
        text[qsizetype(i)] = QChar(char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    return text;
}

bool IsNumberType(int type) {
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT;
}

bool IsTextType(int type) {
    return type == MDB_TEXT || type == MDB_MEMO;
}

} // namespace

struct JetSource::Impl {
    QString fileName;
    JetHeader header;
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    std::array<int, 4> columns{}; // Numero, Cate, Titre, Pivanes
    std::unique_ptr<CodePageDecoder> codePage;

    ~Impl() {
        if (table)
            mdb_free_tabledef(table);
        if (mdb)
            mdb_close(mdb);
    }

    void Open() {
        const qint64 pageSize = header.format == JetHeader::Format::Jet3 ? 2048 : 4096;
        if (QFileInfo(fileName).size() % pageSize != 0)
            Damaged(fileName, QStringLiteral("il est tronqué"));
        mdb = mdb_open(QFile::encodeName(fileName).constData(), MDB_NOFLAGS);
        // Every Jet file lists at least its own system tables.
        if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE) || mdb->num_catalog == 0)
            Damaged(fileName, QStringLiteral("son catalogue des tables est illisible"));
        for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE &&
                QString::fromUtf8(entry->object_name)
                        .compare(QLatin1String("TrucPivane"), Qt::CaseInsensitive) == 0) {
                table = mdb_read_table(entry);
                if (!table || !mdb_read_columns(table))
                    Damaged(
                        fileName,
                        QStringLiteral("la définition de la table « TrucPivane » est illisible"));
                FindColumns();
                Rewind();
                return;
            }
        }
        throw JetError(StoreError::Kind::NoTable,
                       QStringLiteral("Le fichier %1 est au format Jet (Access) mais ne contient "
                                      "pas la table des fiches « TrucPivane ». Il n'a pas été "
                                      "modifié.")
                           .arg(Where(fileName)));
    }

    void FindColumns() {
        static const char* const kNames[4] = {"Numero", "Cate", "Titre", "Pivanes"};
        for (int c = 0; c < 4; ++c) {
            columns[size_t(c)] = -1;
            for (unsigned int i = 0; i < table->num_cols; ++i) {
                auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
                if (QString::fromUtf8(column->name)
                        .compare(QLatin1String(kNames[c]), Qt::CaseInsensitive) != 0)
                    continue;
                const bool fits =
                    c == 0 ? IsNumberType(column->col_type) : IsTextType(column->col_type);
                if (fits)
                    columns[size_t(c)] = int(i);
            }
            if (columns[size_t(c)] < 0)
                throw JetError(
                    StoreError::Kind::NoTable,
                    QStringLiteral("Dans le fichier %1, la table « TrucPivane » n'a pas de "
                                   "colonne « %2 » du type attendu (%3). Il n'a pas été modifié.")
                        .arg(Where(fileName), QLatin1String(kNames[c]),
                             c == 0 ? QStringLiteral("nombre entier")
                                    : QStringLiteral("texte ou mémo")));
        }
    }

    MdbColumn* Column(int which) const {
        return static_cast<MdbColumn*>(
            g_ptr_array_index(table->columns, guint(columns[size_t(which)])));
    }

    QString Decode(const unsigned char* bytes, size_t size) {
        if (header.format == JetHeader::Format::Jet3) {
            if (!codePage)
                codePage = std::make_unique<CodePageDecoder>(header.codePage);
            return codePage->Decode(reinterpret_cast<const char*>(bytes), size);
        }
        const std::optional<QString> text = DecodeUcs2(bytes, size);
        if (!text)
            Damaged(fileName, QStringLiteral("un texte est tronqué"));
        return *text;
    }

    // A memo's bytes: after a 12-byte header, inline, on one long-value row, or on a chain of
    // long-value rows whose first four bytes point to the next.
    QByteArray MemoBytes(const unsigned char* field, int size) {
        if (size < kMemoHeader)
            Damaged(fileName, QStringLiteral("l'en-tête d'un texte long est incomplet"));
        const quint32 word = Int32(field);
        const quint32 length = word & kMemoLengthMask;
        if (word & kMemoInline)
            return QByteArray(reinterpret_cast<const char*>(field) + kMemoHeader,
                              size - kMemoHeader);
        QByteArray bytes;
        bytes.reserve(qsizetype(length));
        qint32 pageRow = qint32(Int32(field + 4));
        const bool onePage = word & kMemoOnePage;
        while (pageRow != 0 && bytes.size() < qsizetype(length)) {
            void* page = nullptr;
            int start = 0;
            size_t rowSize = 0;
            if (mdb_find_pg_row(mdb, pageRow, &page, &start, &rowSize) != 0 ||
                (!onePage && rowSize <= 4))
                Damaged(fileName, QStringLiteral("une page de texte long est illisible"));
            const auto* row = static_cast<const unsigned char*>(page) + (start & kOffsetMask);
            if (onePage) {
                bytes.append(reinterpret_cast<const char*>(row), qsizetype(rowSize));
                break;
            }
            bytes.append(reinterpret_cast<const char*>(row) + 4, qsizetype(rowSize) - 4);
            pageRow = qint32(Int32(row));
        }
        if (bytes.size() != qsizetype(length))
            Damaged(fileName, QStringLiteral("un texte long n'a pas la longueur annoncée"));
        return bytes;
    }

    std::optional<QString> Text(const MdbField& field, int type) {
        if (field.is_null)
            return std::nullopt;
        const auto* bytes = mdb->pg_buf + field.start;
        if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb->fmt->pg_size)
            Damaged(fileName, QStringLiteral("une fiche déborde de sa page"));
        if (type != MDB_MEMO)
            return Decode(bytes, size_t(field.siz));
        const QByteArray memo = MemoBytes(bytes, field.siz);
        return Decode(reinterpret_cast<const unsigned char*>(memo.constData()),
                      size_t(memo.size()));
    }

    qint32 Number(const MdbField& field, int type) {
        if (field.is_null)
            throw JetError(StoreError::Kind::Failed,
                           QStringLiteral("Le fichier %1 contient une fiche sans numéro : elle "
                                          "ne peut pas être convertie. Le fichier n'a pas été "
                                          "modifié.")
                               .arg(Where(fileName)));
        const unsigned char* bytes = mdb->pg_buf + field.start;
        switch (type) {
        case MDB_BYTE:
            return bytes[0];
        case MDB_INT:
            return qint16(quint16(bytes[0] | (bytes[1] << 8)));
        default:
            return qint32(Int32(bytes));
        }
    }

    // The table's rows, page after page. The flags of a row's offset say that it is deleted
    // (among them the rows moved elsewhere), or that it holds a pointer to where the row was
    // moved. libmdb 1.0 reads these two flags the wrong way round, so the walk is done here.
    quint16 Entry(int row) const {
        return quint16(mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset + 2 + 2 * row));
    }

    int RowCount() const {
        const int rows = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
        if (rows > (mdb->fmt->pg_size - mdb->fmt->row_count_offset - 2) / 2)
            Damaged(fileName, QStringLiteral("une page de fiches est illisible"));
        return rows;
    }

    // Moves to the next card; false after the last one.
    bool Advance() {
        for (;;) {
            if (!pageLoaded || rowIndex >= RowCount()) {
                if (!mdb_read_next_dpg(table))
                    return false;
                pageLoaded = true;
                rowIndex = 0;
            }
            const quint16 entry = Entry(rowIndex++);
            if (!(entry & kDeletedRow))
                return true;
        }
    }

    // The card Advance moved to, taken apart to see NULLs and raw bytes.
    void ReadCurrent(JetCardRow& row) {
        const int index = rowIndex - 1;
        if (!(Entry(index) & kMovedRow)) {
            ReadRow(index, row);
            return;
        }
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, index, &start, &size) != 0 || size < 4)
            Damaged(fileName, QStringLiteral("une fiche déplacée est illisible"));
        const quint32 pointer = Int32(mdb->pg_buf + (start & kOffsetMask));
        const unsigned long here = mdb->cur_pg;
        if (mdb_read_pg(mdb, pointer >> 8) != mdb->fmt->pg_size || mdb->pg_buf[0] != MDB_PAGE_DATA)
            Damaged(fileName, QStringLiteral("une fiche déplacée est illisible"));
        ReadRow(int(pointer & 0xFF), row);
        mdb_read_pg(mdb, here);
    }

    void ReadRow(int index, JetCardRow& row) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, index, &start, &size) != 0 || size == 0)
            Damaged(fileName, QStringLiteral("une fiche est illisible"));
        std::vector<MdbField> fields(table->num_cols);
        if (mdb_crack_row(table, start & kOffsetMask, size, fields.data()) < 0)
            Damaged(fileName, QStringLiteral("une fiche est illisible"));
        row.Numero = Number(fields[size_t(columns[0])], Column(0)->col_type);
        row.Cate = Text(fields[size_t(columns[1])], Column(1)->col_type);
        row.Titre = Text(fields[size_t(columns[2])], Column(2)->col_type);
        row.Pivanes = Text(fields[size_t(columns[3])], Column(3)->col_type);
    }

    void Rewind() {
        mdb_rewind_table(table);
        pageLoaded = false;
        rowIndex = 0;
    }

    bool pageLoaded = false;
    int rowIndex = 0;
};

JetSource::JetSource(const QString& fileName) : impl_(std::make_unique<Impl>()) {
    impl_->fileName = fileName;
    impl_->header = ReadJetHeader(fileName);
    if (const std::optional<QString> refusal = JetRefusal(fileName, impl_->header))
        throw JetError(StoreError::Kind::NotADatabase, *refusal);
    impl_->Open();
}

JetSource::~JetSource() = default;

bool JetSource::Next(JetCardRow& row) {
    if (!impl_->Advance())
        return false;
    impl_->ReadCurrent(row);
    return true;
}

qint64 JetSource::CountCards() {
    impl_->Rewind();
    qint64 count = 0;
    while (impl_->Advance())
        ++count;
    impl_->Rewind();
    return count;
}

std::optional<QString> JetRefusal(const QString& fileName, const JetHeader& header) {
    const QString kept = QStringLiteral(" Il n'a pas été modifié.");
    switch (header.format) {
    case JetHeader::Format::NotJet:
        return QStringLiteral("Le fichier %1 n'est pas au format Jet (Access) : il n'y a rien à "
                              "convertir.")
                   .arg(Where(fileName)) +
               kept;
    case JetHeader::Format::Newer:
        return QStringLiteral("Le fichier %1 est une base Access 2007 ou plus récente : seuls les "
                              "formats Jet 3 (Access 97) et Jet 4 (Access 2000 à 2003) peuvent "
                              "être convertis.")
                   .arg(Where(fileName)) +
               kept;
    case JetHeader::Format::Jet3:
    case JetHeader::Format::Jet4:
        break;
    }
    if (header.encrypted || header.password)
        return QStringLiteral("Le fichier %1 est protégé (base chiffrée ou mot de passe) : il ne "
                              "peut pas être lu. Retirez la protection dans Access, puis "
                              "recommencez.")
                   .arg(Where(fileName)) +
               kept;
    return std::nullopt;
}
