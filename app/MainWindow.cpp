#include "app/MainWindow.h"

#include "app/ApplicationContext.h"
#include "app/EditingRefusal.h"
#include "app/KnowledgeBaseCommands.h"
#include "app/Pictures.h"
#include "app/WindowComponents.h"
#include "app/WindowLayout.h"
#include "app/WindowPlacement.h"
#include "documents/HtmlView.h"
#include "resources/WebAddresses.h"
#include "resources/WelcomePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace {

// The client area the window is created with, centred on the screen.
constexpr QSize designClientArea(840, 478);
constexpr int statusBarHeight = 22;

// A tab control whose pages' controls are placed in the tab control's own
// coordinates, the tab strip included, as the design gives them.
class TabControl : public QTabWidget {
public:
    using QTabWidget::QTabWidget;

    // Where the area of the pages begins inside the tab control.
    QPoint pageOrigin() const {
        QStyleOptionTabWidgetFrame option;
        initStyleOption(&option);
        return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
    }

    QWidget* addPage(const QString& caption) {
        auto* page = new QWidget;
        addTab(page, caption);
        return page;
    }

    QRect onPage(int left, int top, int width, int height) const {
        return QRect(QPoint(left, top) - pageOrigin(), QSize(width, height));
    }
};

template <class Control>
Control* addControl(QWidget* parent, const char* name, const QRect& place) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(place);
    return control;
}

// Screen readers and GUI drivers find the boxes by their design names; a
// label keeps its text as its name and carries the design name as its
// description instead.
void nameForAccessibility(QWidget* control) {
    control->setAccessibleName(control->objectName());
}

QLabel* addLabel(QWidget* parent, const char* name, const QRect& place, const char* text) {
    auto* label = addControl<QLabel>(parent, name, place);
    label->setText(QString::fromUtf8(text));
    label->setAccessibleDescription(label->objectName());
    return label;
}

QCheckBox* addCheckedBox(QWidget* parent, const char* name, const QRect& place, const char* text) {
    auto* box = addControl<QCheckBox>(parent, name, place);
    box->setText(QString::fromUtf8(text));
    box->setChecked(true);
    return box;
}

QPushButton* addButton(QWidget* parent, const char* name, const QRect& place, const char* text) {
    auto* button = addControl<QPushButton>(parent, name, place);
    button->setText(QString::fromUtf8(text));
    return button;
}

// The markup buttons show their caption in the style they insert, in a
// 12-pixel font of the default family.
QPushButton* addStyledButton(QWidget* parent, const char* name, const QRect& place,
                             const char* text, void (QFont::*style)(bool)) {
    auto* button = addButton(parent, name, place, text);
    QFont font = button->font();
    font.setPixelSize(12);
    (font.*style)(true);
    button->setFont(font);
    return button;
}

QPushButton* addPictureButton(QWidget* parent, const char* name, const QRect& place,
                              const QIcon& picture) {
    auto* button = addControl<QPushButton>(parent, name, place);
    button->setIcon(picture);
    button->setIconSize(QSize(20, 20));
    nameForAccessibility(button);
    return button;
}

// Only the program turns the pages of a tab control without strip, and the
// Tab key passes over the strips of the others.
void keepFocusOffStrip(QTabWidget* tabs) {
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
}

} // namespace

