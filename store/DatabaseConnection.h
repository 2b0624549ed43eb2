#pragma once

#include <QString>
#include <functional>
#include <memory>

class RecordSet;

// The one connection to a knowledge base file. Statements are texts in the
// old engine's SQL dialect; the connection parses each one and runs it on
// SQLite with bound values. No operation fails towards its caller: failures
// become false, and errorText() says what went wrong.
class DatabaseConnection {
public:
    DatabaseConnection();
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Closes the open file, if any, then opens an existing knowledge base for
    // reading and writing. Never creates a file. A non-empty password fails.
    bool open(const QString& file, const QString& password);
    // Closes the open file, if any; may be called any number of times.
    void close();
    // Runs a statement that yields no rows; true when it ran without error,
    // also when no row was affected. Each statement is its own transaction
    // unless it runs inside runInTransaction().
    bool execute(const QString& statement);
    bool isConnected() const;
    // "Description: …\r\nState: …, Native: …, Source: …\r\n" for the last
    // failing operation; empty when the last operation succeeded.
    QString errorText() const;

    // Runs work as one transaction: commits when work returns true, rolls
    // back (and returns false) when it returns false or the commit fails.
    bool runInTransaction(const std::function<bool()>& work);

    // Statements run (execute and RecordSet::open) since this object was made.
    quint64 statementCount() const;

    // While it lives, the reads of the connection share one read transaction:
    // a loop over rows then sees one state of the file and takes its lock once
    // instead of once per read. A write in between still commits on its own,
    // at once. Snapshots nest; without an open file they do nothing.
    class ReadSnapshot {
    public:
        explicit ReadSnapshot(DatabaseConnection& connection);
        ~ReadSnapshot();
        ReadSnapshot(const ReadSnapshot&) = delete;
        ReadSnapshot& operator=(const ReadSnapshot&) = delete;

    private:
        DatabaseConnection& m_connection;
        quint64 m_generation;
    };

    struct Impl;

private:
    friend class RecordSet;
    std::unique_ptr<Impl> d;
};
