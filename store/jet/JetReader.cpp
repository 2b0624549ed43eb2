#include "store/jet/JetReader.h"

#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

// The layout read here is Jet 4.0's: 4,096-byte pages; page 0 the database
// header, page 2 the definition of MSysObjects, the catalogue of every table.
// A table has a definition (one or more chained pages), a usage map naming
// its pages, data pages with a row offset table, and long-value (LVAL) pages
// for memos that do not fit into the row.

namespace {

constexpr qsizetype pageSize = 4096;
constexpr quint32 catalogueDefinitionPage = 2;

constexpr uchar dataPageType = 0x01;
constexpr uchar tableDefinitionPageType = 0x02;
constexpr uchar usageBitmapPageType = 0x05;

// Flags in the top bits of a row offset.
constexpr quint16 rowOffsetMask = 0x1FFF;
constexpr quint16 deletedRowFlag = 0x8000; // deleted, or the new place of a moved row
constexpr quint16 pointerRowFlag = 0x4000; // the row holds a pointer to its new place
constexpr int maximumPointerHops = 16;

// Flags in the top bits of a memo field's length.
constexpr quint32 longValueLengthMask = 0x3FFFFFFF;
constexpr quint32 inlineLongValue = 0x80000000;
constexpr quint32 singleRowLongValue = 0x40000000;
constexpr quint32 chainedLongValue = 0;
constexpr qsizetype longValueHeaderSize = 12;

constexpr uchar fixedColumnFlag = 0x01;
constexpr quint32 tableObjectType = 1;

enum ColumnType : uchar {
    ByteColumn = 2,
    IntegerColumn = 3,
    LongColumn = 4,
    TextColumn = 10,
    MemoColumn = 12
};

// Why reading stopped. Thrown only inside this file; readJetTable turns it
// into its result.
struct ReadFailure {
    QString reason;
};

[[noreturn]] void fail(const QString& reason) {
    throw ReadFailure{reason};
}

[[noreturn]] void damaged(const QString& what) {
    fail(QStringLiteral("文件已损坏（%1）").arg(what));
}

[[noreturn]] void damagedPage(qint64 page, const QString& what) {
    damaged(QStringLiteral("第 %1 页：%2").arg(page).arg(what));
}

// A bounds-checked view of bytes from one page (or from a table definition
// gathered from several); the page number goes into messages.
class Bytes {
public:
    Bytes(const uchar* data, qsizetype size, quint32 page)
        : m_data(data), m_size(size), m_page(page) {}

    qsizetype size() const { return m_size; }
    quint32 page() const { return m_page; }
    const uchar* data() const { return m_data; }

    quint8 u8(qsizetype at) const {
        check(at, 1);
        return m_data[at];
    }
    quint16 u16(qsizetype at) const {
        check(at, 2);
        return qFromLittleEndian<quint16>(m_data + at);
    }
    quint32 u32(qsizetype at) const {
        check(at, 4);
        return qFromLittleEndian<quint32>(m_data + at);
    }
    Bytes slice(qsizetype at, qsizetype length) const {
        check(at, length);
        return Bytes(m_data + at, length, m_page);
    }
    QByteArrayView view() const { return QByteArrayView(m_data, m_size); }

private:
    void check(qsizetype at, qsizetype length) const {
        if (at < 0 || length < 0 || at > m_size - length)
            damagedPage(m_page, QStringLiteral("数据超出范围"));
    }

    const uchar* m_data;
    qsizetype m_size;
    quint32 m_page;
};

// A data pointer: the page in the upper three bytes, the row in the lowest.
struct RowAddress {
    quint32 page;
    int row;
};

RowAddress addressOf(quint32 pointer) {
    return {pointer >> 8, int(pointer & 0xFF)};
}

// The header from 0x18 on is masked with the RC4 stream of a fixed key.
QByteArray unmaskedHeader(const QByteArray& file) {
    constexpr qsizetype maskedStart = 0x18;
    constexpr qsizetype maskedLength = 128;
    constexpr std::array<uchar, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
    std::array<uchar, 256> state;
    for (int i = 0; i < 256; ++i)
        state[i] = uchar(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + state[i] + key[i % key.size()]) & 0xFF;
        std::swap(state[i], state[j]);
    }
    QByteArray header = file.left(pageSize);
    for (int n = 0, i = 0, j = 0; n < maskedLength; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + state[i]) & 0xFF;
        std::swap(state[i], state[j]);
        header[maskedStart + n] =
            char(header[maskedStart + n] ^ state[(state[i] + state[j]) & 0xFF]);
    }
    return header;
}

