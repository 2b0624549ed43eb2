#include "app/RunDirectory.h"
#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class SettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_directory;
    QString path() const { return m_directory.path() + QStringLiteral("/Setting.ini"); }
    Settings settings() const { return Settings(path()); }

    void write(const QByteArray& bytes) {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { QFile::remove(path()); }

    void integerRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "200" << 200;
        QTest::newRow("leading blanks") << "  \t42" << 42;
        QTest::newRow("negative") << "-17" << -17;
        QTest::newRow("plus sign") << "+5" << 5;
        QTest::newRow("digits then text") << "12abc" << 12;
        QTest::newRow("decimal point") << "3.9" << 3;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("two signs") << "--5" << 0;
        QTest::newRow("blank after sign") << "- 5" << 0;
        QTest::newRow("full-width digits") << "１２" << 0;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483648LL);
        QTest::newRow("too large") << "99999999999" << 2147483647;
        QTest::newRow("too small") << "-99999999999" << int(-2147483648LL);
    }
    void integerRule() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(parseSettingInteger(text), value);
    }

    void flags_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("set");
        QTest::newRow("真") << QByteArray("置顶=真") << true;
        QTest::newRow("真 with blanks around") << QByteArray("置顶 =  真 ") << true;
        QTest::newRow("假") << QByteArray("置顶=假") << false;
        QTest::newRow("1") << QByteArray("置顶=1") << false;
        QTest::newRow("true") << QByteArray("置顶=true") << false;
        QTest::newRow("真真") << QByteArray("置顶=真真") << false;
        QTest::newRow("empty") << QByteArray("置顶=") << false;
        QTest::newRow("missing") << QByteArray("其它=真") << false;
    }
    void flags() {
        QFETCH(QByteArray, line);
        QFETCH(bool, set);
        write("[岚笺学习机]\n" + line + "\n");
        QCOMPARE(settings().readFlag(staysOnTopKey), set);
    }

    void readsTheProgramsSectionOnly() {
        QCOMPARE(settings().readText(leftKey, QStringLiteral("200")), QStringLiteral("200"));
        write("左边=1\n[其它]\n左边=2\n[ 岚笺学习机 ]\n; 注释=3\n顶边 = 4\n空=\n引号=\"  a b  \"\n"
              "[再一个]\n左边=5\n");
        QCOMPARE(settings().readText(leftKey, QStringLiteral("200")), QStringLiteral("200"));
        QCOMPARE(settings().readInteger(topKey, QStringLiteral("200")), 4);
        QCOMPARE(settings().readText(QStringLiteral("空"), QStringLiteral("默认")), QString());
        QCOMPARE(settings().readText(QStringLiteral("引号"), QString()), QStringLiteral("  a b  "));
        QCOMPARE(settings().readText(QStringLiteral("; 注释"), QStringLiteral("无")),
                 QStringLiteral("无"));
    }

    void writeCreatesFileAndSection() {
        settings().writeText(knowledgeBaseKey, QStringLiteral("新建 知识库.db"));
        QCOMPARE(bytes(), QByteArray("[岚笺学习机]\n知识库=新建 知识库.db\n"));

        write("[其它]\nx=1");
        settings().writeInteger(leftKey, -20);
        QCOMPARE(bytes(), QByteArray("[其它]\nx=1\n[岚笺学习机]\n左边=-20\n"));
    }

    // Keys are changed in place or added after the section's last key;
    // comments, blank lines, other keys and sections, and CR LF stay.
    void writeKeepsEveryOtherLine() {
        write("; 岚笺\r\n[岚笺学习机]\r\n知识库 = a.db\r\n未知=保留\r\n\r\n[其它]\r\n左边=9\r\n");
        settings().writeText(knowledgeBaseKey, QStringLiteral("b.db"));
        settings().writeFlag(maximisedKey, true);
        QCOMPARE(bytes(), QByteArray("; 岚笺\r\n[岚笺学习机]\r\n知识库 =b.db\r\n未知=保留\r\n"
                                     "最大化=真\r\n\r\n[其它]\r\n左边=9\r\n"));
        QCOMPARE(settings().readText(leftKey, QStringLiteral("200")), QStringLiteral("200"));
    }

    // Reading trims blanks and drops enclosing quotation marks; what is
    // written must read back as it was.
    void valuesReadBackUnchanged_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("inner blank") << QStringLiteral("新建 知识库.db");
        QTest::newRow("leading and trailing blanks") << QStringLiteral("  名字 .db");
        QTest::newRow("trailing blank") << QStringLiteral("名字.db ");
        QTest::newRow("full-width blanks") << QStringLiteral("　名字　.db");
        QTest::newRow("enclosed in quotes") << QStringLiteral("\"引号\"");
        QTest::newRow("one quote") << QStringLiteral("'");
        QTest::newRow("equals sign") << QStringLiteral("a=b.db");
        QTest::newRow("empty") << QString();
    }
    void valuesReadBackUnchanged() {
        QFETCH(QString, value);
        settings().writeText(knowledgeBaseKey, value);
        QCOMPARE(settings().readText(knowledgeBaseKey, QStringLiteral("默认")), value);
    }

    void lineBreakInValueIsNotWritten() {
        settings().writeText(knowledgeBaseKey, QStringLiteral("a.db"));
        settings().writeText(knowledgeBaseKey, QStringLiteral("b\n[岚笺学习机]\n最大化=真"));
        QCOMPARE(bytes(), QByteArray("[岚笺学习机]\n知识库=a.db\n"));
    }

    // An old program's file is GBK; it is read as such and written back as
    // UTF-8 with every line kept.
    void gbkFileIsReadAndRewrittenAsUtf8() {
        QStringEncoder gbk("GBK");
        QVERIFY(gbk.isValid());
        const QString old = QStringLiteral("[岚笺学习机]\r\n知识库=我的笔记.db\r\n左边=31\r\n");
        write(gbk.encode(old));
        QCOMPARE(settings().readText(knowledgeBaseKey, QString()), QStringLiteral("我的笔记.db"));
        settings().writeFlag(staysOnTopKey, false);
        QCOMPARE(QString::fromUtf8(bytes()),
                 QStringLiteral("[岚笺学习机]\r\n知识库=我的笔记.db\r\n左边=31\r\n置顶=假\r\n"));
    }

    void failedWriteIsSilentAndHarmless() {
        const QString directory = m_directory.path() + QStringLiteral("/在此处的目录");
        QVERIFY(QDir().mkpath(directory));
        Settings(directory).writeText(leftKey, QStringLiteral("1"));
        QVERIFY(QFileInfo(directory).isDir());
        QVERIFY(QDir(directory).isEmpty());

        const QString missing = m_directory.path() + QStringLiteral("/没有/Setting.ini");
        Settings(missing).writeText(leftKey, QStringLiteral("1"));
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(Settings(missing).readText(leftKey, QStringLiteral("200")), QStringLiteral("200"));
    }

    void runDirectory() {
        QCOMPARE(chooseRunDirectory(m_directory.path() + QStringLiteral("/")), m_directory.path());
        QStandardPaths::setTestModeEnabled(true);
        const QString userDirectory =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(chooseRunDirectory(m_directory.path() + QStringLiteral("/没有")),
                 QDir::cleanPath(userDirectory));
        QCOMPARE(chooseRunDirectory(QStringLiteral("/proc")), QDir::cleanPath(userDirectory));
        QVERIFY(QFileInfo(userDirectory).isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
