#include "catalogue/Reorganisation.h"

#include "catalogue/AdjustState.h"
#include "catalogue/CatalogueHandlers.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/ItemKinds.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "documents/Prompts.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"

#include <QAction>
#include <QMenu>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// A stored parent link that names an item: a positive ID in plain decimal,
// the text the catalogue links children by. "0" (the top level) and any
// other text name none.
bool namesItem(const QString& parentId) {
    bool ok = false;
    const int id = parentId.toInt(&ok);
    return ok && id > 0 && QString::number(id) == parentId;
}

} // namespace

Reorganisation::Reorganisation(const ContextMenu& menu, TreeBoxHelper& helper,
                               CatalogueTree& catalogue, AdjustState& adjust,
                               DatabaseObjects& database, StatusView& status, Prompts& prompts,
                               StartEdit startEdit, QObject* parent)
    : QObject(parent), m_menu(menu), m_helper(helper), m_catalogue(catalogue), m_adjust(adjust),
      m_database(database), m_status(status), m_prompts(prompts),
      m_startEdit(std::move(startEdit)) {
    auto startEditing = [this](EditMode mode) { return [this, mode] { m_startEdit(mode); }; };
    connect(m_menu.addDocument, &QAction::triggered, this, startEditing(EditMode::AddDocument));
    connect(m_menu.addDirectory, &QAction::triggered, this, startEditing(EditMode::AddDirectory));
    connect(m_menu.edit, &QAction::triggered, this, startEditing(EditMode::Modify));
    connect(m_menu.refresh, &QAction::triggered, this, &Reorganisation::refresh);
    connect(m_menu.manualAdjust, &QAction::triggered, this, &Reorganisation::markForMove);
    connect(m_menu.moveToTopLevel, &QAction::triggered, this, &Reorganisation::moveToTopLevel);
    connect(m_menu.cancelAdjust, &QAction::triggered, this, &Reorganisation::cancelAdjust);
    connect(m_menu.deleteItem, &QAction::triggered, this, &Reorganisation::deleteCurrentItem);
}

void Reorganisation::attach(TreeBox& treeBox, CatalogueHandlers& handlers) {
    connect(&treeBox, &TreeBox::rightButtonReleased, this, &Reorganisation::rightButtonReleased);
    connect(&treeBox, &TreeBox::itemDropped, this, &Reorganisation::itemDropped);
    handlers.setAdjustHandler([this] { moveIntoCurrentItem(); });
}

void Reorganisation::rightButtonReleased(const QPoint& globalPosition) {
    if (prepareContextMenu())
        m_menu.menu->popup(globalPosition);
}

bool Reorganisation::prepareContextMenu() {
    if (!m_database.connection.isConnected()) {
        m_status.showStatus(u"尚未连接资料库！请点击[文件]-[打开资料库]"_s);
        return false;
    }
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (current == -1)
        return false;
    const bool d = box->itemImage(current) == Document;
    for (QAction* item : {m_menu.addDocument, m_menu.addDirectory, m_menu.refresh})
        item->setEnabled(!d);
    return true;
}

void Reorganisation::refresh() {
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (current == -1)
        return;
    m_catalogue.loadChildren(current);
}

void Reorganisation::markForMove() {
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (current == -1)
        return;
    m_adjust.active = true;
    m_adjust.movingId = QString::number(box->itemValue(current));
    m_adjust.movingTitle = m_helper.currentItemText();
    m_status.showStatus(u"请选择你想要调整到的位置"_s);
}

void Reorganisation::moveIntoCurrentItem() {
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (!m_adjust.active || current == -1)
        return;
    moveItemInto(m_adjust.movingId, m_adjust.movingTitle, current, AdjustModeAfterMove::End);
}

void Reorganisation::moveToTopLevel() {
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (current == -1)
        return;
    moveItemToTopLevel(current, AdjustModeAfterMove::End);
}

void Reorganisation::itemDropped(int movingIndex, int targetIndex) {
    if (!m_database.connection.isConnected()) {
        m_status.showStatus(u"尚未连接资料库！请点击[文件]-[打开资料库]"_s);
        return;
    }
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    // A drag is a gesture of its own: it neither needs the adjust mode nor
    // ends it, and the marked item stays marked.
    if (targetIndex == -1)
        moveItemToTopLevel(movingIndex, AdjustModeAfterMove::Keep);
    else
        moveItemInto(QString::number(box->itemValue(movingIndex)), box->itemText(movingIndex),
                     targetIndex, AdjustModeAfterMove::Keep);
}

