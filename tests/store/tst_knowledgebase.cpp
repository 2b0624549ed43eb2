#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/KnowledgeBase.h"
#include "store/Statements.h"
#include "tests/support/RecordingViews.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::NewOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class KnowledgeBaseTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileNameOfPath_data();
    void fileNameOfPath();
    void createsWithNameAsGiven_data();
    void createsWithNameAsGiven();
    void blankNameDoesNothing_data();
    void blankNameDoesNothing();
    void existingPathIsLeftAlone_data();
    void existingPathIsLeftAlone();
    void illegalNameCreatesNothing_data();
    void illegalNameCreatesNothing();
    void failedWriteLeavesNoFile();
    void freshKnowledgeBaseIsEmptyAndStartsAtOne();
    void openShowsNameAndIndexesOnce();
    void unopenableFileClosesAndShowsNothing_data();
    void unopenableFileClosesAndShowsNothing();

private:
    // A knowledge base with one item, opened; its path.
    QString openSampleKnowledgeBase();

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_runDirectory;
    std::unique_ptr<DatabaseObjects> m_database;
    RecordingKnowledgeBaseView m_view;
};

void KnowledgeBaseTest::init() {
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_runDirectory = m_temp->filePath(QStringLiteral("岚笺 运行目录"));
    QVERIFY(QDir().mkpath(m_runDirectory));
    m_database = std::make_unique<DatabaseObjects>();
    m_view = RecordingKnowledgeBaseView();
}

void KnowledgeBaseTest::cleanup() {
    m_database.reset();
    m_temp.reset();
}

QString KnowledgeBaseTest::openSampleKnowledgeBase() {
    const QString path = m_temp->filePath(QStringLiteral("已开.db"));
    RecordingKnowledgeBaseView view;
    if (!writeFile(path, emptyDatabaseImage()) || !openKnowledgeBase(*m_database, path, view) ||
        !m_database->connection.execute(createItemTable()) ||
        !addDocument(*m_database, "0", "已开的文档", "", ""))
        return QString();
    return path;
}

void KnowledgeBaseTest::fileNameOfPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("full path") << "/home/用户/知识库/笔记.db"
                               << "笔记.db";
    QTest::newRow("name only") << "笔记.db"
                               << "笔记.db";
    QTest::newRow("trailing separator") << "/home/知识库/"
                                        << "";
    QTest::newRow("backslashes are no separators") << "C:\\岚笺\\a.db"
                                                   << "C:\\岚笺\\a.db";
    QTest::newRow("empty") << ""
                           << "";
}

void KnowledgeBaseTest::fileNameOfPath() {
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QCOMPARE(fileNameOf(path), fileName);
}

void KnowledgeBaseTest::createsWithNameAsGiven_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("pre-filled name") << "新建 知识库";
    QTest::newRow("outer blanks kept") << "　 读书 笔记 ";
    QTest::newRow("wildcards are plain characters") << "*";
    QTest::newRow("dots inside") << "a..b";
}

void KnowledgeBaseTest::createsWithNameAsGiven() {
    QFETCH(QString, name);
    // An existing file that a wildcard would match must not count as the name.
    QVERIFY(writeFile(m_runDirectory + "/其它.db", "x"));

    QVERIFY(createKnowledgeBase(*m_database, m_runDirectory, name, m_view));
    const QString fileName = name + ".db";
    QVERIFY(QFileInfo(m_runDirectory + '/' + fileName).isFile());
    QVERIFY(m_database->connection.isConnected());
    QCOMPARE(m_view.names, QStringList{fileName});
    QCOMPARE(m_view.indexCount, 1);
    QCOMPARE(m_view.messages, QStringList{});
    QCOMPARE(QDir(m_runDirectory).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
}

void KnowledgeBaseTest::blankNameDoesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty (cancelled)") << "";
    QTest::newRow("half-width blanks") << "   ";
    QTest::newRow("full-width blanks") << "　　";
    QTest::newRow("mixed blanks") << " 　 ";
}

