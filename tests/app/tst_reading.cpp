#include "catalogue/ItemKinds.h"
#include "catalogue/TreeBox.h"
#include "documents/HtmlView.h"
#include "resources/WelcomePage.h"
#include "tests/app/support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// Reading a knowledge base through the real main window: opening it, the
// catalogue, showing items and following links in a body.
class ReadingTest : public WindowTest {
    Q_OBJECT

    const QString linkBody = u"<p><a href=\"https://example.org/资料\">网上的资料</a></p>"
                             u"<p><a href=\"附件\\说明.txt\">附件说明</a></p>"_s;

private slots:
    // 读书笔记.db:
    //   目录甲 (a body of its own)
    //     文档乙
    //     子目录丙
    //       文档丁
    //   文档戊 (empty body)
    //   文档己 (two links)
    void init() {
        startRun(u"读书笔记.db"_s);
        const int a = m_file->addDirectory(0, u"目录甲"_s, u"<p>目录甲的说明</p>"_s);
        m_file->addDocument(a, u"文档乙"_s, u"乙的摘要"_s, u"<p>乙的正文</p>"_s);
        const int c = m_file->addDirectory(a, u"子目录丙"_s);
        m_file->addDocument(c, u"文档丁"_s, QString(), u"丁的正文"_s);
        m_file->addDocument(0, u"文档戊"_s);
        m_file->addDocument(0, u"文档己"_s, QString(), linkBody);
        showWindow();
    }

    void openingIndexesTheTopLevel() {
        m_window->openKnowledgeBase(m_file->path());
        QCOMPARE(m_window->message(), u"目录索引完毕"_s);
        QCOMPARE(m_window->knowledgeBaseName(), u"读书笔记.db"_s);
        QCOMPARE(m_window->childTexts(), QStringList({u"目录甲"_s, u"文档戊"_s, u"文档己"_s}));
        // Only the directory with children can be opened, and nothing is open
        // or current yet.
        QTreeWidgetItem* directory = m_window->treeItem(u"目录甲"_s);
        QVERIFY(directory->childCount() > 0);
        QVERIFY(!directory->isExpanded());
        QCOMPARE(m_window->treeItem(u"文档戊"_s)->childCount(), 0);
        QCOMPARE(m_window->treeBox().currentItem(), -1);
        QCOMPARE(m_window->tempPageText(), welcomePage());
    }