// The 40 password bytes at 0x42 are further masked with the creation date
// (a double at 0x72) taken as a whole number; all zero means no password.
bool hasDatabasePassword(const Bytes& header) {
    constexpr qsizetype passwordStart = 0x42;
    constexpr qsizetype passwordLength = 40;
    constexpr qsizetype creationDateStart = 0x72;
    const double date = qFromLittleEndian<double>(header.data() + creationDateStart);
    // Taken as a whole number the way a saturating cast does it.
    const double bounded = std::isnan(date)
                               ? 0.0
                               : std::clamp(date, double(std::numeric_limits<qint32>::min()),
                                            double(std::numeric_limits<qint32>::max()));
    const qint32 whole = qint32(bounded);
    std::array<uchar, 4> mask;
    qToLittleEndian(whole, mask.data());
    for (qsizetype i = 0; i < passwordLength; ++i) {
        if ((header.u8(passwordStart + i) ^ mask[i % mask.size()]) != 0)
            return true;
    }
    return false;
}

void checkHeader(const QByteArray& file) {
    constexpr qsizetype versionOffset = 0x14;
    constexpr qsizetype encryptionKeyOffset = 0x3E;
    if (file.size() < pageSize)
        damaged(QStringLiteral("文件不足一页"));
    const int version = uchar(file[versionOffset]);
    if (version == 0)
        fail(QStringLiteral(
            "这是 Jet 3（Access 97）格式的数据库，只能转换 Jet 4.0（Access 2000）格式的知识库"));
    if (version != 1)
        fail(QStringLiteral("数据库的版本号为 %1，只能转换 Jet 4.0（Access 2000）格式的知识库")
                 .arg(version));
    const QByteArray header = unmaskedHeader(file);
    const Bytes headerBytes(reinterpret_cast<const uchar*>(header.constData()), header.size(), 0);
    if (headerBytes.u32(encryptionKeyOffset) != 0)
        fail(QStringLiteral("数据库已加密，请先在 Access 中解密后再转换"));
    if (hasDatabasePassword(headerBytes))
        fail(QStringLiteral("数据库设有密码，请先在 Access 中撤销数据库密码后再转换"));
}

class JetFile {
public:
    explicit JetFile(const QByteArray& file) : m_file(file) {}

    qint64 pageCount() const { return m_file.size() / pageSize; }
    qsizetype size() const { return m_file.size(); }

    Bytes page(qint64 number) const {
        if (number < 0 || number >= pageCount())
            damaged(QStringLiteral("第 %1 页超出文件末尾").arg(number));
        return Bytes(reinterpret_cast<const uchar*>(m_file.constData()) + number * pageSize,
                     pageSize, quint32(number));
    }

private:
    const QByteArray& m_file;
};

// Rows of a data page: a count at 12, then one offset per row; row n runs
// from its offset to the offset of row n - 1 (row 0 to the page's end).
int rowCount(const Bytes& page) {
    const int count = page.u16(12);
    if (14 + 2 * count > pageSize)
        damagedPage(page.page(), QStringLiteral("行数 %1 不可能").arg(count));
    return count;
}

quint16 rowFlags(const Bytes& page, int row) {
    if (row >= rowCount(page))
        damagedPage(page.page(), QStringLiteral("没有第 %1 行").arg(row));
    return page.u16(14 + 2 * row) & ~rowOffsetMask;
}

Bytes rowBytes(const Bytes& page, int row) {
    const int count = rowCount(page);
    if (row >= count)
        damagedPage(page.page(), QStringLiteral("没有第 %1 行").arg(row));
    const qsizetype start = page.u16(14 + 2 * row) & rowOffsetMask;
    const qsizetype end = row == 0 ? pageSize : page.u16(14 + 2 * (row - 1)) & rowOffsetMask;
    if (start < 14 + 2 * count || start > end)
        damagedPage(page.page(), QStringLiteral("第 %1 行的位置不对").arg(row));
    return page.slice(start, end - start);
}

