#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sql {

class SqliteDatabase;

// A value bound to a statement: NULL, an integer or a text.
using SqlValue = std::variant<std::monostate, qint64, QString>;

// A prepared statement with its values bound, ready to step. It is reset
// when the Query goes, so no statement stays pending behind it.
class Query {
public:
    Query(Query&& other) noexcept;
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query& operator=(Query&&) = delete;

    // Steps to the next row: true when there is one, false at the end.
    // Throws SqlFailure when SQLite fails.
    bool next();
    bool isNull(int column) const;
    qint64 integer(int column) const;
    // Integers in decimal, NULL as the empty text.
    QString text(int column) const;

private:
    friend class SqliteDatabase;
    Query(SqliteDatabase& database, QByteArray sql, sqlite3_stmt* statement);
    void bind(const std::vector<SqlValue>& parameters);

    SqliteDatabase* m_database;
    QByteArray m_sql;
    sqlite3_stmt* m_statement;
    std::vector<QByteArray> m_boundTexts; // bound without copying, so kept here
};

// An open SQLite file with a cache of prepared statements.
class SqliteDatabase {
public:
    // Opens an existing SQLite file for reading and writing (read only when the
    // file is write-protected) and reads it once, so that a file that is not a
    // database or is locked by another process fails here. A damaged file
    // (SQLite's quick check finds a fault) fails too, before anything is
    // written to it. Throws SqlFailure.
    static std::unique_ptr<SqliteDatabase> open(const QString& file);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // The statement for sql, prepared once and reused, with the parameters
    // bound in order. Throws SqlFailure when SQLite cannot prepare it.
    Query query(const QByteArray& sql, const std::vector<SqlValue>& parameters = {});
    // Runs sql to its end.
    void run(const QByteArray& sql, const std::vector<SqlValue>& parameters = {});

    // Runs work inside a savepoint, so that all of it takes effect or none;
    // rethrows what work throws.
    void atomically(const std::function<void()>& work);

    // What SQLite's quick consistency check finds first; empty when the file
    // is sound.
    QString firstProblem();

    bool isReadOnly() const;
    // True inside BEGIN … COMMIT.
    bool inTransaction() const;
    // The failure for a result code that SQLite just returned.
    [[noreturn]] void fail(int resultCode) const;
    sqlite3* handle() const { return m_handle; }

private:
    explicit SqliteDatabase(sqlite3* handle) : m_handle(handle) {}
    friend class Query;
    void giveBack(const QByteArray& sql, sqlite3_stmt* statement);

    sqlite3* m_handle;
    QHash<QByteArray, sqlite3_stmt*> m_idleStatements;
};

// sql quoting of a name and of a text, for the schema statements that cannot
// take bound values.
QByteArray quotedSqlName(const QString& name);
QByteArray quotedSqlText(const QString& text);

} // namespace sql