void KnowledgeBaseTest::blankNameDoesNothing() {
    QFETCH(QString, name);
    QVERIFY(!createKnowledgeBase(*m_database, m_runDirectory, name, m_view));
    QVERIFY(m_view.untouched());
    QVERIFY(QDir(m_runDirectory).isEmpty());
}

void KnowledgeBaseTest::existingPathIsLeftAlone_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("directory") << "directory";
    QTest::newRow("dangling link") << "link";
}

void KnowledgeBaseTest::existingPathIsLeftAlone() {
    QFETCH(QString, kind);
    const QString openPath = openSampleKnowledgeBase();
    QVERIFY(!openPath.isEmpty());
    const QByteArray openBytes = contentsOf(openPath);

    const QString path = m_runDirectory + "/旧 知识库.db";
    if (kind == "file")
        QVERIFY(writeFile(path, "用户的文件，不能动"));
    else if (kind == "directory")
        QVERIFY(QDir().mkdir(path));
    else
        QVERIFY(QFile::link(m_runDirectory + "/不存在", path));

    QVERIFY(!createKnowledgeBase(*m_database, m_runDirectory, "旧 知识库", m_view));
    QCOMPARE(m_view.messages, QStringList{"知识库【旧 知识库.db】已存在，创建失败！"});
    QVERIFY(m_view.names.isEmpty());
    QCOMPARE(m_view.indexCount, 0);
    if (kind == "file")
        QCOMPARE(contentsOf(path), QByteArray("用户的文件，不能动"));
    QVERIFY(!QFileInfo::exists(m_runDirectory + "/不存在"));

    // The open knowledge base stays open and unchanged.
    QVERIFY(m_database->connection.isConnected());
    QCOMPARE(contentsOf(openPath), openBytes);
    m_database->primaryRecordSet.open(selectItemById("1"));
    QCOMPARE(m_database->primaryRecordSet.readText("NTitle"), QStringLiteral("已开的文档"));
}

void KnowledgeBaseTest::illegalNameCreatesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << "子目录/笔记";
    QTest::newRow("leading slash") << "/tmp/笔记";
    QTest::newRow("parent") << "../笔记";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("NUL") << QString("a") + QChar(0) + "b";
}

void KnowledgeBaseTest::illegalNameCreatesNothing() {
    QFETCH(QString, name);
    QVERIFY(QDir().mkdir(m_runDirectory + "/子目录"));
    const QStringList outsideBefore = QDir(m_temp->path()).entryList(QDir::AllEntries);

    QVERIFY(!createKnowledgeBase(*m_database, m_runDirectory, name, m_view));
    QCOMPARE(m_view.messages,
             QStringList{"知识库【" + name + ".db】创建失败！请检查文件名是否非法"});
    QVERIFY(m_view.names.isEmpty());
    QCOMPARE(QDir(m_runDirectory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"子目录"});
    QVERIFY(QDir(m_runDirectory + "/子目录").isEmpty());
    QCOMPARE(QDir(m_temp->path()).entryList(QDir::AllEntries), outsideBefore);
    QVERIFY(!QFileInfo::exists("/tmp/笔记.db"));
}

void KnowledgeBaseTest::failedWriteLeavesNoFile() {
    // A run directory that is gone, and a name longer than a file name may be.
    const QString missing = m_temp->filePath("不在了");
    QVERIFY(!createKnowledgeBase(*m_database, missing, "笔记", m_view));
    QCOMPARE(m_view.messages, QStringList{"知识库【笔记.db】创建失败！请检查文件名是否非法"});
    QVERIFY(!QFileInfo::exists(missing));

    const QString tooLong(300, QChar(u'长'));
    m_view = RecordingKnowledgeBaseView();
    QVERIFY(!createKnowledgeBase(*m_database, m_runDirectory, tooLong, m_view));
    QCOMPARE(m_view.messages,
             QStringList{"知识库【" + tooLong + ".db】创建失败！请检查文件名是否非法"});
    QVERIFY(m_view.names.isEmpty());
    QVERIFY(QDir(m_runDirectory).isEmpty());
}

