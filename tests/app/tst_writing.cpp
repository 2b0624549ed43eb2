#include "resources/WelcomePage.h"
#include "tests/app/support/WindowTest.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// Adding and modifying items on the edit page of the real main window, with
// its markup toolbar and preview.
class WritingTest : public WindowTest {
    Q_OBJECT

    int m_directoryA = 0;
    int m_documentB = 0;
    int m_directoryC = 0;

    MainWindow& window() { return m_shell->window(); }
    const MainWindowControls& controls() { return m_window->controls(); }
    bool editing() { return window().isEditing(); }

    // Replaces the whole text of a box as a user does: select all, type.
    static void retype(QWidget* box, const QString& text) {
        WindowDriver::click(box);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        WindowDriver::typeText(box, text);
    }

private slots:
    // 笔记.db:
    //   目录甲 (a body of its own)
    //     文档乙 (summary and body)
    //     子目录丙
    //   文档戊
    void init() {
        startRun(u"笔记.db"_s);
        m_directoryA = m_file->addDirectory(0, u"目录甲"_s, u"<p>目录甲的说明</p>"_s);
        m_documentB =
            m_file->addDocument(m_directoryA, u"文档乙"_s, u"乙的摘要"_s, u"<p>乙的正文</p>"_s);
        m_directoryC = m_file->addDirectory(m_directoryA, u"子目录丙"_s);
        m_file->addDocument(0, u"文档戊"_s, QString(), u"<p>戊的正文</p>"_s);
        showWindow();
    }

    void editMenuNeedsAKnowledgeBase() {
        for (QAction* item : {m_window->menus().addDocument, m_window->menus().addDirectory}) {
            item->trigger();
            QCOMPARE(m_window->message(), u"尚未连接资料库！请点击[文件]-[打开资料库]"_s);
            QVERIFY(!editing());
        }
    }

    // 编辑(&E) → 添加文档 adds at the top level; typing in the real boxes,
    // with Enter adding its line-break tag, reaches the stored row.
    void addDocumentFromTheEditMenu() {
        m_window->openKnowledgeBase(m_file->path());
        const QList<int> idsBefore = m_file->ids();
        m_window->menus().addDocument->trigger();
        QVERIFY(editing());
        QCOMPARE(m_window->message(), u"已进入编辑模式。当前文档ID:0"_s);
        QCOMPARE(controls().parentBox->text(), QString());
        QCOMPARE(controls().addButton->text(), u"添加文档"_s);
        QCOMPARE(controls().middleTabs->currentIndex(), 0);

        WindowDriver::click(controls().addButton);
        QCOMPARE(m_window->message(), u"至少要把文档名称写上吧？"_s);
        QVERIFY(editing());
        QCOMPARE(m_file->ids(), idsBefore);

        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"新文档"_s);
        WindowDriver::click(controls().keyBox);
        WindowDriver::typeText(controls().keyBox, u"新的摘要"_s);
        WindowDriver::click(controls().codeBox);
        WindowDriver::typeText(controls().codeBox, u"第一行"_s);
        QTest::keyClick(controls().codeBox, Qt::Key_Return);
        WindowDriver::typeText(controls().codeBox, u"第二行"_s);
        WindowDriver::click(controls().addButton);

