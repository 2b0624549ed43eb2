// A full disk, a write-protected file and a file deleted, moved or replaced
// while open: saves fail as usual, nothing saved before is lost, and the
// connection works again once the fault is gone.

#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "support/StoreFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

// A file system that fills up or is mounted read only on command: wraps the
// default VFS, which it replaces while it lives.
class FaultyFileSystem {
public:
    FaultyFileSystem() : m_real(sqlite3_vfs_find(nullptr)) {
        m_vfs = *m_real;
        m_vfs.zName = "lanjian_faulty";
        m_vfs.szOsFile = int(sizeof(File)) + m_real->szOsFile;
        m_vfs.pAppData = this;
        m_vfs.xOpen = &FaultyFileSystem::open;
        sqlite3_vfs_register(&m_vfs, 1);
    }
    ~FaultyFileSystem() {
        sqlite3_vfs_unregister(&m_vfs);
        sqlite3_vfs_register(m_real, 1);
    }
    FaultyFileSystem(const FaultyFileSystem&) = delete;
    FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

    // Bytes that may still be written before the disk is full; -1 for no limit.
    qint64 writeBudget = -1;
    // Database files open read only, as on a write-protected file.
    bool writeProtected = false;

private:
    struct File {
        sqlite3_file base;
        FaultyFileSystem* system;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };

    static File& fileOf(sqlite3_file* file) { return *reinterpret_cast<File*>(file); }
    static sqlite3_file* real(sqlite3_file* file) { return fileOf(file).real(); }

    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                    int* outFlags) {
        auto* system = static_cast<FaultyFileSystem*>(vfs->pAppData);
        if (system->writeProtected && (flags & SQLITE_OPEN_MAIN_DB))
            flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
        File& wrapper = fileOf(file);
        wrapper.system = system;
        const int rc = system->m_real->xOpen(system->m_real, name, wrapper.real(), flags, outFlags);
        wrapper.base.pMethods = wrapper.real()->pMethods ? &methods : nullptr;
        return rc;
    }

    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
        qint64& budget = fileOf(file).system->writeBudget;
        if (budget >= 0) {
            if (budget < amount) {
                budget = 0;
                return SQLITE_FULL;
            }
            budget -= amount;
        }
        return real(file)->pMethods->xWrite(real(file), data, amount, offset);
    }

    static int close(sqlite3_file* file) { return real(file)->pMethods->xClose(real(file)); }
    static int read(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
        return real(f)->pMethods->xRead(real(f), data, amount, offset);
    }
    static int truncate(sqlite3_file* f, sqlite3_int64 size) {
        return real(f)->pMethods->xTruncate(real(f), size);
    }
    static int sync(sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); }
    static int fileSize(sqlite3_file* f, sqlite3_int64* size) {
        return real(f)->pMethods->xFileSize(real(f), size);
    }
    static int lock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
    static int unlock(sqlite3_file* f, int level) {
        return real(f)->pMethods->xUnlock(real(f), level);
    }
    static int checkReservedLock(sqlite3_file* f, int* out) {
        return real(f)->pMethods->xCheckReservedLock(real(f), out);
    }
    static int fileControl(sqlite3_file* f, int op, void* arg) {
        return real(f)->pMethods->xFileControl(real(f), op, arg);
    }
    static int sectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
    static int deviceCharacteristics(sqlite3_file* f) {
        return real(f)->pMethods->xDeviceCharacteristics(real(f));
    }

    // Version 1: no shared memory and no memory mapping, which a rollback
    // journal does not need.
    static constexpr sqlite3_io_methods methods = {1,
                                                   &close,
                                                   &read,
                                                   &write,
                                                   &truncate,
                                                   &sync,
                                                   &fileSize,
                                                   &lock,
                                                   &unlock,
                                                   &checkReservedLock,
                                                   &fileControl,
                                                   &sectorSize,
                                                   &deviceCharacteristics,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr,
                                                   nullptr};

    sqlite3_vfs* m_real;
    sqlite3_vfs m_vfs;
};

const QString bigBody = QStringLiteral("<p>很长的正文，跨越许多页。</p>").repeated(4000);

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fullDiskFailsSaveAndKeepsData_data();
    void fullDiskFailsSaveAndKeepsData();
    void writeProtectedFileReadsButRefusesSaves();
    void fileMovedAwayWhileOpen();
    void fileDeletedWhileOpen();
    void fileReplacedWhileOpen();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<FaultyFileSystem> m_files;
    std::unique_ptr<DatabaseObjects> m_database;
    QStringList m_saved; // the rows before the fault
};

void FaultsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("故障 知识库.db"));
    m_files = std::make_unique<FaultyFileSystem>();
    QVERIFY(createKnowledgeBaseFile(m_path));
    m_database = std::make_unique<DatabaseObjects>();
    QVERIFY(openDatabase(*m_database, m_path));
    QVERIFY(fillKnowledgeBase(*m_database, 40));
    m_saved = rowsOf(*m_database);
    QCOMPARE(m_saved.size(), 40);
}

void FaultsTest::cleanup() {
    m_database.reset();
    m_files.reset();
    m_dir.reset();
}

