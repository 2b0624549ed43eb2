#include "store/sql/TableCatalogue.h"

#include "store/sql/Parser.h"
#include "store/sql/SqlFailure.h"
#include "store/sql/SqliteDatabase.h"

#include <QSet>
#include <algorithm>

namespace sql {

namespace {

const QString reservedPrefix = QStringLiteral("lanjian_");
const QString sqlitePrefix = QStringLiteral("sqlite_");

// The hidden first column of every table the engine makes: an alias of the
// rowid that only grows (AUTOINCREMENT), so that rows keep their insertion
// order, even through a VACUUM, and a row added later never takes the rowid
// of one deleted before.
const QString rowColumn = QStringLiteral("lanjian_row");

// The engine's own table: one row per user table with its definition in the
// dialect (NULL for a table made by someone else) and its row count.
const QByteArray catalogueTable = "lanjian_tables";

// The columns that get an index, so that look-ups by ID and by parent never
// scan the table.
const QString indexedColumns[] = {QStringLiteral("ID"), QStringLiteral("NFID")};

QString indexName(const QString& table, const QString& column) {
    return QStringLiteral("lanjian_index:%1:%2").arg(table, column);
}

QString countTriggerName(const QString& table, const char* event) {
    return QStringLiteral("lanjian_count_%1:%2").arg(QLatin1String(event), table);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The SQLite column for a column of the dialect. Integers and texts get
// INTEGER and TEXT affinity (a declared "Memo" would have NUMERIC affinity and
// turn the text '0' into a number); CHECK constraints, named after what they
// check and the column, enforce the type, the 32-bit range and the length.
QByteArray physicalColumn(const ColumnDefinition& column) {
    const QByteArray name = quotedSqlName(column.name);
    auto constraint = [&column](const QString& check) {
        return " CONSTRAINT " +
               quotedSqlName(QStringLiteral("lanjian_%1:%2").arg(check, column.name)) + " CHECK ";
    };
    if (column.type.kind == ColumnType::Kind::Integer) {
        return name + " INTEGER" + constraint(QStringLiteral("type")) + "(typeof(" + name +
               ") IN ('integer', 'null'))" + constraint(QStringLiteral("range")) + "(typeof(" +
               name + ") <> 'integer' OR " + name + " BETWEEN -2147483648 AND 2147483647)";
    }
    QByteArray result = name + " TEXT";
    if (column.type.maxLength > 0) {
        result += constraint(QStringLiteral("length%1").arg(column.type.maxLength)) + "(length(" +
                  name + ") <= " + QByteArray::number(column.type.maxLength) + ")";
    }
    return result;
}

// CREATE TABLE for a table of the dialect. Fixed-size columns (integers and
// bounded texts) come first, so that reading them never walks the overflow
// pages of a long Memo; the logical order lives in the definition.
QByteArray physicalTable(const CreateTable& statement) {
    std::vector<ColumnDefinition> columns = statement.columns;
    std::stable_partition(columns.begin(), columns.end(), [](const ColumnDefinition& column) {
        return column.type.kind == ColumnType::Kind::Integer || column.type.maxLength > 0;
    });
    QByteArray sql = "CREATE TABLE " + quotedSqlName(statement.table) + " (" +
                     quotedSqlName(rowColumn) + " INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const ColumnDefinition& column : columns)
        sql += ", " + physicalColumn(column);
    return sql + ")";
}

// The dialect's type for a declared SQLite type, for tables made by someone
// else, after SQLite's own affinity rules: a type naming INT is int; one
// naming CHAR, CLOB, TEXT or MEMO is text, bounded when the declaration gives
// a size ("varchar(255)"); other numbers are int; anything else is text.
ColumnType typeFromDeclaration(const QString& declaration) {
    const QString upper = declaration.toUpper();
    auto mentions = [&upper](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(), [&upper](const char16_t* word) {
            return upper.contains(QStringView(word));
        });
    };
    if (mentions({u"INT"}))
        return {ColumnType::Kind::Integer, 0};
    if (mentions({u"CHAR", u"CLOB", u"TEXT", u"MEMO"})) {
        const qsizetype open = upper.indexOf(u'(');
        const qsizetype close = upper.indexOf(u')', open);
        bool ok = false;
        const int size = open > 0 && close > open
                             ? upper.mid(open + 1, close - open - 1).trimmed().toInt(&ok)
                             : 0;
        return {ColumnType::Kind::Text, ok && size > 0 ? size : 0};
    }
    if (mentions({u"LONG", u"REAL", u"FLOA", u"DOUB", u"NUM", u"DEC", u"BOOL"}))
        return {ColumnType::Kind::Integer, 0};
    return {ColumnType::Kind::Text, 0};
}

struct PhysicalColumn {
    QString name;
    QString declaredType;
};

std::vector<PhysicalColumn> physicalColumns(SqliteDatabase& database, const QString& table) {
    std::vector<PhysicalColumn> columns;
    Query query = database.query("SELECT name, type FROM pragma_table_info(?)", {table});
    while (query.next())
        columns.push_back({query.text(0), query.text(1)});
    return columns;
}

// The columns of the recorded definition, when it still fits the table.
std::vector<ColumnDefinition> recordedColumns(const QString& definition,
                                              const std::vector<PhysicalColumn>& physical) {
    if (definition.isEmpty())
        return {};
    CreateTable statement;
    try {
        Statement parsed = parseStatement(definition);
        if (auto* create = std::get_if<CreateTable>(&parsed))
            statement = std::move(*create);
    } catch (const SqlFailure&) {
        return {};
    }
    const auto hidden = std::count_if(physical.begin(), physical.end(),
                                      [](const PhysicalColumn& c) { return c.name == rowColumn; });
    if (statement.columns.size() + size_t(hidden) != physical.size())
        return {};
    for (const ColumnDefinition& column : statement.columns) {
        const bool present =
            std::any_of(physical.begin(), physical.end(),
                        [&column](const PhysicalColumn& c) { return c.name == column.name; });
        if (!present)
            return {};
    }
    return statement.columns;
}

// How SQL names the rowid: the hidden row column when there is one, else the
// first of SQLite's names for it that no column shadows.
QByteArray rowidName(const std::vector<PhysicalColumn>& physical) {
    auto hasColumn = [&physical](const QString& name) {
        return std::any_of(physical.begin(), physical.end(),
                           [&name](const PhysicalColumn& c) { return sameName(c.name, name); });
    };
    if (hasColumn(rowColumn))
        return quotedSqlName(rowColumn);
    for (const char* candidate : {"rowid", "_rowid_", "oid"}) {
        if (!hasColumn(QLatin1String(candidate)))
            return candidate;
    }
    return "rowid";
}

QSet<QString> schemaObjectNames(SqliteDatabase& database) {
    QSet<QString> names;
    Query query = database.query("SELECT name FROM sqlite_master");
    while (query.next())
        names.insert(query.text(0));
    return names;
}

void ensureCatalogueTable(SqliteDatabase& database, const QSet<QString>& existing) {
    if (!existing.contains(QString::fromLatin1(catalogueTable))) {
        database.run("CREATE TABLE " + catalogueTable +
                     " (name TEXT PRIMARY KEY, definition TEXT, row_count INTEGER NOT NULL)");
    }
}

// Adds what is missing of the row counter, its triggers and the indexes of
// table. A counter that was not kept by both triggers is counted afresh.
void ensureAuxiliaryObjects(SqliteDatabase& database, const QSet<QString>& existing,
                            const TableDefinition& table, bool hasCatalogueRow) {
    const QByteArray name = quotedSqlName(table.name);
    const QByteArray nameText = quotedSqlText(table.name);
    bool recount = !hasCatalogueRow;
    if (!hasCatalogueRow) {
        database.run("INSERT INTO " + catalogueTable + " (name, row_count) VALUES (?, 0)",
                     {table.name});
    }
    const std::pair<const char*, const char*> triggers[] = {{"insert", "+"}, {"delete", "-"}};
    for (const auto& [event, sign] : triggers) {
        const QString trigger = countTriggerName(table.name, event);
        if (existing.contains(trigger))
            continue;
        database.run("CREATE TRIGGER " + quotedSqlName(trigger) + " AFTER " +
                     QByteArray(event).toUpper() + " ON " + name + " BEGIN UPDATE " +
                     catalogueTable + " SET row_count = row_count " + sign +
                     " 1 WHERE name = " + nameText + "; END");
        recount = true;
    }
    if (recount) {
        database.run("UPDATE " + catalogueTable + " SET row_count = (SELECT count(*) FROM " + name +
                         ") WHERE name = ?",
                     {table.name});
    }
    for (const QString& indexed : indexedColumns) {
        const ColumnDefinition* column = table.column(indexed);
        if (!column || existing.contains(indexName(table.name, column->name)))
            continue;
        database.run("CREATE INDEX " + quotedSqlName(indexName(table.name, column->name)) + " ON " +
                     name + " (" + quotedSqlName(column->name) + ")");
    }
}

bool hasAuxiliaryObjects(const QSet<QString>& existing, const TableDefinition& table,
                         bool hasCatalogueRow) {
    if (!hasCatalogueRow)
        return false;
    for (const char* event : {"insert", "delete"}) {
        if (!existing.contains(countTriggerName(table.name, event)))
            return false;
    }
    for (const QString& indexed : indexedColumns) {
        const ColumnDefinition* column = table.column(indexed);
        if (column && !existing.contains(indexName(table.name, column->name)))
            return false;
    }
    return true;
}

} // namespace

bool isReservedName(const QString& name) {
    return name.startsWith(reservedPrefix, Qt::CaseInsensitive) ||
           name.startsWith(sqlitePrefix, Qt::CaseInsensitive);
}

const ColumnDefinition* TableDefinition::column(const QString& name) const {
    for (const ColumnDefinition& column : columns) {
        if (sameName(column.name, name))
            return &column;
    }
    return nullptr;
}

void TableCatalogue::load(SqliteDatabase& database) {
    // The tables known so far stay until the new ones are read in full: a
    // load that fails (a full disk, an I/O error) must not make the tables
    // seem gone.
    const QSet<QString> existing = schemaObjectNames(database);
    QHash<QString, QString> definitions; // table name → recorded definition
    if (existing.contains(QString::fromLatin1(catalogueTable))) {
        Query query = database.query("SELECT name, definition FROM " + catalogueTable);
        while (query.next())
            definitions.insert(query.text(0), query.text(1));
    }
    std::vector<QString> names;
    {
        Query query = database.query("SELECT name FROM pragma_table_list WHERE schema = 'main' "
                                     "AND type = 'table' AND wr = 0 ORDER BY name");
        while (query.next()) {
            if (!isReservedName(query.text(0)))
                names.push_back(query.text(0));
        }
    }
    std::vector<TableDefinition> tables;
    for (const QString& name : names) {
        TableDefinition table;
        table.name = name;
        const std::vector<PhysicalColumn> physical = physicalColumns(database, name);
        table.columns = recordedColumns(definitions.value(name), physical);
        if (table.columns.empty()) {
            for (const PhysicalColumn& column : physical) {
                if (column.name != rowColumn)
                    table.columns.push_back(
                        {column.name, typeFromDeclaration(column.declaredType)});
            }
        }
        table.rowid = rowidName(physical);
        table.prepareColumnReads();
        table.countsRows = hasAuxiliaryObjects(existing, table, definitions.contains(name));
        tables.push_back(std::move(table));
    }
    const bool complete = std::all_of(tables.begin(), tables.end(),
                                      [](const TableDefinition& t) { return t.countsRows; });
    if (!complete && !database.isReadOnly()) {
        database.atomically([&] {
            ensureCatalogueTable(database, existing);
            for (TableDefinition& table : tables) {
                if (table.countsRows)
                    continue;
                ensureAuxiliaryObjects(database, existing, table, definitions.contains(table.name));
                table.countsRows = true;
            }
        });
    }
    m_tables = std::move(tables);
}

void TableDefinition::prepareColumnReads() {
    columnReads.clear();
    for (const ColumnDefinition& column : columns) {
        columnReads.push_back("SELECT " + quotedSqlName(column.name) + " FROM " +
                              quotedSqlName(name) + " WHERE " + rowid + " = ?1");
    }
}

const TableDefinition* TableCatalogue::find(const QString& name) const {
    for (const TableDefinition& table : m_tables) {
        if (sameName(table.name, name))
            return &table;
    }
    return nullptr;
}

void TableCatalogue::createTable(SqliteDatabase& database, const CreateTable& statement,
                                 const QString& text) {
    if (isReservedName(statement.table))
        throw failures::reservedName(statement.table);
    if (find(statement.table))
        throw failures::tableExists(statement.table);
    for (auto column = statement.columns.begin(); column != statement.columns.end(); ++column) {
        if (isReservedName(column->name))
            throw failures::reservedName(column->name);
        const bool repeated = std::any_of(statement.columns.begin(), column,
                                          [&column](const ColumnDefinition& earlier) {
                                              return sameName(earlier.name, column->name);
                                          });
        if (repeated)
            throw failures::duplicateColumn(column->name);
    }
    TableDefinition table;
    table.name = statement.table;
    table.columns = statement.columns;
    table.rowid = quotedSqlName(rowColumn);
    table.prepareColumnReads();
    table.countsRows = true;
    database.atomically([&] {
        database.run(physicalTable(statement));
        const QSet<QString> existing = schemaObjectNames(database);
        ensureCatalogueTable(database, existing);
        // Replaces the row of a table of that name that someone else dropped.
        database.run("INSERT OR REPLACE INTO " + catalogueTable +
                         " (name, definition, row_count) VALUES (?, ?, 0)",
                     {table.name, text});
        ensureAuxiliaryObjects(database, existing, table, true);
    });
    m_tables.push_back(std::move(table));
}

TableSize TableCatalogue::size(SqliteDatabase& database, const TableDefinition& table) const {
    TableSize size;
    {
        Query count =
            table.countsRows
                ? database.query("SELECT row_count FROM " + catalogueTable + " WHERE name = ?",
                                 {table.name})
                : database.query("SELECT count(*) FROM " + quotedSqlName(table.name));
        size.rows = count.next() ? count.integer(0) : 0;
    }
    Query last =
        database.query("SELECT max(" + table.rowid + ") FROM " + quotedSqlName(table.name));
    size.highestRowid = last.next() ? last.integer(0) : 0;
    return size;
}

} // namespace sql
