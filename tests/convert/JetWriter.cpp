#include "JetWriter.h"

#include <QFile>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// Column types and flags of a table definition.
constexpr quint8 kTypeInt = 0x03;
constexpr quint8 kTypeLong = 0x04;
constexpr quint8 kTypeText = 0x0A;
constexpr quint8 kTypeOle = 0x0B;
constexpr quint8 kTypeMemo = 0x0C;
constexpr quint8 kFlagFixed = 0x01;
constexpr quint8 kFlagNullable = 0x02;

constexpr quint16 kDeletedRow = 0x8000;
constexpr quint16 kMovedRow = 0x4000;
constexpr quint32 kMemoInline = 0x80000000u;
constexpr quint32 kMemoOnePage = 0x40000000u;
// Longer memos than this leave the row for long-value pages; it also keeps each step of a Jet 3
// row's one-byte offsets within one 256-byte segment.
constexpr int kInlineMemoLimit = 100;

struct Layout {
    bool jet4;
    int pageSize;
    int rowCountOffset;
};

void PutInt16(QByteArray& bytes, int at, quint16 value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

void PutInt32(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray Int16(quint16 value) {
    QByteArray bytes(2, '\0');
    PutInt16(bytes, 0, value);
    return bytes;
}

QByteArray Int32(quint32 value) {
    QByteArray bytes(4, '\0');
    PutInt32(bytes, 0, value);
    return bytes;
}

quint32 PageRow(int page, int row) {
    return (quint32(page) << 8) | quint32(row);
}

void Rc4(QByteArray& bytes, int from, int length, const QByteArray& key) {
    unsigned char state[256];
    for (int i = 0; i < 256; ++i)
        state[i] = static_cast<unsigned char>(i);
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + state[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xFF;
        std::swap(state[i], state[j]);
    }
    int x = 0, y = 0;
    for (int n = 0; n < length; ++n) {
        x = (x + 1) & 0xFF;
        y = (y + state[x]) & 0xFF;
        std::swap(state[x], state[y]);
        bytes[from + n] = char(bytes[from + n] ^ char(state[(state[x] + state[y]) & 0xFF]));
    }
}

QByteArray CodePageBytes(const QString& text, quint16 codePage) {
    const QByteArray utf8 = text.toUtf8();
    const QByteArray name = "CP" + QByteArray::number(codePage);
    iconv_t converter = iconv_open(name.constData(), "UTF-8");
    if (converter == iconv_t(-1)) // NOLINT(performance-no-int-to-ptr): iconv's error value
        throw std::runtime_error("unknown code page");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const size_t rc = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (rc == size_t(-1))
        throw std::runtime_error("text not representable in the code page");
    out.truncate(out.size() - int(outLeft));
    return out;
}

QByteArray Ucs2(const QString& text) {
    QByteArray bytes;
    for (QChar c : text)
        bytes += Int16(c.unicode());
    return bytes;
}

// The compressed form: after FF FE, single bytes for Latin-1 letters, a zero byte switching
// between one and two bytes per character. A character whose low byte is zero cannot be written.
std::optional<QByteArray> CompressedUcs2(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bool single = true;
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if ((unit & 0xFF) == 0)
            return std::nullopt;
        const bool wantSingle = unit < 0x100;
        if (wantSingle != single) {
            bytes += '\0';
            single = wantSingle;
        }
        bytes += single ? QByteArray(1, char(unit)) : Int16(unit);
    }
    if (bytes.size() >= text.size() * 2)
        return std::nullopt;
    return bytes;
}

class Page {
public:
    Page(const Layout& layout, const QByteArray& owner)
        : layout_(layout), bytes_(layout.pageSize, 0) {
        bytes_[0] = 0x01;
        bytes_[1] = 0x01;
        bytes_.replace(4, 4, owner);
        UpdateHeader();
    }

    // The row's index on the page, or -1 when it does not fit.
    int AddRow(const QByteArray& row, quint16 flags = 0) {
        const int end = rows_ == 0 ? layout_.pageSize : rowStarts_.back();
        const int start = end - int(row.size());
        if (rows_ >= 255 || start < layout_.rowCountOffset + 2 + 2 * (rows_ + 1))
            return -1;
        bytes_.replace(start, row.size(), row);
        PutInt16(bytes_, layout_.rowCountOffset + 2 + 2 * rows_, quint16(start | flags));
        rowStarts_.push_back(start);
        ++rows_;
        UpdateHeader();
        return rows_ - 1;
    }

    const QByteArray& bytes() const { return bytes_; }

private:
    void UpdateHeader() {
        const int end = rows_ == 0 ? layout_.pageSize : rowStarts_.back();
        PutInt16(bytes_, 2, quint16(end - (layout_.rowCountOffset + 2 + 2 * rows_)));
        PutInt16(bytes_, layout_.rowCountOffset, quint16(rows_));
    }

    Layout layout_;
    QByteArray bytes_;
    int rows_ = 0;
    std::vector<int> rowStarts_;
};

struct Column {
    quint8 type;
    QString name;
    int fixedOffset; // -1 for a variable column
    int varIndex;
    quint16 size;
};

class FileBuilder {
public:
    explicit FileBuilder(const Layout& layout) : layout_(layout) {}

    Layout layout() const { return layout_; }
    int PageCount() const { return int(pages_.size()); }
    int Reserve() {
        pages_.emplace_back(layout_.pageSize, '\0');
        return PageCount() - 1;
    }
    void Set(int page, const QByteArray& bytes) { pages_[size_t(page)] = bytes; }

    // A row on the table's current data page, or on a new one.
    quint32 AddDataRow(int tablePage, const QByteArray& row, quint16 flags = 0) {
        auto& open = openData_[tablePage];
        if (open.page < 0 || (open.row = open.content->AddRow(row, flags)) < 0) {
            Flush(open);
            open.page = Reserve();
            open.content = std::make_unique<Page>(layout_, Int32(quint32(tablePage)));
            dataPages_[tablePage].push_back(open.page);
            open.row = open.content->AddRow(row, flags);
            if (open.row < 0)
                throw std::runtime_error("row larger than a page");
        }
        return PageRow(open.page, open.row);
    }

    // The 12-byte memo header and, when short, the text after it; longer texts go to long-value
    // pages, one row when it fits, a chain of whole pages otherwise.
    QByteArray MemoField(const QByteArray& data) {
        QByteArray field(12, '\0');
        const int onePage = layout_.pageSize - layout_.rowCountOffset - 2 - 2;
        if (data.size() <= kInlineMemoLimit) {
            PutInt32(field, 0, quint32(data.size()) | kMemoInline);
            return field + data;
        }
        if (data.size() <= onePage) {
            PutInt32(field, 0, quint32(data.size()) | kMemoOnePage);
            PutInt32(field, 4, AddLongValueRow(data));
            return field;
        }
        const int chunk = onePage - 4;
        const int count = int((data.size() + chunk - 1) / chunk);
        const int first = PageCount();
        for (int i = 0; i < count; ++i) {
            const int page = Reserve();
            Page lval(layout_, QByteArray("LVAL"));
            const quint32 next = i + 1 < count ? PageRow(page + 1, 0) : 0;
            lval.AddRow(Int32(next) + data.mid(qsizetype(i) * chunk, chunk));
            Set(page, lval.bytes());
        }
        PutInt32(field, 0, quint32(data.size()));
        PutInt32(field, 4, PageRow(first, 0));
        return field;
    }

    void FlushAll() {
        for (auto& [table, open] : openData_)
            Flush(open);
        if (lval_.page >= 0)
            Flush(lval_);
    }

    const std::vector<int>& DataPages(int tablePage) { return dataPages_[tablePage]; }
    std::vector<QByteArray>& pages() { return pages_; }

private:
    struct OpenPage {
        int page = -1;
        int row = -1;
        std::unique_ptr<Page> content;
    };

    quint32 AddLongValueRow(const QByteArray& data) {
        if (lval_.page < 0 || (lval_.row = lval_.content->AddRow(data)) < 0) {
            Flush(lval_);
            lval_.page = Reserve();
            lval_.content = std::make_unique<Page>(layout_, QByteArray("LVAL"));
            lval_.row = lval_.content->AddRow(data);
        }
        return PageRow(lval_.page, lval_.row);
    }

    void Flush(OpenPage& open) {
        if (open.page >= 0)
            Set(open.page, open.content->bytes());
    }

    Layout layout_;
    std::vector<QByteArray> pages_;
    std::map<int, OpenPage> openData_;
    std::map<int, std::vector<int>> dataPages_;
    OpenPage lval_;
};

// One row: the column count, the fixed area, the variable values, then the offsets (one byte and
// a jump table in Jet 3, two bytes in Jet 4), their count and the mask of non-null columns.
QByteArray PackRow(const Layout& layout, const QByteArray& fixedArea,
                   const std::vector<std::optional<QByteArray>>& vars, quint8 notNullMask,
                   int columnCount) {
    QByteArray row = layout.jet4 ? Int16(quint16(columnCount)) : QByteArray(1, char(columnCount));
    row += fixedArea;
    std::vector<int> offsets;
    for (const auto& value : vars) {
        offsets.push_back(int(row.size()));
        if (value)
            row += *value;
    }
    const int eod = int(row.size());
    offsets.push_back(eod);
    const int n = int(vars.size());
    const QByteArray mask(1, char(notNullMask));
    if (layout.jet4) {
        for (int i = n; i >= 0; --i)
            row += Int16(quint16(offsets[size_t(i)]));
        row += Int16(quint16(n));
        return row + mask;
    }
    const int realJumps = eod / 256;
    int jumps = realJumps;
    while ((eod + 1 + n + jumps + 1 + int(mask.size()) - 1) / 256 > jumps)
        ++jumps;
    for (int i = n; i >= 0; --i)
        row += char(offsets[size_t(i)] & 0xFF);
    for (int j = jumps - 1; j >= 0; --j) {
        if (j >= realJumps) {
            row += char(0xFF);
            continue;
        }
        int first = 0;
        while (offsets[size_t(first)] < 256 * (j + 1))
            ++first;
        row += char(first);
    }
    row += char(n);
    return row + mask;
}

QByteArray NameBytes(const Layout& layout, const QString& name) {
    if (layout.jet4) {
        const QByteArray ucs2 = Ucs2(name);
        return Int16(quint16(ucs2.size())) + ucs2;
    }
    const QByteArray bytes = CodePageBytes(name, 1252);
    return QByteArray(1, char(bytes.size())) + bytes;
}

QByteArray TableDefinition(const Layout& layout, const std::vector<Column>& columns, quint32 rows,
                           bool system, quint32 usageMap, quint32 freeMap) {
    QByteArray page(layout.pageSize, '\0');
    page[0] = 0x02;
    page[1] = 0x01;
    if (!layout.jet4) {
        page[2] = 'V';
        page[3] = 'C';
    }
    int at = layout.jet4 ? 40 : 20;
    PutInt32(page, layout.jet4 ? 16 : 12, rows);
    page[at] = char(system ? 0x53 : 0x4E);
    int varCount = 0;
    for (const Column& column : columns)
        varCount += column.fixedOffset < 0 ? 1 : 0;
    PutInt16(page, at + 1, quint16(columns.size()));
    PutInt16(page, at + 3, quint16(varCount));
    PutInt16(page, at + 5, quint16(columns.size()));
    PutInt32(page, at + 7, 0);  // logical indexes
    PutInt32(page, at + 11, 0); // index entries
    PutInt32(page, at + 15, usageMap);
    PutInt32(page, at + 19, freeMap);
    int pos = at + 23;
    const int entrySize = layout.jet4 ? 25 : 18;
    for (size_t i = 0; i < columns.size(); ++i) {
        const Column& column = columns[i];
        QByteArray entry(entrySize, '\0');
        const bool fixed = column.fixedOffset >= 0;
        entry[0] = char(column.type);
        const int base = layout.jet4 ? 5 : 1;
        PutInt16(entry, base, quint16(i));
        PutInt16(entry, base + 2, quint16(fixed ? 0 : column.varIndex));
        PutInt16(entry, base + 4, quint16(i));
        if (column.type == kTypeText || column.type == kTypeMemo)
            PutInt16(entry, base + 6, 0x409);
        entry[layout.jet4 ? 15 : 13] = char((fixed ? kFlagFixed : 0) | kFlagNullable);
        PutInt16(entry, layout.jet4 ? 21 : 14, quint16(fixed ? column.fixedOffset : 0));
        PutInt16(entry, layout.jet4 ? 23 : 16, column.size);
        page.replace(pos, entrySize, entry);
        pos += entrySize;
    }
    for (const Column& column : columns) {
        const QByteArray name = NameBytes(layout, column.name);
        page.replace(pos, name.size(), name);
        pos += int(name.size());
    }
    PutInt32(page, 8, quint32(pos));
    if (layout.jet4)
        PutInt16(page, 2, quint16(layout.pageSize - pos - 8));
    return page;
}

} // namespace