MainWindow::MainWindow(ApplicationContext& context, Prompts& prompts)
    : m_context(context), m_prompts(prompts) {
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xEF, 0xEF, 0xEF));
    setPalette(background);

    createMenus();
    createControls();
    createStatusBar();
    setTabOrder();
    connectMenus();

    QRect design(QPoint(), designClientArea + QSize(0, menuBar()->sizeHint().height()));
    design.moveCenter(screen()->availableGeometry().center());
    setGeometry(design);

    onCreated();
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenus() {
    MainWindowMenus& m = m_menus;

    // 右键: never on the bar; the tree box opens it as a popup.
    m.contextMenu = createContextMenu(this);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    m.openKnowledgeBase = file->addAction(QStringLiteral("打开知识库(&O)"));
    file->addSeparator();
    m.newKnowledgeBase = file->addAction(QStringLiteral("新建知识库(&N)"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    m.addDocument = edit->addAction(QStringLiteral("添加文档"));
    m.addDirectory = edit->addAction(QStringLiteral("添加目录"));

    QMenu* window = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
    m.staysOnTop = window->addAction(QStringLiteral("窗口置顶"));
    m.staysOnTop->setCheckable(true);

    QMenu* about = menuBar()->addMenu(QStringLiteral("关于(&G)"));
    m.aboutProgram = about->addAction(QStringLiteral("关于 岚笺学习机"));
    about->addSeparator();
    m.aboutMaker = about->addAction(QStringLiteral("关于 岚笺工作室"));
}

void MainWindow::createControls() {
    MainWindowControls& c = m_controls;
    auto* client = new QWidget;
    setCentralWidget(client);

    // 选择夹_左: the catalogue and the search.
    auto* leftTabs = addControl<TabControl>(client, "选择夹_左", QRect(8, 8, 232, 440));
    c.leftTabs = leftTabs;
    QWidget* cataloguePage = leftTabs->addPage(QStringLiteral("目录"));
    QWidget* searchPage = leftTabs->addPage(QStringLiteral("搜索"));
    keepFocusOffStrip(leftTabs);

    c.treeBox = addControl<QTreeWidget>(cataloguePage, "树型框", leftTabs->onPage(8, 32, 216, 352));
    c.treeBox->setHeaderHidden(true);

    c.searchBox =
        addControl<QLineEdit>(searchPage, "编辑框_搜索", leftTabs->onPage(8, 32, 216, 20));
    c.searchBox->setText(QStringLiteral(" 搜索..."));
    QPalette lightGrey = c.searchBox->palette();
    lightGrey.setColor(QPalette::Text, QColor(0xC0, 0xC0, 0xC0));
    c.searchBox->setPalette(lightGrey);
    c.searchTitles =
        addCheckedBox(searchPage, "选择框1", leftTabs->onPage(8, 56, 80, 24), "文档名称");
    c.searchKeys = addCheckedBox(searchPage, "选择框2", leftTabs->onPage(87, 56, 64, 24), "摘要");
    c.searchTexts =
        addCheckedBox(searchPage, "选择框3", leftTabs->onPage(152, 56, 72, 24), "文档内容");
    c.resultList = addControl<QListWidget>(searchPage, "列表框", leftTabs->onPage(8, 80, 216, 320));

    // 选择夹_右: a plain page container without strip or frame.
    c.rightPages = addControl<QStackedWidget>(client, "选择夹_右", QRect(246, 8, 592, 448));
    auto* viewPage = new QWidget;
    auto* editPage = new QWidget;
    c.rightPages->addWidget(viewPage);
    c.rightPages->addWidget(editPage);

    c.viewBrowser = addControl<HtmlView>(viewPage, "超文本浏览框", QRect(2, 1, 208, 192));

    c.nameLabel = addLabel(editPage, "标签1", QRect(1, 0, 80, 24), "文档名称:");
    c.nameBox = addControl<QLineEdit>(editPage, "编辑框_文档名称", QRect(nameBoxLeft, 2, 320, 20));
    c.parentLabel = addLabel(editPage, "标签2", QRect(384, 0, 80, 24), "隶属:");
    c.parentBox = addControl<QLineEdit>(editPage, "编辑框_隶属", QRect(416, 2, 120, 20));
    c.parentBox->setEnabled(false);
    c.keyLabel = addLabel(editPage, "标签3", QRect(1, 24, 80, 24), "摘要:");
    c.keyBox = addControl<QLineEdit>(editPage, "编辑框_关键字", QRect(56, 26, 480, 20));
    auto* middleTabs =
        addControl<TabControl>(editPage, "选择夹_中", QRect(1, middleTabsTop, 584, 320));
    c.middleTabs = middleTabs;
    c.backButton = addButton(editPage, "按钮_返回", QRect(0, 381, 96, 40), "<< 返回");
    c.addButton = addButton(editPage, "按钮_添加", QRect(439, 381, 96, 40), "添加文档");

    // 选择夹_中: the markup toolbar with the code editor, and the preview.
    QWidget* codePage = middleTabs->addPage(QStringLiteral("代码"));
    QWidget* previewPage = middleTabs->addPage(QStringLiteral("预览"));
    keepFocusOffStrip(middleTabs);

    c.colourLabel = addLabel(codePage, "透明标签1", middleTabs->onPage(8, 32, 56, 16), "文本颜色:");
    c.colourPicker =
        addControl<QToolButton>(codePage, "颜色选择器", middleTabs->onPage(64, 27, 48, 24));
    nameForAccessibility(c.colourPicker);
    c.pictureButton = addPictureButton(codePage, "按钮_图片", middleTabs->onPage(120, 27, 24, 24),
                                       insertPicturePicture());
    c.linkButton = addPictureButton(codePage, "按钮_链接", middleTabs->onPage(144, 27, 24, 24),
                                    insertLinkPicture());
    c.attachmentButton = addPictureButton(
        codePage, "按钮_附件", middleTabs->onPage(168, 27, 24, 24), insertAttachmentPicture());
    c.headingBox = addControl<QComboBox>(codePage, "组合框1", middleTabs->onPage(200, 29, 72, 20));
    c.headingBox->addItems({QStringLiteral("字体大小"), QStringLiteral("h1"), QStringLiteral("h2"),
                            QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"),
                            QStringLiteral("h6")});
    c.headingBox->setCurrentIndex(0);
    c.headingBox->view()->setMinimumHeight(160);
    c.underlineButton = addStyledButton(codePage, "按钮1", middleTabs->onPage(280, 27, 56, 24),
                                        "下划线", &QFont::setUnderline);
    c.strikeOutButton = addStyledButton(codePage, "按钮2", middleTabs->onPage(336, 27, 56, 24),
                                        "删除线", &QFont::setStrikeOut);
    c.boldButton = addStyledButton(codePage, "按钮3", middleTabs->onPage(392, 27, 40, 24), "加粗",
                                   &QFont::setBold);
    c.italicButton = addStyledButton(codePage, "按钮4", middleTabs->onPage(432, 27, 40, 24), "倾斜",
                                     &QFont::setItalic);
    c.autoBreakBox =
        addCheckedBox(codePage, "选择框_br", middleTabs->onPage(480, 28, 104, 24), "自动添加<br/>");
    c.codeBox =
        addControl<QPlainTextEdit>(codePage, "超级编辑框", middleTabs->onPage(7, 56, 536, 256));
    c.codeBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    c.codeBox->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    c.codeBox->setTabChangesFocus(true);

    c.previewBrowser =
        addControl<HtmlView>(previewPage, "超文本浏览框_预览", middleTabs->onPage(1, 21, 511, 259));

    for (QWidget* box : std::initializer_list<QWidget*>{
             c.leftTabs, c.rightPages, c.middleTabs, c.treeBox, c.resultList, c.searchBox,
             c.nameBox, c.parentBox, c.keyBox, c.codeBox, c.viewBrowser, c.previewBrowser})
        nameForAccessibility(box);
}

void MainWindow::createStatusBar() {
    MainWindowControls& c = m_controls;
    c.statusBar = statusBar();
    c.statusBar->setObjectName(QStringLiteral("状态条"));
    c.statusBar->setSizeGripEnabled(false);
    c.statusBar->setFixedHeight(statusBarHeight);
    const int widths[] = {70, 150, 65, 0};
    const char* texts[] = {"当前知识库:", "", "当前状态:", ""};
    for (int part = 0; part < 4; ++part) {
        auto* label = new QLabel(QString::fromUtf8(texts[part]));
        label->setObjectName(QStringLiteral("状态条_%1").arg(part));
        label->setAccessibleDescription(label->objectName());
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const bool last = part == 3;
        if (!last)
            label->setFixedWidth(widths[part]);
        c.statusBar->addWidget(label, last ? 1 : 0);
        c.statusParts[part] = label;
    }
}

void MainWindow::setTabOrder() {
    const MainWindowControls& c = m_controls;
    QWidget* const order[] = {
        c.treeBox,         c.searchBox,       c.searchTitles, c.searchKeys,       c.searchTexts,
        c.resultList,      c.viewBrowser,     c.nameBox,      c.parentBox,        c.keyBox,
        c.colourPicker,    c.pictureButton,   c.linkButton,   c.attachmentButton, c.headingBox,
        c.underlineButton, c.strikeOutButton, c.boldButton,   c.italicButton,     c.autoBreakBox,
        c.codeBox,         c.previewBrowser,  c.backButton,   c.addButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::connectMenus() {
    connect(m_menus.openKnowledgeBase, &QAction::triggered, this, &MainWindow::onOpenKnowledgeBase);
    connect(m_menus.newKnowledgeBase, &QAction::triggered, this, &MainWindow::onNewKnowledgeBase);
    connect(m_menus.staysOnTop, &QAction::triggered, this, &MainWindow::onStaysOnTop);
    connect(m_menus.aboutProgram, &QAction::triggered, this, &MainWindow::onAboutProgram);
    connect(m_menus.aboutMaker, &QAction::triggered, this, &MainWindow::onAboutMaker);
}

bool MainWindow::isEditing() const {
    return m_controls.rightPages->currentIndex() == 1;
}

QSize MainWindow::clientArea() const {
    return QSize(width(), height() - menuBar()->height());
}

void MainWindow::showStatus(const QString& text) {
    QLabel* messages = m_controls.statusParts[3];
    messages->setText(text);
    messages->repaint();
}

void MainWindow::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::showKnowledgeBaseName(const QString& fileName) {
    m_controls.statusParts[1]->setText(fileName);
}

void MainWindow::indexCatalogue() {
    m_components->knowledgeBaseOpened();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        onFirstActivation();
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window that is not activated when it appears (no window manager,
    // focus stealing prevention) opens its knowledge base all the same, as
    // soon as it is up.
    QTimer::singleShot(0, this, &MainWindow::onFirstActivation);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    applyLayout(m_controls, computeLayout(clientArea()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (refuseWhileEditing(isEditing(), *this)) {
        event->ignore();
        return;
    }
    m_context.database().connection.close();
    savePlacement(*this, m_context.settings());
    event->accept();
}

void MainWindow::onCreated() {
    setWindowTitle(QStringLiteral("岚笺学习机 v1.1"));
    QDir().mkpath(m_context.dataDirectory());
    // The components bind the tree box helper to 树型框 and give every
    // control its behaviour; the view starts on the welcome page.
    m_components =
        std::make_unique<WindowComponents>(*this, m_controls, m_menus, m_context, m_prompts, *this);
    m_components->documentView().showHtml(*m_controls.viewBrowser, welcomePage());
    restorePlacement(*this, m_context.settings());
    if (m_context.settings().readFlag(staysOnTopKey)) {
        m_menus.staysOnTop->setChecked(true);
        setStaysOnTop(*this, true);
    }
}

void MainWindow::onFirstActivation() {
    if (m_activated)
        return;
    m_activated = true;
    openLastKnowledgeBase(m_context, *this);
}

void MainWindow::onOpenKnowledgeBase() {
    openChosenKnowledgeBase(m_context, m_prompts, *this, isEditing());
}

void MainWindow::onNewKnowledgeBase() {
    newKnowledgeBase(m_context, m_prompts, *this, isEditing());
}

void MainWindow::onStaysOnTop(bool checked) {
    setStaysOnTop(*this, checked);
    m_context.settings().writeFlag(staysOnTopKey, checked);
}

void MainWindow::onAboutProgram() {
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(productPageAddress)));
}

void MainWindow::onAboutMaker() {
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(homePageAddress)));
}
