#include "catalogue/CatalogueTree.h"

#include "catalogue/ItemKinds.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"

#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

// What every rebuild of the tree holds while it runs: the rebuilding mark,
// the busy cursor, the tree box's painting held back, and one read
// transaction for the whole loop (one lock, one consistent state).
class CatalogueTree::Rebuild {
public:
    Rebuild(CatalogueTree& catalogue, TreeBox& box)
        : m_rebuilding(catalogue.m_rebuilding, true), m_busy(catalogue.m_status), m_batch(box),
          m_snapshot(catalogue.m_database.connection) {}

private:
    QScopedValueRollback<bool> m_rebuilding;
    BusyScope m_busy;
    TreeBox::Batch m_batch;
    DatabaseConnection::ReadSnapshot m_snapshot;
};

CatalogueTree::CatalogueTree(TreeBoxHelper& helper, DatabaseObjects& database, StatusView& status)
    : m_helper(helper), m_database(database), m_status(status) {}

void CatalogueTree::indexCatalogue() {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    const Rebuild rebuild(*this, *box);
    RecordSet& rows = m_database.primaryRecordSet;
    RecordSet& lookUp = m_database.secondaryRecordSet;

    box->clearItems();
    rows.open(selectTopLevel());
    const int n = rows.recordCount();
    m_status.showStatus(u"正在索引目录...共"_s + QString::number(n) + u"条..."_s);
    for (int row = 0; row < n; ++row) {
        const QString title = rows.readText(u"NTitle"_s);
        const int id = rows.readInteger(u"ID"_s);
        const int type = rows.readInteger(u"NType"_s);
        const int p = type == DocumentItem ? Document : ClosedDirectory;
        const int d = box->addItem(-1, title, p, p, id);
        lookUp.open(selectChildren(QString::number(id)));
        if (lookUp.recordCount() > 0) {
            lookUp.open(selectChildDirectories(QString::number(id)));
            const int q = lookUp.recordCount() > 0 ? ClosedDirectory : Document;
            box->addItem(d, loadingPlaceholderText.toString(), q, q, 0);
            box->setItemImage(d, ClosedDirectory);
            box->setSelectedImage(d, ClosedDirectory);
        }
        rows.moveNext();
    }
    m_status.showStatus(u"目录索引完毕"_s);
}

void CatalogueTree::loadChildren(int index) {
    TreeBox* box = m_helper.treeBox();
    if (!box)
        return;
    const Rebuild rebuild(*this, *box);
    RecordSet& rows = m_database.primaryRecordSet;
    RecordSet& lookUp = m_database.secondaryRecordSet;

    m_status.showStatus(u"正在获取【"_s + box->itemText(index) + u"】的子项数据..."_s);
    const QString id = QString::number(box->itemValue(index));
    m_helper.removeChildren(index);
    rows.open(selectChildren(id));
    const int n = rows.recordCount();
    for (int row = 0; row < n; ++row) {
        const int childId = rows.readInteger(u"ID"_s);
        const QString title = rows.readText(u"NTitle"_s);
        const int type = rows.readInteger(u"NType"_s);
        if (type == DocumentItem) {
            box->addItem(index, title, Document, Document, childId);
        } else {
            const int e = box->addItem(index, title, ClosedDirectory, ClosedDirectory, childId);
            lookUp.open(selectChildren(QString::number(childId)));
            if (lookUp.recordCount() > 0)
                box->addItem(e, loadingPlaceholderText.toString(), Document, Document, 0);
        }
        rows.moveNext();
    }
    m_status.showStatus(u"刷新完毕"_s);
}
