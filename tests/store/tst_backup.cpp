#include "store/Backup.h"
#include "store/DatabaseObjects.h"
#include "store/KnowledgeBase.h"
#include "store/Statements.h"
#include "support/StoreFiles.h"
#include "tests/support/RecordingViews.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void openMakesConsistentCopy();
    void secondOpenOfTheDayMakesNone();
    void newestSevenOfEachKnowledgeBaseKept();
    void failedBackupIsReportedAndOpenStands_data();
    void failedBackupIsReportedAndOpenStands();

private:
    QString todaysBackup() const {
        return backupFolder(m_runDirectory) + "/读书 笔记-" +
               QDate::currentDate().toString("yyyy-MM-dd") + ".db";
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_runDirectory;
    QString m_path;
};

void BackupTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_runDirectory = m_dir->filePath("运行目录");
    QVERIFY(QDir().mkpath(m_runDirectory));
    m_path = m_runDirectory + "/读书 笔记.db";
    QVERIFY(createKnowledgeBaseFile(m_path));
    DatabaseObjects database;
    QVERIFY(openDatabase(database, m_path));
    QVERIFY(fillKnowledgeBase(database, 60));
}

void BackupTest::openMakesConsistentCopy() {
    DatabaseObjects database;
    RecordingKnowledgeBaseView view;
    QVERIFY(openKnowledgeBase(database, m_path, view, m_runDirectory));
    QVERIFY(view.messages.isEmpty());
    QCOMPARE(QDir(backupFolder(m_runDirectory)).entryList(QDir::Files),
             QStringList{QFileInfo(todaysBackup()).fileName()});

    QCOMPARE(integrityOf(todaysBackup()), "ok");
    DatabaseObjects copy;
    QVERIFY(openDatabase(copy, todaysBackup()));
    QCOMPARE(rowsOf(copy), rowsOf(database));
    QCOMPARE(rowsOf(copy).size(), 60);
}

void BackupTest::secondOpenOfTheDayMakesNone() {
    DatabaseObjects database;
    RecordingKnowledgeBaseView view;
    QVERIFY(openKnowledgeBase(database, m_path, view, m_runDirectory));
    const QByteArray first = fileBytes(todaysBackup());
    QVERIFY(addDocument(database, "0", "后来的文档", "", "<p>新</p>"));
    QVERIFY(openKnowledgeBase(database, m_path, view, m_runDirectory));
    QVERIFY(fileBytes(todaysBackup()) == first);
    QCOMPARE(QDir(backupFolder(m_runDirectory)).entryList(QDir::Files).size(), 1);
}

void BackupTest::newestSevenOfEachKnowledgeBaseKept() {
    const QDir folder(backupFolder(m_runDirectory));
    QVERIFY(folder.mkpath("."));
    // Backups of other knowledge bases whose names begin alike, and a file
    // that is no backup, are not this knowledge base's to remove.
    const QStringList others{"读书 笔记本-2020-01-01.db", "读书-2020-01-01.db", "读书 笔记-旧的.db",
                             "读书 笔记-2020-01-01-副本.db"};
    for (const QString& other : others)
        QVERIFY(writeBytes(folder.filePath(other), "别人的"));

    const QDate first(2026, 12, 25);
    for (int day = 0; day < 10; ++day)
        QCOMPARE(backUpKnowledgeBase(m_path, m_runDirectory, first.addDays(day)), QString());

    QStringList expected = others;
    for (int day = 3; day < 10; ++day)
        expected << "读书 笔记-" + first.addDays(day).toString("yyyy-MM-dd") + ".db";
    QStringList kept = folder.entryList(QDir::Files);
    kept.sort();
    expected.sort();
    QCOMPARE(kept, expected);
}

void BackupTest::failedBackupIsReportedAndOpenStands_data() {
    QTest::addColumn<bool>("folderIsAFile");
    QTest::newRow("a file where the folder must be") << true;
    QTest::newRow("the copy cannot be written") << false;
}

void BackupTest::failedBackupIsReportedAndOpenStands() {
    QFETCH(bool, folderIsAFile);
    const QString folder = backupFolder(m_runDirectory);
    // A folder in the place of the file being written stops the copy.
    const QString blocker = folderIsAFile ? folder : todaysBackup() + ".part";
    if (folderIsAFile) {
        QVERIFY(QDir().mkpath(m_runDirectory + "/Data"));
        QVERIFY(writeBytes(blocker, "一个文件占着文件夹的位置"));
    } else {
        QVERIFY(QDir().mkpath(blocker + "/里面"));
    }

    DatabaseObjects database;
    RecordingKnowledgeBaseView view;
    QVERIFY(openKnowledgeBase(database, m_path, view, m_runDirectory));
    QVERIFY(database.connection.isConnected());
    QCOMPARE(view.messages.size(), 1);
    if (folderIsAFile) {
        QCOMPARE(view.messages.first(), "备份知识库失败：无法创建备份文件夹【" + folder + "】");
        QCOMPARE(fileBytes(blocker), QByteArray("一个文件占着文件夹的位置"));
    } else {
        QVERIFY2(view.messages.first().startsWith("备份知识库失败：无法写入备份文件【" +
                                                  todaysBackup() + "】"),
                 qPrintable(view.messages.first()));
        QVERIFY(!QFileInfo::exists(todaysBackup()));
        QVERIFY(QFileInfo(blocker + "/里面").isDir());
    }
    QCOMPARE(rowsOf(database).size(), 60);
}

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
