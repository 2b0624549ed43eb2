#include "resources/WelcomePage.h"
#include "tests/app/support/WindowTest.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// Reorganising the catalogue through the real tree box and its context menu:
// deleting, moving in the adjust mode, and the end of that mode.
class ReorganisingTest : public WindowTest {
    Q_OBJECT

    int m_directoryA = 0;
    int m_documentB = 0;
    int m_directoryC = 0;
    int m_documentD = 0;
    int m_directoryE = 0;
    int m_documentG = 0;
    int m_documentF = 0;

    const ContextMenu& contextMenu() { return m_window->menus().contextMenu; }
    ScriptedPrompts& prompts() { return m_shell->prompts(); }
    QString storedParent(int id) {
        const auto row = m_file->row(id);
        return row ? row->parentId : u"(deleted)"_s;
    }

    // Opens the context menu on the item and chooses one of its items.
    void choose(const QString& item, QAction* command) {
        m_window->clickItem(item, Qt::RightButton);
        QCOMPARE(m_window->currentItemText(), item);
        m_window->chooseFromContextMenu(command);
    }

private slots:
    // 整理.db:
    //   目录甲
    //     文档乙
    //     子目录丙
    //       文档丁
    //   目录戊
    //     文档庚
    //   文档己
    void init() {
        startRun(u"整理.db"_s);
        m_directoryA = m_file->addDirectory(0, u"目录甲"_s);
        m_documentB = m_file->addDocument(m_directoryA, u"文档乙"_s);
        m_directoryC = m_file->addDirectory(m_directoryA, u"子目录丙"_s);
        m_documentD = m_file->addDocument(m_directoryC, u"文档丁"_s);
        m_directoryE = m_file->addDirectory(0, u"目录戊"_s);
        m_documentG = m_file->addDocument(m_directoryE, u"文档庚"_s);
        m_documentF = m_file->addDocument(0, u"文档己"_s, QString(), u"<p>己的正文</p>"_s);
        showWindow();
    }

    // The menu opens for the current item, which a right press on an item
    // makes current; for a document its add and refresh items are greyed.
    void contextMenuFollowsTheCurrentItem() {
        m_window->rightClickBelowItems();
        QCOMPARE(m_window->message(), u"尚未连接资料库！请点击[文件]-[打开资料库]"_s);
        QVERIFY(!m_window->contextMenuIsOpen());

        m_window->openKnowledgeBase(m_file->path());
        m_window->rightClickBelowItems();
        QVERIFY(!m_window->contextMenuIsOpen());
        QCOMPARE(m_window->message(), u"目录索引完毕"_s);

        const QList<QAction*> switched = {contextMenu().addDocument, contextMenu().addDirectory,
                                          contextMenu().refresh};
        const QList<QAction*> always = {contextMenu().edit, contextMenu().adjustMenu->menuAction(),
                                        contextMenu().deleteItem};
        m_window->clickItem(u"文档己"_s, Qt::RightButton);
        QCOMPARE(m_window->currentItemText(), u"文档己"_s);
        QCOMPARE(m_window->tempPageText(), u"<p>己的正文</p>"_s);
        QVERIFY(m_window->contextMenuIsOpen());
        for (QAction* item : switched)
            QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
        for (QAction* item : always)
            QVERIFY2(item->isEnabled(), qPrintable(item->text()));
        m_window->closeContextMenu();
        QVERIFY(!m_window->contextMenuIsOpen());

        m_window->clickItem(u"目录甲"_s, Qt::RightButton);
        QCOMPARE(m_window->currentItemText(), u"目录甲"_s);
        QVERIFY(m_window->contextMenuIsOpen());
        for (QAction* item : switched + always)
            QVERIFY2(item->isEnabled(), qPrintable(item->text()));
        m_window->closeContextMenu();

        // Released below the items, the menu is for the current item.
        m_window->rightClickBelowItems();
        QVERIFY(m_window->contextMenuIsOpen());
        QCOMPARE(m_window->currentItemText(), u"目录甲"_s);
        m_window->chooseFromContextMenu(contextMenu().refresh);
        QCOMPARE(m_window->message(), u"刷新完毕"_s);
    }