bool isDataPageOf(const Bytes& page, quint32 definitionPage) {
    return page.u8(0) == dataPageType && page.u32(4) == definitionPage;
}

bool isLongValuePage(const Bytes& page) {
    return page.u8(0) == dataPageType && std::memcmp(page.data() + 4, "LVAL", 4) == 0;
}

struct ColumnDefinition {
    QString name;
    uchar type = 0;
    quint16 number = 0;      // its bit in the null mask
    quint16 varIndex = 0;    // its entry in a row's variable-length offset table
    quint16 fixedOffset = 0; // its place among a row's fixed-length fields
    bool fixed = false;
};

struct TableDefinition {
    quint32 page = 0; // the first definition page, which the data pages name
    quint32 rowCount = 0;
    quint32 usageMap = 0; // pointer to the row holding the map of its pages
    bool hasVariableColumns = false;
    QList<ColumnDefinition> columns;
};

TableDefinition readTableDefinition(const JetFile& file, quint32 firstPage) {
    // The definition continues on the pages chained from offset 4, each
    // adding what follows its 8-byte header.
    QByteArray gathered;
    QSet<quint32> seen;
    for (quint32 number = firstPage; number != 0;) {
        if (seen.contains(number))
            damagedPage(firstPage, QStringLiteral("表定义的页链成环"));
        seen.insert(number);
        const Bytes page = file.page(number);
        if (page.u8(0) != tableDefinitionPageType)
            damagedPage(number, QStringLiteral("不是表定义页"));
        const qsizetype skipped = number == firstPage ? 0 : 8;
        gathered.append(reinterpret_cast<const char*>(page.data()) + skipped, pageSize - skipped);
        number = page.u32(4);
    }
    const Bytes bytes(reinterpret_cast<const uchar*>(gathered.constData()), gathered.size(),
                      firstPage);

    constexpr qsizetype columnEntrySize = 25;
    constexpr qsizetype indexEntrySize = 12;
    TableDefinition definition;
    definition.page = firstPage;
    definition.rowCount = bytes.u32(16);
    definition.hasVariableColumns = bytes.u16(43) > 0;
    const int columnCount = bytes.u16(45);
    const qint64 indexCount = bytes.u32(51);
    definition.usageMap = bytes.u32(55);

    const qint64 columnsStart = 63 + indexCount * indexEntrySize;
    if (columnsStart + columnCount * columnEntrySize > bytes.size())
        damagedPage(firstPage, QStringLiteral("表定义不完整"));
    qsizetype nameAt = columnsStart + columnCount * columnEntrySize;
    for (int i = 0; i < columnCount; ++i) {
        const qsizetype entry = columnsStart + i * columnEntrySize;
        ColumnDefinition column;
        column.type = bytes.u8(entry);
        column.number = bytes.u16(entry + 5);
        column.varIndex = bytes.u16(entry + 7);
        column.fixed = bytes.u8(entry + 15) & fixedColumnFlag;
        column.fixedOffset = bytes.u16(entry + 21);
        const int nameLength = bytes.u16(nameAt);
        if (!decodeJetText(bytes.slice(nameAt + 2, nameLength).view(), column.name))
            damagedPage(firstPage, QStringLiteral("列名无法识别"));
        nameAt += 2 + nameLength;
        definition.columns.append(column);
    }
    return definition;
}

