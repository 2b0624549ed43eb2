#include "store/jet/JetReader.h"
#include "store/jet/OldKnowledgeBase.h"

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"
#include "tests/support/RecordingViews.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sqlite3.h>

// Reading old knowledge bases (Jet 4.0 files) and converting them into this
// program's format. The fixtures were written by a Jet library; each comes
// with a manifest of its rows, one JSON object a line.

namespace {

const QStringList itemColumns = {"ID",    "NFID",    "NTitle", "NKey",
                                 "NText", "NRemark", "NTime",  "NType"};
constexpr qsizetype pageSize = 4096;

QString fixturePath(const QString& name) {
    return QStringLiteral(LANJIAN_FIXTURES "/jet4/") + name;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

using Rows = QList<QList<JetValue>>;

Rows manifestRows(const QString& name) {
    Rows rows;
    QFile file(fixturePath(name + QStringLiteral(".rows.jsonl")));
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        QList<JetValue> row;
        for (const QString& column : itemColumns) {
            const QJsonValue value = object.value(column);
            if (value.isNull())
                row.append(std::monostate());
            else if (value.isString())
                row.append(value.toString());
            else
                row.append(qint32(value.toInteger()));
        }
        rows.append(row);
    }
    return rows;
}

QString describe(const JetValue& value) {
    if (std::holds_alternative<std::monostate>(value))
        return QStringLiteral("NULL");
    if (const auto* number = std::get_if<qint32>(&value))
        return QString::number(*number);
    const QString text = std::get<QString>(value);
    return QStringLiteral("\"%1\" (%2 characters)").arg(text.left(40)).arg(text.size());
}

// The first difference between two row lists, or the empty text.
QString firstDifference(const Rows& actual, const Rows& expected) {
    if (actual.size() != expected.size())
        return QStringLiteral("%1 rows instead of %2").arg(actual.size()).arg(expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        for (qsizetype column = 0; column < itemColumns.size(); ++column) {
            if (actual[i][column] != expected[i][column])
                return QStringLiteral("row %1, %2: %3 instead of %4")
                    .arg(i)
                    .arg(itemColumns[column], describe(actual[i][column]),
                         describe(expected[i][column]));
        }
    }
    return {};
}

// Reads the item table, or gives the reason it could not be read.
QString readItems(const QByteArray& file, Rows& rows) {
    JetTable table;
    const QString failure = readJetTable(file, QStringLiteral("NKTB"), itemColumns, table);
    rows = table.rows;
    return failure;
}

// Where a data pointer (page in the upper three bytes, row in the lowest)
// leads: the offset of that row in the file.
qsizetype rowOffset(const QByteArray& file, quint32 pointer) {
    const qsizetype page = (pointer >> 8) * pageSize;
    const int row = pointer & 0xFF;
    return page + (qFromLittleEndian<quint16>(file.constData() + page + 14 + 2 * row) & 0x1FFF);
}

// The 12-byte header of the memo whose length and storage flags are given,
// found by those bytes; -1 when it is not in the file exactly once.
qsizetype memoHeader(const QByteArray& file, quint32 lengthAndFlags) {
    char bytes[4];
    qToLittleEndian(lengthAndFlags, bytes);
    const qsizetype at = file.indexOf(QByteArrayView(bytes, 4));
    return at >= 0 && file.indexOf(QByteArrayView(bytes, 4), at + 1) < 0 ? at : -1;
}

// sample.db with the long-value chain of item 10's body (144,170 bytes in
// 36 pages) made circular: its third link points back to the first.
QByteArray sampleWithCircularChain() {
    QByteArray file = fileBytes(fixturePath("sample.db"));
    const qsizetype header = memoHeader(file, 144170);
    if (header < 0)
        return {};
    const quint32 first = qFromLittleEndian<quint32>(file.constData() + header + 4);
    const quint32 second = qFromLittleEndian<quint32>(file.constData() + rowOffset(file, first));
    const qsizetype third = rowOffset(file, second);
    qToLittleEndian(
        first, file.data() + rowOffset(file, qFromLittleEndian<quint32>(file.constData() + third)));
    return file;
}

// The header from 0x18 on is stored masked; flipping bits of the stored
// bytes flips the same bits of the unmasked value.
QByteArray withHeaderBitsFlipped(QByteArray file, qsizetype offset, QByteArrayView bits) {
    for (qsizetype i = 0; i < bits.size(); ++i)
        file[offset + i] = char(file[offset + i] ^ bits[i]);
    return file;
}

// A status view that remembers what it was told.
// The rows of a converted knowledge base, read with SQLite itself so that
// NULL and the empty text stay apart; in the order they were inserted.
Rows storedRows(const QString& path) {
    Rows rows;
    sqlite3* database = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &database, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray query =
        "Select " + itemColumns.join(',').toUtf8() + " From NKTB Order By rowid";
    if (sqlite3_prepare_v2(database, query.constData(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QList<JetValue> row;
            for (int column = 0; column < itemColumns.size(); ++column) {
                switch (sqlite3_column_type(statement, column)) {
                case SQLITE_NULL:
                    row.append(std::monostate());
                    break;
                case SQLITE_INTEGER:
                    row.append(qint32(sqlite3_column_int64(statement, column)));
                    break;
                default:
                    row.append(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                        sqlite3_column_bytes(statement, column)));
                }
            }
            rows.append(row);
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return rows;
}

} // namespace

class JetImportTest : public QObject {
    Q_OBJECT

private slots:
    void readsEveryRowAsStored_data();
    void readsEveryRowAsStored();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void decodesTexts_data();
    void decodesTexts();
    void readsCompressedTextFromTheFile();
    void damagedFilesNeverGiveWrongRows_data();
    void damagedFilesNeverGiveWrongRows();
    void survivesRandomDamage();

    void convertsOldKnowledgeBase_data();
    void convertsOldKnowledgeBase();
    void keepsEveryEarlierBackup();
    void leavesOtherFilesAlone_data();
    void leavesOtherFilesAlone();
    void failsCleanly_data();
    void failsCleanly();
    void failsCleanlyInReadOnlyDirectory();
    void damagedCopiesFailCleanly();
};

void JetImportTest::readsEveryRowAsStored_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("sample") << "sample";
    QTest::newRow("large") << "large";
    QTest::newRow("empty-table") << "empty-table";
}

void JetImportTest::readsEveryRowAsStored() {
    QFETCH(QString, name);
    JetTable table;
    const QString failure = readJetTable(fileBytes(fixturePath(name + ".db")),
                                         QStringLiteral("nktb"), itemColumns, table);
    QCOMPARE(failure, QString());
    QCOMPARE(table.columnNames, itemColumns);
    const QString difference = firstDifference(table.rows, manifestRows(name));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void JetImportTest::refusesWhatItCannotRead_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    const QByteArray sample = fileBytes(fixturePath("sample.db"));
    QByteArray jet3 = sample;
    jet3[0x14] = 0;
    QByteArray ace = sample;
    ace[0x14] = 2;
    QTest::newRow("no table") << fileBytes(fixturePath("no-table.db")) << "文件中没有知识库表 NKTB";
    QTest::newRow("Jet 3")
        << jet3
        << "这是 Jet 3（Access 97）格式的数据库，只能转换 Jet 4.0（Access 2000）格式的知识库";
    QTest::newRow("later version")
        << ace << "数据库的版本号为 2，只能转换 Jet 4.0（Access 2000）格式的知识库";
    QTest::newRow("password") << withHeaderBitsFlipped(sample, 0x42, QByteArrayView("a\0b\0c\0", 6))
                              << "数据库设有密码，请先在 Access 中撤销数据库密码后再转换";
    QTest::newRow("encrypted") << withHeaderBitsFlipped(sample, 0x3E,
                                                        QByteArrayView("\x5a\x11\x00\x00", 4))
                               << "数据库已加密，请先在 Access 中解密后再转换";
    QTest::newRow("not Jet") << QByteArray("SQLite format 3") << "不是 Jet 数据库";
    QTest::newRow("header only") << sample.left(100) << "文件已损坏（文件不足一页）";
}

void JetImportTest::refusesWhatItCannotRead() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    Rows rows;
    QCOMPARE(readItems(file, rows), reason);
    QVERIFY(rows.isEmpty());
}

