#include "catalogue/TreeBox.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QRubberBand>
#include <QSignalBlocker>
#include <QStyleOption>
#include <QTreeWidget>
#include <QUuid>

#include <algorithm>
#include <utility>

// A tree box item: its pictures, its value and the number of items in its
// subtree (itself included), which turns indexes into items and back.
class TreeBoxItem : public QTreeWidgetItem {
public:
    TreeBoxItem(const QString& text, int picture, int selectedPicture, int value)
        : QTreeWidgetItem(UserType), picture(picture), selectedPicture(selectedPicture),
          value(value) {
        setText(0, text);
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }

    int picture;
    int selectedPicture;
    int value;
    int subtreeSize = 1;
};

namespace {

TreeBoxItem* boxItem(QTreeWidgetItem* item) {
    return static_cast<TreeBoxItem*>(item);
}

// The drag data: the tree box's mark, the item's index and its value.
constexpr auto dragFormat = "application/x-lanjian-tree-item";

// Draws dotted lines between the items, the top level included, and boxed
// plus and minus signs as the open and close buttons.
class TreeLinesStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_IndicatorBranch) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        const int midX = r.x() + r.width() / 2;
        const int midY = r.y() + r.height() / 2;
        const QColor lineColour = option->palette.color(QPalette::Dark);
        painter->save();
        painter->setPen(QPen(lineColour, 1, Qt::DotLine));
        if (option->state & State_Item)
            painter->drawLine(midX, midY, r.right(), midY);
        if (option->state & State_Sibling)
            painter->drawLine(midX, r.top(), midX, r.bottom());
        else if (option->state & State_Item)
            painter->drawLine(midX, r.top(), midX, midY);
        if (option->state & State_Children) {
            painter->setPen(lineColour);
            painter->setBrush(option->palette.base());
            painter->drawRect(midX - 4, midY - 4, 8, 8);
            painter->setPen(option->palette.color(QPalette::Text));
            painter->drawLine(midX - 2, midY, midX + 2, midY);
            if (!(option->state & State_Open))
                painter->drawLine(midX, midY - 2, midX, midY + 2);
        }
        painter->restore();
    }
};

} // namespace

TreeBox::TreeBox(QTreeWidget& widget, QList<QIcon> pictures)
    : QObject(&widget), m_widget(widget), m_pictures(std::move(pictures)) {
    m_widget.clear();
    m_widget.setColumnCount(1);
    m_widget.setHeaderHidden(true);
    m_widget.setRootIsDecorated(true);
    m_widget.setItemsExpandable(true);
    m_widget.setAnimated(false);
    m_widget.setUniformRowHeights(true);
    m_widget.setSortingEnabled(false);
    m_widget.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_widget.setSelectionMode(QAbstractItemView::SingleSelection);
    m_widget.setIconSize(QSize(16, 16));
    m_widget.setFrameStyle(QFrame::Box | QFrame::Plain);
    m_widget.setLineWidth(1);
    // Every right-button event reaches the tree box as a plain mouse event.
    m_widget.setContextMenuPolicy(Qt::PreventContextMenu);

    m_style = new TreeLinesStyle;
    m_style->setParent(this);
    m_widget.setStyle(m_style);

    QPalette palette = m_widget.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    // The current item stays highlighted when the tree box loses the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    m_widget.setPalette(palette);

    // Drags are the tree box's own: the widget's drag machinery stays off,
    // and the viewport's drag events all go through the event filter.
    m_dragSource = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    m_widget.viewport()->setAcceptDrops(true);
    m_dropIndicator = new QRubberBand(QRubberBand::Rectangle, m_widget.viewport());
    m_dropIndicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropIndicator->hide();

    m_widget.installEventFilter(this);
    m_widget.viewport()->installEventFilter(this);
    connect(&m_widget, &QTreeWidget::currentItemChanged, this, &TreeBox::currentItemChanged);
    connect(&m_widget, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { emit itemExpanding(indexOf(item)); });
    connect(&m_widget, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { emit itemCollapsing(indexOf(item)); });
}

TreeBox::~TreeBox() = default;

int TreeBox::addItem(int parent, const QString& text, int picture, int selectedPicture, int value) {
    Change change(*this);
    TreeBoxItem* parentItem = itemAt(parent);
    const int index = parentItem ? parent + parentItem->subtreeSize : m_count;
    auto* item = new TreeBoxItem(text, picture, selectedPicture, value);
    item->setIcon(0, pictureIcon(picture));

    shiftResolutions(index, 1);
    if (parentItem) {
        parentItem->addChild(item);
        for (QTreeWidgetItem* ancestor = parentItem; ancestor; ancestor = ancestor->parent())
            ++boxItem(ancestor)->subtreeSize;
    } else {
        m_widget.addTopLevelItem(item);
    }
    ++m_count;
    remember(index, item);
    return index;
}

