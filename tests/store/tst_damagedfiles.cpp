// Damaged knowledge base files are refused without being written to, and no
// damage, however made, crashes or hangs the store.

#include "store/DatabaseObjects.h"
#include "store/KnowledgeBase.h"
#include "store/Statements.h"
#include "support/StoreFiles.h"
#include "tests/support/RecordingViews.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int pageSize = 4096;

// Runs the program's statements of every kind; each may fail, none may crash.
void exerciseStatements(DatabaseObjects& database) {
    RecordSet& rows = database.primaryRecordSet;
    for (const QString& statement :
         {selectTopLevel(), selectChildren("1"), selectChildDirectories("11"),
          selectSubdirectoriesForDelete("21"), selectItemById("37"),
          searchItems("NTitle+NKey+NText", "正文 1"), selectLastId()}) {
        rows.open(statement);
        for (int n = std::min(rows.recordCount(), 500), i = 0; i < n; ++i, rows.moveNext())
            for (const char* column : {"ID", "NFID", "NTitle", "NKey", "NText", "NTime", "NType"})
                rows.readText(column);
    }
    addDocument(database, "1", "新文档", "摘要", "<p>正文</p>");
    addDirectory(database, "0", "新目录", "", "");
    modifyItem(database, "12", "改名", "改摘要", "改正文");
    database.connection.execute(moveItem("13", "21"));
    database.connection.execute(deleteChildren("31"));
    database.connection.execute(deleteItem("31"));
}

} // namespace

class DamagedFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedFileIsRefusedUntouched_data();
    void damagedFileIsRefusedUntouched();
    void otherFilesFailSilently();
    void seededMutationsNeverCrash();

private:
    QTemporaryDir m_dir;
    QByteArray m_sound; // a knowledge base of a few hundred rows with bodies
};

void DamagedFilesTest::initTestCase() {
    const QString path = m_dir.filePath("样本.db");
    QVERIFY(createKnowledgeBaseFile(path));
    {
        DatabaseObjects database;
        QVERIFY(openDatabase(database, path));
        QVERIFY(fillKnowledgeBase(database, 300));
    }
    m_sound = fileBytes(path);
    QVERIFY(m_sound.size() > 20 * pageSize);
}

// A file that is no SQLite database at all is no knowledge base, not a
// damaged one: its open fails without a word, as every other failed open.
void DamagedFilesTest::otherFilesFailSilently() {
    const QString path = m_dir.filePath("文本.db");
    QVERIFY(writeBytes(path, QByteArray("这不是知识库，只是一段文字。").repeated(500)));
    DatabaseObjects database;
    RecordingKnowledgeBaseView view;
    QVERIFY(!openKnowledgeBase(database, path, view));
    QVERIFY(view.messages.isEmpty());
}

void DamagedFilesTest::damagedFileIsRefusedUntouched_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray page = m_sound;
    page.replace(8 * pageSize + 100, 1500, QByteArray(1500, '\x5a'));
    QTest::newRow("garbage in a table page") << page;
    QTest::newRow("cut short") << m_sound.left(m_sound.size() - 3 * pageSize);
    QByteArray header = m_sound;
    header[16] = '\x03'; // no page size
    QTest::newRow("header page size") << header;
    QByteArray pointer = m_sound;
    pointer.replace(pageSize + 8, 4, QByteArray("\x7f\xff\xff\xff", 4)); // a child page far away
    QTest::newRow("page number out of range") << pointer;
}

void DamagedFilesTest::damagedFileIsRefusedUntouched() {
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath("损坏.db");
    QVERIFY(writeBytes(path, bytes));

    DatabaseObjects database;
    RecordingKnowledgeBaseView view;
    QVERIFY(!openKnowledgeBase(database, path, view));
    QVERIFY(!database.connection.isConnected());
    QCOMPARE(view.messages, QStringList{"知识库【损坏.db】已损坏，无法打开"});
    QVERIFY(view.names.isEmpty());
    QVERIFY(fileBytes(path) == bytes);
    QVERIFY(!QFileInfo::exists(path + "-journal"));

    // A sound file opens on the same objects afterwards, silently.
    const QString sound = m_dir.filePath("完好.db");
    QVERIFY(writeBytes(sound, m_sound));
    view.messages.clear();
    QVERIFY(openKnowledgeBase(database, sound, view));
    QVERIFY(view.messages.isEmpty());
}

void DamagedFilesTest::seededMutationsNeverCrash() {
    QRandomGenerator random(4242);
    const QString path = m_dir.filePath("变异.db");
    int opened = 0;
    const int mutations = 400;
    for (int mutation = 0; mutation < mutations; ++mutation) {
        QByteArray bytes = m_sound;
        switch (random.bounded(4)) {
        case 0: // scattered flipped bytes
            for (int n = 1 + random.bounded(8); n > 0; --n)
                bytes[random.bounded(int(bytes.size()))] ^= char(1 + random.bounded(255));
            break;
        case 1: { // a run of random bytes
            const int at = random.bounded(int(bytes.size()));
            for (int i = at; i < std::min<int>(at + random.bounded(600), bytes.size()); ++i)
                bytes[i] = char(random.bounded(256));
            break;
        }
        case 2: // a page zeroed
            bytes.replace(random.bounded(int(bytes.size() / pageSize)) * pageSize, pageSize,
                          QByteArray(pageSize, '\0'));
            break;
        default: // header fields of the first page
            bytes[16 + random.bounded(84)] = char(random.bounded(256));
            break;
        }
        QVERIFY(writeBytes(path, bytes));
        QFile::remove(path + "-journal");
        DatabaseObjects database;
        if (!openDatabase(database, path))
            continue;
        ++opened;
        exerciseStatements(database);
    }
    qInfo("%d of %d damaged files opened; the statements ran on each without a crash", opened,
          mutations);
}

QTEST_GUILESS_MAIN(DamagedFilesTest)
#include "tst_damagedfiles.moc"