void JetImportTest::decodesTexts_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("decodable");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << true << QString();
    QTest::newRow("UTF-16LE") << QByteArray("A\0\x14\x7b", 4) << true << QStringLiteral("A笔");
    QTest::newRow("surrogate pair")
        << QByteArray("\x3d\xd8\xda\xdc", 4) << true << QStringLiteral("📚");
    QTest::newRow("odd length") << QByteArray("A\0B", 3) << false << QString();
    QTest::newRow("compressed, nothing") << QByteArray("\xff\xfe", 2) << true << QString();
    QTest::newRow("compressed runs")
        << QByteArray("\xff\xfeGo\0\x14\x7b\xb0\x8b\0!", 11) << true << QStringLiteral("Go笔记!");
    QTest::newRow("compressed, half a character")
        << QByteArray("\xff\xfe\0\x14", 4) << false << QString();
}

void JetImportTest::decodesTexts() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, decodable);
    QFETCH(QString, text);
    QString decoded;
    QCOMPARE(decodeJetText(bytes, decoded), decodable);
    if (decodable)
        QCOMPARE(decoded, text);
}

// Item 36's title "English Notes" (26 bytes inline) rewritten in the
// compressed form, which fits into the same place.
void JetImportTest::readsCompressedTextFromTheFile() {
    QByteArray file = fileBytes(fixturePath("sample.db"));
    const QByteArray title = QStringLiteral("English Notes").toUtf8();
    QByteArray stored(title.size() * 2, '\0');
    qToLittleEndian<quint16>(QStringLiteral("English Notes").utf16(), title.size(), stored.data());
    const qsizetype at = file.indexOf(stored);
    QVERIFY(at >= 12 && file.indexOf(stored, at + 1) < 0);
    const QByteArray compressed("\xff\xfe"
                                "English \0\x14\x7b\xb0\x8b",
                                15);
    qToLittleEndian<quint32>(0x80000000 | compressed.size(), file.data() + at - 12);
    file.replace(at, compressed.size(), compressed);

    Rows rows;
    QCOMPARE(readItems(file, rows), QString());
    Rows expected = manifestRows("sample");
    for (QList<JetValue>& row : expected) {
        if (row[0] == JetValue(qint32(36)))
            row[2] = QStringLiteral("English 笔记");
    }
    const QString difference = firstDifference(rows, expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// Damage is refused or, where it touches nothing the table uses, read past:
// a damaged file never yields rows other than the stored ones.
void JetImportTest::damagedFilesNeverGiveWrongRows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason"); // empty: either outcome
    const QByteArray sample = fileBytes(fixturePath("sample.db"));
    QTest::newRow("circular long-value chain")
        << sampleWithCircularChain() << "文件已损坏（第 26 页：备注的长值链成环或被重复引用）";
    for (const qsizetype size : {qsizetype(4096), qsizetype(3 * 4096 + 17), sample.size() / 2,
                                 sample.size() - 4096, sample.size() - 1})
        QTest::addRow("cut at %lld", qlonglong(size)) << sample.left(size) << QString();
    for (qsizetype page = 1; page < sample.size() / pageSize; ++page) {
        QByteArray zeroed = sample;
        zeroed.replace(page * pageSize, pageSize, QByteArray(pageSize, '\0'));
        QTest::addRow("page %lld zeroed", qlonglong(page)) << zeroed << QString();
    }
}

void JetImportTest::damagedFilesNeverGiveWrongRows() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    Rows rows;
    const QString failure = readItems(file, rows);
    if (!reason.isEmpty())
        QCOMPARE(failure, reason);
    if (failure.isEmpty()) {
        const QString difference = firstDifference(rows, manifestRows("sample"));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    } else {
        QVERIFY2(failure.startsWith("文件已损坏（") || failure == "文件中没有知识库表 NKTB",
                 qPrintable(failure));
    }
}

