#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "tests/catalogue/support/PaintRecorder.h"
#include "tests/catalogue/support/TestPictures.h"

#include <QDrag>
#include <QMimeData>
#include <QRubberBand>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Row {
    int index;
    QString text;
    int value;
    int parent;
};

// Sends a drag event of the kind type (DragEnter, DragMove or Drop) with data
// to the viewport, as the platform does during a drag; returns whether the
// tree box took it as a move. Moves and the drop reach the viewport only
// after it accepted the drag's entry.
bool sendDragEvent(QWidget* viewport, QEvent::Type type, const QPoint& position,
                   const QMimeData* data) {
    std::unique_ptr<QDropEvent> event;
    if (type == QEvent::DragEnter)
        event = std::make_unique<QDragEnterEvent>(position, Qt::MoveAction, data, Qt::LeftButton,
                                                  Qt::NoModifier);
    else if (type == QEvent::DragMove)
        event = std::make_unique<QDragMoveEvent>(position, Qt::MoveAction, data, Qt::LeftButton,
                                                 Qt::NoModifier);
    else
        event = std::make_unique<QDropEvent>(position, Qt::MoveAction, data, Qt::NoButton,
                                             Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, event.get());
    return event->isAccepted() && event->dropAction() == Qt::MoveAction;
}

} // namespace

class TreeBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void indexesFollowThePreOrderWalk();
    void indexesThatNameNoItem();
    void removeTakesTheSubtree();
    void pictureAndSelectedPicture();
    void selectionChangedForEveryCause();
    void removingTheCurrentItemMovesItToTheParent();
    void clearingTheCurrentItemRaisesSelectionChanged();
    void expandingAndCollapsingBeforeChildrenArePainted();
    void rightButtonMakesItemCurrentOnlyOnPictureOrText();
    void dragStartsOnPictureOrTextAfterTheStartDistance();
    void dropsAreReportedAndNeverMoveItems();
    void lookUpsStayRightAcrossSequentialEdits();
    void helperRemovesExactlyTheChildren();

private:
    void build(); // A(0){A1(1){A11(2)} A2(3)} B(4) C(5){C1(6)}
    void expectRows(const QList<Row>& rows);
    QPoint labelPoint(int index) const;

    QTreeWidget* m_widget = nullptr;
    TreeBox* m_box = nullptr;
    QList<QIcon> m_pictures;
};

void TreeBoxTest::init() {
    m_widget = new QTreeWidget;
    m_widget->resize(300, 400);
    m_pictures = testPictures();
    m_box = new TreeBox(*m_widget, m_pictures);
}

void TreeBoxTest::cleanup() {
    delete m_widget;
    m_widget = nullptr;
    m_box = nullptr;
}

void TreeBoxTest::build() {
    QCOMPARE(m_box->addItem(-1, u"A"_s, 0, 0, 10), 0);
    QCOMPARE(m_box->addItem(0, u"A1"_s, 0, 0, 11), 1);
    QCOMPARE(m_box->addItem(1, u"A11"_s, 2, 2, 111), 2);
    QCOMPARE(m_box->addItem(-1, u"B"_s, 2, 2, 20), 3);
    // A second child of A goes after A's whole subtree and pushes B up.
    QCOMPARE(m_box->addItem(0, u"A2"_s, 2, 2, 12), 3);
    QCOMPARE(m_box->addItem(-1, u"C"_s, 0, 0, 30), 5);
    QCOMPARE(m_box->addItem(5, u"C1"_s, 2, 2, 31), 6);
}

void TreeBoxTest::expectRows(const QList<Row>& rows) {
    QCOMPARE(m_box->itemCount(), rows.size());
    for (const Row& row : rows) {
        QCOMPARE(m_box->itemText(row.index), row.text);
        QCOMPARE(m_box->itemValue(row.index), row.value);
        QCOMPARE(m_box->parentItem(row.index), row.parent);
    }
}

QPoint TreeBoxTest::labelPoint(int index) const {
    const QRect cell = m_widget->visualItemRect(m_box->treeItem(index));
    return QPoint(cell.left() + 24, cell.center().y());
}

