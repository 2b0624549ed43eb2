#pragma once

#include "store/sql/Ast.h"
#include "store/sql/SqliteDatabase.h"

#include <QByteArray>
#include <vector>

namespace sql {

class TableCatalogue;

// A statement for SQLite with the values it takes, numbered ?1, ?2, … in
// the order of parameters. Values of the statement text never become SQL.
struct SqliteStatement {
    QByteArray sql;
    std::vector<SqlValue> parameters;
};

// A result column and the statement that reads it from one row: its one
// parameter is the rowid.
struct ResultColumn {
    QString name;
    QByteArray readQuery;
};

// What a record set runs for a Select.
struct SelectPlan {
    std::vector<ResultColumn> columns;
    // The rowids of the result in its order: without Order By the insertion
    // order; with it the rowid breaks ties, so the order is stable.
    SqliteStatement rows;
    // A Select without Where yields every row of the table.
    bool yieldsWholeTable = false;
    // For such a Select, a page of its rowids. Rows added after the result
    // was made stay out: the first parameter is the table's highest rowid
    // then. In insertion order a page starts after the last rowid fetched
    // (the second parameter), so that deleting rows makes none be skipped;
    // the third is the page size. With Order By, the second is the page size
    // and the third the number of rows fetched.
    QByteArray rowPage;
    bool pagesFollowRowids = false;
    QString table;
};

// The SQLite statements for the statements of the dialect, with the dialect's
// types checked: comparing a text with a number is a type mismatch, "+" joins
// when either side is a text and adds numbers otherwise, "&" joins with NULL
// as the empty text, and like is the engine's own function. Throws
// SqlFailure for an unknown table or column and for a type mismatch.
SelectPlan planSelect(const Select& statement, const TableCatalogue& catalogue);
SqliteStatement translateInsert(const Insert& statement, const TableCatalogue& catalogue);
SqliteStatement translateUpdate(const Update& statement, const TableCatalogue& catalogue);
SqliteStatement translateDelete(const Delete& statement, const TableCatalogue& catalogue);

} // namespace sql
