#include "catalogue/AdjustState.h"
#include "catalogue/CatalogueHandlers.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/ContextMenu.h"
#include "catalogue/ItemKinds.h"
#include "catalogue/Reorganisation.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "documents/DocumentView.h"
#include "documents/HtmlView.h"
#include "documents/Prompts.h"
#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"
#include "tests/catalogue/support/TestPictures.h"
#include "tests/support/RecordingViews.h"
#include "tests/support/ScriptedPrompts.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <sqlite3.h>

#include <deque>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// A knowledge base file holding
//   目录A (1) ⊃ { 目录B (2) ⊃ { 文档C (3), 目录I (9) }, 文档D (4) }
//   目录E (5) ⊃ { 文档F (6), 文档G (7) }
//   文档H (8)
// shown in a real tree box on the offscreen platform, with the catalogue,
// its handlers and the reorganisation wired as the main window wires them.
// The catalogue is indexed: 目录A 0, its placeholder 1, 目录E 2, its
// placeholder 3, 文档H 4.
struct Fixture {
    QTemporaryDir directory;
    QString path = directory.filePath(u"知识库.db"_s);
    DatabaseObjects database;
    RecordingStatus status;
    ScriptedPrompts prompts;
    QWidget window;
    QTreeWidget* widget = new QTreeWidget(&window);
    TreeBox* box = new TreeBox(*widget, testPictures());
    HtmlView* view = new HtmlView(&window);
    DocumentView documentView{directory.path(), database.primaryRecordSet, *view};
    TreeBoxHelper helper;
    CatalogueTree catalogue{helper, database, status};
    AdjustState adjust;
    CatalogueHandlers handlers{helper, catalogue, adjust, documentView};
    ContextMenu menu = createContextMenu(&window);
    QList<EditMode> editsStarted;
    Reorganisation reorganisation{
        menu,     helper, catalogue, adjust,
        database, status, prompts,   [this](EditMode mode) { editsStarted << mode; }};

    Fixture() {
        QDir(directory.path()).mkpath(u"Data"_s); // the home of TempPage
        QFile file(path);
        if (!file.open(QIODevice::NewOnly) || file.write(emptyDatabaseImage()) <= 0)
            QTest::qFail("cannot write the knowledge base", __FILE__, __LINE__);
        file.close();
        openConnection();
        database.connection.execute(createItemTable());
        addDirectory(database, u"0"_s, u"目录A"_s, QString(), QString());
        addDirectory(database, u"1"_s, u"目录B"_s, QString(), QString());
        addDocument(database, u"2"_s, u"文档C"_s, QString(), u"正文C"_s);
        addDocument(database, u"1"_s, u"文档D"_s, QString(), u"正文D"_s);
        addDirectory(database, u"0"_s, u"目录E"_s, QString(), QString());
        addDocument(database, u"5"_s, u"文档F"_s, QString(), u"正文F"_s);
        addDocument(database, u"5"_s, u"文档G"_s, QString(), u"正文G"_s);
        addDocument(database, u"0"_s, u"文档H"_s, QString(), u"正文H"_s);
        addDirectory(database, u"2"_s, u"目录I"_s, QString(), QString());

        helper.bind(&window, box);
        QObject::connect(box, &TreeBox::selectionChanged, box,
                         [this] { handlers.selectionChanged(); });
        QObject::connect(box, &TreeBox::itemExpanding, box,
                         [this](int index) { handlers.itemExpanding(index); });
        QObject::connect(box, &TreeBox::itemCollapsing, box,
                         [this](int index) { handlers.itemCollapsing(index); });
        reorganisation.attach(*box, handlers);

        window.resize(540, 480);
        widget->setGeometry(0, 0, 320, 480);
        view->setGeometry(320, 0, 220, 480);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            QTest::qFail("the window was not shown", __FILE__, __LINE__);
        catalogue.indexCatalogue();
        status.messages.clear();
    }

    void openConnection() {
        database.connection.open(path, QString());
        database.primaryRecordSet.setConnection(&database.connection);
        database.secondaryRecordSet.setConnection(&database.connection);
    }

