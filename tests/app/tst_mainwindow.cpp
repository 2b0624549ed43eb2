#include "app/Pictures.h"
#include "documents/HtmlView.h"
#include "tests/app/support/ShellFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The control that holds a control in the design: its tab control (a
// QTabWidget, or the QStackedWidget without strip), or none at top level.
const QWidget* designHolderOf(const QWidget* control) {
    for (const QWidget* holder = control->parentWidget(); holder; holder = holder->parentWidget()) {
        if (qobject_cast<const QTabWidget*>(holder))
            return holder;
        if (qobject_cast<const QStackedWidget*>(holder) &&
            !qobject_cast<const QTabWidget*>(holder->parentWidget()))
            return holder;
    }
    return nullptr;
}

// A control's place relative to its holder (whose strip lies inside it), or
// to the client area for the top-level controls.
QPoint designPlaceOf(const QWidget* control) {
    const QWidget* holder = designHolderOf(control);
    return holder ? control->mapTo(holder, QPoint(0, 0)) : control->pos();
}

// Turns every tab control above the control to the page that holds it.
void showPageOf(QWidget* control) {
    for (QWidget* child = control; child; child = child->parentWidget()) {
        if (auto* pages = qobject_cast<QStackedWidget*>(child->parentWidget()))
            pages->setCurrentWidget(child);
    }
    QCoreApplication::processEvents();
}

// The holder's design name and the control's page.
QString pageOf(const QWidget* control) {
    const QWidget* holder = designHolderOf(control);
    QWidget* page = control->parentWidget();
    if (const auto* tabs = qobject_cast<const QTabWidget*>(holder))
        return tabs->objectName() + u'/' + tabs->tabText(tabs->indexOf(page));
    if (const auto* pages = qobject_cast<const QStackedWidget*>(holder))
        return pages->objectName() + u'/' + QString::number(pages->indexOf(page));
    return QStringLiteral("client");
}

QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFixture> m_shell;
    QWidget* control(const QString& name) { return m_shell->window().findChild<QWidget*>(name); }

