#pragma once

#include <QSize>

struct MainWindowControls;

// The twenty values that re-place the stretchable controls, computed from
// the client area alone (the window below its menu bar, status bar
// included), in the order they are applied.
struct LayoutValues {
    int leftTabsHeight;    // 1  选择夹_左 height
    int treeBoxHeight;     // 2  树型框 height
    int resultListHeight;  // 3  列表框 height
    int rightPagesHeight;  // 4  选择夹_右 height
    int rightPagesWidth;   // 5  选择夹_右 width
    int viewBrowserHeight; // 6  超文本浏览框 height
    int viewBrowserWidth;  // 7  超文本浏览框 width
    int nameBoxWidth;      // 8  编辑框_文档名称 width
    int parentLabelLeft;   // 9  标签2 left
    int parentBoxLeft;     // 10 编辑框_隶属 left
    int keyBoxWidth;       // 11 编辑框_关键字 width
    int middleTabsWidth;   // 12 选择夹_中 width
    int middleTabsHeight;  // 13 选择夹_中 height
    int addButtonLeft;     // 14 按钮_添加 left
    int addButtonTop;      // 15 按钮_添加 top
    int backButtonTop;     // 16 按钮_返回 top
    int codeBoxWidth;      // 17 超级编辑框 width
    int codeBoxHeight;     // 18 超级编辑框 height
    int previewWidth;      // 19 超文本浏览框_预览 width
    int previewHeight;     // 20 超文本浏览框_预览 height
};

// No lower bound: a client area too small gives negative sizes, which the
// controls take as empty until the next run.
LayoutValues computeLayout(QSize clientArea);

// Sets the twenty values on the controls, step by step.
void applyLayout(const MainWindowControls& controls, const LayoutValues& values);

// The places that no step changes and that the steps build on.
inline constexpr int nameBoxLeft = 56;
inline constexpr int middleTabsTop = 56;