JetWriter::JetWriter(Version version) : version_(version) {}

JetWriter& JetWriter::TableName(const QString& name) {
    tableName_ = name;
    return *this;
}

JetWriter& JetWriter::Compress(bool compress) {
    compress_ = compress;
    return *this;
}

JetWriter& JetWriter::CodePage(quint16 codePage) {
    codePage_ = codePage;
    return *this;
}

JetWriter& JetWriter::Password(const QByteArray& password) {
    password_ = password;
    return *this;
}

JetWriter& JetWriter::EncryptionKey(quint32 key) {
    encryptionKey_ = key;
    return *this;
}

void JetWriter::Add(const JetCard& card) {
    cards_.append({card, Kind::Live});
}

void JetWriter::AddDeleted(const JetCard& card) {
    cards_.append({card, Kind::Deleted});
}

void JetWriter::AddMoved(const JetCard& card) {
    cards_.append({card, Kind::Moved});
}

QByteArray JetWriter::Bytes() const {
    const bool jet4 = version_ == Version::Jet4;
    const Layout layout{jet4, jet4 ? 4096 : 2048, jet4 ? 12 : 8};
    auto text = [&](const QString& value) {
        if (!jet4)
            return CodePageBytes(value, codePage_);
        if (compress_)
            if (const std::optional<QByteArray> compressed = CompressedUcs2(value))
                return *compressed;
        return Ucs2(value);
    };
    auto optionalText = [&](const std::optional<QString>& value) -> std::optional<QByteArray> {
        if (!value)
            return std::nullopt;
        return text(*value);
    };

    FileBuilder file(layout);
    const int header = file.Reserve();
    const int maps = file.Reserve();
    const int catalogDefinition = file.Reserve();
    const int cardDefinition = file.Reserve();
    Q_UNUSED(header);

    const int textUnit = jet4 ? 2 : 1;
    const std::vector<Column> catalogColumns = {
        {kTypeLong, QStringLiteral("Id"), 0, 0, 4},
        {kTypeText, QStringLiteral("Name"), -1, 0, quint16(255 * textUnit)},
        {kTypeInt, QStringLiteral("Type"), 4, 0, 2},
        {kTypeLong, QStringLiteral("Flags"), 6, 0, 4},
        {kTypeOle, QStringLiteral("LvProp"), -1, 1, 0},
    };
    const std::vector<Column> cardColumns = {
        {kTypeLong, QStringLiteral("Numero"), 0, 0, 4},
        {kTypeText, QStringLiteral("Cate"), -1, 0, quint16(10 * textUnit)},
        {kTypeText, QStringLiteral("Titre"), -1, 1, quint16(255 * textUnit)},
        {kTypeMemo, QStringLiteral("Pivanes"), -1, 2, 0},
    };

    auto catalogRow = [&](quint32 id, const QString& name, quint16 type, quint32 flags) {
        QByteArray fixed = Int32(id) + Int16(type) + Int32(flags);
        return PackRow(layout, fixed, {text(name), std::nullopt}, 0x0F, 5);
    };
    file.AddDataRow(catalogDefinition, catalogRow(quint32(catalogDefinition),
                                                  QStringLiteral("MSysObjects"), 1, 0x80000002u));
    file.AddDataRow(catalogDefinition, catalogRow(quint32(cardDefinition), tableName_, 1, 0));

    auto cardRow = [&](const JetCard& card) {
        std::vector<std::optional<QByteArray>> vars = {optionalText(card.Cate),
                                                       optionalText(card.Titre), std::nullopt};
        if (card.Pivanes)
            vars[2] = file.MemoField(text(*card.Pivanes));
        const quint8 mask = quint8(0x01 | (card.Cate ? 0x02 : 0) | (card.Titre ? 0x04 : 0) |
                                   (card.Pivanes ? 0x08 : 0));
        return PackRow(layout, Int32(quint32(card.Numero)), vars, mask, 4);
    };
    // A moved row: its data, marked deleted, and where it was, a pointer marked moved.
    std::vector<quint32> movedTo;
    for (const Entry& entry : cards_)
        if (entry.kind == Kind::Moved)
            movedTo.push_back(file.AddDataRow(cardDefinition, cardRow(entry.card), kDeletedRow));
    size_t moved = 0;
    quint32 live = 0;
    for (const Entry& entry : cards_) {
        if (entry.kind == Kind::Moved)
            file.AddDataRow(cardDefinition, Int32(movedTo[moved++]), kMovedRow);
        else
            file.AddDataRow(cardDefinition, cardRow(entry.card),
                            entry.kind == Kind::Deleted ? kDeletedRow : 0);
        live += entry.kind == Kind::Deleted ? 0 : 1;
    }
    file.FlushAll();

    // Usage maps: an indirect map of bitmap pages for each table, and empty free-space maps.
    auto indirectMap = [&](const std::vector<int>& owned) {
        const int bitsPerPage = (layout.pageSize - 4) * 8;
        int highest = 0;
        for (int page : owned)
            highest = std::max(highest, page);
        const int mapPages = highest / bitsPerPage + 1;
        QByteArray row(1, '\x01');
        std::vector<QByteArray> bitmaps(size_t(mapPages), QByteArray(layout.pageSize, '\0'));
        for (int page : owned) {
            QByteArray& bitmap = bitmaps[size_t(page / bitsPerPage)];
            const int bit = page % bitsPerPage;
            bitmap[4 + bit / 8] = char(bitmap[4 + bit / 8] | (1 << (bit % 8)));
        }
        for (QByteArray& bitmap : bitmaps) {
            bitmap[0] = 0x05;
            bitmap[1] = 0x01;
            const int page = file.Reserve();
            file.Set(page, bitmap);
            row += Int32(quint32(page));
        }
        return row;
    };
    const QByteArray emptyMap = QByteArray(1, '\0') + Int32(0) + QByteArray(4, '\0');
    Page mapPage(layout, Int32(0));
    const int catalogUsage = mapPage.AddRow(indirectMap(file.DataPages(catalogDefinition)));
    const int catalogFree = mapPage.AddRow(emptyMap);
    const int cardUsage = mapPage.AddRow(indirectMap(file.DataPages(cardDefinition)));
    const int cardFree = mapPage.AddRow(emptyMap);
    file.Set(maps, mapPage.bytes());

    file.Set(catalogDefinition,
             TableDefinition(layout, catalogColumns, 2, true, PageRow(maps, catalogUsage),
                             PageRow(maps, catalogFree)));
    file.Set(cardDefinition, TableDefinition(layout, cardColumns, live, false,
                                             PageRow(maps, cardUsage), PageRow(maps, cardFree)));

    QByteArray first(layout.pageSize, '\0');
    first[1] = 0x01;
    first.replace(4, 16, QByteArray("Standard Jet DB\0", 16));
    PutInt32(first, 0x14, jet4 ? 1 : 0);
    PutInt16(first, jet4 ? 0x6E : 0x3A, 0x409);
    PutInt16(first, 0x3C, codePage_);
    PutInt32(first, 0x3E, encryptionKey_);
    // Jet 4 masks the password with the creation date, stored as days since 1899.
    const double created = 36526.25;
    QByteArray mask(4, '\0');
    if (jet4) {
        std::memcpy(first.data() + 0x72, &created, sizeof created);
        PutInt32(mask, 0, quint32(qint32(created)));
    }
    const int passwordSize = jet4 ? 40 : 20;
    for (int i = 0; i < passwordSize; ++i) {
        const char byte = i < password_.size() ? password_[i] : '\0';
        first[0x42 + i] = char(byte ^ mask[i % 4]);
    }
    Rc4(first, 0x18, jet4 ? 128 : 126, Int32(0x6B39DAC7u));
    file.Set(0, first);

    QByteArray bytes;
    for (const QByteArray& page : file.pages())
        bytes += page;
    return bytes;
}

void JetWriter::Write(const QString& fileName) const {
    QFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(Bytes()) < 0 || !out.flush())
        throw std::runtime_error("cannot write the Jet file");
}