    // Adds SQL of SQLite's own to the file behind the program's back, e.g. a
    // trigger that makes one statement fail.
    void alterFile(const char* sql) {
        database.connection.close();
        sqlite3* handle = nullptr;
        const bool done = sqlite3_open(path.toUtf8().constData(), &handle) == SQLITE_OK &&
                          sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(handle);
        if (!done)
            QTest::qFail("cannot alter the knowledge base", __FILE__, __LINE__);
        openConnection();
    }

    // The tree box in pre-order, one dot per level before each text.
    QStringList tree() const {
        QStringList items;
        for (int i = 0; i < box->itemCount(); ++i) {
            QString dots;
            for (int p = box->parentItem(i); p != -1; p = box->parentItem(p))
                dots += u'.';
            items << dots + box->itemText(i);
        }
        return items;
    }
    int indexOf(const QString& text) const {
        for (int i = 0; i < box->itemCount(); ++i)
            if (box->itemText(i) == text)
                return i;
        return -1;
    }
    void select(const QString& text) { widget->setCurrentItem(box->treeItem(indexOf(text))); }
    void expand(const QString& text) { widget->expandItem(box->treeItem(indexOf(text))); }

    // The stored NFID of the item, none when it is gone.
    std::optional<QString> storedParent(int id) {
        RecordSet rows;
        rows.setConnection(&database.connection);
        rows.open(selectItemById(QString::number(id)));
        if (rows.recordCount() != 1)
            return std::nullopt;
        return rows.readText(u"NFID"_s);
    }
    int storedCount() {
        RecordSet rows;
        rows.setConnection(&database.connection);
        rows.open(selectLastId());
        return rows.recordCount();
    }
};

const QStringList indexedTree = {u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u".正在读取..."_s,
                                 u"文档H"_s};

// A point of the viewport below the last item.
QPoint belowItems(const Fixture& f) {
    return QPoint(f.widget->viewport()->width() / 2, f.widget->viewport()->height() - 4);
}

// A right-button click on the viewport below the last item.
void rightClickBelowItems(Fixture& f) {
    QVERIFY(!f.widget->itemAt(belowItems(f)));
    QTest::mouseClick(f.widget->viewport(), Qt::RightButton, {}, belowItems(f));
}

// Ends a drag of the item titled moving within the tree box with a drop on
// the item titled target, or below the items when target is empty, and lets
// the drop be handled.
void drop(Fixture& f, const QString& moving, const QString& target = QString()) {
    const std::unique_ptr<QMimeData> data(f.box->dragData(f.indexOf(moving)));
    QVERIFY(data);
    const QPoint position =
        target.isEmpty() ? belowItems(f)
                         : f.widget->visualItemRect(f.box->treeItem(f.indexOf(target))).center();
    QDragEnterEvent enter(position, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.widget->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(position, Qt::MoveAction, data.get(), Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.widget->viewport(), &dropped);
    QVERIFY(dropped.isAccepted());
    QCoreApplication::processEvents();
}

} // namespace

class ReorganisationTest : public QObject {
    Q_OBJECT

private slots:
    void menuHasItsItemsInOrder();
    void menuOpensForCurrentItemAndSwitchesItems();
    void menuStaysClosedWithoutKnowledgeBaseOrCurrentItem();
    void addAndEditItemsStartEditSessions();
    void refreshReloadsCurrentItemsChildren();
    void adjustModeOffersEachNewCurrentItem();
    void adjustModeTakesClickedItems();
    void moveIntoItsOwnParentRebuilds();
    void moveIntoOwnBranchIsRefused();
    void moveToTopLevel();
    void moveToTopLevelAnsweredNoKeepsAdjustMode();
    void failedMovesKeepTreeAndMode();
    void cancelAndNewKnowledgeBaseEndAdjustMode();
    void dropOntoDirectoryMovesAfterAsking();
    void dropBelowItemsMovesToTopLevel();
    void dropsThatAreRefused();
    void dropLeavesAdjustModeAsItIs();
    void deleteDocumentsInOpenDirectory();
    void deleteTopLevelItems();
    void deleteDirectoryWithSubdirectoryIsRefused();
    void deleteDirectoryIsOneTransaction();
};

