#pragma once

#include "bench/BenchTarget.h"
#include "store/DatabaseObjects.h"
#include "store/KnowledgeBase.h"

// The program's own way: statement texts through DatabaseConnection and the
// two record sets, in the loops the catalogue, the editor and the search run.
class ProgramTarget : public BenchTarget {
public:
    bool build(const QString& path, const SampleTree& tree) override;
    bool open(const QString& path) override;
    void close() override;
    qint64 indexTopLevel() override;
    qint64 loadChildren(int parentId) override;
    bool addDocument(int parentId, const SampleItem& item) override;
    bool updateText(int id, const QString& body) override;
    bool deleteItem(int id) override;
    qint64 search(const QString& keyword) override;
    QString errorText() const override;

    // The connection and record sets, for the window parts timed on top of
    // the store.
    DatabaseObjects& database() { return m_database; }

private:
    // Opening shows nothing here.
    class SilentView : public KnowledgeBaseView {
    public:
        void showStatus(const QString&) override {}
        void setBusy(bool) override {}
        void showKnowledgeBaseName(const QString&) override {}
        void indexCatalogue() override {}
    };

    DatabaseObjects m_database;
    SilentView m_view;
};