// The pages a table's usage map names, in ascending order. The map is a
// row: type 0 holds a first page number and a bitmap; type 1 lists the
// bitmap pages, each covering the next (page size - 4) * 8 pages.
QList<quint32> pagesOf(const JetFile& file, const TableDefinition& definition) {
    const RowAddress at = addressOf(definition.usageMap);
    const Bytes mapPage = file.page(at.page);
    if (mapPage.u8(0) != dataPageType)
        damagedPage(at.page, QStringLiteral("页使用图不在数据页上"));
    const Bytes map = rowBytes(mapPage, at.row);

    QList<quint32> pages;
    const auto addMarkedPages = [&](const Bytes& bitmap, qint64 firstPage) {
        for (qsizetype i = 0; i < bitmap.size(); ++i) {
            const quint8 bits = bitmap.u8(i);
            for (int bit = 0; bits != 0 && bit < 8; ++bit) {
                if ((bits & (1 << bit)) == 0)
                    continue;
                const qint64 number = firstPage + i * 8 + bit;
                file.page(number); // the map may not name pages the file lacks
                pages.append(quint32(number));
            }
        }
    };
    switch (map.u8(0)) {
    case 0:
        addMarkedPages(map.slice(5, map.size() - 5), map.u32(1));
        break;
    case 1:
        for (qsizetype i = 0; 1 + 4 * (i + 1) <= map.size(); ++i) {
            const quint32 number = map.u32(1 + 4 * i);
            if (number == 0)
                continue;
            const Bytes bitmapPage = file.page(number);
            if (bitmapPage.u8(0) != usageBitmapPageType)
                damagedPage(number, QStringLiteral("不是页使用图页"));
            addMarkedPages(bitmapPage.slice(4, pageSize - 4), i * (pageSize - 4) * 8);
        }
        break;
    default:
        damagedPage(at.page, QStringLiteral("页使用图的类型未知"));
    }
    return pages;
}

// Reads memo values. Each long-value row belongs to exactly one value, so a
// row met a second time means a cycle or damage; this also bounds the work
// on any file by the file's size.
class LongValueReader {
public:
    explicit LongValueReader(const JetFile& file) : m_file(file) {}

    QByteArray read(const Bytes& field) {
        if (field.size() == 0)
            return {};
        if (field.size() < longValueHeaderSize)
            damagedPage(field.page(), QStringLiteral("备注字段不完整"));
        const quint32 head = field.u32(0);
        const qsizetype length = head & longValueLengthMask;
        if (length > m_file.size())
            damagedPage(field.page(), QStringLiteral("备注长度 %1 不可能").arg(length));
        switch (head & ~longValueLengthMask) {
        case inlineLongValue:
            return field.slice(longValueHeaderSize, length).view().toByteArray();
        case singleRowLongValue:
            return longValueRow(field.u32(4), field.page()).slice(0, length).view().toByteArray();
        case chainedLongValue:
            return chain(field.u32(4), length, field.page());
        default:
            damagedPage(field.page(), QStringLiteral("备注的存放方式未知"));
        }
    }

private:
    // Each row of a chain starts with the pointer to the next.
    QByteArray chain(quint32 pointer, qsizetype length, quint32 fieldPage) {
        QByteArray value;
        value.reserve(length);
        while (value.size() < length) {
            if (pointer == 0)
                damagedPage(fieldPage, QStringLiteral("备注的长值链提前结束"));
            const Bytes row = longValueRow(pointer, fieldPage);
            pointer = row.u32(0);
            const qsizetype take = std::min(row.size() - 4, length - value.size());
            value.append(reinterpret_cast<const char*>(row.data()) + 4, take);
        }
        return value;
    }

    Bytes longValueRow(quint32 pointer, quint32 fieldPage) {
        if (m_used.contains(pointer))
            damagedPage(fieldPage, QStringLiteral("备注的长值链成环或被重复引用"));
        m_used.insert(pointer);
        const RowAddress at = addressOf(pointer);
        const Bytes page = m_file.page(at.page);
        if (!isLongValuePage(page))
            damagedPage(at.page, QStringLiteral("不是长值页"));
        return rowBytes(page, at.row);
    }

    const JetFile& m_file;
    QSet<quint32> m_used;
};

// A row moved by an update is read through the pointer at its old place.
// Pointers may be chained; each place is reached from one pointer only.
Bytes movedRow(const JetFile& file, const TableDefinition& definition, Bytes row,
               QSet<quint32>& reachedPlaces) {
    for (int hop = 0; hop < maximumPointerHops; ++hop) {
        const quint32 pointer = row.u32(0);
        if (reachedPlaces.contains(pointer))
            damagedPage(row.page(), QStringLiteral("行指针重复"));
        reachedPlaces.insert(pointer);
        const RowAddress at = addressOf(pointer);
        const Bytes page = file.page(at.page);
        if (!isDataPageOf(page, definition.page))
            damagedPage(row.page(), QStringLiteral("行指针指向别处"));
        const quint16 flags = rowFlags(page, at.row);
        row = rowBytes(page, at.row);
        if (flags == (deletedRowFlag | pointerRowFlag))
            damagedPage(row.page(), QStringLiteral("行指针指向已删除的行"));
        if (flags != pointerRowFlag)
            return row;
    }
    damagedPage(row.page(), QStringLiteral("行指针链过长"));
}