void ReorganisationTest::menuHasItsItemsInOrder() {
    QWidget parent;
    const ContextMenu m = createContextMenu(&parent);
    auto captions = [](const QMenu* menu) {
        QStringList list;
        for (const QAction* item : menu->actions())
            list << (item->isSeparator() ? u"-"_s : item->text());
        return list;
    };
    QCOMPARE(m.menu->title(), u"右键"_s);
    QCOMPARE(captions(m.menu), QStringList({u"添加文档"_s, u"添加目录"_s, u"-"_s, u"刷新"_s, u"-"_s,
                                            u"编辑"_s, u"调整位置"_s, u"-"_s, u"删除"_s}));
    QCOMPARE(m.menu->actions().at(6), m.adjustMenu->menuAction());
    QCOMPARE(captions(m.adjustMenu),
             QStringList({u"手动调整"_s, u"到根目录"_s, u"-"_s, u"取消调整"_s}));
    for (const QMenu* menu : {m.menu, m.adjustMenu})
        for (const QAction* item : menu->actions())
            QVERIFY2(item->isEnabled(), qPrintable(item->text()));
}

void ReorganisationTest::menuOpensForCurrentItemAndSwitchesItems() {
    Fixture f;
    const QList<QAction*> switched = {f.menu.addDocument, f.menu.addDirectory, f.menu.refresh};
    const QList<QAction*> always = {f.menu.edit,         f.menu.adjustMenu->menuAction(),
                                    f.menu.manualAdjust, f.menu.moveToTopLevel,
                                    f.menu.cancelAdjust, f.menu.deleteItem};

    // The press below the items leaves the current document current.
    f.select(u"文档H"_s);
    const QPoint empty(20, 150);
    QTest::mouseClick(f.widget->viewport(), Qt::RightButton, {}, empty);
    QCOMPARE(f.box->currentItem(), f.indexOf(u"文档H"_s));
    QVERIFY(f.menu.menu->isVisible());
    QCOMPARE(f.menu.menu->pos(), f.widget->viewport()->mapToGlobal(empty));
    for (QAction* item : switched)
        QVERIFY2(!item->isEnabled(), qPrintable(item->text()));
    for (QAction* item : always)
        QVERIFY2(item->isEnabled(), qPrintable(item->text()));
    f.menu.menu->hide();

    f.select(u"目录E"_s);
    rightClickBelowItems(f);
    QVERIFY(f.menu.menu->isVisible());
    for (QAction* item : switched + always)
        QVERIFY2(item->isEnabled(), qPrintable(item->text()));
    f.menu.menu->hide();
}

void ReorganisationTest::menuStaysClosedWithoutKnowledgeBaseOrCurrentItem() {
    Fixture f;
    QCOMPARE(f.box->currentItem(), -1);
    rightClickBelowItems(f);
    QVERIFY(!f.menu.menu->isVisible());
    QVERIFY(f.status.messages.isEmpty());

    f.select(u"目录A"_s);
    f.database.connection.close();
    f.status.messages.clear();
    rightClickBelowItems(f);
    QVERIFY(!f.menu.menu->isVisible());
    QCOMPARE(f.status.messages, QStringList{u"尚未连接资料库！请点击[文件]-[打开资料库]"_s});
}

void ReorganisationTest::addAndEditItemsStartEditSessions() {
    Fixture f;
    f.menu.addDocument->trigger();
    f.menu.addDirectory->trigger();
    f.menu.edit->trigger();
    QVERIFY(f.editsStarted ==
            QList<EditMode>({EditMode::AddDocument, EditMode::AddDirectory, EditMode::Modify}));
}

void ReorganisationTest::refreshReloadsCurrentItemsChildren() {
    Fixture f;
    f.expand(u"目录A"_s);
    addDocument(f.database, u"1"_s, u"文档J"_s, QString(), QString());
    f.select(u"目录A"_s);
    f.menu.refresh->trigger();
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".目录B"_s, u"..正在读取..."_s, u".文档D"_s,
                                    u".文档J"_s, u"目录E"_s, u".正在读取..."_s, u"文档H"_s}));
    QCOMPARE(f.status.last(), u"刷新完毕"_s);
}