void TreeBoxTest::indexesFollowThePreOrderWalk() {
    build();
    expectRows({{0, u"A"_s, 10, -1},
                {1, u"A1"_s, 11, 0},
                {2, u"A11"_s, 111, 1},
                {3, u"A2"_s, 12, 0},
                {4, u"B"_s, 20, -1},
                {5, u"C"_s, 30, -1},
                {6, u"C1"_s, 31, 5}});
    // The walk counts the items of closed directories too.
    QVERIFY(!m_box->treeItem(0)->isExpanded());
    // A parent that names no item puts the new item at the top level.
    QCOMPARE(m_box->addItem(99, u"D"_s, 2, 2, 40), 7);
    QCOMPARE(m_box->parentItem(7), -1);
    QCOMPARE(m_widget->topLevelItemCount(), 4);
    QCOMPARE(m_box->treeItem(7)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

void TreeBoxTest::indexesThatNameNoItem() {
    build();
    for (int index : {-1, -2, 7, 1000, std::numeric_limits<int>::min()}) {
        QCOMPARE(m_box->itemText(index), QString());
        QCOMPARE(m_box->itemValue(index), 0);
        QCOMPARE(m_box->parentItem(index), -1);
        QCOMPARE(m_box->itemImage(index), -1);
        m_box->setItemImage(index, 1);
        m_box->setSelectedImage(index, 1);
        m_box->removeItem(index);
    }
    QCOMPARE(m_box->itemCount(), 7);
    for (int index = 0; index < 7; ++index)
        QVERIFY(m_box->itemImage(index) != 1);
    QCOMPARE(m_box->currentItem(), -1);
}

void TreeBoxTest::removeTakesTheSubtree() {
    build();
    m_box->removeItem(1); // A1 with A11
    expectRows({{0, u"A"_s, 10, -1},
                {1, u"A2"_s, 12, 0},
                {2, u"B"_s, 20, -1},
                {3, u"C"_s, 30, -1},
                {4, u"C1"_s, 31, 3}});
    m_box->removeItem(4); // the last item
    m_box->removeItem(0); // a top-level item with its child
    expectRows({{0, u"B"_s, 20, -1}, {1, u"C"_s, 30, -1}});
    QCOMPARE(m_box->addItem(0, u"B1"_s, 2, 2, 21), 1);
    expectRows({{0, u"B"_s, 20, -1}, {1, u"B1"_s, 21, 0}, {2, u"C"_s, 30, -1}});

    m_box->clearItems();
    QCOMPARE(m_box->itemCount(), 0);
    QCOMPARE(m_widget->topLevelItemCount(), 0);
    QCOMPARE(m_box->itemText(0), QString());
    QCOMPARE(m_box->addItem(-1, u"E"_s, 0, 0, 50), 0);
}

void TreeBoxTest::pictureAndSelectedPicture() {
    build();
    auto shown = [this](int index) { return m_box->treeItem(index)->icon(0).cacheKey(); };
    m_box->setItemImage(0, 1);
    m_box->setSelectedImage(0, 2);
    QCOMPARE(m_box->itemImage(0), 1);
    QCOMPARE(m_box->selectedImage(0), 2);
    QCOMPARE(shown(0), m_pictures[1].cacheKey());

    m_widget->setCurrentItem(m_box->treeItem(0));
    QCOMPARE(shown(0), m_pictures[2].cacheKey());
    m_box->setSelectedImage(0, 0);
    QCOMPARE(shown(0), m_pictures[0].cacheKey());
    m_box->setItemImage(0, 2); // not shown while current
    QCOMPARE(shown(0), m_pictures[0].cacheKey());

    m_widget->setCurrentItem(m_box->treeItem(4));
    QCOMPARE(shown(0), m_pictures[2].cacheKey());
    // A picture number outside the list shows no picture.
    m_box->setItemImage(5, 7);
    QVERIFY(m_box->treeItem(5)->icon(0).isNull());
    QCOMPARE(m_box->itemImage(5), 7);
}

void TreeBoxTest::selectionChangedForEveryCause() {
    build();
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));
    QList<int> seen;
    connect(m_box, &TreeBox::selectionChanged, this, [&] { seen << m_box->currentItem(); });

    m_widget->setCurrentItem(m_box->treeItem(4));
    QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {},
                      m_widget->visualItemRect(m_box->treeItem(0)).center());
    QTest::keyClick(m_widget, Qt::Key_Down); // A is closed: the next row is B
    QCOMPARE(seen, (QList<int>{4, 0, 4}));
    QCOMPARE(m_box->currentItem(), 4);
    QVERIFY(m_box->treeItem(4)->isSelected());
}

