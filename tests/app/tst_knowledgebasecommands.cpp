#include "app/Settings.h"
#include "tests/app/support/ShellFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

class KnowledgeBaseCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFixture> m_shell;

    MainWindow& window() { return m_shell->window(); }
    bool connected() { return m_shell->context().database().connection.isConnected(); }
    QString fileNamePart() { return window().controls().statusParts[1]->text(); }
    QString message() { return window().controls().statusParts[3]->text(); }
    QString recorded() {
        return m_shell->settings().readText(knowledgeBaseKey, QStringLiteral("无"));
    }
    QStringList runDirectoryFiles() {
        return QDir(m_shell->runDirectory())
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    void newKnowledgeBase(const QString& name) {
        m_shell->prompts().answerText(name);
        window().menus().newKnowledgeBase->trigger();
    }
    void openKnowledgeBase(const QString& path) {
        m_shell->prompts().answerFile(path);
        window().menus().openKnowledgeBase->trigger();
    }

private slots:
    void init() {
        m_shell = std::make_unique<ShellFixture>();
        m_shell->showWindow();
    }
    void cleanup() {
        QCOMPARE(m_shell->prompts().unusedAnswers(), 0);
        m_shell.reset();
    }

    void newWithThePrefilledName() {
        newKnowledgeBase(QStringLiteral("新建 知识库"));
        const auto& asked = m_shell->prompts().questions();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].shown, QStringList({"请输入新知识库的名称", "", "新建 知识库"}));
        QVERIFY(QFile::exists(m_shell->runDirectory() + QStringLiteral("/新建 知识库.db")));
        QVERIFY(connected());
        QCOMPARE(fileNamePart(), QStringLiteral("新建 知识库.db"));
        QCOMPARE(recorded(), QStringLiteral("新建 知识库.db"));
        QCOMPARE(message(), QStringLiteral("目录索引完毕"));
    }

    // Blanks around a name stay in the file name and in Setting.ini.
    void blanksAroundANameStay() {
        newKnowledgeBase(QStringLiteral(" 空格　"));
        QVERIFY(QFile::exists(m_shell->runDirectory() + QStringLiteral("/ 空格　.db")));
        QCOMPARE(recorded(), QStringLiteral(" 空格　.db"));

        m_shell->endWindow();
        m_shell->showWindow();
        QVERIFY(connected());
        QCOMPARE(fileNamePart(), QStringLiteral(" 空格　.db"));
    }

    void blankNamesDoNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("cancelled") << QString();
        QTest::newRow("half-width blanks") << QStringLiteral("   ");
        QTest::newRow("full-width blanks") << QStringLiteral("　　");
        QTest::newRow("both") << QStringLiteral(" 　 ");
    }
    void blankNamesDoNothing() {
        QFETCH(QString, name);
        const QStringList before = runDirectoryFiles();
        newKnowledgeBase(name);
        QCOMPARE(runDirectoryFiles(), before);
        QVERIFY(!m_shell->settingsExist());
        QCOMPARE(message(), QString());
        QVERIFY(!connected());
    }

    void existingNameLeavesEverythingAlone() {
        newKnowledgeBase(QStringLiteral("当前"));
        const QString existing = m_shell->runDirectory() + QStringLiteral("/旧的.db");
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("不是知识库");
        }
        const QByteArray settingsBefore = m_shell->settingsBytes();
        newKnowledgeBase(QStringLiteral("旧的"));
        QCOMPARE(message(), QStringLiteral("知识库【旧的.db】已存在，创建失败！"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("不是知识库"));
        QVERIFY(connected());
        QCOMPARE(fileNamePart(), QStringLiteral("当前.db"));
        QCOMPARE(m_shell->settingsBytes(), settingsBefore);
    }

    void namesThatLeaveTheRunDirectoryAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << QStringLiteral("子/目录");
        QTest::newRow("up and out") << QStringLiteral("../外面");
        QTest::newRow("dot dot") << QStringLiteral("..");
    }
    void namesThatLeaveTheRunDirectoryAreRefused() {
        QFETCH(QString, name);
        QDir(m_shell->runDirectory()).mkdir(QStringLiteral("子"));
        const QStringList before = runDirectoryFiles();
        newKnowledgeBase(name);
        QCOMPARE(message(), QStringLiteral("知识库【") + name +
                                QStringLiteral(".db】创建失败！请检查文件名是否非法"));
        QCOMPARE(runDirectoryFiles(), before);
        QVERIFY(QDir(m_shell->runDirectory() + QStringLiteral("/子")).isEmpty());
        // Other programs share the parent directory, so look for the one file
        // the name would have made there.
        const QString escaped = m_shell->runDirectory() + QLatin1Char('/') + name + ".db";
        QVERIFY(!QFileInfo::exists(escaped));
        QVERIFY(!m_shell->settingsExist());
    }

    void bothCommandsAreRefusedWhileEditing() {
        window().controls().rightPages->setCurrentIndex(1);
        window().menus().newKnowledgeBase->trigger();
        QCOMPARE(message(), QStringLiteral("【保护】你目前正处于编辑模式，请先保存或返回"));
        window().showStatus(QString());
        window().menus().openKnowledgeBase->trigger();
        QCOMPARE(message(), QStringLiteral("【保护】你目前正处于编辑模式，请先保存或返回"));
        QVERIFY(m_shell->prompts().questions().isEmpty());
        QVERIFY(!m_shell->settingsExist());
    }

    void openDialogAndCancel() {
        openKnowledgeBase(QString());
        QCOMPARE(m_shell->prompts().questions()[0].shown,
                 QStringList({"请选择资料库文件", "岚笺知识库(*.db)", m_shell->runDirectory()}));
        QVERIFY(!m_shell->settingsExist());
        QVERIFY(!connected());
    }

    // Opened from elsewhere, a knowledge base is recorded by file name and
    // found at the next start only in the run directory.
    void openedFromAnotherDirectory() {
        QTemporaryDir elsewhere;
        const QString path = elsewhere.path() + QStringLiteral("/别处.db");
        createKnowledgeBaseFile(path);
        openKnowledgeBase(path);
        QVERIFY(connected());
        QCOMPARE(fileNamePart(), QStringLiteral("别处.db"));
        QCOMPARE(recorded(), QStringLiteral("别处.db"));

        m_shell->endWindow();
        m_shell->showWindow();
        QVERIFY(!connected());
        QCOMPARE(fileNamePart(), QString());

        QVERIFY(QFile::copy(path, m_shell->runDirectory() + QStringLiteral("/别处.db")));
        m_shell->endWindow();
        m_shell->showWindow();
        QVERIFY(connected());
        QCOMPARE(fileNamePart(), QStringLiteral("别处.db"));
    }

    // A file that does not open is still recorded; the view keeps showing
    // the knowledge base that was open.
    void unopenableFileIsRecorded() {
        newKnowledgeBase(QStringLiteral("好的"));
        const QString bad = m_shell->runDirectory() + QStringLiteral("/坏的.db");
        {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        openKnowledgeBase(bad);
        QVERIFY(!connected());
        QCOMPARE(fileNamePart(), QStringLiteral("好的.db"));
        QCOMPARE(recorded(), QStringLiteral("坏的.db"));
    }
};

QTEST_MAIN(KnowledgeBaseCommandsTest)
#include "tst_knowledgebasecommands.moc"