    // 删除 asks first; Yes deletes the document and reloads its directory.
    void deleteADocumentInAnOpenDirectory() {
        m_window->openKnowledgeBase(m_file->path());
        m_window->toggleItem(u"目录甲"_s);

        prompts().answerYesNo(false);
        choose(u"文档乙"_s, contextMenu().deleteItem);
        QCOMPARE(storedParent(m_documentB), QString::number(m_directoryA));
        QCOMPARE(prompts().questions().last().shown,
                 QStringList({u"真的要删除【文档乙】文档吗？"_s, u"真的吗？"_s, u"question"_s}));

        prompts().answerYesNo(true);
        choose(u"文档乙"_s, contextMenu().deleteItem);
        QVERIFY(!m_file->row(m_documentB));
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"目录甲"_s)),
                 QStringList({u"子目录丙"_s}));
        QCOMPARE(m_window->message(), u"刷新完毕"_s);
    }

    // A top-level directory goes with the documents in it and the whole
    // catalogue is rebuilt; one that holds a directory stays.
    void deletingDirectories() {
        m_window->openKnowledgeBase(m_file->path());
        prompts().answerYesNo(true);
        choose(u"目录甲"_s, contextMenu().deleteItem);
        QCOMPARE(m_window->message(), u"目录【目录甲】下还含有其他目录，删除失败"_s);
        for (int id : {m_directoryA, m_documentB, m_directoryC, m_documentD})
            QVERIFY(m_file->row(id));

        prompts().answerYesNo(true);
        choose(u"目录戊"_s, contextMenu().deleteItem);
        QCOMPARE(prompts().questions().last().shown,
                 QStringList({u"真的要删除【目录戊】目录吗？"_s, u"真的吗？"_s, u"question"_s}));
        QVERIFY(!m_file->row(m_directoryE));
        QVERIFY(!m_file->row(m_documentG));
        QCOMPARE(m_window->childTexts(), QStringList({u"目录甲"_s, u"文档己"_s}));
        QCOMPARE(m_window->message(), u"目录索引完毕"_s);
    }

    // 手动调整 marks the item; a document is refused as a target, a directory
    // answered Yes takes it, and the mode ends with the rebuilt catalogue.
    void manualAdjustMovesTheMarkedItem() {
        m_window->openKnowledgeBase(m_file->path());
        choose(u"文档己"_s, contextMenu().manualAdjust);
        QCOMPARE(m_window->message(), u"请选择你想要调整到的位置"_s);

        m_window->toggleItem(u"目录甲"_s);
        m_window->clickItem(u"文档乙"_s);
        QCOMPARE(m_window->message(), u"无法将【文档己】移动到文档下"_s);
        QCOMPARE(storedParent(m_documentF), u"0"_s);

        prompts().answerYesNo(true);
        m_window->clickItem(u"目录戊"_s);
        QCOMPARE(prompts().questions().last().shown,
                 QStringList({u"真的要将【文档己】移动到【目录戊】内吗？"_s, u"调整位置"_s,
                              u"information"_s}));
        QCOMPARE(storedParent(m_documentF), QString::number(m_directoryE));
        QCOMPARE(m_window->message(), u"目录索引完毕"_s);
        QCOMPARE(m_window->childTexts(), QStringList({u"目录甲"_s, u"目录戊"_s}));
        m_window->toggleItem(u"目录戊"_s);
        QCOMPARE(m_window->childTexts(m_window->treeItem(u"目录戊"_s)),
                 QStringList({u"文档庚"_s, u"文档己"_s}));

        // The mode is over: a click shows the item and asks nothing.
        m_window->clickItem(u"文档己"_s);
        QCOMPARE(m_window->tempPageText(), u"<p>己的正文</p>"_s);
    }

    // A directory cannot go below itself; the mode stays on for another target.
    void movingADirectoryIntoItsOwnChildIsRefused() {
        m_window->openKnowledgeBase(m_file->path());
        choose(u"目录甲"_s, contextMenu().manualAdjust);
        m_window->toggleItem(u"目录甲"_s);
        m_window->toggleItem(u"子目录丙"_s);
        const qsizetype asked = prompts().questions().size();
        m_window->clickItem(u"子目录丙"_s);
        QCOMPARE(m_window->message(), u"无法将【目录甲】移动到它自己或它的子目录下"_s);
        QCOMPARE(prompts().questions().size(), asked);
        QCOMPARE(storedParent(m_directoryA), u"0"_s);

        prompts().answerYesNo(false);
        m_window->clickItem(u"目录戊"_s);
        QCOMPARE(prompts().questions().last().shown.first(),
                 u"真的要将【目录甲】移动到【目录戊】内吗？"_s);
        QCOMPARE(storedParent(m_directoryA), u"0"_s);
        QCOMPARE(storedParent(m_directoryC), QString::number(m_directoryA));
    }

    // An edit saved during the adjust mode neither chooses a target nor ends
    // the mode: only the user's next choice does.
    void savingAnEditDuringTheAdjustModeChoosesNoTarget() {
        m_window->openKnowledgeBase(m_file->path());
        choose(u"文档己"_s, contextMenu().manualAdjust);
        m_window->menus().addDocument->trigger();
        WindowDriver::click(m_window->controls().nameBox);
        WindowDriver::typeText(m_window->controls().nameBox, u"新文档"_s);
        const qsizetype asked = prompts().questions().size();
        WindowDriver::click(m_window->controls().addButton);
        QCOMPARE(m_window->message(), u"文档已成功添加"_s);
        QCOMPARE(prompts().questions().size(), asked);
        QCOMPARE(storedParent(m_documentF), u"0"_s);

        prompts().answerYesNo(false);
        m_window->clickItem(u"目录戊"_s);
        QCOMPARE(prompts().questions().last().shown.first(),
                 u"真的要将【文档己】移动到【目录戊】内吗？"_s);
    }

    // The marked ID belongs to the knowledge base it was marked in: opening
    // another one ends the mode, and its items are shown, not targeted.
    void openingAnotherKnowledgeBaseEndsTheAdjustMode() {
        KnowledgeBaseFile other(m_shell->runDirectory() + u"/另一个.db"_s);
        other.addDirectory(0, u"别的目录"_s, u"<p>另一个知识库</p>"_s);
        m_window->openKnowledgeBase(m_file->path());
        choose(u"文档己"_s, contextMenu().manualAdjust);

        m_window->openKnowledgeBase(other.path());
        QCOMPARE(m_window->knowledgeBaseName(), u"另一个.db"_s);
        const qsizetype asked = prompts().questions().size();
        m_window->clickItem(u"别的目录"_s);
        QCOMPARE(prompts().questions().size(), asked);
        QCOMPARE(m_window->tempPageText(), u"<p>另一个知识库</p>"_s);
        QCOMPARE(storedParent(m_documentF), u"0"_s);
    }
};

QTEST_MAIN(ReorganisingTest)
#include "tst_reorganising.moc"