void Reorganisation::moveItemInto(const QString& movingId, const QString& movingTitle,
                                  int targetIndex, AdjustModeAfterMove after) {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    if (box->itemImage(targetIndex) == Document) {
        m_status.showStatus(u"无法将【"_s + movingTitle + u"】移动到文档下"_s);
        return;
    }
    const QString targetId = QString::number(box->itemValue(targetIndex));
    // Hung below itself, a directory's branch would no longer hang from the
    // top level and would vanish from the catalogue.
    if (isInBranchOf(movingId, targetId)) {
        m_status.showStatus(u"无法将【"_s + movingTitle + u"】移动到它自己或它的子目录下"_s);
        return;
    }
    const QString question = u"真的要将【"_s + movingTitle + u"】移动到【"_s +
                             box->itemText(targetIndex) + u"】内吗？"_s;
    if (!m_prompts.askYesNo(question, u"调整位置"_s, Prompts::Icon::Information))
        return;
    runMove(movingId, movingTitle, targetId, after);
}

void Reorganisation::moveItemToTopLevel(int index, AdjustModeAfterMove after) {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    const QString t = box->itemText(index);
    const QString question = u"真的要将【"_s + t + u"】移动到根目录吗？"_s;
    if (!m_prompts.askYesNo(question, u"到根目录"_s, Prompts::Icon::Information))
        return;
    runMove(QString::number(box->itemValue(index)), t, u"0"_s, after);
}

void Reorganisation::runMove(const QString& movingId, const QString& movingTitle,
                             const QString& parentId, AdjustModeAfterMove after) {
    if (!m_database.connection.execute(moveItem(movingId, parentId))) {
        m_status.showStatus(u"移动【"_s + movingTitle + u"】失败！"_s);
        return;
    }
    // When the move ends the adjust mode, it is off before the rebuild, so
    // the selections the rebuild brings are ordinary ones.
    if (after == AdjustModeAfterMove::End)
        m_adjust.active = false;
    m_catalogue.indexCatalogue();
}

void Reorganisation::cancelAdjust() {
    m_adjust.active = false;
    m_status.showStatus(u"已退出调整模式"_s);
}

void Reorganisation::deleteCurrentItem() {
    TreeBox* box = m_helper.treeBox();
    const int current = box ? box->currentItem() : -1;
    if (current == -1)
        return;
    const bool d = box->itemImage(current) == Document;
    const QString t = box->itemText(current);
    const QString question = u"真的要删除【"_s + t + (d ? u"】文档吗？"_s : u"】目录吗？"_s);
    if (!m_prompts.askYesNo(question, u"真的吗？"_s, Prompts::Icon::Question))
        return;
    deleteCatalogueItem(current, !d);
}

void Reorganisation::deleteCatalogueItem(int index, bool isDirectory) {
    TreeBox* box = m_helper.treeBox();
    const int value = box ? box->itemValue(index) : 0;
    // No item (or the placeholder): the ID 0 is the top level itself, whose
    // documents must never go with it.
    if (value == 0)
        return;
    const QString id = QString::number(value);
    const int p = box->parentItem(index);
    if (isDirectory) {
        RecordSet& rows = m_database.primaryRecordSet;
        rows.open(selectSubdirectoriesForDelete(id));
        // Without an answer the sub-directories cannot be ruled out, and
        // they must not lose their parent.
        if (rows.recordCount() < 0) {
            m_status.showStatus(u"删除失败！请检查数据库连接"_s);
            return;
        }
        if (rows.recordCount() > 0) {
            m_status.showStatus(u"目录【"_s + box->itemText(index) +
                                u"】下还含有其他目录，删除失败"_s);
            return;
        }
    }
    if (!deleteFromStore(id, isDirectory)) {
        m_status.showStatus(u"删除失败！请检查数据库连接"_s);
        return;
    }
    if (p == -1)
        m_catalogue.indexCatalogue();
    else
        m_catalogue.loadChildren(p);
}

void Reorganisation::knowledgeBaseChanged() {
    m_adjust.active = false;
}

bool Reorganisation::isInBranchOf(const QString& movingId, const QString& targetId) {
    RecordSet& lookUp = m_database.secondaryRecordSet;
    // The walk up ends at the top level, at a link that names no stored
    // item, or where it meets an ID it has seen: a cycle in a damaged file
    // cannot hold it.
    QSet<QString> seen;
    for (QString id = targetId; !seen.contains(id);) {
        if (id == movingId)
            return true;
        seen.insert(id);
        lookUp.open(selectItemById(id));
        if (lookUp.recordCount() <= 0)
            return false;
        const QString parentId = lookUp.readText(u"NFID"_s);
        if (!namesItem(parentId))
            return false;
        id = parentId;
    }
    return false;
}

bool Reorganisation::deleteFromStore(const QString& id, bool isDirectory) {
    DatabaseConnection& connection = m_database.connection;
    if (!isDirectory)
        return connection.execute(deleteItem(id));
    // Since the directory has no sub-directories, deleteChildren removes the
    // documents directly in it. Both go, or neither does: a directory gone
    // alone would leave its documents in the table, out of reach.
    return connection.runInTransaction([&] {
        return connection.execute(deleteChildren(id)) && connection.execute(deleteItem(id));
    });
}
