#pragma once

#include "store/sql/Ast.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace sql {

class SqliteDatabase;

// A table as the statements see it.
struct TableDefinition {
    QString name;                          // spelled as created
    std::vector<ColumnDefinition> columns; // in the order of Select *
    QByteArray rowid;                      // how SQLite names the row's rowid
    bool countsRows = false;               // the row counter is kept up to date
    // For each column, the SQLite query that reads it from one row by rowid
    // (?1), made once so that opening a result costs no text building.
    std::vector<QByteArray> columnReads;

    // The column of that name, letter case ignored; null when there is none.
    const ColumnDefinition* column(const QString& name) const;
    const QByteArray& columnRead(const ColumnDefinition& column) const {
        return columnReads[std::size_t(&column - columns.data())];
    }
    // Makes columnReads from the columns, the name and the rowid.
    void prepareColumnReads();
};

struct TableSize {
    qint64 rows = 0;         // exact
    qint64 highestRowid = 0; // the highest rowid; later rows get higher ones
};

// The tables of the open file. Beside each table the engine keeps, in objects
// whose names begin with a prefix that statements cannot name: the table's
// definition in the dialect (so that types and column order survive), a row
// counter kept by triggers, and indexes on the columns ID and NFID.
class TableCatalogue {
public:
    // Reads the tables of the file. Where the row counter, its triggers or
    // the indexes are missing (a file made by someone else), adds them, unless
    // the file is read only. A table without a recorded definition takes its
    // types from its declared SQLite types. Throws SqlFailure, and then
    // keeps the tables it knew before.
    void load(SqliteDatabase& database);
    // The table of that name, letter case ignored; null when there is none.
    const TableDefinition* find(const QString& name) const;
    // Makes the table with its type checks, row counter and indexes, all or
    // nothing, and records text as its definition. Throws SqlFailure.
    void createTable(SqliteDatabase& database, const CreateTable& statement, const QString& text);
    TableSize size(SqliteDatabase& database, const TableDefinition& table) const;

private:
    std::vector<TableDefinition> m_tables;
};

// Names that belong to the engine (and to SQLite) and that no statement may use.
bool isReservedName(const QString& name);

} // namespace sql
