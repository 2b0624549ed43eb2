#include "store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

// Whole-file writes (Setting.ini, TempPage) replace the file or leave it as it
// was, also when the disk fills up in the middle of the write.
class WholeFileTest : public QObject {
    Q_OBJECT

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void replacesTheFile() {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("设置.ini"));
        QVERIFY(writeWholeFile(path, "old"));
        QVERIFY(writeWholeFile(path, "new text"));
        QCOMPARE(read(path), QByteArray("new text"));
    }

    // A file size limit stands in for a full disk: the write fails part way.
    void aFailedWriteKeepsTheOldFile() {
        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("Temp.html"));
        QVERIFY(writeWholeFile(path, "the page shown before"));

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = writeWholeFile(path, QByteArray(64 * 1024, 'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QCOMPARE(read(path), QByteArray("the page shown before"));
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Temp.html"}));
    }

    void anUnwritableDirectoryFails() {
        QTemporaryDir directory;
        QVERIFY(!writeWholeFile(directory.filePath(QStringLiteral("missing/Temp.html")), "x"));
    }
};

QTEST_GUILESS_MAIN(WholeFileTest)
#include "tst_wholefile.moc"