void TreeBox::removeItem(int index) {
    TreeBoxItem* item = itemAt(index);
    if (!item)
        return;
    Change change(*this);
    m_pressedItem = nullptr;
    for (QTreeWidgetItem* current = m_widget.currentItem(); current; current = current->parent()) {
        if (current == item) {
            m_widget.setCurrentItem(item->parent());
            break;
        }
    }

    const int removed = item->subtreeSize;
    for (QTreeWidgetItem* ancestor = item->parent(); ancestor; ancestor = ancestor->parent())
        boxItem(ancestor)->subtreeSize -= removed;
    m_count -= removed;
    forgetResolutions(index, index + removed);
    shiftResolutions(index + removed, -removed);
    delete item;
}

void TreeBox::clearItems() {
    Change change(*this);
    m_pressedItem = nullptr;
    if (m_widget.currentItem())
        m_widget.setCurrentItem(nullptr);
    m_resolutions.fill({});
    m_widget.clear();
    m_count = 0;
}

QString TreeBox::itemText(int index) const {
    const TreeBoxItem* item = itemAt(index);
    return item ? item->text(0) : QString();
}

int TreeBox::itemValue(int index) const {
    const TreeBoxItem* item = itemAt(index);
    return item ? item->value : 0;
}

int TreeBox::parentItem(int index) const {
    const TreeBoxItem* item = itemAt(index);
    return item && item->parent() ? indexOf(item->parent()) : -1;
}

int TreeBox::itemImage(int index) const {
    const TreeBoxItem* item = itemAt(index);
    return item ? item->picture : -1;
}

int TreeBox::selectedImage(int index) const {
    const TreeBoxItem* item = itemAt(index);
    return item ? item->selectedPicture : -1;
}

void TreeBox::setItemImage(int index, int picture) {
    if (TreeBoxItem* item = itemAt(index)) {
        item->picture = picture;
        showPicture(item);
    }
}

void TreeBox::setSelectedImage(int index, int picture) {
    if (TreeBoxItem* item = itemAt(index)) {
        item->selectedPicture = picture;
        showPicture(item);
    }
}

int TreeBox::currentItem() const {
    const QTreeWidgetItem* current = m_widget.currentItem();
    return current ? indexOf(current) : -1;
}

QTreeWidgetItem* TreeBox::treeItem(int index) const {
    return itemAt(index);
}

int TreeBox::itemAtPosition(const QPoint& position) const {
    return indexOf(m_widget.itemAt(position));
}

QMimeData* TreeBox::dragData(int index) const {
    const TreeBoxItem* item = itemAt(index);
    if (!item)
        return nullptr;
    auto* data = new QMimeData;
    data->setData(dragFormat, m_dragSource + ' ' + QByteArray::number(index) + ' ' +
                                  QByteArray::number(item->value));
    return data;
}

int TreeBox::draggedItem(const QMimeData* data) const {
    if (!data)
        return -1;
    const QList<QByteArray> fields = data->data(dragFormat).split(' ');
    if (fields.size() != 3 || fields[0] != m_dragSource)
        return -1;
    bool indexRead = false;
    bool valueRead = false;
    const int index = fields[1].toInt(&indexRead);
    const int value = fields[2].toInt(&valueRead);
    const TreeBoxItem* item = indexRead && valueRead ? itemAt(index) : nullptr;
    return item && item->value == value ? index : -1;
}

TreeBox::Batch::Batch(TreeBox& box) : m_box(box) {
    if (m_box.m_batchDepth++ == 0)
        m_box.m_widget.setUpdatesEnabled(false);
}

TreeBox::Batch::~Batch() {
    if (--m_box.m_batchDepth == 0)
        m_box.m_widget.setUpdatesEnabled(true);
}

TreeBox::Change::Change(TreeBox& box) : m_box(box) {
    ++m_box.m_changeDepth;
}

TreeBox::Change::~Change() {
    if (--m_box.m_changeDepth == 0 && m_box.m_selectionPending) {
        m_box.m_selectionPending = false;
        emit m_box.selectionChanged();
    }
}

