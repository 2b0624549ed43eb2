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
// or to the top level, delete an item. Every change goes straight to the
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

    // Opens the menu on the tree box's right button release and takes the
    // selections of the adjust mode from the tree box's handlers.
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
    // True when targetId is the marked item itself or lies below it, as the
    // store's parent links say.
    bool isInMovingBranch(const QString& targetId);
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
