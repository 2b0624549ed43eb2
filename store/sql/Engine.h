#pragma once

#include "store/sql/SqliteDatabase.h"
#include "store/sql/TableCatalogue.h"
#include "store/sql/Translator.h"

#include <QString>
#include <memory>
#include <vector>

namespace sql {

// One open knowledge base file: runs statements of the dialect on it and
// reads the results that record sets ask for. Every operation throws
// SqlFailure when it fails.
class Engine {
public:
    explicit Engine(const QString& file);

    // Parses and runs one statement; each runs as its own transaction unless
    // a transaction is open. A Select is only checked.
    void execute(const QString& statement);
    // Parses a Select and plans its result; refuses other statements.
    SelectPlan planSelect(const QString& statement);
    // The rowids of plan.rows.
    std::vector<qint64> rowids(const SelectPlan& plan);
    // The next page of the rowids of a whole-table plan.
    std::vector<qint64> rowidPage(const SelectPlan& plan, qint64 highestRowid,
                                  const std::vector<qint64>& fetched, qint64 limit);
    TableSize tableSize(const QString& table);
    // One column of one row as text; empty when the row is gone.
    QString readColumn(const QByteArray& readQuery, qint64 rowid);

    // Transactions nest: the outermost is BEGIN IMMEDIATE … COMMIT, inner
    // ones are savepoints. Each begin is followed by one commit or rollback;
    // rollback ends the transaction also when it fails.
    void begin();
    void commit();
    void rollback();

private:
    // SQLite rolls a whole transaction back on some failures; the statements
    // that follow must not then run on their own.
    void checkTransactionAlive() const;
    std::vector<qint64> collect(Query query);

    std::unique_ptr<SqliteDatabase> m_database;
    TableCatalogue m_catalogue;
    int m_transactionDepth = 0;
};

} // namespace sql
