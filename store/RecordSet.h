#pragma once

#include <QString>
#include <memory>

class DatabaseConnection;

// One result of a Select at a time. The row count is exact as soon as the
// statement has run; a column of a row is read from the file only when it is
// asked for, so counting rows or reading titles never loads bodies.
class RecordSet {
public:
    RecordSet();
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    void setConnection(DatabaseConnection* connection);
    // Drops the previous result, then runs the statement; the first row
    // becomes current.
    void open(const QString& statement);
    // Rows of the result; -1 when no result is open (the statement failed,
    // or no connection was set).
    int recordCount() const;
    // The column of the current row as text (integers in decimal, NULL as
    // empty); empty without a current row, an open result or such a column.
    QString readText(const QString& column) const;
    // An integer column of the current row; 0 where readText would be empty.
    int readInteger(const QString& column) const;
    void moveNext();

    struct Result;

private:
    DatabaseConnection* m_connection = nullptr;
    std::unique_ptr<Result> m_result;
};