// Seeded random changes, most of them in the page headers and row offset
// tables where a wrong byte sends the reader furthest astray: every one
// ends in rows or a reason, never in a crash or a hang.
void JetImportTest::survivesRandomDamage() {
    const QByteArray sample = fileBytes(fixturePath("sample.db"));
    QRandomGenerator random(20240611);
    int refused = 0;
    for (int mutation = 0; mutation < 500; ++mutation) {
        QByteArray file = sample;
        for (int change = 1 + random.bounded(8); change > 0; --change) {
            const qsizetype page = 1 + random.bounded(sample.size() / pageSize - 1);
            const qsizetype offset =
                random.bounded(2) ? random.bounded(64) : random.bounded(pageSize);
            file[page * pageSize + offset] = char(random.bounded(256));
        }
        Rows rows;
        refused += readItems(file, rows).isEmpty() ? 0 : 1;
    }
    QVERIFY2(refused > 100, "the changes should reach the parts that are read");
}

void JetImportTest::convertsOldKnowledgeBase_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nextId");
    QTest::newRow("sample") << "sample"
                            << "53";
    QTest::newRow("large") << "large"
                           << "9216";
    QTest::newRow("empty-table") << "empty-table"
                                 << "1";
}

void JetImportTest::convertsOldKnowledgeBase() {
    QFETCH(QString, name);
    QFETCH(QString, nextId);
    QTemporaryDir directory;
    const QString fileName = QStringLiteral("旧知识库 ") + name + QStringLiteral(".db");
    const QString path = directory.filePath(fileName);
    const QByteArray original = fileBytes(fixturePath(name + ".db"));
    QVERIFY(writeFile(path, original));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));

    RecordingStatus view;
    QString report;
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::Converted);
    QCOMPARE(QFileInfo(path).permissions(), QFileInfo(path + ".jet.bak").permissions());
    QCOMPARE(view.messages, QStringList({"正在转换旧版知识库【" + fileName + "】..."}));
    QCOMPARE(report, "已将旧版知识库【" + fileName + "】转换为新格式，原文件保存为【" + fileName +
                         ".jet.bak】");
    QVERIFY(view.busyStretches > 0);
    QCOMPARE(view.busyDepth, 0);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({fileName, fileName + ".jet.bak"}));
    QVERIFY(fileBytes(path + ".jet.bak") == original);

    const QString difference = firstDifference(storedRows(path), manifestRows(name));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    DatabaseObjects database;
    QVERIFY(database.connection.open(path, QString()));
    database.secondaryRecordSet.setConnection(&database.connection);
    QCOMPARE(nextItemId(database.secondaryRecordSet), nextId);
}

