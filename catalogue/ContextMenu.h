#pragma once

class QAction;
class QMenu;
class QWidget;

// The tree box's context menu 右键 and its items. It is never shown on the
// menu bar, only opened as a popup over the tree box.
struct ContextMenu {
    QMenu* menu = nullptr;             // 右键
    QAction* addDocument = nullptr;    // 添加文档
    QAction* addDirectory = nullptr;   // 添加目录
    QAction* refresh = nullptr;        // 刷新
    QAction* edit = nullptr;           // 编辑
    QMenu* adjustMenu = nullptr;       // 调整位置
    QAction* manualAdjust = nullptr;   // 手动调整
    QAction* moveToTopLevel = nullptr; // 到根目录
    QAction* cancelAdjust = nullptr;   // 取消调整
    QAction* deleteItem = nullptr;     // 删除
};

// Builds 右键 with its items in order, separators between the groups, every
// item enabled. The menu is a child of parent.
ContextMenu createContextMenu(QWidget* parent);