void ReorganisationTest::adjustModeOffersEachNewCurrentItem() {
    Fixture f;
    f.expand(u"目录A"_s); // 目录A, .目录B, ..placeholder, .文档D, 目录E, .placeholder, 文档H
    f.select(u"文档H"_s);
    f.menu.manualAdjust->trigger();
    QVERIFY(f.adjust.active);
    QCOMPARE(f.adjust.movingId, u"8"_s);
    QCOMPARE(f.adjust.movingTitle, u"文档H"_s);
    QCOMPARE(f.status.last(), u"请选择你想要调整到的位置"_s);

    f.prompts.answerYesNo(false);
    f.prompts.answerYesNo(false);
    f.prompts.answerYesNo(true);
    f.select(u"目录A"_s);
    QTest::keyClick(f.widget, Qt::Key_Down); // 目录B
    QTest::keyClick(f.widget, Qt::Key_Down); // 文档D
    QCOMPARE(f.status.last(), u"无法将【文档H】移动到文档下"_s);
    QVERIFY(f.adjust.active);
    QTest::keyClick(f.widget, Qt::Key_Down); // 目录E
    QCOMPARE(f.prompts.asked(),
             QStringList({u"真的要将【文档H】移动到【目录A】内吗？|调整位置|information"_s,
                          u"真的要将【文档H】移动到【目录B】内吗？|调整位置|information"_s,
                          u"真的要将【文档H】移动到【目录E】内吗？|调整位置|information"_s}));
    QCOMPARE(f.storedParent(8), u"5"_s);
    QVERIFY(!f.adjust.active);
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u".正在读取..."_s}));
    QCOMPARE(f.box->currentItem(), -1);
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);
}

void ReorganisationTest::adjustModeTakesClickedItems() {
    Fixture f;
    f.select(u"文档H"_s);
    f.menu.manualAdjust->trigger();
    auto onText = [&f](const QString& item) {
        const QRect cell = f.widget->visualItemRect(f.box->treeItem(f.indexOf(item)));
        return QPoint(cell.left() + 24, cell.center().y());
    };

    // The right button on another item offers the move into it first; the
    // menu then opens for it.
    f.prompts.answerYesNo(false);
    QTest::mouseClick(f.widget->viewport(), Qt::RightButton, {}, onText(u"目录E"_s));
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【文档H】移动到【目录E】内吗？|调整位置|information"_s});
    QVERIFY(f.menu.menu->isVisible());
    f.menu.menu->hide();

    // A click of the left button, answered Yes, rebuilds the tree while the
    // tree box is still handling the click.
    f.prompts.answerYesNo(true);
    QTest::mouseClick(f.widget->viewport(), Qt::LeftButton, {}, onText(u"目录A"_s));
    QCOMPARE(f.prompts.asked().last(),
             u"真的要将【文档H】移动到【目录A】内吗？|调整位置|information"_s);
    QCOMPARE(f.storedParent(8), u"1"_s);
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u".正在读取..."_s}));
    QCOMPARE(f.box->currentItem(), -1);
}

void ReorganisationTest::moveIntoItsOwnParentRebuilds() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.select(u"目录B"_s);
    f.menu.manualAdjust->trigger();
    f.prompts.answerYesNo(true);
    f.select(u"目录A"_s);
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【目录B】移动到【目录A】内吗？|调整位置|information"_s});
    QCOMPARE(f.storedParent(2), u"1"_s);
    QVERIFY(!f.adjust.active);
    QCOMPARE(f.tree(), indexedTree);
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);
}

