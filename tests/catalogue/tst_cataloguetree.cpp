#include "catalogue/AdjustState.h"
#include "catalogue/CatalogueHandlers.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/ItemKinds.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "documents/DocumentView.h"
#include "documents/HtmlView.h"
#include "resources/WelcomePage.h"
#include "store/StatusView.h"
#include "tests/catalogue/support/PaintRecorder.h"
#include "tests/catalogue/support/TestPictures.h"
#include "tests/documents/support/TestKnowledgeBase.h"
#include "tests/support/RecordingViews.h"

#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

struct Item {
    QString text;
    int value;
    int parent;
    int picture;
};

const QString placeholder = loadingPlaceholderText.toString();

} // namespace

// The catalogue wired as the main window wires it, on a real knowledge base.
class CatalogueTreeTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyKnowledgeBase();
    void knowledgeBaseWithoutTable();
    void topLevelRowsAndPlaceholders();
    void firstOpeningLoadsChildrenOnce();
    void childrenDeletedAfterIndexing();
    void storedItemTitledLikeThePlaceholder();
    void reloadMovesTheCurrentItemToTheDirectory();
    void selectionShowsTheCurrentItem();
    void selectionInAdjustModeGoesToTheHook();

private:
    void build(TestKnowledgeBase::Table table = TestKnowledgeBase::Table::Created);
    void expectItems(const QList<Item>& items);
    void clickExpander(int index);
    quint64 statements() const;

    std::unique_ptr<TestKnowledgeBase> m_base;
    std::unique_ptr<QTreeWidget> m_widget;
    PaintRecorder* m_painted = nullptr;
    TreeBox* m_box = nullptr;
    TreeBoxHelper m_helper;
    RecordingStatus m_status;
    AdjustState m_adjust;
    std::unique_ptr<HtmlView> m_viewBox;
    std::unique_ptr<DocumentView> m_view;
    std::unique_ptr<CatalogueTree> m_catalogue;
    std::unique_ptr<CatalogueHandlers> m_handlers;
};

void CatalogueTreeTest::init() {
    m_status = {};
    m_adjust = {};
}

void CatalogueTreeTest::build(TestKnowledgeBase::Table table) {
    if (!m_base) {
        m_base = std::make_unique<TestKnowledgeBase>(table);
        QVERIFY(m_base->isReady());
    }
    m_widget = std::make_unique<QTreeWidget>();
    m_widget->resize(300, 500);
    m_painted = new PaintRecorder(m_widget.get());
    m_widget->setItemDelegate(m_painted);
    m_box = new TreeBox(*m_widget, testPictures());
    m_helper.bind(m_widget.get(), m_box);
    m_viewBox = std::make_unique<HtmlView>();
    DatabaseObjects& database = m_base->database();
    m_view = std::make_unique<DocumentView>(m_base->runDirectory(), database.primaryRecordSet,
                                            *m_viewBox);
    m_catalogue = std::make_unique<CatalogueTree>(m_helper, database, m_status);
    m_handlers = std::make_unique<CatalogueHandlers>(m_helper, *m_catalogue, m_adjust, *m_view);
    CatalogueHandlers* handlers = m_handlers.get();
    connect(m_box, &TreeBox::itemExpanding, this,
            [=](int index) { handlers->itemExpanding(index); });
    connect(m_box, &TreeBox::itemCollapsing, this,
            [=](int index) { handlers->itemCollapsing(index); });
    connect(m_box, &TreeBox::selectionChanged, this, [=] { handlers->selectionChanged(); });
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget.get()));
}

void CatalogueTreeTest::cleanup() {
    m_handlers.reset();
    m_catalogue.reset();
    m_view.reset();
    m_viewBox.reset();
    m_helper.bind(nullptr, nullptr);
    m_widget.reset();
    m_base.reset();
}

void CatalogueTreeTest::expectItems(const QList<Item>& items) {
    QCOMPARE(m_box->itemCount(), items.size());
    for (int index = 0; index < items.size(); ++index) {
        const Item& item = items[index];
        QCOMPARE(m_box->itemText(index), item.text);
        QCOMPARE(m_box->itemValue(index), item.value);
        QCOMPARE(m_box->parentItem(index), item.parent);
        QCOMPARE(m_box->itemImage(index), item.picture);
        QCOMPARE(m_box->selectedImage(index), item.picture);
    }
}

void CatalogueTreeTest::clickExpander(int index) {
    const QRect row = m_widget->visualItemRect(m_box->treeItem(index));
    QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {},
                      QPoint(row.left() - m_widget->indentation() / 2, row.center().y()));
}

quint64 CatalogueTreeTest::statements() const {
    return m_base->database().connection.statementCount();
}

void CatalogueTreeTest::emptyKnowledgeBase() {
    build();
    m_catalogue->indexCatalogue();
    QCOMPARE(m_status.messages, (QStringList{u"正在索引目录...共0条..."_s, u"目录索引完毕"_s}));
    QCOMPARE(m_box->itemCount(), 0);
    QCOMPARE(m_box->currentItem(), -1);
    QCOMPARE(m_status.busyStretches, 1);
    QCOMPARE(m_status.busyDepth, 0);
}

