#include "app/WindowLayout.h"

#include "app/MainWindowControls.h"
#include "documents/HtmlView.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

LayoutValues computeLayout(QSize clientArea) {
    const int W = clientArea.width();
    const int H = clientArea.height();
    LayoutValues v{};
    v.leftTabsHeight = H - 38;
    v.treeBoxHeight = H - 80;
    v.resultListHeight = H - 128;
    v.rightPagesHeight = H - 30;
    v.rightPagesWidth = W - 248;
    v.viewBrowserHeight = H - 38;
    v.viewBrowserWidth = W - 256;
    v.nameBoxWidth = v.rightPagesWidth - 225;
    v.parentLabelLeft = nameBoxLeft + v.nameBoxWidth + 8;
    v.parentBoxLeft = nameBoxLeft + v.nameBoxWidth + 40;
    v.keyBoxWidth = v.rightPagesWidth - 64;
    v.middleTabsWidth = v.rightPagesWidth - 8;
    v.middleTabsHeight = v.rightPagesHeight - 114;
    v.addButtonLeft = v.middleTabsWidth - 96;
    v.addButtonTop = middleTabsTop + v.middleTabsHeight + 8;
    v.backButtonTop = v.addButtonTop;
    v.codeBoxWidth = v.middleTabsWidth - 16;
    v.codeBoxHeight = v.middleTabsHeight - 64;
    v.previewWidth = v.middleTabsWidth - 4;
    v.previewHeight = v.middleTabsHeight - 23;
    return v;
}

namespace {

// A widget cannot be smaller than empty; a negative size shows as 0 until
// the next run sets it again.
void setWidth(QWidget* widget, int width) {
    widget->resize(std::max(0, width), widget->height());
}

void setHeight(QWidget* widget, int height) {
    widget->resize(widget->width(), std::max(0, height));
}

void setLeft(QWidget* widget, int left) {
    widget->move(left, widget->y());
}

void setTop(QWidget* widget, int top) {
    widget->move(widget->x(), top);
}

} // namespace

void applyLayout(const MainWindowControls& c, const LayoutValues& v) {
    setHeight(c.leftTabs, v.leftTabsHeight);
    setHeight(c.treeBox, v.treeBoxHeight);
    setHeight(c.resultList, v.resultListHeight);
    setHeight(c.rightPages, v.rightPagesHeight);
    setWidth(c.rightPages, v.rightPagesWidth);
    setHeight(c.viewBrowser, v.viewBrowserHeight);
    setWidth(c.viewBrowser, v.viewBrowserWidth);
    setWidth(c.nameBox, v.nameBoxWidth);
    setLeft(c.parentLabel, v.parentLabelLeft);
    setLeft(c.parentBox, v.parentBoxLeft);
    setWidth(c.keyBox, v.keyBoxWidth);
    setWidth(c.middleTabs, v.middleTabsWidth);
    setHeight(c.middleTabs, v.middleTabsHeight);
    setLeft(c.addButton, v.addButtonLeft);
    setTop(c.addButton, v.addButtonTop);
    setTop(c.backButton, v.backButtonTop);
    setWidth(c.codeBox, v.codeBoxWidth);
    setHeight(c.codeBox, v.codeBoxHeight);
    setWidth(c.previewBrowser, v.previewWidth);
    setHeight(c.previewBrowser, v.previewHeight);
}