TreeBoxItem* TreeBox::itemAt(int index) const {
    if (index < 0 || index >= m_count)
        return nullptr;
    for (const Resolution& known : m_resolutions) {
        if (known.item && known.index == index) {
            remember(known.index, known.item);
            return m_resolutions.front().item;
        }
    }
    // The item right after a known one with children is its first child.
    for (const Resolution& known : m_resolutions) {
        if (known.item && known.index == index - 1 && known.item->childCount() > 0) {
            const Resolution parent = known;
            remember(parent.index, parent.item);
            remember(index, boxItem(parent.item->child(0)));
            return m_resolutions.front().item;
        }
    }
    TreeBoxItem* item = itemAtFromTop(index);
    remember(index, item);
    return item;
}

TreeBoxItem* TreeBox::itemAtFromTop(int index) const {
    // Descend from the top, skipping whole subtrees by their sizes.
    const QTreeWidgetItem* siblings = m_widget.invisibleRootItem();
    int position = 0; // index of the first item among siblings' children
    for (int row = 0; row < siblings->childCount();) {
        TreeBoxItem* child = boxItem(siblings->child(row));
        if (index == position)
            return child;
        if (index < position + child->subtreeSize) {
            siblings = child;
            ++position;
            row = 0;
        } else {
            position += child->subtreeSize;
            ++row;
        }
    }
    return nullptr;
}

int TreeBox::indexOf(const QTreeWidgetItem* item) const {
    if (!item)
        return -1;
    for (const Resolution& known : m_resolutions) {
        if (known.item == item) {
            const int index = known.index;
            remember(index, known.item);
            return index;
        }
    }
    const QTreeWidgetItem* parent = item->parent();
    int index = parent ? indexOf(parent) + 1 : 0;
    const QTreeWidgetItem* siblings = parent ? parent : m_widget.invisibleRootItem();
    for (int row = 0; siblings->child(row) != item; ++row)
        index += boxItem(siblings->child(row))->subtreeSize;
    remember(index, boxItem(const_cast<QTreeWidgetItem*>(item)));
    return index;
}

void TreeBox::remember(int index, TreeBoxItem* item) const {
    auto matches = [item](const Resolution& known) { return known.item == item; };
    auto isFree = [](const Resolution& known) { return !known.item; };
    auto slot = std::find_if(m_resolutions.begin(), m_resolutions.end(), matches);
    if (slot == m_resolutions.end())
        slot = std::find_if(m_resolutions.begin(), m_resolutions.end(), isFree);
    if (slot == m_resolutions.end())
        slot = m_resolutions.end() - 1;
    std::move_backward(m_resolutions.begin(), slot, slot + 1);
    m_resolutions.front() = {index, item};
}

void TreeBox::shiftResolutions(int from, int by) const {
    for (Resolution& known : m_resolutions)
        if (known.item && known.index >= from)
            known.index += by;
}

void TreeBox::forgetResolutions(int from, int to) const {
    for (Resolution& known : m_resolutions)
        if (known.item && known.index >= from && known.index < to)
            known = {};
}

QIcon TreeBox::pictureIcon(int number) const {
    return number >= 0 && number < m_pictures.size() ? m_pictures.at(number) : QIcon();
}

void TreeBox::showPicture(QTreeWidgetItem* item) {
    const TreeBoxItem* boxed = boxItem(item);
    const bool isCurrent = m_widget.currentItem() == item;
    item->setIcon(0, pictureIcon(isCurrent ? boxed->selectedPicture : boxed->picture));
}

void TreeBox::currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (previous)
        showPicture(previous);
    if (current)
        showPicture(current);
    if (m_changeDepth > 0)
        m_selectionPending = true;
    else
        emit selectionChanged();
}

bool TreeBox::isOnPictureOrText(const QTreeWidgetItem* item, const QPoint& position) const {
    // The label as the item delegate lays it out: a margin, the picture, a
    // margin on either side of the text.
    const QRect cell = m_widget.visualItemRect(item);
    const int margin =
        m_widget.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_widget) + 1;
    const int pictureWidth = item->icon(0).isNull() ? 0 : m_widget.iconSize().width() + 2 * margin;
    const int textWidth = m_widget.fontMetrics().horizontalAdvance(item->text(0)) + 2 * margin;
    const QRect label(cell.left(), cell.top(), pictureWidth + textWidth, cell.height());
    return label.contains(position);
}

bool TreeBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_widget) {
        if (event->type() == QEvent::FocusIn && !m_widget.currentItem())
            return focusInWithoutCurrentItem(event);
        return false;
    }
    if (watched != m_widget.viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return mouseEvent(*static_cast<QMouseEvent*>(event));
    // Every drag event is taken, so the widget itself never drops anything.
    case QEvent::DragEnter:
    case QEvent::DragMove:
        dragMoveEvent(*static_cast<QDragMoveEvent*>(event));
        return true;
    case QEvent::DragLeave:
        m_dropIndicator->hide();
        return true;
    case QEvent::Drop:
        dropEvent(*static_cast<QDropEvent*>(event));
        return true;
    default:
        return false;
    }
}

