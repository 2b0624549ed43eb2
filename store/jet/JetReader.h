#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// A field as stored in a Jet table: NULL, an integer (Byte, Integer or Long
// column) or a text (Text or Memo column).
using JetValue = std::variant<std::monostate, qint32, QString>;

struct JetTable {
    // Every column of the table, in the order of its definition.
    QStringList columnNames;
    // The asked-for columns of every row, in the order a table scan of the
    // old engine yields the rows.
    QList<QList<JetValue>> rows;
};

// True when the bytes begin like a Jet database: "Standard Jet DB" at
// offset 4 of the first page (any version).
bool isJetDatabase(QByteArrayView firstBytes);

// Reads the user table tableName of a Jet 4.0 database (Access 2000 format)
// whose whole file is given: its column names, and the columns asked for
// (by name, case-insensitively) of every row. Returns the empty text on
// success, else the reason in words for the user: another Jet version, a
// database password or encryption, no such table or column, a column of a
// type that is not read, or damage. Every offset, page number, length and
// chain in the file is checked, so no file makes it crash or hang.
QString readJetTable(const QByteArray& file, const QString& tableName, const QStringList& columns,
                     JetTable& table);

// The text of a Text or Memo field's bytes: UTF-16LE, or Jet's compressed
// form (0xFF 0xFE, then runs of one-byte characters and of UTF-16LE
// characters, each 0x00 switching between them). False when the bytes
// cannot be such a text.
bool decodeJetText(QByteArrayView bytes, QString& text);
