#pragma once

#include <QStringView>

class StatusView;
class TreeBoxHelper;
struct DatabaseObjects;

// The text of the loading placeholder, the one child of a directory whose
// children have not been read yet. Its value is 0, which no stored item has.
inline constexpr QStringView loadingPlaceholderText = u"正在读取...";

// Fills the bound tree box from the knowledge base, level by level: the top
// level when a knowledge base is opened, a directory's children when it is
// first opened or refreshed. Loops over rows use the primary record set,
// look-ups nested in them the secondary one.
class CatalogueTree {
public:
    CatalogueTree(TreeBoxHelper& helper, DatabaseObjects& database, StatusView& status);

    // Rebuilds the tree box from the top level; every directory is closed
    // and no item is made current.
    void indexCatalogue();
    // Replaces the children of the item at index, which names an item, by
    // the items of its stored child rows.
    void loadChildren(int index);

    // True while indexCatalogue or loadChildren runs: the selection changes
    // the tree box makes then are its own, not the user's.
    bool isRebuilding() const { return m_rebuilding; }

private:
    class Rebuild;

    TreeBoxHelper& m_helper;
    DatabaseObjects& m_database;
    StatusView& m_status;
    bool m_rebuilding = false;
};