void CatalogueTreeTest::knowledgeBaseWithoutTable() {
    m_base = std::make_unique<TestKnowledgeBase>(TestKnowledgeBase::Table::Missing);
    QVERIFY(m_base->isReady());
    build();
    m_catalogue->indexCatalogue();
    QCOMPARE(m_status.messages, (QStringList{u"正在索引目录...共-1条..."_s, u"目录索引完毕"_s}));
    QCOMPARE(m_box->itemCount(), 0);
}

void CatalogueTreeTest::topLevelRowsAndPlaceholders() {
    build();
    TestKnowledgeBase& base = *m_base;
    QVERIFY(base.addDirectory(1, 0, u"甲"_s));
    QVERIFY(base.addDirectory(11, 1, u"甲一"_s));
    QVERIFY(base.addDocument(12, 1, u"甲二"_s));
    QVERIFY(base.addDocument(2, 0, u"乙"_s));
    QVERIFY(base.addDirectory(3, 0, u"丙"_s));
    QVERIFY(base.addDocument(4, 0, u"丁"_s)); // a document with child rows
    QVERIFY(base.addDocument(41, 4, u"丁一"_s));
    QVERIFY(base.addRowOfType(5, 0, u"戊"_s, 7));
    QVERIFY(base.addDirectory(6, 0, u"己"_s));
    QVERIFY(base.addDocument(61, 6, u"己一"_s));

    const quint64 before = statements();
    m_catalogue->indexCatalogue();
    // The top level, one look-ahead per item, a second one per item with children.
    QCOMPARE(statements() - before, 1u + 6u + 3u);
    expectItems({{u"甲"_s, 1, -1, ClosedDirectory},
                 {placeholder, 0, 0, ClosedDirectory}, // 甲 has a sub-directory
                 {u"乙"_s, 2, -1, Document},
                 {u"丙"_s, 3, -1, ClosedDirectory},
                 {u"丁"_s, 4, -1, ClosedDirectory},
                 {placeholder, 0, 4, Document}, // 丁 holds documents only
                 {u"戊"_s, 5, -1, ClosedDirectory},
                 {u"己"_s, 6, -1, ClosedDirectory},
                 {placeholder, 0, 7, Document}});
    QCOMPARE(m_status.messages, (QStringList{u"正在索引目录...共6条..."_s, u"目录索引完毕"_s}));
    QCOMPARE(m_box->currentItem(), -1);
    QVERIFY(!m_box->treeItem(0)->isExpanded());
    QCOMPARE(m_box->treeItem(3)->childCount(), 0);
}

void CatalogueTreeTest::firstOpeningLoadsChildrenOnce() {
    build();
    TestKnowledgeBase& base = *m_base;
    QVERIFY(base.addDirectory(1, 0, u"甲"_s));
    QVERIFY(base.addDirectory(11, 1, u"甲一"_s));
    QVERIFY(base.addDocument(111, 11, u"甲一一"_s));
    QVERIFY(base.addDocument(12, 1, u"甲二"_s)); // below the top level: a leaf
    QVERIFY(base.addDocument(121, 12, u"甲二一"_s));
    QVERIFY(base.addDirectory(13, 1, u"甲三"_s)); // no child rows
    QVERIFY(base.addRowOfType(14, 1, u"甲四"_s, 9));
    QVERIFY(base.addDocument(2, 0, u"乙"_s));
    m_catalogue->indexCatalogue();
    m_status.messages.clear();

    m_painted->painted.clear();
    const quint64 before = statements();
    clickExpander(0);
    // The children, one look-ahead per child directory.
    QCOMPARE(statements() - before, 1u + 3u);
    QVERIFY(m_box->treeItem(0)->isExpanded());
    expectItems({{u"甲"_s, 1, -1, OpenDirectory},
                 {u"甲一"_s, 11, 0, ClosedDirectory},
                 {placeholder, 0, 1, Document},
                 {u"甲二"_s, 12, 0, Document},
                 {u"甲三"_s, 13, 0, ClosedDirectory},
                 {u"甲四"_s, 14, 0, ClosedDirectory},
                 {u"乙"_s, 2, -1, Document}});
    QCOMPARE(m_box->treeItem(3)->childCount(), 0);
    QCOMPARE(m_box->treeItem(4)->childCount(), 0);
    QCOMPARE(m_status.messages, (QStringList{u"正在获取【甲】的子项数据..."_s, u"刷新完毕"_s}));
    QCOMPARE(m_status.busyDepth, 0);
    // The user never sees the placeholder, only the loaded children.
    m_widget->repaint();
    QVERIFY(m_painted->painted.contains(u"甲三"_s));
    QVERIFY(!m_painted->painted.contains(placeholder));

    clickExpander(0);
    QCOMPARE(m_box->itemImage(0), ClosedDirectory);
    QCOMPARE(m_box->selectedImage(0), ClosedDirectory);
    QCOMPARE(m_box->itemCount(), 7);
    clickExpander(0);
    QCOMPARE(m_box->itemImage(0), OpenDirectory);
    QCOMPARE(statements(), before + 4u);
    QCOMPARE(m_status.messages.size(), 2);
}

