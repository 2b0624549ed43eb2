#include "catalogue/TreeBoxHelper.h"

#include "catalogue/TreeBox.h"

void TreeBoxHelper::bind(QWidget* window, TreeBox* treeBox) {
    m_window = window;
    m_treeBox = treeBox;
}

QString TreeBoxHelper::currentItemText() const {
    return m_treeBox ? m_treeBox->itemText(m_treeBox->currentItem()) : QString();
}

void TreeBoxHelper::removeChildren(int index) {
    if (!m_treeBox)
        return;
    // A removed child takes its subtree along, so the next child moves up to
    // index + 1; the first item there that is not a child ends the loop.
    while (index < m_treeBox->itemCount() - 1 && m_treeBox->parentItem(index + 1) == index)
        m_treeBox->removeItem(index + 1);
}
