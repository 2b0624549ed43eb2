#include "app/WindowLayout.h"
#include "documents/HtmlView.h"
#include "tests/app/support/ShellFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The numbers the layout gives for one client area: every value that the
// window's own table of cases lists.
struct Expected {
    int leftTabsHeight, treeBoxHeight, resultListHeight;
    QSize rightPages, viewBrowser;
    int nameBoxWidth, parentLabelLeft, parentBoxLeft, keyBoxWidth;
    QSize middleTabs;
    QPoint addButton;
    int backButtonTop;
    QSize codeBox, preview;
};

const Expected at840x478{440, 398, 350,        {592, 448}, {584, 440}, 367,        431,
                         463, 528, {584, 334}, {488, 398}, 398,        {568, 270}, {580, 311}};
const Expected at1000x600{562, 520, 472,        {752, 570}, {744, 562}, 527,        591,
                          623, 688, {744, 456}, {648, 520}, 520,        {728, 392}, {740, 433}};

void compareComputed(const LayoutValues& v, const Expected& e) {
    QCOMPARE(v.leftTabsHeight, e.leftTabsHeight);
    QCOMPARE(v.treeBoxHeight, e.treeBoxHeight);
    QCOMPARE(v.resultListHeight, e.resultListHeight);
    QCOMPARE(QSize(v.rightPagesWidth, v.rightPagesHeight), e.rightPages);
    QCOMPARE(QSize(v.viewBrowserWidth, v.viewBrowserHeight), e.viewBrowser);
    QCOMPARE(v.nameBoxWidth, e.nameBoxWidth);
    QCOMPARE(v.parentLabelLeft, e.parentLabelLeft);
    QCOMPARE(v.parentBoxLeft, e.parentBoxLeft);
    QCOMPARE(v.keyBoxWidth, e.keyBoxWidth);
    QCOMPARE(QSize(v.middleTabsWidth, v.middleTabsHeight), e.middleTabs);
    QCOMPARE(QPoint(v.addButtonLeft, v.addButtonTop), e.addButton);
    QCOMPARE(v.backButtonTop, e.backButtonTop);
    QCOMPARE(QSize(v.codeBoxWidth, v.codeBoxHeight), e.codeBox);
    QCOMPARE(QSize(v.previewWidth, v.previewHeight), e.preview);
}

void compareControls(const MainWindowControls& c, const Expected& e) {
    QCOMPARE(c.leftTabs->height(), e.leftTabsHeight);
    QCOMPARE(c.treeBox->height(), e.treeBoxHeight);
    QCOMPARE(c.resultList->height(), e.resultListHeight);
    QCOMPARE(c.rightPages->size(), e.rightPages);
    QCOMPARE(c.viewBrowser->size(), e.viewBrowser);
    QCOMPARE(c.nameBox->width(), e.nameBoxWidth);
    QCOMPARE(c.parentLabel->x(), e.parentLabelLeft);
    QCOMPARE(c.parentBox->x(), e.parentBoxLeft);
    QCOMPARE(c.keyBox->width(), e.keyBoxWidth);
    QCOMPARE(c.middleTabs->size(), e.middleTabs);
    QCOMPARE(c.addButton->pos(), e.addButton);
    QCOMPARE(c.backButton->y(), e.backButtonTop);
    QCOMPARE(c.codeBox->size(), e.codeBox);
    QCOMPARE(c.previewBrowser->size(), e.preview);
}

// Every place and size the layout touches, and those it must leave alone.
QList<QRect> geometries(const MainWindowControls& c) {
    QList<QRect> all;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.leftTabs, c.treeBox, c.searchBox, c.searchTitles, c.resultList, c.rightPages,
             c.viewBrowser, c.nameLabel, c.nameBox, c.parentLabel, c.parentBox, c.keyBox,
             c.middleTabs, c.backButton, c.addButton, c.colourPicker, c.codeBox, c.previewBrowser})
        all << w->geometry();
    return all;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFixture> m_shell;
    const MainWindowControls& controls() { return m_shell->window().controls(); }

private slots:
    void init() {
        m_shell = std::make_unique<ShellFixture>();
        m_shell->showWindow();
    }
    void cleanup() { m_shell.reset(); }

    void computedValues() {
        compareComputed(computeLayout({840, 478}), at840x478);
        compareComputed(computeLayout({1000, 600}), at1000x600);
        // No lower bound: a minimised window's empty client area.
        const LayoutValues empty = computeLayout({0, 0});
        QCOMPARE(empty.leftTabsHeight, -38);
        QCOMPARE(empty.rightPagesWidth, -248);
        QCOMPARE(empty.addButtonLeft, -352);
        QCOMPARE(empty.previewHeight, -167);
    }

    // The edit page's controls follow the size while the view page is shown.
    void realResizes() {
        QVERIFY(!m_shell->window().isEditing());
        m_shell->resizeClientArea({840, 478});
        compareControls(controls(), at840x478);
        m_shell->resizeClientArea({1000, 600});
        compareControls(controls(), at1000x600);
    }

    // The right tab control ends just above the status bar and 2 short of
    // the right edge; the left one 30 above the client area's bottom.
    void edgesFollowTheClientArea() {
        m_shell->resizeClientArea({1000, 600});
        const MainWindowControls& c = controls();
        QWidget* client = m_shell->window().centralWidget();
        const int clientBottom = client->y() + 600;
        QCOMPARE(c.rightPages->mapTo(&m_shell->window(), QPoint(0, c.rightPages->height())).y(),
                 c.statusBar->y());
        QCOMPARE(c.statusBar->y() + c.statusBar->height(), clientBottom);
        QCOMPARE(c.rightPages->geometry().right() + 1, 1000 - 2);
        QCOMPARE(c.leftTabs->mapTo(&m_shell->window(), QPoint(0, c.leftTabs->height())).y(),
                 clientBottom - 30);
    }

    void widerOnlyOrTallerOnly() {
        m_shell->resizeClientArea({840, 478});
        const MainWindowControls& c = controls();
        const QList<QRect> before = geometries(c);

        m_shell->resizeClientArea({1000, 478});
        QList<QRect> after = geometries(c);
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].height(), before[i].height());
            QCOMPARE(after[i].top(), before[i].top());
        }
        for (int i : {0, 1, 2, 3, 4})
            QCOMPARE(after[i], before[i]);

        m_shell->resizeClientArea({840, 600});
        after = geometries(c);
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].width(), before[i].width());
            QCOMPARE(after[i].left(), before[i].left());
        }
    }

    void minimiseAndRestore() {
        m_shell->resizeClientArea({1000, 600});
        MainWindow& window = m_shell->window();
        const QList<QRect> before = geometries(controls());
        window.showMinimized();
        QCoreApplication::processEvents();
        window.showNormal();
        QCoreApplication::processEvents();
        QCOMPARE(geometries(controls()), before);
    }

    // A client area too small for the controls gives empty ones, and the
    // next size brings every control back.
    void tooSmallAndBack() {
        MainWindow& window = m_shell->window();
        window.setMinimumSize(0, 0);
        window.resize(120, 60);
        QCoreApplication::processEvents();
        for (QWidget* w :
             std::initializer_list<QWidget*>{controls().rightPages, controls().codeBox})
            QVERIFY(w->width() >= 0 && w->height() >= 0);
        m_shell->resizeClientArea({840, 478});
        compareControls(controls(), at840x478);
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