void TreeBoxTest::removingTheCurrentItemMovesItToTheParent() {
    build();
    m_widget->setCurrentItem(m_box->treeItem(2)); // A11
    QStringList seen;
    connect(m_box, &TreeBox::selectionChanged, this, [&] {
        // The removal is complete when the event comes.
        seen << m_box->itemText(m_box->currentItem()) + u'/' + QString::number(m_box->itemCount());
    });
    m_box->removeItem(1); // A1, the parent of the current item
    QCOMPARE(seen, QStringList{u"A/5"_s});
    QVERIFY(m_box->treeItem(0)->isSelected());

    m_box->removeItem(4); // C1: the current item is elsewhere
    QCOMPARE(seen.size(), 1);
    m_widget->setCurrentItem(m_box->treeItem(2)); // B
    seen.clear();
    m_box->removeItem(2);
    QCOMPARE(seen, QStringList{u"/3"_s});
    QCOMPARE(m_box->currentItem(), -1);
}

void TreeBoxTest::clearingTheCurrentItemRaisesSelectionChanged() {
    build();
    QSignalSpy selection(m_box, &TreeBox::selectionChanged);
    m_box->clearItems(); // no current item: no event
    QCOMPARE(selection.count(), 0);
    build();
    m_widget->setCurrentItem(m_box->treeItem(3));
    selection.clear();
    QList<int> seen;
    connect(m_box, &TreeBox::selectionChanged, this,
            [&] { seen << m_box->currentItem() << m_box->itemCount(); });
    m_box->clearItems();
    QCOMPARE(seen, (QList<int>{-1, 0}));
}

void TreeBoxTest::expandingAndCollapsingBeforeChildrenArePainted() {
    QCOMPARE(m_box->addItem(-1, u"first"_s, 0, 0, 1), 0);
    QCOMPARE(m_box->addItem(-1, u"directory"_s, 0, 0, 2), 1);
    QCOMPARE(m_box->addItem(1, u"placeholder"_s, 2, 2, 0), 2);
    auto* recorder = new PaintRecorder(m_widget);
    m_widget->setItemDelegate(recorder);
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));

    QList<int> expanding;
    connect(m_box, &TreeBox::itemExpanding, this, [&](int index) {
        expanding << index;
        // Replace the placeholder, as the catalogue does on a first opening.
        m_box->removeItem(index + 1);
        m_box->addItem(index, u"loaded"_s, 2, 2, 3);
    });
    QSignalSpy collapsing(m_box, &TreeBox::itemCollapsing);

    recorder->painted.clear();
    const QRect row = m_widget->visualItemRect(m_box->treeItem(1));
    const QPoint button(row.left() - m_widget->indentation() / 2, row.center().y());
    QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {}, button);
    QCOMPARE(expanding, QList<int>{1});
    QVERIFY(m_box->treeItem(1)->isExpanded());
    m_widget->repaint();
    QVERIFY(recorder->painted.contains(u"loaded"_s));
    QVERIFY(!recorder->painted.contains(u"placeholder"_s));

    QTest::mouseClick(m_widget->viewport(), Qt::LeftButton, {}, button);
    QCOMPARE(collapsing.count(), 1);
    QCOMPARE(collapsing.at(0).at(0).toInt(), 1);
    QCOMPARE(m_box->itemText(2), u"loaded"_s);
}