// Every live row of the table in the order of a table scan: its pages in
// usage map order, each page's rows in offset table order; deleted rows and
// the new places of moved rows are skipped, moved rows read at their old place.
template <typename Visit>
void scanRows(const JetFile& file, const TableDefinition& definition, Visit visit) {
    QSet<quint32> reachedPlaces;
    for (const quint32 number : pagesOf(file, definition)) {
        const Bytes page = file.page(number);
        if (!isDataPageOf(page, definition.page))
            continue; // a page the table no longer uses
        const int count = rowCount(page);
        for (int row = 0; row < count; ++row) {
            const quint16 flags = rowFlags(page, row);
            if (flags & deletedRowFlag)
                continue;
            const Bytes bytes = rowBytes(page, row);
            visit(flags & pointerRowFlag ? movedRow(file, definition, bytes, reachedPlaces)
                                         : bytes);
        }
    }
}

qsizetype fixedSizeOf(uchar type) {
    switch (type) {
    case ByteColumn:
        return 1;
    case IntegerColumn:
        return 2;
    case LongColumn:
        return 4;
    default:
        return 0;
    }
}

bool isReadable(uchar type) {
    return fixedSizeOf(type) > 0 || type == TextColumn || type == MemoColumn;
}

JetValue valueOf(const ColumnDefinition& column, const Bytes& field, LongValueReader& longValues) {
    switch (column.type) {
    case ByteColumn:
        return qint32(field.u8(0));
    case IntegerColumn:
        return qint32(qint16(field.u16(0)));
    case LongColumn:
        return qint32(field.u32(0));
    default:
        break;
    }
    QString text;
    const QByteArray memo = column.type == MemoColumn ? longValues.read(field) : QByteArray();
    const QByteArrayView bytes = column.type == MemoColumn ? QByteArrayView(memo) : field.view();
    if (!decodeJetText(bytes, text))
        damagedPage(field.page(), QStringLiteral("列 %1 的文本无法识别").arg(column.name));
    return text;
}

// A row: its column count, the fixed-length fields, the variable-length
// fields, then from the end backwards the null mask (one bit per column, set
// when not NULL), the count of variable-length fields and their offsets,
// the last one marking where they end.
QList<JetValue> fieldsOf(const Bytes& row, const TableDefinition& definition,
                         const QList<const ColumnDefinition*>& columns,
                         LongValueReader& longValues) {
    const int columnCount = row.u16(0);
    const qsizetype maskSize = (columnCount + 7) / 8;
    const qsizetype maskStart = row.size() - maskSize;
    if (maskStart < 2)
        damagedPage(row.page(), QStringLiteral("行不完整"));
    int varCount = 0;
    qsizetype dataEnd = maskStart;
    if (definition.hasVariableColumns) {
        varCount = row.u16(maskStart - 2);
        dataEnd = maskStart - 2 - 2 * (qsizetype(varCount) + 1);
        if (dataEnd < 2)
            damagedPage(row.page(), QStringLiteral("行的变长字段表不完整"));
    }
    const auto varOffset = [&](int index) -> qsizetype {
        return row.u16(maskStart - 4 - 2 * index);
    };

    QList<JetValue> values;
    values.reserve(columns.size());
    for (const ColumnDefinition* column : columns) {
        const bool present = column->number < columnCount &&
                             (row.u8(maskStart + column->number / 8) & (1 << (column->number % 8)));
        if (!present) {
            values.append(std::monostate());
            continue;
        }
        qsizetype start = 0;
        qsizetype end = 0;
        if (column->fixed) {
            start = 2 + column->fixedOffset;
            end = start + fixedSizeOf(column->type);
        } else {
            if (column->varIndex >= varCount)
                damagedPage(row.page(), QStringLiteral("行缺少列 %1").arg(column->name));
            start = varOffset(column->varIndex);
            end = varOffset(column->varIndex + 1);
        }
        if (start < 2 || start > end || end > dataEnd)
            damagedPage(row.page(), QStringLiteral("列 %1 的位置不对").arg(column->name));
        values.append(valueOf(*column, row.slice(start, end - start), longValues));
    }
    return values;
}

