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

    // Reading stretches nest; while one lasts and no transaction is open,
    // the reads share one deferred read transaction, which every write and
    // every begin() ends first and takes up again after.
    void beginReading();
    void endReading();

private:
    // SQLite rolls a whole transaction back on some failures; the statements
    // that follow must not then run on their own.
    void checkTransactionAlive() const;
    std::vector<qint64> collect(Query query);
    // The read transaction of a reading stretch; failures only cost speed,
    // since every read also works on its own.
    void startReadTransaction();
    void finishReadTransaction();

    std::unique_ptr<SqliteDatabase> m_database;
    TableCatalogue m_catalogue;
    int m_transactionDepth = 0;
    int m_readingDepth = 0;
};

} // namespace sql
