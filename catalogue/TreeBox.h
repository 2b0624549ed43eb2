#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <array>

class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QMouseEvent;
class QRubberBand;
class QTreeWidget;
class QTreeWidgetItem;
class QStyle;
class TreeBoxItem;

// The tree box model over a QTreeWidget. Items are addressed by their index
// in a pre-order walk of the whole forest, open or closed; -1 names no item
// and, as a parent, the top level. For an index that names no item the text
// is empty, the value 0, the parent and the picture -1, and setters do
// nothing. Each item has a picture, shown while it is not the current item,
// and a selected picture, shown while it is.
//
// An item can be dragged onto another item or below the items; the tree box
// only reports the drop and never moves an item itself.
//
// The widget must be driven through this model alone. Index look-ups cost
// O(1) for the sequential patterns of the catalogue (the item just added, the
// first child of the item just used, its parent); others walk the siblings
// along the path from the top.
class TreeBox : public QObject {
    Q_OBJECT

public:
    // Sets the widget up as a tree box; pictures is the picture list, indexed
    // by picture number. The model lives as long as the widget.
    TreeBox(QTreeWidget& widget, QList<QIcon> pictures);
    ~TreeBox() override;

    // Adds the item as the last child of parent (the last top-level item when
    // parent names no item); returns its index.
    int addItem(int parent, const QString& text, int picture, int selectedPicture, int value);
    // Removes the item with its whole subtree. A current item inside it
    // passes to the removed item's parent (none at the top level).
    void removeItem(int index);
    // Removes every item; afterwards there is no current item.
    void clearItems();

    int itemCount() const { return m_count; }
    QString itemText(int index) const;
    int itemValue(int index) const;
    int parentItem(int index) const;
    int itemImage(int index) const;
    int selectedImage(int index) const;
    void setItemImage(int index, int picture);
    void setSelectedImage(int index, int picture);
    // -1 when there is no current item.
    int currentItem() const;

    // The index of the item in the row at position (viewport coordinates);
    // -1 below the items.
    int itemAtPosition(const QPoint& position) const;

    // The data that a drag of the item at index carries, owned by the
    // caller; nullptr when the index names no item.
    QMimeData* dragData(int index) const;
    // The index of the dragged item when data comes from a drag that started
    // in this tree box and the item is still there; -1 otherwise.
    int draggedItem(const QMimeData* data) const;

    QTreeWidget& widget() const { return m_widget; }
    // The widget's item at index, nullptr when the index names no item.
    QTreeWidgetItem* treeItem(int index) const;

    // Holds back painting of the tree box while it lives, for bulk loads.
    class Batch {
    public:
        explicit Batch(TreeBox& box);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TreeBox& m_box;
    };

signals:
    // After the current item changed, whatever the cause (mouse, keyboard, or
    // a change of the tree itself). Raised once the change is complete.
    void selectionChanged();
    // The user opens an item; raised before its children are painted.
    void itemExpanding(int index);
    // The user closes an item.
    void itemCollapsing(int index);
    // The right button was released over the tree box. Pressing it on an
    // item's picture or text made that item current first.
    void rightButtonReleased(const QPoint& globalPosition);
    // The item at movingIndex, dragged within the tree box, was dropped on
    // the item at targetIndex, or below the items (targetIndex -1). Raised
    // once the drag has ended.
    void itemDropped(int movingIndex, int targetIndex);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keeps selectionChanged back until the outermost change is complete, so
    // that its handlers always see a consistent tree.
    class Change {
    public:
        explicit Change(TreeBox& box);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        TreeBox& m_box;
    };

    struct Resolution {
        int index = -1;
        TreeBoxItem* item = nullptr;
    };

    TreeBoxItem* itemAt(int index) const;
    TreeBoxItem* itemAtFromTop(int index) const;
    int indexOf(const QTreeWidgetItem* item) const;
    // Puts the resolution first among the known ones, dropping the least
    // recently used when they are full.
    void remember(int index, TreeBoxItem* item) const;
    void shiftResolutions(int from, int by) const;
    void forgetResolutions(int from, int to) const;
    void showPicture(QTreeWidgetItem* item);
    QIcon pictureIcon(int number) const;
    bool isOnPictureOrText(const QTreeWidgetItem* item, const QPoint& position) const;
    void currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    // The right button as before; the left button starts a drag. True when
    // the event is taken from the widget.
    bool focusInWithoutCurrentItem(QEvent* event);
    bool mouseEvent(const QMouseEvent& mouse);
    void startDrag();
    void dragMoveEvent(QDragMoveEvent& drag);
    void dropEvent(QDropEvent& drop);
    void showDropIndicator(int targetIndex);

    QTreeWidget& m_widget;
    QList<QIcon> m_pictures;
    QStyle* m_style = nullptr;
    int m_count = 0;
    int m_changeDepth = 0;
    bool m_selectionPending = false;
    int m_batchDepth = 0;
    // The most recently used index ↔ item resolutions, most recent first,
    // kept valid across additions and removals.
    mutable std::array<Resolution, 4> m_resolutions{};
    // The item whose picture or text the left button pressed, until the
    // button is released, a drag starts or items are removed.
    QTreeWidgetItem* m_pressedItem = nullptr;
    QPoint m_pressPosition;
    // Marks the drag data of this tree box, unlike that of any other, in
    // this process or another.
    QByteArray m_dragSource;
    // Frames the row, or the whole viewport for the top level, that a drop
    // would move the dragged item into.
    QRubberBand* m_dropIndicator = nullptr;
};
