#pragma once

#include "catalogue/ContextMenu.h"

#include <array>

class HtmlView;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QTreeWidget;

// The controls of the main window, by their design names (each widget's
// objectName). The window owns them; the other subsystems are given the ones
// they drive.
struct MainWindowControls {
    QTabWidget* leftTabs = nullptr;       // 选择夹_左: pages 目录, 搜索
    QStackedWidget* rightPages = nullptr; // 选择夹_右: pages 查看, 编辑; no strip
    QStatusBar* statusBar = nullptr;      // 状态条
    std::array<QLabel*, 4> statusParts{}; // its parts 0..3

    // 选择夹_左, page 目录
    QTreeWidget* treeBox = nullptr; // 树型框
    // 选择夹_左, page 搜索
    QLineEdit* searchBox = nullptr;    // 编辑框_搜索
    QCheckBox* searchTitles = nullptr; // 选择框1 文档名称
    QCheckBox* searchKeys = nullptr;   // 选择框2 摘要
    QCheckBox* searchTexts = nullptr;  // 选择框3 文档内容
    QListWidget* resultList = nullptr; // 列表框

    // 选择夹_右, page 查看
    HtmlView* viewBrowser = nullptr; // 超文本浏览框
    // 选择夹_右, page 编辑
    QLabel* nameLabel = nullptr;       // 标签1
    QLineEdit* nameBox = nullptr;      // 编辑框_文档名称
    QLabel* parentLabel = nullptr;     // 标签2
    QLineEdit* parentBox = nullptr;    // 编辑框_隶属
    QLabel* keyLabel = nullptr;        // 标签3
    QLineEdit* keyBox = nullptr;       // 编辑框_关键字
    QTabWidget* middleTabs = nullptr;  // 选择夹_中: pages 代码, 预览
    QPushButton* backButton = nullptr; // 按钮_返回
    QPushButton* addButton = nullptr;  // 按钮_添加

    // 选择夹_中, page 代码
    QLabel* colourLabel = nullptr;           // 透明标签1
    QToolButton* colourPicker = nullptr;     // 颜色选择器
    QPushButton* pictureButton = nullptr;    // 按钮_图片
    QPushButton* linkButton = nullptr;       // 按钮_链接
    QPushButton* attachmentButton = nullptr; // 按钮_附件
    QComboBox* headingBox = nullptr;         // 组合框1
    QPushButton* underlineButton = nullptr;  // 按钮1
    QPushButton* strikeOutButton = nullptr;  // 按钮2
    QPushButton* boldButton = nullptr;       // 按钮3
    QPushButton* italicButton = nullptr;     // 按钮4
    QCheckBox* autoBreakBox = nullptr;       // 选择框_br
    QPlainTextEdit* codeBox = nullptr;       // 超级编辑框
    // 选择夹_中, page 预览
    HtmlView* previewBrowser = nullptr; // 超文本浏览框_预览
};

// The hidden context menu 右键 and the items of the menu bar.
struct MainWindowMenus {
    ContextMenu contextMenu; // 右键, only ever a popup over the tree box

    QAction* openKnowledgeBase = nullptr; // 文件 → 打开知识库(&O)
    QAction* newKnowledgeBase = nullptr;  // 文件 → 新建知识库(&N)
    QAction* addDocument = nullptr;       // 编辑 → 添加文档
    QAction* addDirectory = nullptr;      // 编辑 → 添加目录
    QAction* staysOnTop = nullptr;        // 窗口 → 窗口置顶
    QAction* aboutProgram = nullptr;      // 关于 → 关于 岚笺学习机
    QAction* aboutMaker = nullptr;        // 关于 → 关于 岚笺工作室
};
