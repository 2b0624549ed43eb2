#include "store/sql/Engine.h"

#include "store/sql/Parser.h"
#include "store/sql/SqlFailure.h"

#include <limits>

namespace sql {

namespace {

template <class... Visitors> struct Overloaded : Visitors... { using Visitors::operator()...; };
template <class... Visitors> Overloaded(Visitors...) -> Overloaded<Visitors...>;

const QByteArray savepoint = "lanjian_transaction";

} // namespace

Engine::Engine(const QString& file) : m_database(SqliteDatabase::open(file)) {
    try {
        m_catalogue.load(*m_database);
    } catch (const SqlFailure& failure) {
        throw failures::cannotOpen(file, failure.description, failure.native);
    }
}

void Engine::execute(const QString& statement) {
    Statement parsed = parseStatement(statement);
    checkTransactionAlive();
    if (const auto* select = std::get_if<Select>(&parsed)) {
        const SelectPlan plan = sql::planSelect(*select, m_catalogue);
        m_database->query(plan.rows.sql, plan.rows.parameters);
        return;
    }
    auto change = [&] {
        std::visit(Overloaded{
                       [&](const CreateTable& create) {
                           m_catalogue.createTable(*m_database, create, statement);
                       },
                       [&](const Select&) {},
                       [&](const Insert& insert) {
                           const SqliteStatement translated = translateInsert(insert, m_catalogue);
                           m_database->run(translated.sql, translated.parameters);
                       },
                       [&](const Update& update) {
                           const SqliteStatement translated = translateUpdate(update, m_catalogue);
                           m_database->run(translated.sql, translated.parameters);
                       },
                       [&](const Delete& deletion) {
                           const SqliteStatement translated =
                               translateDelete(deletion, m_catalogue);
                           m_database->run(translated.sql, translated.parameters);
                       },
                   },
                   parsed);
    };
    if (m_transactionDepth > 0) {
        change();
        return;
    }
    // A change on its own takes the write lock before it reads anything.
    // Otherwise, with another process writing the same file, its read lock
    // could block that writer while it waits for the writer itself; SQLite
    // then fails it at once instead of letting it wait its turn.
    begin();
    try {
        change();
        commit();
    } catch (...) {
        try {
            rollback();
        } catch (const SqlFailure&) {
            // The change's own failure is the one to report.
        }
        throw;
    }
}

SelectPlan Engine::planSelect(const QString& statement) {
    Statement parsed = parseStatement(statement);
    const auto* select = std::get_if<Select>(&parsed);
    if (!select)
        throw failures::notASelect();
    return sql::planSelect(*select, m_catalogue);
}

std::vector<qint64> Engine::rowids(const SelectPlan& plan) {
    return collect(m_database->query(plan.rows.sql, plan.rows.parameters));
}

std::vector<qint64> Engine::rowidPage(const SelectPlan& plan, qint64 highestRowid,
                                      const std::vector<qint64>& fetched, qint64 limit) {
    if (plan.pagesFollowRowids) {
        const qint64 after = fetched.empty() ? std::numeric_limits<qint64>::min() : fetched.back();
        return collect(m_database->query(plan.rowPage, {highestRowid, after, limit}));
    }
    return collect(m_database->query(plan.rowPage, {highestRowid, limit, qint64(fetched.size())}));
}

std::vector<qint64> Engine::collect(Query query) {
    std::vector<qint64> rowids;
    while (query.next())
        rowids.push_back(query.integer(0));
    return rowids;
}

TableSize Engine::tableSize(const QString& table) {
    const TableDefinition* definition = m_catalogue.find(table);
    if (!definition)
        throw failures::unknownTable(table);
    return m_catalogue.size(*m_database, *definition);
}

QString Engine::readColumn(const QByteArray& readQuery, qint64 rowid) {
    Query query = m_database->query(readQuery, {rowid});
    return query.next() ? query.text(0) : QString();
}

void Engine::begin() {
    checkTransactionAlive();
    if (m_transactionDepth == 0)
        finishReadTransaction();
    m_database->run(m_transactionDepth == 0 ? QByteArray("BEGIN IMMEDIATE")
                                            : "SAVEPOINT " + savepoint);
    ++m_transactionDepth;
}

void Engine::commit() {
    checkTransactionAlive();
    m_database->run(m_transactionDepth == 1 ? QByteArray("COMMIT") : "RELEASE " + savepoint);
    --m_transactionDepth;
    if (m_transactionDepth == 0)
        startReadTransaction();
}

void Engine::rollback() {
    const bool outermost = m_transactionDepth == 1;
    --m_transactionDepth;
    try {
        if (m_database->inTransaction() && outermost) {
            m_database->run("ROLLBACK");
        } else if (m_database->inTransaction()) {
            m_database->run("ROLLBACK TO " + savepoint);
            m_database->run("RELEASE " + savepoint);
        }
    } catch (const SqlFailure&) {
        m_catalogue.load(*m_database);
        if (outermost)
            startReadTransaction();
        throw;
    }
    // A Create Table that was rolled back must leave the catalogue too.
    m_catalogue.load(*m_database);
    if (outermost)
        startReadTransaction();
}

void Engine::beginReading() {
    if (m_readingDepth++ == 0)
        startReadTransaction();
}

void Engine::endReading() {
    if (--m_readingDepth == 0)
        finishReadTransaction();
}

void Engine::startReadTransaction() {
    if (m_readingDepth == 0 || m_transactionDepth > 0 || m_database->inTransaction())
        return;
    try {
        m_database->run("BEGIN DEFERRED");
    } catch (const SqlFailure&) {
    }
}

void Engine::finishReadTransaction() {
    if (m_transactionDepth > 0 || !m_database->inTransaction())
        return;
    try {
        m_database->run("COMMIT");
    } catch (const SqlFailure&) {
        try {
            m_database->run("ROLLBACK");
        } catch (const SqlFailure&) {
        }
    }
}

void Engine::checkTransactionAlive() const {
    if (m_transactionDepth > 0 && !m_database->inTransaction())
        throw failures::transactionLost();
}

} // namespace sql