        QVERIFY(!editing());
        QCOMPARE(m_window->message(), u"文档已成功添加"_s);
        const int id = m_file->ids().first();
        QCOMPARE(id, idsBefore.first() + 1);
        const auto row = m_file->row(id);
        QVERIFY(row);
        QCOMPARE(row->parentId, u"0"_s);
        QCOMPARE(row->title, u"新文档"_s);
        QCOMPARE(row->summary, u"新的摘要"_s);
        QCOMPARE(row->body, u"第一行<br/>\n第二行"_s);
        QCOMPARE(row->type, 1);
        QCOMPARE(m_window->childTexts(), QStringList({u"目录甲"_s, u"文档戊"_s, u"新文档"_s}));
    }

    // The context menu's 添加文档 adds below the current directory; after the
    // save the directory, opened again, shows the new document.
    void addDocumentBelowADirectory_data() {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("nested");
        QTest::newRow("top level") << u"目录甲"_s << false;
        QTest::newRow("below the top level") << u"子目录丙"_s << true;
    }
    void addDocumentBelowADirectory() {
        QFETCH(QString, directory);
        QFETCH(bool, nested);
        const int directoryId = nested ? m_directoryC : m_directoryA;
        m_window->openKnowledgeBase(m_file->path());
        if (nested)
            m_window->toggleItem(u"目录甲"_s);
        m_window->clickItem(directory, Qt::RightButton);
        m_window->chooseFromContextMenu(m_window->menus().contextMenu.addDocument);
        QVERIFY(editing());
        QCOMPARE(m_window->message(),
                 u"已进入编辑模式。当前文档ID:"_s + QString::number(directoryId));
        QCOMPARE(controls().parentBox->text(), directory);

        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"新加的文档"_s);
        WindowDriver::click(controls().addButton);
        QCOMPARE(m_window->message(), u"文档已成功添加"_s);
        const auto row = m_file->row(m_file->ids().first());
        QVERIFY(row);
        QCOMPARE(row->title, u"新加的文档"_s);
        QCOMPARE(row->parentId, QString::number(directoryId));

        QTreeWidgetItem* item = m_window->treeItem(directory);
        QVERIFY(item);
        for (QTreeWidgetItem* opening = item; opening; opening = opening->parent())
            if (!opening->isExpanded())
                m_window->toggleItem(opening->text(0));
        QVERIFY(m_window->childTexts(m_window->treeItem(directory)).contains(u"新加的文档"_s));
    }

    // 编辑 on a document loads its texts; the save writes the changed ones,
    // reloads its directory and shows the new body.
    void modifyFromTheContextMenu() {
        m_window->openKnowledgeBase(m_file->path());
        const QString createdAt = m_file->row(m_documentB)->time;
        m_window->toggleItem(u"目录甲"_s);
        m_window->clickItem(u"文档乙"_s, Qt::RightButton);
        m_window->chooseFromContextMenu(m_window->menus().contextMenu.edit);
        QVERIFY(editing());
        QCOMPARE(m_window->message(),
                 u"已进入编辑模式。当前文档ID:"_s + QString::number(m_documentB));
        QCOMPARE(controls().nameBox->text(), u"文档乙"_s);
        QCOMPARE(controls().keyBox->text(), u"乙的摘要"_s);
        QCOMPARE(controls().codeBox->toPlainText(), u"<p>乙的正文</p>"_s);
        QCOMPARE(controls().parentBox->text(), u"目录甲"_s);
        QCOMPARE(controls().addButton->text(), u"完成修改"_s);

        retype(controls().nameBox, u"文档乙（改）"_s);
        WindowDriver::click(controls().codeBox);
        QTest::keyClick(controls().codeBox, Qt::Key_End, Qt::ControlModifier);
        WindowDriver::typeText(controls().codeBox, u"<p>补充</p>"_s);
        WindowDriver::click(controls().addButton);

        QVERIFY(!editing());
        QCOMPARE(m_window->message(), u"修改成功"_s);
        const auto row = m_file->row(m_documentB);
        QVERIFY(row);
        QCOMPARE(row->title, u"文档乙（改）"_s);
        QCOMPARE(row->summary, u"乙的摘要"_s);
        QCOMPARE(row->body, u"<p>乙的正文</p><p>补充</p>"_s);
        QCOMPARE(row->time, createdAt);
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"目录甲"_s)),
                 QStringList({u"文档乙（改）"_s, u"子目录丙"_s}));
        QCOMPARE(m_window->tempPageText(), u"<p>乙的正文</p><p>补充</p>"_s);
        QCOMPARE(m_window->viewText(), u"乙的正文\n补充"_s);
    }

    // While editing, the other starts, a new knowledge base and closing the
    // window refuse, and the edit goes on untouched.
    void editingRefusesWhatWouldLoseTheEdit() {
        m_window->openKnowledgeBase(m_file->path());
        const qsizetype asked = m_shell->prompts().questions().size();
        m_window->menus().addDocument->trigger();
        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"写了一半"_s);

        m_window->menus().addDirectory->trigger();
        QCOMPARE(m_window->message(), u"你目前正处于编辑模式，请先保存或退出"_s);
        m_window->menus().newKnowledgeBase->trigger();
        QCOMPARE(m_window->message(), u"【保护】你目前正处于编辑模式，请先保存或返回"_s);
        m_window->clickItem(u"目录甲"_s, Qt::RightButton);
        m_window->chooseFromContextMenu(m_window->menus().contextMenu.addDirectory);
        QCOMPARE(m_window->message(), u"你目前正处于编辑模式，请先保存或退出"_s);
        m_window->clickItem(u"目录甲"_s, Qt::RightButton);
        m_window->chooseFromContextMenu(m_window->menus().contextMenu.edit);
        QCOMPARE(m_window->message(), u"你目前正处于编辑模式，请先保存或退出"_s);

        QVERIFY(!window().close());
        QVERIFY(window().isVisible());
        QCOMPARE(m_window->message(), u"【保护】你目前正处于编辑模式，请先保存或返回"_s);

        QVERIFY(editing());
        QCOMPARE(controls().nameBox->text(), u"写了一半"_s);
        QCOMPARE(controls().addButton->text(), u"添加文档"_s);
        QCOMPARE(m_shell->prompts().questions().size(), asked);
    }

    // 按钮_返回 asks first; only Yes leaves the edit page, storing nothing.
    void backAsksBeforeLeaving() {
        m_window->openKnowledgeBase(m_file->path());
        const QList<int> ids = m_file->ids();
        const qsizetype askedBefore = m_shell->prompts().questions().size();
        m_window->menus().addDocument->trigger();
        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"不要了"_s);

        m_shell->prompts().answerYesNo(false);
        WindowDriver::click(controls().backButton);
        QVERIFY(editing());
        QCOMPARE(controls().nameBox->text(), u"不要了"_s);

        m_shell->prompts().answerYesNo(true);
        WindowDriver::click(controls().backButton);
        QVERIFY(!editing());
        QCOMPARE(m_file->ids(), ids);
        const auto& asked = m_shell->prompts().questions();
        QCOMPARE(asked.size(), askedBefore + 2);
        QCOMPARE(asked.last().shown,
                 QStringList({u"是否真的要放弃当前编辑？"_s, u"确认"_s, u"question"_s}));
        QVERIFY(window().close());
    }

    // Leaving the edit page, saved or abandoned, makes no tree item current
    // as the focus passes the tree box. Abandoned, the view page keeps the
    // page it showed; saved, the rebuilt catalogue has no current item, which
    // shows the welcome page.
    void leavingTheEditPageKeepsTheView_data() {
        QTest::addColumn<bool>("viewFirst");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("page");
        QTest::newRow("saved") << true << true << welcomePage();
        QTest::newRow("abandoned") << false << false << welcomePage();
    }
    void leavingTheEditPageKeepsTheView() {
        QFETCH(bool, viewFirst);
        QFETCH(bool, save);
        QFETCH(QString, page);
        m_window->openKnowledgeBase(m_file->path());
        if (viewFirst)
            m_window->clickItem(u"文档戊"_s);
        m_window->menus().addDocument->trigger();
        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"新文档"_s);
        if (save) {
            WindowDriver::click(controls().addButton);
        } else {
            m_shell->prompts().answerYesNo(true);
            WindowDriver::click(controls().backButton);
        }
        QVERIFY(!editing());
        QCOMPARE(m_window->tempPageText(), page);
        QCOMPARE(m_window->currentItemText(), QString());
    }

    void boldWrapsTheSelectionOfTheCodeBox() {
        m_window->openKnowledgeBase(m_file->path());
        m_window->menus().addDocument->trigger();
        QPlainTextEdit* code = controls().codeBox;
        WindowDriver::click(code);
        WindowDriver::typeText(code, u"普通加粗"_s);
        WindowDriver::click(controls().boldButton);
        QCOMPARE(code->toPlainText(), u"普通加粗"_s);

        code->setFocus();
        QTest::keyClick(code, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(code, Qt::Key_Left, Qt::ShiftModifier);
        WindowDriver::click(controls().boldButton);
        QCOMPARE(code->toPlainText(), u"普通<B>加粗</B>"_s);
    }

    // The preview shows the unsaved text through TempPage while the view page
    // keeps the page it loaded.
    void previewShowsTheUnsavedText() {
        m_window->openKnowledgeBase(m_file->path());
        m_window->clickItem(u"文档戊"_s);
        QCOMPARE(m_window->viewText(), u"戊的正文"_s);
        const QList<int> ids = m_file->ids();

        m_window->menus().addDocument->trigger();
        WindowDriver::click(controls().codeBox);
        WindowDriver::typeText(controls().codeBox, u"<b>尚未保存的正文</b>"_s);
        WindowDriver::clickTab(controls().middleTabs, 1);
        QCOMPARE(controls().middleTabs->currentIndex(), 1);
        QCOMPARE(m_window->previewText(), u"尚未保存的正文"_s);
        QCOMPARE(m_window->tempPageText(), u"<b>尚未保存的正文</b>"_s);
        QCOMPARE(m_window->viewText(), u"戊的正文"_s);

        // Each turn to the preview shows the text as it is then.
        WindowDriver::clickTab(controls().middleTabs, 0);
        QTest::keyClick(controls().codeBox, Qt::Key_End, Qt::ControlModifier);
        WindowDriver::typeText(controls().codeBox, u"<i>又添一句</i>"_s);
        WindowDriver::clickTab(controls().middleTabs, 1);
        QCOMPARE(m_window->previewText(), u"尚未保存的正文又添一句"_s);
        QCOMPARE(m_window->viewText(), u"戊的正文"_s);
        QVERIFY(editing());
        QCOMPARE(m_file->ids(), ids);
    }
};

QTEST_MAIN(WritingTest)
#include "tst_writing.moc"