    void clickingAnItemShowsItsBody_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("expandFirst");
        QTest::addColumn<QString>("page");
        QTest::newRow("document") << u"文档乙"_s << true << u"<p>乙的正文</p>"_s;
        QTest::newRow("directory") << u"目录甲"_s << false << u"<p>目录甲的说明</p>"_s;
        QTest::newRow("empty body") << u"文档戊"_s << false << welcomePage();
    }
    void clickingAnItemShowsItsBody() {
        QFETCH(QString, item);
        QFETCH(bool, expandFirst);
        QFETCH(QString, page);
        m_window->openKnowledgeBase(m_file->path());
        if (expandFirst)
            m_window->toggleItem(u"目录甲"_s);
        m_window->clickItem(item);
        QCOMPARE(m_window->currentItemText(), item);
        QCOMPARE(m_window->tempPageText(), page);
        const HtmlView* view = m_window->controls().viewBrowser;
        QCOMPARE(view->source(),
                 QUrl::fromLocalFile(m_shell->runDirectory() + u"/Data/Temp.html"_s));
        QTextDocument expected;
        expected.setHtml(page);
        QCOMPARE(m_window->viewText(), expected.toPlainText());
    }

    // The children are read on the first opening, never the loading
    // placeholder; later openings and closings only change the pictures.
    void openingADirectoryLoadsItsChildren() {
        m_window->openKnowledgeBase(m_file->path());
        const TreeBox& box = m_window->treeBox();
        const int directory = m_window->itemIndex(u"目录甲"_s);

        m_window->toggleItem(u"目录甲"_s);
        QVERIFY(m_window->treeItem(u"目录甲"_s)->isExpanded());
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"目录甲"_s)),
                 QStringList({u"文档乙"_s, u"子目录丙"_s}));
        QCOMPARE(m_window->message(), u"刷新完毕"_s);
        QCOMPARE(box.itemImage(directory), int(OpenDirectory));
        QCOMPARE(box.itemImage(m_window->itemIndex(u"文档乙"_s)), int(Document));
        QCOMPARE(box.itemImage(m_window->itemIndex(u"子目录丙"_s)), int(ClosedDirectory));
        // Nothing is current: the click on the open button selects nothing.
        QCOMPARE(box.currentItem(), -1);

        m_window->toggleItem(u"子目录丙"_s);
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"子目录丙"_s)),
                 QStringList({u"文档丁"_s}));

        const DatabaseConnection& connection = m_shell->context().database().connection;
        const quint64 statements = connection.statementCount();
        m_window->toggleItem(u"目录甲"_s);
        QVERIFY(!m_window->treeItem(u"目录甲"_s)->isExpanded());
        QCOMPARE(box.itemImage(directory), int(ClosedDirectory));
        m_window->toggleItem(u"目录甲"_s);
        QCOMPARE(box.itemImage(directory), int(OpenDirectory));
        QCOMPARE(connection.statementCount(), statements);
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"子目录丙"_s)),
                 QStringList({u"文档丁"_s}));
    }

    // A web link goes to the desktop's browser; an attachment written with a
    // backslash is found in the data directory and goes to the desktop as a
    // local file. The view itself never navigates.
    void clickingLinksInABody() {
        QVERIFY(QDir(m_shell->runDirectory()).mkpath(u"Data/附件"_s));
        QFile attachment(m_shell->runDirectory() + u"/Data/附件/说明.txt"_s);
        QVERIFY(attachment.open(QIODevice::WriteOnly));
        attachment.close();
        DesktopUrlRecorder web(u"https"_s);
        DesktopUrlRecorder files(u"file"_s);

        m_window->openKnowledgeBase(m_file->path());
        m_window->clickItem(u"文档己"_s);
        HtmlView* view = m_window->controls().viewBrowser;
        const QString shown = m_window->viewText();
        auto clickLink = [view](const QString& text) {
            const QTextCursor found = view->document()->find(text);
            QVERIFY2(!found.isNull(), qPrintable(text));
            QTextCursor inside(view->document());
            inside.setPosition(found.selectionStart() + 1);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->cursorRect(inside).center());
        };
        clickLink(u"网上的资料"_s);
        clickLink(u"附件说明"_s);

        QCOMPARE(web.opened, QList<QUrl>({QUrl(u"https://example.org/资料"_s)}));
        QCOMPARE(files.opened, QList<QUrl>({QUrl::fromLocalFile(attachment.fileName())}));
        QCOMPARE(m_window->viewText(), shown);
        QCOMPARE(m_window->tempPageText(), linkBody);
    }

    // A picture that a body names relative to the data directory, with the
    // old backslash, is drawn in the view.
    void picturesComeFromTheDataDirectory() {
        QVERIFY(QDir(m_shell->runDirectory()).mkpath(u"Data/图"_s));
        QImage red(24, 24, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_shell->runDirectory() + u"/Data/图/小图.png"_s));
        KnowledgeBaseFile pictures(m_shell->runDirectory() + u"/图片.db"_s);
        pictures.addDocument(0, u"有图的文档"_s, QString(),
                             u"<p><img src=\"图\\小图.png\"/></p>"_s);

        m_window->openKnowledgeBase(pictures.path());
        m_window->clickItem(u"有图的文档"_s);
        const QImage shown = m_window->controls().viewBrowser->viewport()->grab().toImage();
        bool drawn = false;
        for (int y = 0; y < shown.height() && !drawn; ++y)
            for (int x = 0; x < shown.width() && !drawn; ++x)
                drawn = shown.pixelColor(x, y) == QColor(Qt::red);
        QVERIFY(drawn);
    }
};

QTEST_MAIN(ReadingTest)
#include "tst_reading.moc"