void ReorganisationTest::moveIntoOwnBranchIsRefused() {
    Fixture f;
    f.select(u"目录A"_s);
    f.menu.manualAdjust->trigger();
    f.expand(u"目录A"_s);
    f.expand(u"目录B"_s);
    const QStringList expanded = f.tree();
    const QString refusal = u"无法将【目录A】移动到它自己或它的子目录下"_s;
    for (const QString& target : {u"目录I"_s, u"目录B"_s, u"目录A"_s}) {
        f.status.messages.clear();
        f.select(target);
        QCOMPARE(f.status.messages, QStringList{refusal});
    }
    QVERIFY(f.prompts.asked().isEmpty());
    QVERIFY(f.adjust.active);
    QCOMPARE(f.storedParent(1), u"0"_s);
    QCOMPARE(f.storedParent(2), u"1"_s);
    QCOMPARE(f.tree(), expanded);

    // A damaged file in which 目录A and 目录B hang from each other: the walk
    // up from 目录B ends, and 目录E may be moved there.
    f.reorganisation.cancelAdjust();
    QVERIFY(f.database.connection.execute(moveItem(u"1"_s, u"2"_s)));
    f.select(u"目录E"_s);
    f.menu.manualAdjust->trigger();
    f.prompts.answerYesNo(false);
    f.select(u"目录B"_s);
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【目录E】移动到【目录B】内吗？|调整位置|information"_s});
    QCOMPARE(f.storedParent(5), u"0"_s);
}

void ReorganisationTest::moveToTopLevel() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.select(u"目录B"_s);
    f.prompts.answerYesNo(true);
    f.menu.moveToTopLevel->trigger();
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【目录B】移动到根目录吗？|到根目录|information"_s});
    QCOMPARE(f.storedParent(2), u"0"_s);
    const QStringList moved = {u"目录A"_s, u".正在读取..."_s, u"目录B"_s, u".正在读取..."_s,
                               u"目录E"_s, u".正在读取..."_s, u"文档H"_s};
    QCOMPARE(f.tree(), moved);

    // A top-level item in the adjust mode: the statement runs, the catalogue
    // is rebuilt and the mode ends.
    f.expand(u"目录E"_s);
    f.select(u"目录E"_s);
    f.menu.manualAdjust->trigger();
    f.prompts.answerYesNo(true);
    f.menu.moveToTopLevel->trigger();
    QCOMPARE(f.prompts.asked().last(), u"真的要将【目录E】移动到根目录吗？|到根目录|information"_s);
    QCOMPARE(f.storedParent(5), u"0"_s);
    QVERIFY(!f.adjust.active);
    QCOMPARE(f.tree(), moved);
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);
}

void ReorganisationTest::moveToTopLevelAnsweredNoKeepsAdjustMode() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.select(u"文档D"_s);
    f.menu.manualAdjust->trigger();
    const QStringList expanded = f.tree();
    f.prompts.answerYesNo(false);
    f.menu.moveToTopLevel->trigger();
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【文档D】移动到根目录吗？|到根目录|information"_s});
    QVERIFY(f.adjust.active);
    QCOMPARE(f.adjust.movingId, u"4"_s);
    QCOMPARE(f.adjust.movingTitle, u"文档D"_s);
    QCOMPARE(f.storedParent(4), u"1"_s);
    QCOMPARE(f.tree(), expanded);
}

