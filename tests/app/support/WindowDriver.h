#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

class QAction;
class QTabWidget;
class QTreeWidgetItem;
class QWidget;
class ShellFixture;
class TreeBox;
struct MainWindowControls;
struct MainWindowMenus;

// Drives the shown main window of a ShellFixture as a user does, through its
// controls: menu items, clicks on tree items, tabs and list entries, typing,
// the context menu. Reads back what the window shows. A step that cannot be
// taken (no such item, an item out of sight) fails the running test.
class WindowDriver {
public:
    explicit WindowDriver(ShellFixture& shell);

    const MainWindowControls& controls() const;
    const MainWindowMenus& menus() const;
    // The tree box model over 树型框.
    TreeBox& treeBox() const;

    // The messages part of the status bar, and the file name part.
    QString message() const;
    QString knowledgeBaseName() const;

    // 文件 → 打开知识库(&O), the file dialog answered with path.
    void openKnowledgeBase(const QString& path);

    // The tree item with this text (the first in the walk); nullptr, and the
    // test fails, when there is none.
    QTreeWidgetItem* treeItem(const QString& text) const;
    // The texts of the item's children; the top level for nullptr.
    QStringList childTexts(const QTreeWidgetItem* item = nullptr) const;
    // The tree box index of the first item with this text; -1, and the test
    // fails, when there is none.
    int itemIndex(const QString& text) const;
    // The tree box's current item's text; empty when there is none.
    QString currentItemText() const;

    // A click on the item's label (its picture and text).
    void clickItem(const QString& text, Qt::MouseButton button = Qt::LeftButton);
    // A right-button click below the last item: the current item stays.
    void rightClickBelowItems();
    // A click on the item's open/close button.
    void toggleItem(const QString& text);

    // Whether the context menu 右键 is open.
    bool contextMenuIsOpen() const;
    // Clicks item in the open context menu, through 调整位置 for the items of
    // its submenu. The item must be enabled.
    void chooseFromContextMenu(QAction* item);
    // Closes the context menu without choosing (Escape).
    void closeContextMenu();

    // A click on the page's tab.
    static void clickTab(QTabWidget* tabs, int page);
    // A left click in the middle of the control (gives it the focus).
    static void click(QWidget* control);
    // Types the text character by character into the control.
    static void typeText(QWidget* control, const QString& text);

    // On page 搜索: clicks into the search box, types the keyword and
    // presses Enter.
    void search(const QString& keyword);
    // The texts of the result list's entries, in order.
    QStringList resultTexts() const;
    // A click on the first entry with this text.
    void clickResult(const QString& text, Qt::MouseButton button = Qt::LeftButton);

    // The text of 超文本浏览框's document, and of the preview's.
    QString viewText() const;
    QString previewText() const;
    // What TempPage holds, read as the program writes it (UTF-8).
    QString tempPageText() const;

private:
    ShellFixture& m_shell;
};

// Receives the addresses that the program hands to the desktop for one URL
// scheme while it lives.
class DesktopUrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit DesktopUrlRecorder(const QString& scheme);
    ~DesktopUrlRecorder() override;

    QList<QUrl> opened;

public slots:
    void open(const QUrl& address);

private:
    QString m_scheme;
};