private slots:
    void init() { m_shell = std::make_unique<ShellFixture>(); }
    void cleanup() { m_shell.reset(); }

    // Every control of the design: kind, holder, page, place, size (for the
    // ones no layout step changes) and text.
    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QRect>("design");
        QTest::addColumn<bool>("stretches");
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, const char* kind, const char* page, QRect design,
                      bool stretches, const char* text = "") {
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(kind)
                                << QString::fromUtf8(page) << design << stretches
                                << QString::fromUtf8(text);
        };
        row("选择夹_左", "QTabWidget", "client", {8, 8, 232, 440}, true);
        row("选择夹_右", "QStackedWidget", "client", {246, 8, 592, 448}, true);
        row("树型框", "QTreeWidget", "选择夹_左/目录", {8, 32, 216, 352}, true);
        row("编辑框_搜索", "QLineEdit", "选择夹_左/搜索", {8, 32, 216, 20}, false, " 搜索...");
        row("选择框1", "QCheckBox", "选择夹_左/搜索", {8, 56, 80, 24}, false, "文档名称");
        row("选择框2", "QCheckBox", "选择夹_左/搜索", {87, 56, 64, 24}, false, "摘要");
        row("选择框3", "QCheckBox", "选择夹_左/搜索", {152, 56, 72, 24}, false, "文档内容");
        row("列表框", "QListWidget", "选择夹_左/搜索", {8, 80, 216, 320}, true);
        row("超文本浏览框", "QTextBrowser", "选择夹_右/0", {2, 1, 208, 192}, true);
        row("标签1", "QLabel", "选择夹_右/1", {1, 0, 80, 24}, false, "文档名称:");
        row("编辑框_文档名称", "QLineEdit", "选择夹_右/1", {56, 2, 320, 20}, true);
        row("标签2", "QLabel", "选择夹_右/1", {384, 0, 80, 24}, true, "隶属:");
        row("编辑框_隶属", "QLineEdit", "选择夹_右/1", {416, 2, 120, 20}, true);
        row("标签3", "QLabel", "选择夹_右/1", {1, 24, 80, 24}, false, "摘要:");
        row("编辑框_关键字", "QLineEdit", "选择夹_右/1", {56, 26, 480, 20}, true);
        row("选择夹_中", "QTabWidget", "选择夹_右/1", {1, 56, 584, 320}, true);
        row("按钮_返回", "QPushButton", "选择夹_右/1", {0, 381, 96, 40}, true, "<< 返回");
        row("按钮_添加", "QPushButton", "选择夹_右/1", {439, 381, 96, 40}, true, "添加文档");
        row("透明标签1", "QLabel", "选择夹_中/代码", {8, 32, 56, 16}, false, "文本颜色:");
        row("颜色选择器", "QToolButton", "选择夹_中/代码", {64, 27, 48, 24}, false);
        row("按钮_图片", "QPushButton", "选择夹_中/代码", {120, 27, 24, 24}, false);
        row("按钮_链接", "QPushButton", "选择夹_中/代码", {144, 27, 24, 24}, false);
        row("按钮_附件", "QPushButton", "选择夹_中/代码", {168, 27, 24, 24}, false);
        row("组合框1", "QComboBox", "选择夹_中/代码", {200, 29, 72, 20}, false, "字体大小");
        row("按钮1", "QPushButton", "选择夹_中/代码", {280, 27, 56, 24}, false, "下划线");
        row("按钮2", "QPushButton", "选择夹_中/代码", {336, 27, 56, 24}, false, "删除线");
        row("按钮3", "QPushButton", "选择夹_中/代码", {392, 27, 40, 24}, false, "加粗");
        row("按钮4", "QPushButton", "选择夹_中/代码", {432, 27, 40, 24}, false, "倾斜");
        row("选择框_br", "QCheckBox", "选择夹_中/代码", {480, 28, 104, 24}, false, "自动添加<br/>");
        row("超级编辑框", "QPlainTextEdit", "选择夹_中/代码", {7, 56, 536, 256}, true);
        row("超文本浏览框_预览", "QTextBrowser", "选择夹_中/预览", {1, 21, 511, 259}, true);
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, page);
        QFETCH(QRect, design);
        QFETCH(bool, stretches);
        QFETCH(QString, text);

        // Before the window is first shown every control has its design size.
        m_shell->createWindow();
        QWidget* widget = control(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY(widget->inherits(kind.toLatin1()));
        QCOMPARE(pageOf(widget), page);
        QCOMPARE(widget->size(), design.size());

        m_shell->showWindow();
        showPageOf(widget);
        QVERIFY(widget->isVisible());
        if (!stretches)
            QCOMPARE(designPlaceOf(widget), design.topLeft());
        else if (name != QStringLiteral("标签2") && name != QStringLiteral("编辑框_隶属") &&
                 !name.startsWith(QStringLiteral("按钮_")))
            QCOMPARE(designPlaceOf(widget), design.topLeft());

        // Showing the search page may hand the search box the focus, which
        // takes its placeholder away until the focus leaves again.
        widget->clearFocus();
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            shown = edit->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            shown = combo->currentText();
        QCOMPARE(shown, text);

        // Screen readers find boxes by name, labels by description.
        if (qobject_cast<QLabel*>(widget)) {
            QCOMPARE(widget->accessibleDescription(), name);
            QVERIFY(widget->accessibleName().isEmpty());
        } else if (kind != QStringLiteral("QCheckBox") && kind != QStringLiteral("QComboBox") &&
                   (kind != QStringLiteral("QPushButton") || text.isEmpty())) {
            QCOMPARE(widget->accessibleName(), name);
        }
    }

    void controlStates() {
        MainWindow& window = m_shell->createWindow();
        const MainWindowControls& c = window.controls();
        QCOMPARE(window.windowTitle(), QStringLiteral("岚笺学习机 v1.1"));

        QCOMPARE(c.searchBox->palette().color(QPalette::Text), QColor(0xC0, 0xC0, 0xC0));
        for (QCheckBox* box : {c.searchTitles, c.searchKeys, c.searchTexts, c.autoBreakBox})
            QVERIFY(box->isChecked());
        QVERIFY(!c.parentBox->isEnabled());
        QVERIFY(!c.resultList->isSortingEnabled());

        QCOMPARE(c.rightPages->frameShape(), QFrame::NoFrame);
        QCOMPARE(c.rightPages->count(), 2);
        QCOMPARE(c.leftTabs->currentIndex(), 0);
        QCOMPARE(c.rightPages->currentIndex(), 0);
        QCOMPARE(c.middleTabs->currentIndex(), 0);
        QVERIFY(!window.isEditing());

        QStringList headings;
        for (int i = 0; i < c.headingBox->count(); ++i)
            headings << c.headingBox->itemText(i);
        QCOMPARE(headings, QStringList({"字体大小", "h1", "h2", "h3", "h4", "h5", "h6"}));
        QVERIFY(!c.headingBox->isEditable());

        QCOMPARE(c.codeBox->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(c.codeBox->toPlainText().isEmpty());

        struct Styled {
            QPushButton* button;
            bool underline, strikeOut, bold, italic;
        };
        for (const Styled& s : {Styled{c.underlineButton, true, false, false, false},
                                Styled{c.strikeOutButton, false, true, false, false},
                                Styled{c.boldButton, false, false, true, false},
                                Styled{c.italicButton, false, false, false, true}}) {
            const QFont font = s.button->font();
            QCOMPARE(font.pixelSize(), 12);
            QCOMPARE(font.underline(), s.underline);
            QCOMPARE(font.strikeOut(), s.strikeOut);
            QCOMPARE(font.bold(), s.bold);
            QCOMPARE(font.italic(), s.italic);
        }

        for (QPushButton* button : {c.pictureButton, c.linkButton, c.attachmentButton}) {
            QVERIFY(button->text().isEmpty());
            QCOMPARE(button->iconSize(), QSize(20, 20));
            QVERIFY(!button->icon().pixmap(20, 20).isNull());
        }
        const QList<QIcon> pictures = treeBoxPictures();
        QCOMPARE(pictures.size(), 3);
        for (const QIcon& picture : pictures) {
            QCOMPARE(picture.availableSizes(), QList<QSize>({QSize(16, 16)}));
            QVERIFY(picture.pixmap(16, 16).toImage().hasAlphaChannel());
        }
    }

    void menus() {
        MainWindow& window = m_shell->createWindow();
        QStringList bar;
        QList<QMenu*> menus;
        for (QAction* entry : window.menuBar()->actions()) {
            bar << entry->text();
            menus << entry->menu();
        }
        QCOMPARE(bar, QStringList({"文件(&F)", "编辑(&E)", "窗口(&W)", "关于(&G)"}));
        QCOMPARE(captionsOf(menus[0]), QStringList({"打开知识库(&O)", "-", "新建知识库(&N)"}));
        QCOMPARE(captionsOf(menus[1]), QStringList({"添加文档", "添加目录"}));
        QCOMPARE(captionsOf(menus[2]), QStringList({"窗口置顶"}));
        QCOMPARE(captionsOf(menus[3]), QStringList({"关于 岚笺学习机", "-", "关于 岚笺工作室"}));

        const MainWindowMenus& m = window.menus();
        const ContextMenu& context = m.contextMenu;
        QCOMPARE(context.menu->title(), QStringLiteral("右键"));
        QCOMPARE(captionsOf(context.menu), QStringList({"添加文档", "添加目录", "-", "刷新", "-",
                                                        "编辑", "调整位置", "-", "删除"}));
        QCOMPARE(context.menu->actions()[6]->menu(), context.adjustMenu);
        QCOMPARE(captionsOf(context.adjustMenu),
                 QStringList({"手动调整", "到根目录", "-", "取消调整"}));
        QVERIFY(!window.menuBar()->actions().contains(context.menu->menuAction()));

        for (QMenu* menu : menus + QList<QMenu*>{context.menu, context.adjustMenu}) {
            for (QAction* item : menu->actions()) {
                QVERIFY(item->shortcut().isEmpty());
                QVERIFY(item->isEnabled());
                QVERIFY(!item->isChecked());
            }
        }
        QVERIFY(m.staysOnTop->isCheckable());
    }

    void statusBar() {
        MainWindow& window = m_shell->showWindow();
        const MainWindowControls& c = window.controls();
        QCOMPARE(c.statusBar->objectName(), QStringLiteral("状态条"));
        QVERIFY(!c.statusBar->isSizeGripEnabled());
        QCOMPARE(c.statusBar->height(), 22);
        QCOMPARE(c.statusBar->geometry().bottom(), window.height() - 1);
        QCOMPARE(c.statusBar->width(), window.width());

        const QStringList texts{"当前知识库:", "", "当前状态:", ""};
        const int widths[] = {70, 150, 65};
        for (int part = 0; part < 4; ++part) {
            QLabel* label = c.statusParts[part];
            QCOMPARE(label->text(), texts[part]);
            QCOMPARE(label->accessibleDescription(), QStringLiteral("状态条_%1").arg(part));
            if (part < 3)
                QCOMPARE(label->width(), widths[part]);
            QVERIFY(label->geometry().left() >
                    (part > 0 ? c.statusParts[part - 1]->geometry().right() : -1));
        }
        // The message part reaches to the right end.
        QVERIFY(c.statusParts[3]->geometry().right() >= c.statusBar->width() - 8);

        window.showStatus(QStringLiteral("消息"));
        QCOMPARE(c.statusParts[3]->text(), QStringLiteral("消息"));
        window.showKnowledgeBaseName(QStringLiteral("a.db"));
        QCOMPARE(c.statusParts[1]->text(), QStringLiteral("a.db"));
    }

    // The Tab key stops at every visible control but labels and tab
    // controls, in the design's order, round to the start.
    void tabOrder() {
        MainWindow& window = m_shell->showWindow();
        const MainWindowControls& c = window.controls();
        c.rightPages->setCurrentIndex(1);
        c.treeBox->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), c.treeBox);
        const QList<QWidget*> expected{
            c.nameBox,         c.keyBox,           c.colourPicker, c.pictureButton,
            c.linkButton,      c.attachmentButton, c.headingBox,   c.underlineButton,
            c.strikeOutButton, c.boldButton,       c.italicButton, c.autoBreakBox,
            c.codeBox,         c.backButton,       c.addButton,    c.treeBox};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