bool TreeBox::focusInWithoutCurrentItem(QEvent* event) {
    // Given the focus, a Qt item view makes its first item current. Here an
    // item becomes current only when the user picks one, so that the focus
    // passing by (a page turned, the edit page left) neither shows an item
    // nor, in the adjust mode, offers it as the target of a move.
    QItemSelectionModel* selection = m_widget.selectionModel();
    const QSignalBlocker quiet(selection);
    static_cast<QObject&>(m_widget).event(event);
    selection->clear();
    m_widget.viewport()->update();
    return true;
}

bool TreeBox::mouseEvent(const QMouseEvent& mouse) {
    const QPoint position = mouse.position().toPoint();
    if (mouse.button() == Qt::RightButton) {
        if (mouse.type() == QEvent::MouseButtonRelease) {
            emit rightButtonReleased(mouse.globalPosition().toPoint());
        } else {
            QTreeWidgetItem* item = m_widget.itemAt(position);
            if (item && isOnPictureOrText(item, position))
                m_widget.setCurrentItem(item);
        }
        return true;
    }
    if (mouse.button() == Qt::LeftButton) {
        // The press itself goes on to the widget, which makes the item current.
        if (mouse.type() == QEvent::MouseButtonPress) {
            QTreeWidgetItem* item = m_widget.itemAt(position);
            m_pressedItem = item && isOnPictureOrText(item, position) ? item : nullptr;
            m_pressPosition = position;
        } else if (mouse.type() == QEvent::MouseButtonRelease) {
            m_pressedItem = nullptr;
        }
        return false;
    }
    if (mouse.type() != QEvent::MouseMove || !m_pressedItem || !(mouse.buttons() & Qt::LeftButton))
        return false;
    // Until the drag starts, the pointer may wander without selecting the
    // items it passes.
    if ((position - m_pressPosition).manhattanLength() >= QApplication::startDragDistance())
        startDrag();
    return true;
}

void TreeBox::startDrag() {
    QTreeWidgetItem* item = std::exchange(m_pressedItem, nullptr);
    auto* drag = new QDrag(&m_widget); // Qt deletes it when the drag has ended
    drag->setMimeData(dragData(indexOf(item)));
    drag->setPixmap(item->icon(0).pixmap(m_widget.iconSize()));
    // The answer is of no use: whatever moves, moves in the store, and the
    // tree is rebuilt from there.
    drag->exec(Qt::MoveAction);
}

void TreeBox::dragMoveEvent(QDragMoveEvent& drag) {
    if (draggedItem(drag.mimeData()) == -1 || !(drag.possibleActions() & Qt::MoveAction)) {
        m_dropIndicator->hide();
        drag.ignore();
        return;
    }
    // Every place is a drop target, documents too: the drop on one is
    // refused with a message that says why.
    showDropIndicator(itemAtPosition(drag.position().toPoint()));
    drag.setDropAction(Qt::MoveAction);
    drag.accept();
}

void TreeBox::dropEvent(QDropEvent& drop) {
    m_dropIndicator->hide();
    const int moving = draggedItem(drop.mimeData());
    if (moving == -1 || !(drop.possibleActions() & Qt::MoveAction)) {
        drop.ignore();
        return;
    }
    const int target = itemAtPosition(drop.position().toPoint());
    drop.setDropAction(Qt::MoveAction);
    drop.accept();
    // The drop is handled once the drag has ended: its handler asks before
    // it moves, and a question inside the drop would hold the platform's
    // drag session until it is answered. By then the tree must still hold
    // the same items at the same places.
    const int movingValue = itemValue(moving);
    const int targetValue = itemValue(target);
    QMetaObject::invokeMethod(
        this,
        [this, moving, target, movingValue, targetValue] {
            if (itemValue(moving) == movingValue && itemValue(target) == targetValue)
                emit itemDropped(moving, target);
        },
        Qt::QueuedConnection);
}

void TreeBox::showDropIndicator(int targetIndex) {
    const QRect viewport = m_widget.viewport()->rect();
    QRect area = viewport;
    if (const QTreeWidgetItem* item = treeItem(targetIndex)) {
        const QRect row = m_widget.visualItemRect(item);
        area = QRect(viewport.left(), row.top(), viewport.width(), row.height());
    }
    m_dropIndicator->setGeometry(area);
    m_dropIndicator->show();
}
