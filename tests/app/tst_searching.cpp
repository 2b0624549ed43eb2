#include "resources/WelcomePage.h"
#include "tests/app/support/WindowTest.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

// The search page of the real main window: the search box, the result list
// and the roads from a result to the view and to the edit page.
class SearchingTest : public WindowTest {
    Q_OBJECT

    int m_determinant = 0;

    MainWindow& window() { return m_shell->window(); }
    const MainWindowControls& controls() { return m_window->controls(); }

    // Opens the knowledge base and searches it from page 搜索.
    void searchFor(const QString& keyword) {
        m_window->openKnowledgeBase(m_file->path());
        WindowDriver::clickTab(controls().leftTabs, 1);
        m_window->search(keyword);
    }

private slots:
    // 数学.db: below 线性代数, documents that hold 矩阵 in their name, their
    // summary, their body, only inside a tag of their body, and not at all.
    void init() {
        startRun(u"数学.db"_s);
        const int algebra = m_file->addDirectory(0, u"线性代数"_s);
        m_file->addDocument(algebra, u"矩阵乘法"_s, QString(), u"<p>行乘以列</p>"_s);
        m_determinant = m_file->addDocument(algebra, u"行列式"_s, u"矩阵的行列式"_s);
        m_file->addDocument(algebra, u"特征值"_s, QString(), u"<p>对称矩阵的特征值</p>"_s);
        m_file->addDocument(algebra, u"图示"_s, QString(), u"<img src=\"矩阵.png\"/>"_s);
        m_file->addDocument(algebra, u"向量"_s, QString(), u"<p>向量空间</p>"_s);
        showWindow();
    }

    // The focus clears the placeholder, Enter searches: a keyword found only
    // inside a tag does not count.
    void enterListsTheMatchingTitles() {
        m_window->openKnowledgeBase(m_file->path());
        QLineEdit* box = controls().searchBox;
        QCOMPARE(box->text(), u" 搜索..."_s);
        WindowDriver::clickTab(controls().leftTabs, 1);
        WindowDriver::click(box);
        QVERIFY(box->hasFocus());
        QCOMPARE(box->text(), QString());
        WindowDriver::typeText(box, u"矩阵"_s);
        QTest::keyClick(box, Qt::Key_Return);

        QCOMPARE(m_window->resultTexts(), QStringList({u"矩阵乘法"_s, u"行列式"_s, u"特征值"_s}));
        QCOMPARE(m_window->message(), u"搜索完毕，共找到 3 条记录"_s);
        QVERIFY(!window().isEditing());
    }

    // A click on an entry shows its item; the search box, left, shows its
    // placeholder again.
    void clickingAnEntryShowsItsItem() {
        searchFor(u"矩阵"_s);
        m_window->clickResult(u"特征值"_s);
        QCOMPARE(m_window->tempPageText(), u"<p>对称矩阵的特征值</p>"_s);
        QCOMPARE(m_window->viewText(), u"对称矩阵的特征值"_s);
        QCOMPARE(controls().searchBox->text(), u" 搜索..."_s);
    }

    // The right button acts on the entry last selected, wherever it is
    // released, and opens that item for modification.
    void rightButtonOpensTheSelectedEntryForModification() {
        searchFor(u"矩阵"_s);
        m_window->clickResult(u"矩阵乘法"_s, Qt::RightButton);
        QVERIFY(!window().isEditing());
        QCOMPARE(m_window->message(), u"搜索完毕，共找到 3 条记录"_s);

        m_window->clickResult(u"行列式"_s);
        m_window->clickResult(u"矩阵乘法"_s, Qt::RightButton);
        QVERIFY(window().isEditing());
        QCOMPARE(controls().nameBox->text(), u"行列式"_s);
        QCOMPARE(controls().keyBox->text(), u"矩阵的行列式"_s);
        QCOMPARE(controls().codeBox->toPlainText(), QString());
        QCOMPARE(controls().parentBox->text(), u"线性代数"_s);
        QCOMPARE(controls().addButton->text(), u"完成修改"_s);

        WindowDriver::click(controls().keyBox);
        QTest::keyClick(controls().keyBox, Qt::Key_End);
        WindowDriver::typeText(controls().keyBox, u"与展开"_s);
        WindowDriver::click(controls().addButton);
        QVERIFY(!window().isEditing());
        QCOMPARE(m_window->message(), u"修改成功"_s);
        const auto row = m_file->row(m_determinant);
        QVERIFY(row);
        QCOMPARE(row->title, u"行列式"_s);
        QCOMPARE(row->summary, u"矩阵的行列式与展开"_s);
        QCOMPARE(m_window->childTexts(), QStringList({u"线性代数"_s}));
    }

    // While an edit runs, a selected result is shown on the hidden view page
    // and the right button refuses: the unsaved texts stay.
    void whileEditingTheRightButtonRefuses() {
        m_window->openKnowledgeBase(m_file->path());
        m_window->menus().addDocument->trigger();
        WindowDriver::click(controls().nameBox);
        WindowDriver::typeText(controls().nameBox, u"写了一半"_s);

        WindowDriver::clickTab(controls().leftTabs, 1);
        m_window->search(u"矩阵"_s);
        m_window->clickResult(u"特征值"_s);
        QVERIFY(window().isEditing());
        QCOMPARE(m_window->viewText(), u"对称矩阵的特征值"_s);

        m_window->clickResult(u"特征值"_s, Qt::RightButton);
        QCOMPARE(m_window->message(), u"你目前正处于编辑模式，请先保存或退出"_s);
        QVERIFY(window().isEditing());
        QCOMPARE(controls().nameBox->text(), u"写了一半"_s);
        QCOMPARE(controls().addButton->text(), u"添加文档"_s);
    }

    // Without a knowledge base the search finds nothing, and its entry
    // shows nothing when selected.
    void searchingWithoutAKnowledgeBase() {
        WindowDriver::clickTab(controls().leftTabs, 1);
        m_window->search(u"矩阵"_s);
        QCOMPARE(m_window->resultTexts(), QStringList({u"未搜索到相关资料"_s}));
        QCOMPARE(m_window->message(), u"搜索完毕，未搜索到相关资料"_s);
        m_window->clickResult(u"未搜索到相关资料"_s);
        QCOMPARE(m_window->tempPageText(), welcomePage());
        QCOMPARE(m_window->message(), u"搜索完毕，未搜索到相关资料"_s);
    }
};

QTEST_MAIN(SearchingTest)
#include "tst_searching.moc"
