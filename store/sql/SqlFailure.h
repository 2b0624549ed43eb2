#pragma once

#include <QString>

namespace sql {

// One error of the statement engine as the connection reports it: a
// description, a five-character SQL state and SQLite's result code (0 for the
// engine's own checks). Thrown inside the engine and turned into errorText at
// the connection's boundary.
struct SqlFailure {
    QString description;
    QString state;
    int native = 0;
};

// The error record as errorText shows it, ending in "\r\n".
QString errorRecordText(const SqlFailure& failure);

// True when errorText reports a damaged knowledge base file (damagedFile).
bool isDamagedFileReport(const QString& errorText);

// The failures of the engine, one message for each.
namespace failures {

SqlFailure syntaxError(const QString& detail);
SqlFailure unknownStatement();
SqlFailure unknownTable(const QString& table);
SqlFailure reservedName(const QString& name);
SqlFailure tableExists(const QString& table);
SqlFailure duplicateColumn(const QString& column);
SqlFailure invalidTextSize(int size);
SqlFailure unknownColumn(const QString& column);
SqlFailure valueCountMismatch();
SqlFailure typeMismatch();
// A value that the integer column cannot take as a number.
SqlFailure notAnInteger(const QString& column);
SqlFailure outOfRange(const QString& column);
SqlFailure textTooLong(const QString& column, int maxLength);
SqlFailure notASelect();
SqlFailure noConnection();
SqlFailure passwordNotSupported();
SqlFailure cannotOpen(const QString& file, const QString& reason, int native = 0);
// A file that is a SQLite database but fails its consistency check.
SqlFailure damagedFile(const QString& file, const QString& detail);
SqlFailure connectionChangedInTransaction();
SqlFailure transactionLost();
SqlFailure outOfMemory();
SqlFailure nestedTooDeeply();
// A failure that SQLite reported: its extended result code and message.
SqlFailure fromSqlite(int extendedCode, const QString& message);

} // namespace failures

} // namespace sql