void FaultsTest::fullDiskFailsSaveAndKeepsData_data() {
    QTest::addColumn<QString>("save");
    QTest::addColumn<qint64>("budget");
    // Budgets that run out in the journal, in its header, and in the
    // database file itself after the journal is complete.
    for (const qint64 budget : {0, 300, 4096, 30000, 120000, 200000})
        QTest::addRow("add, %lld bytes left", budget) << "add" << budget;
    for (const qint64 budget : {0, 5000, 60000})
        QTest::addRow("modify, %lld bytes left", budget) << "modify" << budget;
    QTest::addRow("delete, no bytes left") << "delete" << qint64(0);
}

void FaultsTest::fullDiskFailsSaveAndKeepsData() {
    QFETCH(QString, save);
    QFETCH(qint64, budget);
    DatabaseObjects& database = *m_database;

    m_files->writeBudget = budget;
    bool saved = false;
    if (save == "add")
        saved = addDocument(database, "1", "放不下的文档", "", bigBody);
    else if (save == "modify")
        saved = modifyItem(database, "5", "改名", "改摘要", bigBody);
    else
        saved = database.connection.execute(deleteChildren("1"));
    QVERIFY(!saved);
    QVERIFY(!database.connection.errorText().isEmpty());

    m_files->writeBudget = -1;
    if (save != "modify") // a modification is three statements; the first may stand
        QCOMPARE(rowsOf(database), m_saved);
    QCOMPARE(integrityOf(m_path), "ok");
    QVERIFY2(addDocument(database, "1", "空间够了", "", bigBody),
             qPrintable(database.connection.errorText()));

    DatabaseObjects reopened;
    QVERIFY(openDatabase(reopened, m_path));
    const QStringList rows = rowsOf(reopened);
    QCOMPARE(rows.size(), 41);
    QVERIFY(rows.last().contains("空间够了"));
    for (const QString& row : m_saved.mid(save == "modify" ? 5 : 0))
        QVERIFY(rows.contains(row));
}

void FaultsTest::writeProtectedFileReadsButRefusesSaves() {
    m_database->connection.close();
    const QByteArray before = fileBytes(m_path);
    m_files->writeProtected = true;
    DatabaseObjects& database = *m_database;
    QVERIFY(openDatabase(database, m_path));
    QCOMPARE(rowsOf(database), m_saved);
    QVERIFY(!addDocument(database, "0", "写不进", "", ""));
    QVERIFY(!database.connection.errorText().isEmpty());
    QVERIFY(!modifyItem(database, "2", "写不进", "", ""));
    QVERIFY(!database.connection.execute(deleteItem("3")));
    QVERIFY(fileBytes(m_path) == before);

    m_files->writeProtected = false;
    QVERIFY(openDatabase(database, m_path));
    QVERIFY(addDocument(database, "0", "可以写了", "", ""));
    QCOMPARE(rowsOf(database).size(), 41);
}

void FaultsTest::fileMovedAwayWhileOpen() {
    DatabaseObjects& database = *m_database;
    const QString elsewhere = m_dir->filePath("挪走.db");
    QVERIFY(QFile::rename(m_path, elsewhere));
    // Saving into a file that is no longer where it was opened would leave
    // its journal where a crash could not find it.
    QVERIFY(!addDocument(database, "0", "挪走后", "", ""));
    QVERIFY(!database.connection.errorText().isEmpty());
    QVERIFY(!modifyItem(database, "2", "挪走后", "", ""));

    QVERIFY(QFile::rename(elsewhere, m_path));
    QVERIFY2(addDocument(database, "0", "放回后", "", ""),
             qPrintable(database.connection.errorText()));
    QCOMPARE(integrityOf(m_path), "ok");
    QCOMPARE(rowsOf(database).mid(0, 40), m_saved);
}

void FaultsTest::fileDeletedWhileOpen() {
    DatabaseObjects& database = *m_database;
    QVERIFY(QFile::remove(m_path));
    QVERIFY(!addDocument(database, "0", "删除后", "", ""));
    QVERIFY(!database.connection.execute(deleteItem("2")));
    // Nothing appears where the file was: no new file, no stray journal.
    QVERIFY(!QFileInfo::exists(m_path));
    QVERIFY(!QFileInfo::exists(m_path + "-journal"));

    QVERIFY(!openDatabase(database, m_path));
    QVERIFY(createKnowledgeBaseFile(m_path));
    QVERIFY(openDatabase(database, m_path));
    QVERIFY(addDocument(database, "0", "重新建立", "", ""));
}

void FaultsTest::fileReplacedWhileOpen() {
    DatabaseObjects& database = *m_database;
    const QString other = m_dir->filePath("另一个.db");
    QVERIFY(createKnowledgeBaseFile(other));
    const QByteArray replacement = fileBytes(other);
    QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(m_path).constData()) ==
            0);

    QVERIFY(!addDocument(database, "0", "替换后", "", ""));
    QVERIFY(!database.connection.execute(deleteItem("2")));
    QVERIFY(fileBytes(m_path) == replacement);
    QCOMPARE(integrityOf(m_path), "ok");

    // Opening again reaches the file that is there now, and saves into it.
    QVERIFY(openDatabase(database, m_path));
    QVERIFY(addDocument(database, "0", "新文件里", "", ""));
    QCOMPARE(rowsOf(database).size(), 1);
}

QTEST_GUILESS_MAIN(FaultsTest)
#include "tst_faults.moc"
