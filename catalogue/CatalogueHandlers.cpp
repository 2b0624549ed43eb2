#include "catalogue/CatalogueHandlers.h"

#include "catalogue/AdjustState.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/ItemKinds.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "documents/DocumentView.h"

CatalogueHandlers::CatalogueHandlers(TreeBoxHelper& helper, CatalogueTree& catalogue,
                                     AdjustState& adjust, DocumentView& view)
    : m_helper(helper), m_catalogue(catalogue), m_adjust(adjust), m_view(view) {}

void CatalogueHandlers::setAdjustHandler(std::function<void()> handler) {
    m_adjustHandler = std::move(handler);
}

void CatalogueHandlers::itemExpanding(int index) {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    box->setItemImage(index, OpenDirectory);
    box->setSelectedImage(index, OpenDirectory);
    if (box->itemValue(index + 1) == 0 && box->itemText(index + 1) == loadingPlaceholderText)
        m_catalogue.loadChildren(index);
}

void CatalogueHandlers::itemCollapsing(int index) {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    box->setItemImage(index, ClosedDirectory);
    box->setSelectedImage(index, ClosedDirectory);
}

void CatalogueHandlers::selectionChanged() {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    const int current = box->currentItem();
    if (m_adjust.active) {
        // Only the user chooses a target: not the tree box while it is being
        // rebuilt, and not a cleared tree without a current item.
        if (current != -1 && !m_catalogue.isRebuilding() && m_adjustHandler)
            m_adjustHandler();
        return;
    }
    m_view.showItem(QString::number(box->itemValue(current)));
}
