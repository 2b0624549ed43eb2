#pragma once

#include "bench/BenchTarget.h"

#include <QByteArray>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The limit: the same work done the plainest fast way on SQLite itself, with
// prepared statements, bound values, a table with the same columns and
// indexes and the same durability (rollback journal, full sync).
class PlainSqliteTarget : public BenchTarget {
public:
    PlainSqliteTarget();
    ~PlainSqliteTarget() override;

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

    // Reads NTitle, NKey and NText of every row, as SQLite holds them
    // (UTF-8), and returns how many bytes they are: the least any search of
    // the three columns must do.
    qint64 readEveryText();

private:
    struct Statements;

    bool openFile(const QString& path, int flags);
    bool run(const char* sql);
    int countRows(sqlite3_stmt* statement, int parentId);

    sqlite3* m_db = nullptr;
    std::unique_ptr<Statements> m_statements;
    QByteArray m_error;
};
