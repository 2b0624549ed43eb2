#pragma once

#include "catalogue/ContextMenu.h"
#include "documents/EditSession.h"

#include <QObject>
#include <QString>
#include <functional>

class CatalogueHandlers;
class CatalogueTree;
class Prompts;
class QPoint;
class StatusView;
class TreeBox;
class TreeBoxHelper;
struct AdjustState;
struct DatabaseObjects;

// The reorganisation of the catalogue through the tree box's context menu:
// refresh a directory, move an item into another directory (the adjust mode)
// or to the top level, delete an item; and the drop of an item dragged within
// the tree box, which moves it the same way. Every change goes straight to the
// store; afterwards the affected part of the tree is rebuilt from the store.
// None of the commands looks at whether an edit is in progress.
class Reorganisation : public QObject {
    Q_OBJECT

public:
    // Starts an edit session for the menu's 添加文档, 添加目录 and 编辑.
    using StartEdit = std::function<void(EditMode)>;

    // Connects the items of menu to their commands.
    Reorganisation(const ContextMenu& menu, TreeBoxHelper& helper, CatalogueTree& catalogue,
                   AdjustState& adjust, DatabaseObjects& database, StatusView& status,
                   Prompts& prompts, StartEdit startEdit, QObject* parent = nullptr);

    // Opens the menu on the tree box's right button release, moves items
    // dropped in the tree box and takes the selections of the adjust mode
    // from the tree box's handlers.
    void attach(TreeBox& treeBox, CatalogueHandlers& handlers);

    // The right button was released over the tree box: opens the menu for
    // the current item at the pointer, when it may open.
    void rightButtonReleased(const QPoint& globalPosition);
    // Decides whether the menu may open and sets the items that depend on
    // the current item; false when it stays closed.
    bool prepareContextMenu();

    // 刷新: reloads the children of the current item.
    void refresh();
    // 手动调整: marks the current item as the one to move.
    void markForMove();
    // In the adjust mode, the new current item is the target of the move.
    void moveIntoCurrentItem();
    // 到根目录: moves the current item (not the marked one) to the top level.
    void moveToTopLevel();
    // The item at movingIndex was dropped on the item at targetIndex, or
    // below the items (-1, the top level): moves it there after asking.
    void itemDropped(int movingIndex, int targetIndex);
    // 取消调整: leaves the adjust mode.
    void cancelAdjust();
    // 删除: deletes the current item after asking.
    void deleteCurrentItem();
    // Deletes the item at index from the store (a directory together with
    // the documents directly in it) and reloads its parent's children.
    void deleteCatalogueItem(int index, bool isDirectory);

    // Ends the adjust mode when another knowledge base has been opened or
    // created (or the attempt left none open): the marked ID belonged to the
    // previous one.
    void knowledgeBaseChanged();

private:
    // What a successful move does to the adjust mode: the adjust mode's own
    // move and 到根目录 end it, a drop keeps it as it was.
    enum class AdjustModeAfterMove { End, Keep };

    // Moves the item movingId, titled movingTitle, into the directory at
    // targetIndex after asking; a document or the item's own branch is
    // refused with a message.
    void moveItemInto(const QString& movingId, const QString& movingTitle, int targetIndex,
                      AdjustModeAfterMove after);
    // Moves the item at index to the top level after asking.
    void moveItemToTopLevel(int index, AdjustModeAfterMove after);
    // Gives the item the new parent in the store and rebuilds the catalogue;
    // the tree is left as it was when the store refuses.
    void runMove(const QString& movingId, const QString& movingTitle, const QString& parentId,
                 AdjustModeAfterMove after);
    // True when targetId is movingId itself or lies below it, as the store's
    // parent links say.
    bool isInBranchOf(const QString& movingId, const QString& targetId);
    // Deletes a directory (with the documents directly in it) or a document;
    // a directory's two statements succeed or fail together.
    bool deleteFromStore(const QString& id, bool isDirectory);

    ContextMenu m_menu;
    TreeBoxHelper& m_helper;
    CatalogueTree& m_catalogue;
    AdjustState& m_adjust;
    DatabaseObjects& m_database;
    StatusView& m_status;
    Prompts& m_prompts;
    StartEdit m_startEdit;
};