void CatalogueTreeTest::childrenDeletedAfterIndexing() {
    build();
    QVERIFY(m_base->addDirectory(1, 0, u"甲"_s));
    QVERIFY(m_base->addDocument(11, 1, u"甲一"_s));
    QVERIFY(m_base->addDocument(2, 0, u"乙"_s));
    m_catalogue->indexCatalogue();
    QVERIFY(m_base->execute(deleteChildren(u"1"_s)));
    clickExpander(0);
    expectItems({{u"甲"_s, 1, -1, OpenDirectory}, {u"乙"_s, 2, -1, Document}});
    QCOMPARE(m_box->treeItem(0)->childCount(), 0); // no open button any more
}

void CatalogueTreeTest::storedItemTitledLikeThePlaceholder() {
    build();
    QVERIFY(m_base->addDirectory(1, 0, u"甲"_s));
    QVERIFY(m_base->addDocument(11, 1, placeholder));
    m_catalogue->indexCatalogue();
    clickExpander(0);
    expectItems({{u"甲"_s, 1, -1, OpenDirectory}, {placeholder, 11, 0, Document}});
    clickExpander(0);
    const quint64 before = statements();
    clickExpander(0);
    QCOMPARE(statements(), before);
    QCOMPARE(m_box->itemValue(1), 11);
}

void CatalogueTreeTest::reloadMovesTheCurrentItemToTheDirectory() {
    build();
    QVERIFY(m_base->addDirectory(1, 0, u"甲"_s, u"甲的正文"_s));
    QVERIFY(m_base->addDocument(11, 1, u"甲一"_s, u"甲一的正文"_s));
    QVERIFY(m_base->addDocument(12, 1, u"甲二"_s, u"甲二的正文"_s));
    m_catalogue->indexCatalogue();
    clickExpander(0);
    m_widget->setCurrentItem(m_box->treeItem(2));
    QCOMPARE(m_viewBox->toPlainText(), u"甲二的正文"_s);

    QVERIFY(m_base->addDocument(13, 1, u"甲三"_s));
    m_catalogue->loadChildren(0);
    QCOMPARE(m_box->currentItem(), 0);
    QCOMPARE(m_viewBox->toPlainText(), u"甲的正文"_s);
    expectItems({{u"甲"_s, 1, -1, OpenDirectory},
                 {u"甲一"_s, 11, 0, Document},
                 {u"甲二"_s, 12, 0, Document},
                 {u"甲三"_s, 13, 0, Document}});
}

void CatalogueTreeTest::selectionShowsTheCurrentItem() {
    build();
    QVERIFY(m_base->addDocument(1, 0, u"甲"_s, u"<p>甲的正文</p>"_s));
    QVERIFY(m_base->addDocument(2, 0, u"乙"_s));
    m_catalogue->indexCatalogue();

    QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {},
                      m_widget->visualItemRect(m_box->treeItem(0)).center());
    QCOMPARE(m_viewBox->toPlainText(), u"甲的正文"_s);
    QCOMPARE(m_helper.currentItemText(), u"甲"_s);
    QTest::keyClick(m_widget.get(), Qt::Key_Down); // 乙 has no body
    const QString welcome = m_viewBox->toPlainText();
    QVERIFY(welcome.contains(u"欢迎使用"_s));
    QTest::keyClick(m_widget.get(), Qt::Key_Up);
    QCOMPARE(m_viewBox->toPlainText(), u"甲的正文"_s);

    // Rebuilding the tree leaves no current item: showItem("0").
    m_catalogue->indexCatalogue();
    QCOMPARE(m_box->currentItem(), -1);
    QCOMPARE(m_helper.currentItemText(), QString());
    QCOMPARE(m_viewBox->toPlainText(), welcome);
}

void CatalogueTreeTest::selectionInAdjustModeGoesToTheHook() {
    build();
    QVERIFY(m_base->addDirectory(1, 0, u"甲"_s, u"甲的正文"_s));
    QVERIFY(m_base->addDirectory(2, 0, u"乙"_s, u"乙的正文"_s));
    m_catalogue->indexCatalogue();
    QStringList targets;
    m_handlers->setAdjustHandler([&] { targets << m_helper.currentItemText(); });
    m_widget->setCurrentItem(m_box->treeItem(0));
    QCOMPARE(m_viewBox->toPlainText(), u"甲的正文"_s);

    m_adjust.active = true;
    m_widget->setCurrentItem(m_box->treeItem(1));
    QCOMPARE(targets, QStringList{u"乙"_s});
    QCOMPARE(m_viewBox->toPlainText(), u"甲的正文"_s);
    // A tree left without a current item offers no target.
    m_catalogue->indexCatalogue();
    QCOMPARE(targets, QStringList{u"乙"_s});

    m_adjust.active = false;
    m_widget->setCurrentItem(m_box->treeItem(1));
    QCOMPARE(m_viewBox->toPlainText(), u"乙的正文"_s);
}

QTEST_MAIN(CatalogueTreeTest)
#include "tst_cataloguetree.moc"