const ColumnDefinition* columnNamed(const TableDefinition& definition, const QString& name) {
    for (const ColumnDefinition& column : definition.columns) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

QList<const ColumnDefinition*> columnsNamed(const TableDefinition& definition,
                                            const QString& tableName, const QStringList& names) {
    QList<const ColumnDefinition*> columns;
    for (const QString& name : names) {
        const ColumnDefinition* column = columnNamed(definition, name);
        if (column == nullptr)
            fail(QStringLiteral("表 %1 中没有列 %2").arg(tableName, name));
        if (!isReadable(column->type))
            fail(QStringLiteral("表 %1 的列 %2 的类型（%3）无法读取")
                     .arg(tableName, name)
                     .arg(column->type));
        columns.append(column);
    }
    return columns;
}

// The first definition page of the user table named tableName, looked up
// in MSysObjects (its Id holds the page in the lower three bytes).
quint32 tableDefinitionPage(const JetFile& file, const QString& tableName) {
    const TableDefinition catalogue = readTableDefinition(file, catalogueDefinitionPage);
    const QList<const ColumnDefinition*> columns =
        columnsNamed(catalogue, QStringLiteral("MSysObjects"), {"Id", "Name", "Type"});
    LongValueReader longValues(file);
    std::optional<quint32> found;
    scanRows(file, catalogue, [&](const Bytes& row) {
        if (found)
            return;
        const QList<JetValue> fields = fieldsOf(row, catalogue, columns, longValues);
        const auto* id = std::get_if<qint32>(&fields[0]);
        const auto* name = std::get_if<QString>(&fields[1]);
        const auto* type = std::get_if<qint32>(&fields[2]);
        if (id && name && type && quint32(*type) == tableObjectType &&
            name->compare(tableName, Qt::CaseInsensitive) == 0)
            found = quint32(*id) & 0x00FFFFFF;
    });
    if (!found)
        fail(QStringLiteral("文件中没有知识库表 %1").arg(tableName));
    return *found;
}

} // namespace

bool isJetDatabase(QByteArrayView firstBytes) {
    return firstBytes.sliced(std::min<qsizetype>(4, firstBytes.size()))
        .startsWith("Standard Jet DB");
}

QString readJetTable(const QByteArray& file, const QString& tableName, const QStringList& columns,
                     JetTable& table) {
    try {
        if (!isJetDatabase(file))
            fail(QStringLiteral("不是 Jet 数据库"));
        checkHeader(file);
        const JetFile jet(file);
        const TableDefinition definition =
            readTableDefinition(jet, tableDefinitionPage(jet, tableName));
        const QList<const ColumnDefinition*> wanted = columnsNamed(definition, tableName, columns);

        JetTable result;
        for (const ColumnDefinition& column : definition.columns)
            result.columnNames.append(column.name);
        LongValueReader longValues(jet);
        scanRows(jet, definition, [&](const Bytes& row) {
            result.rows.append(fieldsOf(row, definition, wanted, longValues));
        });
        // The definition counts the live rows; fewer read means rows were lost.
        if (result.rows.size() != qsizetype(definition.rowCount))
            damaged(QStringLiteral("表 %1 记有 %2 行，读到 %3 行")
                        .arg(tableName)
                        .arg(definition.rowCount)
                        .arg(result.rows.size()));
        table = std::move(result);
        return {};
    } catch (const ReadFailure& failure) {
        return failure.reason;
    }
}

bool decodeJetText(QByteArrayView bytes, QString& text) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString decoded;
        decoded.reserve(size);
        bool oneByteRun = true;
        for (qsizetype i = 2; i < size;) {
            if (data[i] == 0) {
                oneByteRun = !oneByteRun;
                ++i;
            } else if (oneByteRun) {
                decoded.append(QChar(char16_t(data[i])));
                ++i;
            } else if (i + 1 < size) {
                decoded.append(QChar(qFromLittleEndian<quint16>(data + i)));
                i += 2;
            } else {
                return false;
            }
        }
        text = decoded;
        return true;
    }
    if (size % 2 != 0)
        return false;
    if (size == 0) {
        text = QString();
        return true;
    }
    QString decoded(size / 2, Qt::Uninitialized);
    qFromLittleEndian<quint16>(data, size / 2, decoded.data());
    text = decoded;
    return true;
}