void KnowledgeBaseTest::freshKnowledgeBaseIsEmptyAndStartsAtOne() {
    QVERIFY(createKnowledgeBase(*m_database, m_runDirectory, "新建 知识库", m_view));
    RecordSet& rows = m_database->primaryRecordSet;
    rows.open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(rows.recordCount(), 0);
    rows.open(selectTopLevel());
    QCOMPARE(rows.recordCount(), 0);

    QVERIFY(addDocument(*m_database, "0", "第一篇", "", ""));
    rows.open(selectTopLevel());
    QCOMPARE(rows.recordCount(), 1);
    QCOMPARE(rows.readInteger("ID"), 1);

    // The new file is a knowledge base of this program, found again at start-up.
    m_database = std::make_unique<DatabaseObjects>();
    RecordingKnowledgeBaseView view;
    QVERIFY(openStartupKnowledgeBase(*m_database, m_runDirectory, "新建 知识库.db", view));
    QCOMPARE(view.names, QStringList{"新建 知识库.db"});
    m_database->primaryRecordSet.open(selectItemById("1"));
    QCOMPARE(m_database->primaryRecordSet.readText("NTitle"), QStringLiteral("第一篇"));
}

void KnowledgeBaseTest::openShowsNameAndIndexesOnce() {
    const QString path = m_runDirectory + "/笔记 本.db";
    QVERIFY(writeFile(path, emptyDatabaseImage()));

    QVERIFY(openKnowledgeBase(*m_database, path, m_view));
    QVERIFY(m_database->connection.isConnected());
    QCOMPARE(m_view.names, QStringList{"笔记 本.db"});
    QCOMPARE(m_view.indexCount, 1);
    QVERIFY(m_view.messages.isEmpty());
    // Both record sets run on the connection.
    QVERIFY(m_database->connection.execute(createItemTable()));
    m_database->primaryRecordSet.open(selectTopLevel());
    QCOMPARE(m_database->primaryRecordSet.recordCount(), 0);
    QCOMPARE(nextItemId(m_database->secondaryRecordSet), QStringLiteral("1"));
    m_database->secondaryRecordSet.open(selectLastId());
    QCOMPARE(m_database->secondaryRecordSet.recordCount(), 0);
}

void KnowledgeBaseTest::unopenableFileClosesAndShowsNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("directory") << "directory";
    QTest::newRow("broken old file") << "jet";
    QTest::newRow("start-up without a setting") << "no setting";
}

void KnowledgeBaseTest::unopenableFileClosesAndShowsNothing() {
    QFETCH(QString, kind);
    QVERIFY(!openSampleKnowledgeBase().isEmpty());

    const QString path = m_runDirectory + "/坏.db";
    if (kind == "text")
        QVERIFY(writeFile(path, "这不是数据库"));
    else if (kind == "empty")
        QVERIFY(writeFile(path, ""));
    else if (kind == "directory")
        QVERIFY(QDir().mkdir(path));
    else if (kind == "jet")
        QVERIFY(writeFile(path, QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(100, '\x7f')));

    const bool opened = kind == "no setting"
                            ? openStartupKnowledgeBase(*m_database, m_runDirectory, "", m_view)
                            : openKnowledgeBase(*m_database, path, m_view);
    QVERIFY(!opened);
    QVERIFY(!m_database->connection.isConnected());
    QVERIFY(m_view.names.isEmpty());
    QCOMPARE(m_view.indexCount, 0);
    if (kind != "jet") // the importer may say why it could not read the old file
        QVERIFY(m_view.messages.isEmpty());
    if (kind == "missing")
        QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(KnowledgeBaseTest)
#include "tst_knowledgebase.moc"