void ReorganisationTest::failedMovesKeepTreeAndMode() {
    Fixture f;
    f.alterFile("CREATE TRIGGER refuse_moves BEFORE UPDATE ON NKTB "
                "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    f.expand(u"目录A"_s);
    f.select(u"文档D"_s);
    f.menu.manualAdjust->trigger();
    const QStringList expanded = f.tree();

    f.prompts.answerYesNo(true);
    f.select(u"目录E"_s);
    QCOMPARE(f.status.last(), u"移动【文档D】失败！"_s);
    QVERIFY(f.adjust.active);

    f.prompts.answerYesNo(true);
    f.menu.moveToTopLevel->trigger();
    QCOMPARE(f.status.last(), u"移动【目录E】失败！"_s);
    QVERIFY(f.adjust.active);
    QCOMPARE(f.adjust.movingId, u"4"_s);
    QCOMPARE(f.storedParent(4), u"1"_s);
    QCOMPARE(f.tree(), expanded);
    QCOMPARE(f.box->currentItem(), f.indexOf(u"目录E"_s));
}

void ReorganisationTest::cancelAndNewKnowledgeBaseEndAdjustMode() {
    Fixture f;
    f.select(u"文档H"_s);
    f.menu.manualAdjust->trigger();
    f.menu.cancelAdjust->trigger();
    QVERIFY(!f.adjust.active);
    QCOMPARE(f.status.last(), u"已退出调整模式"_s);
    QCOMPARE(f.adjust.movingId, u"8"_s);
    QCOMPARE(f.adjust.movingTitle, u"文档H"_s);
    f.select(u"目录E"_s); // an ordinary selection: nothing is asked

    f.menu.manualAdjust->trigger();
    f.reorganisation.knowledgeBaseChanged();
    QVERIFY(!f.adjust.active);
    f.select(u"目录A"_s);
    QVERIFY(f.prompts.asked().isEmpty());
}

void ReorganisationTest::dropOntoDirectoryMovesAfterAsking() {
    Fixture f;
    f.expand(u"目录A"_s);
    const QStringList expanded = f.tree();
    f.status.messages.clear();
    f.prompts.answerYesNo(false);
    drop(f, u"文档D"_s, u"目录E"_s);
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【文档D】移动到【目录E】内吗？|调整位置|information"_s});
    QCOMPARE(f.storedParent(4), u"1"_s);
    QCOMPARE(f.tree(), expanded);
    QVERIFY(f.status.messages.isEmpty());

    f.prompts.answerYesNo(true);
    drop(f, u"文档D"_s, u"目录E"_s);
    QCOMPARE(f.storedParent(4), u"5"_s);
    QCOMPARE(f.tree(), indexedTree);
    QCOMPARE(f.box->currentItem(), -1);
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);
    QVERIFY(!f.adjust.active);
}

void ReorganisationTest::dropBelowItemsMovesToTopLevel() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.select(u"文档D"_s); // the dragged item, not the current one, moves
    f.prompts.answerYesNo(true);
    drop(f, u"目录B"_s);
    QCOMPARE(f.prompts.asked(),
             QStringList{u"真的要将【目录B】移动到根目录吗？|到根目录|information"_s});
    QCOMPARE(f.storedParent(2), u"0"_s);
    QCOMPARE(f.storedParent(4), u"1"_s);
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s, u"目录B"_s, u".正在读取..."_s,
                                    u"目录E"_s, u".正在读取..."_s, u"文档H"_s}));
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);
}

void ReorganisationTest::dropsThatAreRefused() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.expand(u"目录B"_s);
    const QStringList expanded = f.tree();
    const struct {
        QString moving;
        QString target;
        QString refusal;
    } drops[] = {
        {u"文档H"_s, u"文档D"_s, u"无法将【文档H】移动到文档下"_s},
        {u"目录A"_s, u"目录I"_s, u"无法将【目录A】移动到它自己或它的子目录下"_s},
        {u"目录B"_s, u"目录B"_s, u"无法将【目录B】移动到它自己或它的子目录下"_s},
    };
    for (const auto& [moving, target, refusal] : drops) {
        f.status.messages.clear();
        drop(f, moving, target);
        QCOMPARE(f.status.messages, QStringList{refusal});
    }
    f.database.connection.close();
    f.status.messages.clear();
    drop(f, u"文档D"_s, u"目录E"_s);
    drop(f, u"文档D"_s);
    QCOMPARE(f.status.messages, QStringList(2, u"尚未连接资料库！请点击[文件]-[打开资料库]"_s));

    QVERIFY(f.prompts.asked().isEmpty());
    QCOMPARE(f.tree(), expanded);
    f.openConnection();
    QCOMPARE(f.storedParent(1), u"0"_s);
    QCOMPARE(f.storedParent(8), u"0"_s);
}

void ReorganisationTest::dropLeavesAdjustModeAsItIs() {
    Fixture f;
    f.expand(u"目录A"_s);
    f.select(u"文档H"_s);
    f.menu.manualAdjust->trigger();
    f.prompts.answerYesNo(true);
    drop(f, u"文档D"_s, u"目录E"_s);
    QCOMPARE(f.storedParent(4), u"5"_s);
    f.expand(u"目录A"_s);
    f.prompts.answerYesNo(true);
    drop(f, u"目录B"_s);
    QCOMPARE(f.storedParent(2), u"0"_s);
    QVERIFY(f.adjust.active);
    QCOMPARE(f.adjust.movingId, u"8"_s);
    QCOMPARE(f.adjust.movingTitle, u"文档H"_s);

    // The next current directory is still the target of the marked item.
    f.prompts.answerYesNo(false);
    f.select(u"目录E"_s);
    QCOMPARE(f.prompts.asked().last(),
             u"真的要将【文档H】移动到【目录E】内吗？|调整位置|information"_s);
}