void TreeBoxTest::rightButtonMakesItemCurrentOnlyOnPictureOrText() {
    build();
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));
    QStringList events;
    connect(m_box, &TreeBox::selectionChanged, this,
            [&] { events << u"selection "_s + m_box->itemText(m_box->currentItem()); });
    connect(m_box, &TreeBox::rightButtonReleased, this, [&] { events << u"released"_s; });

    QTest::mouseClick(m_widget->viewport(), Qt::RightButton, {}, labelPoint(4));
    QCOMPARE(events, (QStringList{u"selection B"_s, u"released"_s}));

    // Right of the text, and below the last item: the current item stays.
    events.clear();
    const QRect row = m_widget->visualItemRect(m_box->treeItem(0));
    QTest::mouseClick(m_widget->viewport(), Qt::RightButton, {},
                      QPoint(m_widget->viewport()->width() - 5, row.center().y()));
    QTest::mouseClick(m_widget->viewport(), Qt::RightButton, {},
                      QPoint(20, m_widget->viewport()->height() - 5));
    QCOMPARE(events, (QStringList{u"released"_s, u"released"_s}));
    QCOMPARE(m_box->currentItem(), 4);
}

void TreeBoxTest::dragStartsOnPictureOrTextAfterTheStartDistance() {
    build();
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));
    QWidget* viewport = m_widget->viewport();
    auto moveWithLeftButton = [viewport](const QPoint& position) {
        QMouseEvent move(QEvent::MouseMove, position, viewport->mapToGlobal(position), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
    };
    const int distance = QApplication::startDragDistance();

    // Right of the text the press selects, but no drag starts.
    const QRect row = m_widget->visualItemRect(m_box->treeItem(0));
    const QPoint beside(viewport->width() - 5, row.center().y());
    QTest::mousePress(viewport, Qt::LeftButton, {}, beside);
    moveWithLeftButton(beside - QPoint(3 * distance, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, beside - QPoint(3 * distance, 0));
    QVERIFY(!m_widget->findChild<QDrag*>());

    // On the text: the press makes B current; a drag of B starts once the
    // pointer has gone the distance, and not before.
    const QPoint start = labelPoint(4);
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QCOMPARE(m_box->currentItem(), 4);
    moveWithLeftButton(start + QPoint(distance - 1, 0));
    QVERIFY(!m_widget->findChild<QDrag*>());
    moveWithLeftButton(start + QPoint(distance, 0));
    const QDrag* drag = m_widget->findChild<QDrag*>();
    QVERIFY(drag);
    QCOMPARE(m_box->draggedItem(drag->mimeData()), 4);
    QCOMPARE(m_box->currentItem(), 4);
}

void TreeBoxTest::dropsAreReportedAndNeverMoveItems() {
    build();
    m_widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_widget));
    QWidget* viewport = m_widget->viewport();
    const auto* indicator = viewport->findChild<QRubberBand*>();
    QVERIFY(indicator);
    QSignalSpy dropped(m_box, &TreeBox::itemDropped);
    const QList<Row> rows = {{0, u"A"_s, 10, -1}, {1, u"A1"_s, 11, 0}, {2, u"A11"_s, 111, 1},
                             {3, u"A2"_s, 12, 0}, {4, u"B"_s, 20, -1}, {5, u"C"_s, 30, -1},
                             {6, u"C1"_s, 31, 5}};
    const QPoint onA = labelPoint(0);
    const QPoint onC = labelPoint(5);
    const QPoint below(20, viewport->height() - 5);

    // Data that is not a drag of this tree box's items: the widget's own
    // item data, which it would insert itself, another tree box's drag, and
    // a drag of an item that has gone since.
    QTreeWidget otherWidget;
    TreeBox other(otherWidget, m_pictures);
    other.addItem(-1, u"X"_s, 0, 0, 20);
    std::unique_ptr<QMimeData> widgetData(
        m_widget->model()->mimeData({m_widget->model()->index(3, 0)}));
    std::unique_ptr<QMimeData> otherData(other.dragData(0));
    m_box->addItem(-1, u"D"_s, 2, 2, 40);
    std::unique_ptr<QMimeData> goneData(m_box->dragData(7));
    m_box->removeItem(7);
    for (const QMimeData* data : {widgetData.get(), otherData.get(), goneData.get()}) {
        QVERIFY(data);
        QVERIFY(!sendDragEvent(viewport, QEvent::DragEnter, onA, data));
        QVERIFY(!sendDragEvent(viewport, QEvent::Drop, onA, data));
        QVERIFY(indicator->isHidden());
    }
    QCoreApplication::processEvents();
    QCOMPARE(dropped.count(), 0);
    expectRows(rows);

    // B dragged over A, then below the items: the indicator frames A's row,
    // then the whole viewport.
    std::unique_ptr<QMimeData> data(m_box->dragData(4));
    QCOMPARE(m_box->draggedItem(data.get()), 4);
    QVERIFY(sendDragEvent(viewport, QEvent::DragEnter, onA, data.get()));
    QVERIFY(indicator->isVisible());
    const QRect rowOfA = m_widget->visualItemRect(m_box->treeItem(0));
    QCOMPARE(indicator->geometry(), QRect(0, rowOfA.top(), viewport->width(), rowOfA.height()));
    QVERIFY(sendDragEvent(viewport, QEvent::DragMove, below, data.get()));
    QCOMPARE(indicator->geometry(), viewport->rect());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport, &leave);
    QVERIFY(indicator->isHidden());

    // Dropped on C and below the items: reported once the drop has returned.
    for (const auto& [position, target] : {std::pair(onC, 5), std::pair(below, -1)}) {
        dropped.clear();
        QVERIFY(sendDragEvent(viewport, QEvent::DragEnter, position, data.get()));
        QVERIFY(sendDragEvent(viewport, QEvent::Drop, position, data.get()));
        QVERIFY(indicator->isHidden());
        QCOMPARE(dropped.count(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0), (QVariantList{4, target}));
        expectRows(rows);
    }

    // A change of the tree before the drop is handled voids it.
    dropped.clear();
    QVERIFY(sendDragEvent(viewport, QEvent::DragEnter, onC, data.get()));
    QVERIFY(sendDragEvent(viewport, QEvent::Drop, onC, data.get()));
    m_box->removeItem(5);
    QCoreApplication::processEvents();
    QCOMPARE(dropped.count(), 0);
}

