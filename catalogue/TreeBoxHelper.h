#pragma once

#include <QString>

class QWidget;
class TreeBox;

// The one helper bound to the main window's tree box. It keeps no items:
// every operation reads the tree box afresh. Until it is bound, there is no
// current item and nothing to remove.
class TreeBoxHelper {
public:
    // Remembers the tree box it serves and the window that holds it.
    void bind(QWidget* window, TreeBox* treeBox);

    QWidget* window() const { return m_window; }
    TreeBox* treeBox() const { return m_treeBox; }

    // The text of the current item; empty when there is none.
    QString currentItemText() const;
    // Removes every child of the item at index, each with its subtree.
    void removeChildren(int index);

private:
    QWidget* m_window = nullptr;
    TreeBox* m_treeBox = nullptr;
};