void ReorganisationTest::deleteDocumentsInOpenDirectory() {
    Fixture f;
    f.expand(u"目录E"_s);
    f.select(u"文档F"_s);
    // In the adjust mode too: 目录E, current after the reload, is no target.
    f.menu.manualAdjust->trigger();
    f.prompts.answerYesNo(true);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.prompts.asked(), QStringList{u"真的要删除【文档F】文档吗？|真的吗？|question"_s});
    QCOMPARE(f.storedParent(6), std::nullopt);
    QCOMPARE(f.tree(),
             QStringList({u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u".文档G"_s, u"文档H"_s}));
    QCOMPARE(f.status.last(), u"刷新完毕"_s);
    f.reorganisation.cancelAdjust();

    // The last child: the directory keeps its open book.
    f.select(u"文档G"_s);
    f.prompts.answerYesNo(true);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u"文档H"_s}));
    const int e = f.indexOf(u"目录E"_s);
    QCOMPARE(f.box->itemImage(e), int(OpenDirectory));
    QCOMPARE(f.box->selectedImage(e), int(OpenDirectory));

    f.select(u"文档H"_s);
    f.prompts.answerYesNo(false);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.storedCount(), 7);
    QCOMPARE(f.tree().size(), 4);
}

void ReorganisationTest::deleteTopLevelItems() {
    Fixture f;
    f.select(u"文档H"_s);
    f.prompts.answerYesNo(true);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.storedParent(8), std::nullopt);
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s, u"目录E"_s, u".正在读取..."_s}));
    QCOMPARE(f.status.last(), u"目录索引完毕"_s);

    // A directory with two documents and no sub-directory goes with them.
    f.select(u"目录E"_s);
    f.prompts.answerYesNo(true);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.prompts.asked().last(), u"真的要删除【目录E】目录吗？|真的吗？|question"_s);
    for (int id : {5, 6, 7})
        QCOMPARE(f.storedParent(id), std::nullopt);
    QCOMPARE(f.storedCount(), 5);
    QCOMPARE(f.tree(), QStringList({u"目录A"_s, u".正在读取..."_s}));
}

void ReorganisationTest::deleteDirectoryWithSubdirectoryIsRefused() {
    Fixture f;
    f.expand(u"目录A"_s);
    const QStringList expanded = f.tree();
    f.select(u"目录B"_s);
    f.prompts.answerYesNo(true);
    f.menu.deleteItem->trigger();
    QCOMPARE(f.status.last(), u"目录【目录B】下还含有其他目录，删除失败"_s);
    QCOMPARE(f.storedCount(), 9);
    QCOMPARE(f.tree(), expanded);
}

void ReorganisationTest::deleteDirectoryIsOneTransaction() {
    Fixture f;
    // Deleting the rows of 目录E and 文档H fails; deleting their documents does not.
    f.alterFile("CREATE TRIGGER keep_rows BEFORE DELETE ON NKTB WHEN OLD.ID IN (5, 8) "
                "BEGIN SELECT RAISE(ABORT, 'kept'); END");
    f.expand(u"目录E"_s);
    const QStringList expanded = f.tree();
    for (const QString& item : {u"目录E"_s, u"文档H"_s}) {
        f.select(item);
        f.prompts.answerYesNo(true);
        f.menu.deleteItem->trigger();
        QCOMPARE(f.status.last(), u"删除失败！请检查数据库连接"_s);
    }
    QCOMPARE(f.storedCount(), 9);
    QCOMPARE(f.storedParent(6), u"5"_s);
    QCOMPARE(f.storedParent(7), u"5"_s);
    QCOMPARE(f.tree(), expanded);
}

QTEST_MAIN(ReorganisationTest)
#include "tst_reorganisation.moc"
