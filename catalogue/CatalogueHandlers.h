#pragma once

#include <functional>

class CatalogueTree;
class DocumentView;
class TreeBoxHelper;
struct AdjustState;

// The tree box's handlers for opening, closing and selection.
class CatalogueHandlers {
public:
    CatalogueHandlers(TreeBoxHelper& helper, CatalogueTree& catalogue, AdjustState& adjust,
                      DocumentView& view);

    // Where a selection goes while the adjust mode is on: the new current
    // item is the target of a move.
    void setAdjustHandler(std::function<void()> handler);

    // Open-book pictures; the first opening loads the children in place of
    // the placeholder, before they are painted.
    void itemExpanding(int index);
    // Closed-book pictures; the children stay loaded.
    void itemCollapsing(int index);
    // Shows the current item, or hands the selection to the adjust handler.
    void selectionChanged();

private:
    TreeBoxHelper& m_helper;
    CatalogueTree& m_catalogue;
    AdjustState& m_adjust;
    DocumentView& m_view;
    std::function<void()> m_adjustHandler;
};