void TreeBoxTest::lookUpsStayRightAcrossSequentialEdits() {
    // The pattern of loading and reloading a directory that stands after
    // many others: the answers must match a fresh walk at every step.
    for (int i = 0; i < 50; ++i)
        m_box->addItem(-1, u"top %1"_s.arg(i), 0, 0, i + 1);
    const int directory = 30;
    for (int round = 0; round < 2; ++round) {
        while (m_box->parentItem(directory + 1) == directory)
            m_box->removeItem(directory + 1);
        for (int child = 0; child < 20; ++child) {
            const int e = m_box->addItem(directory, u"child %1"_s.arg(child), 0, 0, 100 + child);
            QCOMPARE(e, directory + 1 + child + (child + 1) / 2);
            if (child % 2 == 0)
                m_box->addItem(e, u"placeholder"_s, 2, 2, 0);
        }
    }
    // Compare every index with the widget's own pre-order walk.
    QList<QTreeWidgetItem*> walk;
    QTreeWidgetItemIterator it(m_widget);
    for (; *it; ++it)
        walk << *it;
    QCOMPARE(m_box->itemCount(), walk.size());
    for (int index = walk.size() - 1; index >= 0; --index) {
        QCOMPARE(m_box->treeItem(index), walk[index]);
        const int parent = m_box->parentItem(index);
        QCOMPARE(parent == -1 ? nullptr : walk[parent], walk[index]->parent());
    }
    QCOMPARE(m_box->itemText(directory), u"top 30"_s);
    QCOMPARE(m_box->itemText(directory + 31), u"top 31"_s);
}

void TreeBoxTest::helperRemovesExactlyTheChildren() {
    TreeBoxHelper helper;
    QCOMPARE(helper.currentItemText(), QString()); // not bound yet
    helper.removeChildren(0);
    helper.bind(m_widget, m_box);
    build();
    helper.removeChildren(2); // A11, a leaf
    helper.removeChildren(6); // C1, the last item
    helper.removeChildren(4); // B, a leaf before another top-level item
    QCOMPARE(m_box->itemCount(), 7);
    helper.removeChildren(0); // A1 with A11, and A2
    expectRows(
        {{0, u"A"_s, 10, -1}, {1, u"B"_s, 20, -1}, {2, u"C"_s, 30, -1}, {3, u"C1"_s, 31, 2}});
    m_widget->setCurrentItem(m_box->treeItem(3));
    QCOMPARE(helper.currentItemText(), u"C1"_s);
}

QTEST_MAIN(TreeBoxTest)
#include "tst_treebox.moc"