// A second conversion at the same path (the old file put back) keeps the
// first backup and takes the next free name.
void JetImportTest::keepsEveryEarlierBackup() {
    QTemporaryDir directory;
    const QString path = directory.filePath("kb.db");
    const QByteArray original = fileBytes(fixturePath("sample.db"));
    QVERIFY(writeFile(path, original));
    QVERIFY(writeFile(path + ".jet.1.bak", "someone else's file"));
    RecordingStatus view;
    QString report;
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::Converted);
    const QByteArray firstConversion = fileBytes(path);

    QVERIFY(QFile::rename(path, directory.filePath("converted.db")));
    QVERIFY(writeFile(path, original));
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::Converted);
    QCOMPARE(report, "已将旧版知识库【kb.db】转换为新格式，原文件保存为【kb.db.jet.2.bak】");
    QVERIFY(fileBytes(path + ".jet.bak") == original);
    QCOMPARE(fileBytes(path + ".jet.1.bak"), "someone else's file");
    QVERIFY(fileBytes(path + ".jet.2.bak") == original);
    QCOMPARE(storedRows(path), storedRows(directory.filePath("converted.db")));
}

void JetImportTest::leavesOtherFilesAlone_data() {
    QTest::addColumn<QByteArray>("file"); // a null array: no file at all
    QTest::newRow("knowledge base") << emptyDatabaseImage();
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("text") << QByteArray("Standard Jet");
    QTest::newRow("missing") << QByteArray();
}

void JetImportTest::leavesOtherFilesAlone() {
    QFETCH(QByteArray, file);
    QTemporaryDir directory;
    const QString path = directory.filePath("kb.db");
    if (!file.isNull())
        QVERIFY(writeFile(path, file));
    RecordingStatus view;
    QString report;
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::NotOldFormat);
    QCOMPARE(view.messages, QStringList());
    QCOMPARE(view.busyStretches, 0);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden).size(),
             file.isNull() ? 0 : 1);
    QCOMPARE(fileBytes(path), file);
}

void JetImportTest::failsCleanly_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason"); // how the reason begins
    const QByteArray sample = fileBytes(fixturePath("sample.db"));
    QByteArray jet3 = sample;
    jet3[0x14] = 0;
    QByteArray zeroedDefinition = sample;
    zeroedDefinition.replace(24 * pageSize, pageSize, QByteArray(pageSize, '\0'));
    QTest::newRow("no table") << "kb.db" << fileBytes(fixturePath("no-table.db"))
                              << "文件中没有知识库表 NKTB";
    QTest::newRow("Jet 3") << "kb.db" << jet3 << "这是 Jet 3（Access 97）格式的数据库";
    QTest::newRow("password") << "kb.db"
                              << withHeaderBitsFlipped(sample, 0x42, QByteArrayView("x\0", 2))
                              << "数据库设有密码";
    QTest::newRow("definition zeroed")
        << "kb.db" << zeroedDefinition << "文件已损坏（第 24 页：不是表定义页）";
    QTest::newRow("circular chain")
        << "kb.db" << sampleWithCircularChain() << "文件已损坏（第 26 页";
    QByteArray renamedColumn = sample;
    const QByteArray remark("N\0R\0e\0m\0a\0r\0k\0", 14);
    renamedColumn.replace(renamedColumn.indexOf(remark, 24 * pageSize), remark.size(),
                          QByteArray("N\0R\0e\0m\0a\0r\0x\0", 14));
    QTest::newRow("column missing") << "kb.db" << renamedColumn << "表 NKTB 中没有列 NRemark";
    // An unpaired surrogate in item 36's title: no UTF-8 text holds it.
    QByteArray unpaired = sample;
    unpaired.replace(unpaired.indexOf(QByteArray("E\0n\0g\0l\0i\0s\0h\0", 14)), 2,
                     QByteArray("\x00\xd8", 2));
    QTest::newRow("text the new file cannot hold")
        << "kb.db" << unpaired << "写入后核对不符（第 32 行，ID 36，列 NTitle）";
    QTest::newRow("truncated") << "kb.db" << sample.left(sample.size() / 2)
                               << "文件已损坏（第 68 页超出文件末尾）";
    // A name so long that the new file beside it cannot be named.
    QTest::newRow("no room for names")
        << QString(80, QChar(u'知')) + ".db" << sample << "无法在知识库所在的文件夹中新建文件：";
}

