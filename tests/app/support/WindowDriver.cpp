#include "WindowDriver.h"

#include "ShellFixture.h"
#include "catalogue/TreeBox.h"
#include "documents/HtmlView.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

void fail(const QString& message) {
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

// A point on the item's label: just after the 16-pixel picture, on the text.
QPoint labelPoint(const QTreeWidget& tree, const QTreeWidgetItem* item) {
    const QRect cell = tree.visualItemRect(item);
    return QPoint(cell.left() + 24, cell.center().y());
}

} // namespace

WindowDriver::WindowDriver(ShellFixture& shell) : m_shell(shell) {}

const MainWindowControls& WindowDriver::controls() const {
    return m_shell.window().controls();
}

const MainWindowMenus& WindowDriver::menus() const {
    return m_shell.window().menus();
}

TreeBox& WindowDriver::treeBox() const {
    return *m_shell.context().treeBoxHelper().treeBox();
}

QString WindowDriver::message() const {
    return controls().statusParts[3]->text();
}

QString WindowDriver::knowledgeBaseName() const {
    return controls().statusParts[1]->text();
}

void WindowDriver::openKnowledgeBase(const QString& path) {
    m_shell.prompts().answerFile(path);
    menus().openKnowledgeBase->trigger();
}

QTreeWidgetItem* WindowDriver::treeItem(const QString& text) const {
    const QList<QTreeWidgetItem*> found =
        controls().treeBox->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) {
        fail("no tree item " + text);
        return nullptr;
    }
    return found.first();
}

QStringList WindowDriver::childTexts(const QTreeWidgetItem* item) const {
    const QTreeWidgetItem* parent = item ? item : controls().treeBox->invisibleRootItem();
    QStringList texts;
    for (int row = 0; row < parent->childCount(); ++row)
        texts << parent->child(row)->text(0);
    return texts;
}

int WindowDriver::itemIndex(const QString& text) const {
    const TreeBox& box = treeBox();
    for (int index = 0; index < box.itemCount(); ++index)
        if (box.itemText(index) == text)
            return index;
    fail("no tree item " + text);
    return -1;
}

QString WindowDriver::currentItemText() const {
    const QTreeWidgetItem* current = controls().treeBox->currentItem();
    return current ? current->text(0) : QString();
}

void WindowDriver::clickItem(const QString& text, Qt::MouseButton button) {
    QTreeWidget& tree = *controls().treeBox;
    QTreeWidgetItem* item = treeItem(text);
    if (!item)
        return;
    tree.scrollToItem(item);
    if (tree.visualItemRect(item).isEmpty()) {
        fail("tree item out of sight: " + text);
        return;
    }
    QTest::mouseClick(tree.viewport(), button, {}, labelPoint(tree, item));
}

void WindowDriver::rightClickBelowItems() {
    QWidget* viewport = controls().treeBox->viewport();
    const QPoint below(viewport->width() / 2, viewport->height() - 4);
    if (controls().treeBox->itemAt(below)) {
        fail(QStringLiteral("the tree box has no room below its items"));
        return;
    }
    QTest::mouseClick(viewport, Qt::RightButton, {}, below);
}

void WindowDriver::toggleItem(const QString& text) {
    QTreeWidget& tree = *controls().treeBox;
    QTreeWidgetItem* item = treeItem(text);
    if (!item)
        return;
    tree.scrollToItem(item);
    const QRect cell = tree.visualItemRect(item);
    if (cell.isEmpty()) {
        fail("tree item out of sight: " + text);
        return;
    }
    const QPoint button(cell.left() - tree.indentation() / 2, cell.center().y());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, button);
}

bool WindowDriver::contextMenuIsOpen() const {
    return menus().contextMenu.menu->isVisible();
}

void WindowDriver::chooseFromContextMenu(QAction* item) {
    const ContextMenu& context = menus().contextMenu;
    if (!context.menu->isVisible()) {
        fail("the context menu is not open to choose " + item->text());
        return;
    }
    if (!item->isEnabled()) {
        fail("greyed out: " + item->text());
        return;
    }
    QMenu* menu = context.menu;
    if (context.adjustMenu->actions().contains(item)) {
        // The submenu opens when its item in the menu is pressed.
        QAction* opener = context.adjustMenu->menuAction();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(opener).center());
        if (!QTest::qWaitFor([&] { return context.adjustMenu->isVisible(); })) {
            fail(QStringLiteral("调整位置 did not open"));
            return;
        }
        menu = context.adjustMenu;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void WindowDriver::closeContextMenu() {
    QTest::keyClick(menus().contextMenu.menu, Qt::Key_Escape);
}

void WindowDriver::clickTab(QTabWidget* tabs, int page) {
    QTabBar* strip = tabs->tabBar();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(page).center());
}

void WindowDriver::click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void WindowDriver::typeText(QWidget* control, const QString& text) {
    // QTest::keyClicks takes Latin-1 only.
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

void WindowDriver::search(const QString& keyword) {
    QLineEdit* box = controls().searchBox;
    click(box);
    typeText(box, keyword);
    QTest::keyClick(box, Qt::Key_Return);
}

QStringList WindowDriver::resultTexts() const {
    QStringList texts;
    const QListWidget* list = controls().resultList;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void WindowDriver::clickResult(const QString& text, Qt::MouseButton button) {
    QListWidget* list = controls().resultList;
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty()) {
        fail("no result entry " + text);
        return;
    }
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(found.first()).center());
}

QString WindowDriver::viewText() const {
    return controls().viewBrowser->toPlainText();
}

QString WindowDriver::previewText() const {
    return controls().previewBrowser->toPlainText();
}

QString WindowDriver::tempPageText() const {
    QFile page(m_shell.runDirectory() + QStringLiteral("/Data/Temp.html"));
    return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
}

DesktopUrlRecorder::DesktopUrlRecorder(const QString& scheme) : m_scheme(scheme) {
    QDesktopServices::setUrlHandler(m_scheme, this, "open");
}

DesktopUrlRecorder::~DesktopUrlRecorder() {
    QDesktopServices::unsetUrlHandler(m_scheme);
}

void DesktopUrlRecorder::open(const QUrl& address) {
    opened << address;
}
