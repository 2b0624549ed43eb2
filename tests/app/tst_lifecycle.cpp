#include "app/Settings.h"
#include "resources/WebAddresses.h"
#include "tests/app/support/ShellFixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QUrl>

// Receives the addresses the program asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class LifecycleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFixture> m_shell;

    bool staysOnTop() { return m_shell->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    QString fileNamePart() { return m_shell->window().controls().statusParts[1]->text(); }
    QRect designBounds() {
        MainWindow& window = m_shell->window();
        QRect bounds(QPoint(), QSize(840, 478 + window.menuBar()->sizeHint().height()));
        bounds.moveCenter(window.screen()->availableGeometry().center());
        return bounds;
    }

private slots:
    void init() { m_shell = std::make_unique<ShellFixture>(); }
    void cleanup() { m_shell.reset(); }

    // Places are checked as the program sets them, before the window is
    // shown: the offscreen platform then moves a frame that leaves its
    // small screen.
    void firstStartWithoutSettings() {
        QCOMPARE(m_shell->createWindow().geometry(), QRect(200, 200, 850, 500));
        MainWindow& window = m_shell->showWindow();
        QVERIFY(!window.isMaximized());
        QVERIFY(!staysOnTop());
        QVERIFY(!window.menus().staysOnTop->isChecked());
        QVERIFY(QFileInfo(m_shell->runDirectory() + QStringLiteral("/Data")).isDir());
        // The start-up open of runDirectory + "/" fails and shows nothing.
        QVERIFY(!m_shell->context().database().connection.isConnected());
        QCOMPARE(fileNamePart(), QString());
        QCOMPARE(window.controls().statusParts[3]->text(), QString());
        QVERIFY(!m_shell->settingsExist());
    }

    void storedPlacement_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("geometry and on top")
            << QByteArray("[岚笺学习机]\n左边=120\n顶边=90\n宽度=900\n高度=560\n置顶=真\n")
            << QRect(120, 90, 900, 560) << true;
        QTest::newRow("only 真 sets a flag")
            << QByteArray(
                   "[岚笺学习机]\n最大化=true\n左边=10\n顶边=20\n宽度=700\n高度=400\n置顶=1\n")
            << QRect(10, 20, 700, 400) << false;
        QTest::newRow("non-numeric coordinate reads 0")
            << QByteArray("[岚笺学习机]\n左边=左\n顶边=30px\n") << QRect(0, 30, 850, 500) << false;
    }
    void storedPlacement() {
        QFETCH(QByteArray, settings);
        QFETCH(QRect, geometry);
        QFETCH(bool, onTop);
        m_shell->writeSettings(settings);
        QCOMPARE(m_shell->createWindow().geometry(), geometry);
        MainWindow& window = m_shell->showWindow();
        QVERIFY(!window.isMaximized());
        QCOMPARE(staysOnTop(), onTop);
        QCOMPARE(window.menus().staysOnTop->isChecked(), onTop);
    }

    // Maximised, the stored bounds are not read: restoring gives the
    // design's place and size.
    void maximisedReadsNoGeometry() {
        m_shell->writeSettings("[岚笺学习机]\n最大化=真\n左边=5\n顶边=6\n宽度=300\n高度=200\n");
        m_shell->createWindow();
        QCOMPARE(m_shell->window().geometry(), designBounds());
        MainWindow& window = m_shell->showWindow();
        QTRY_VERIFY(window.isMaximized());
        QCOMPARE(window.normalGeometry(), designBounds());
    }

    void closeWritesNormalBounds() {
        m_shell->writeSettings("; 保留\n[岚笺学习机]\n知识库=a.db\n");
        MainWindow& window = m_shell->showWindow();
        window.setGeometry(150, 160, 870, 520);
        QVERIFY(window.close());
        const Settings settings = m_shell->settings();
        QCOMPARE(m_shell->settingsBytes(),
                 QByteArray("; 保留\n[岚笺学习机]\n知识库=a.db\n最大化=假\n左边=150\n顶边=160\n"
                            "宽度=870\n高度=520\n"));
    }

    void closeWhileMaximisedRewritesOnlyTheFlag() {
        const QByteArray before =
            "[岚笺学习机]\r\n最大化=假\r\n左边=11\r\n顶边=22\r\n宽度=833\r\n高度=444\r\n";
        m_shell->writeSettings(before);
        MainWindow& window = m_shell->showWindow();
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        QVERIFY(window.close());
        QByteArray after = before;
        after.replace("最大化=假", "最大化=真");
        QCOMPARE(m_shell->settingsBytes(), after);
    }

    // A minimised window writes the bounds it comes back to, also when it
    // was maximised before (a minimised window counts as not maximised).
    void closeWhileMinimisedWritesRestoredBounds() {
        MainWindow& window = m_shell->showWindow();
        window.setGeometry(140, 130, 800, 450);
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        window.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
        QTRY_VERIFY(window.isMinimized());
        QVERIFY(window.close());
        const Settings settings = m_shell->settings();
        QCOMPARE(settings.readText(maximisedKey, QString()), QStringLiteral("假"));
        QCOMPARE(settings.readInteger(leftKey, QString()), 140);
        QCOMPARE(settings.readInteger(topKey, QString()), 130);
        QCOMPARE(settings.readInteger(widthKey, QString()), 800);
        QCOMPARE(settings.readInteger(heightKey, QString()), 450);
    }

    void closeWhileEditingIsRefused() {
        m_shell->writeSettings("[岚笺学习机]\n左边=1\n");
        MainWindow& window = m_shell->showWindow();
        window.controls().rightPages->setCurrentIndex(1);
        QVERIFY(window.isEditing());
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(window.controls().statusParts[3]->text(),
                 QStringLiteral("【保护】你目前正处于编辑模式，请先保存或返回"));
        QCOMPARE(m_shell->settingsBytes(), QByteArray("[岚笺学习机]\n左边=1\n"));

        window.controls().rightPages->setCurrentIndex(0);
        QVERIFY(window.close());
    }

    // The flag is written at once, each time the item is chosen.
    void staysOnTopTwice() {
        MainWindow& window = m_shell->showWindow();
        QAction* item = window.menus().staysOnTop;
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(staysOnTop());
        QVERIFY(window.isVisible());
        QCOMPARE(m_shell->settings().readText(staysOnTopKey, QString()), QStringLiteral("真"));
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!staysOnTop());
        QVERIFY(window.isVisible());
        QCOMPARE(m_shell->settingsBytes(), QByteArray("[岚笺学习机]\n置顶=假\n"));
    }

    void aboutItemsOpenTheirPages() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        MainWindow& window = m_shell->createWindow();
        window.menus().aboutProgram->trigger();
        window.menus().aboutMaker->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.opened, QList<QUrl>({QUrl(QString::fromUtf8(productPageAddress)),
                                               QUrl(QString::fromUtf8(homePageAddress))}));
    }

    // The knowledge base named in Setting.ini opens at the first activation,
    // and only then.
    void firstActivationOpensTheLastKnowledgeBase() {
        createKnowledgeBaseFile(m_shell->runDirectory() + QStringLiteral("/上次.db"));
        m_shell->writeSettings("[岚笺学习机]\n知识库=上次.db\n");
        MainWindow& window = m_shell->createWindow();
        const DatabaseConnection& connection = m_shell->context().database().connection;
        QVERIFY(!connection.isConnected());
        m_shell->showWindow();
        QVERIFY(connection.isConnected());
        QCOMPARE(fileNamePart(), QStringLiteral("上次.db"));
        QCOMPARE(window.controls().statusParts[3]->text(), QStringLiteral("目录索引完毕"));
        const quint64 statementsAfterOpening = connection.statementCount();

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(connection.statementCount(), statementsAfterOpening);

        QVERIFY(window.close());
        QVERIFY(!m_shell->context().database().connection.isConnected());
    }
};

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