void JetImportTest::failsCleanly() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QTemporaryDir directory;
    const QString path = directory.filePath(fileName);
    QVERIFY(writeFile(path, file));
    RecordingStatus view;
    QString report;
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::Failed);
    QCOMPARE(view.messages.size(), 2);
    const QString failure = "旧版知识库【" + fileName + "】转换失败：";
    QVERIFY2(view.messages[1].startsWith(failure + reason), qPrintable(view.messages[1]));
    QCOMPARE(view.busyDepth, 0);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList({fileName}));
    QVERIFY(fileBytes(path) == file);
}

void JetImportTest::failsCleanlyInReadOnlyDirectory() {
    QTemporaryDir directory;
    const QString path = directory.filePath("kb.db");
    const QByteArray original = fileBytes(fixturePath("sample.db"));
    QVERIFY(writeFile(path, original));
    QVERIFY(QFile::setPermissions(directory.path(), QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(directory.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (QFile probe(directory.filePath("probe")); probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QSKIP("this user may write into read-only directories (root), so they cannot be made here");
    }
    RecordingStatus view;
    QString report;
    QCOMPARE(convertOldKnowledgeBase(path, view, report), OldKnowledgeBaseConversion::Failed);
    QVERIFY(view.messages.last().startsWith(
        "旧版知识库【kb.db】转换失败：无法在知识库所在的文件夹中新建文件："));
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"kb.db"}));
    QVERIFY(fileBytes(path) == original);
}

// Damaged copies through the whole conversion: each is refused with the
// file left as it was, or converted with the file kept as the backup; no
// temporary file stays behind either way.
void JetImportTest::damagedCopiesFailCleanly() {
    const QByteArray sample = fileBytes(fixturePath("sample.db"));
    QRandomGenerator random(7051);
    int converted = 0;
    for (int mutation = 0; mutation < 200; ++mutation) {
        QByteArray file = mutation % 10 == 0 ? sample.left(random.bounded(sample.size())) : sample;
        for (int change = 1 + random.bounded(8); change > 0; --change) {
            const qsizetype page = 1 + random.bounded(sample.size() / pageSize - 1);
            const qsizetype offset =
                random.bounded(2) ? random.bounded(64) : random.bounded(pageSize);
            if (page * pageSize + offset < file.size())
                file[page * pageSize + offset] = char(random.bounded(256));
        }
        QTemporaryDir directory;
        const QString path = directory.filePath("kb.db");
        QVERIFY(writeFile(path, file));
        RecordingStatus view;
        QString report;
        const OldKnowledgeBaseConversion result = convertOldKnowledgeBase(path, view, report);
        const QStringList left =
            QDir(directory.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        converted += result == OldKnowledgeBaseConversion::Converted ? 1 : 0;
        if (result == OldKnowledgeBaseConversion::Converted) {
            QCOMPARE(left, QStringList({"kb.db", "kb.db.jet.bak"}));
            QVERIFY(fileBytes(path + ".jet.bak") == file);
        } else {
            QCOMPARE(result, OldKnowledgeBaseConversion::Failed);
            QCOMPARE(left, QStringList({"kb.db"}));
            QVERIFY(fileBytes(path) == file);
        }
    }
    QVERIFY2(converted > 0 && converted < 200, "the changes should lead to both outcomes");
}

QTEST_GUILESS_MAIN(JetImportTest)
#include "tst_jetimport.moc"
