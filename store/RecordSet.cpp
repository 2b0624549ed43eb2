#include "store/RecordSet.h"

#include "store/DatabaseConnection.h"
#include "store/sql/ConnectionImpl.h"

#include <limits>

namespace {

// Rows of a whole-table result are fetched in pages that double in size, so
// that reading the first row costs one small page and reading them all costs
// no more than collecting them at once.
constexpr qint64 firstPageSize = 64;

} // namespace

// A result holds the rowids of its rows, never a pending SQLite statement:
// a pending read would hold a lock on the file and delay later writes.
struct RecordSet::Result {
    quint64 generation = 0; // of the connection when the result was made
    sql::SelectPlan plan;
    qint64 count = 0;
    qint64 highestRowid = 0;    // of the table, for a whole-table result
    std::vector<qint64> rowids; // of the rows fetched so far
    size_t current = 0;
    qint64 pageSize = 0; // of the next page to fetch; 0 once every row is fetched

    // The engine of the file the result came from; null once it is closed.
    sql::Engine* engine(DatabaseConnection& connection) const {
        const DatabaseConnection::Impl& state = *connection.d;
        return state.generation == generation ? state.engine.get() : nullptr;
    }

    // Fetches the next page of a whole-table result. Rows added since the
    // result was made stay out; rows deleted since then are missing, and with
    // Order By the rows after them move up.
    void fetchPage(sql::Engine& engine) {
        const qint64 limit = std::min(pageSize, count - qint64(rowids.size()));
        const std::vector<qint64> page = engine.rowidPage(plan, highestRowid, rowids, limit);
        rowids.insert(rowids.end(), page.begin(), page.end());
        const bool complete = qint64(page.size()) < limit || qint64(rowids.size()) >= count;
        pageSize = complete ? 0 : pageSize * 2;
    }
};

RecordSet::RecordSet() = default;

RecordSet::~RecordSet() = default;

void RecordSet::setConnection(DatabaseConnection* connection) {
    m_connection = connection;
    m_result.reset();
}

void RecordSet::open(const QString& statement) {
    m_result.reset();
    if (!m_connection)
        return;
    DatabaseConnection::Impl& connection = *m_connection->d;
    ++connection.statementCount;
    connection.attempt([&] {
        sql::Engine& engine = connection.connectedEngine();
        auto result = std::make_unique<Result>();
        result->generation = connection.generation;
        result->plan = engine.planSelect(statement);
        if (result->plan.yieldsWholeTable) {
            // Exact at once from the table's row counter; rows come as read.
            const sql::TableSize size = engine.tableSize(result->plan.table);
            result->count = size.rows;
            result->highestRowid = size.highestRowid;
            if (result->count > 0) {
                result->pageSize = firstPageSize;
                result->fetchPage(engine);
            }
        } else {
            result->rowids = engine.rowids(result->plan);
            result->count = qint64(result->rowids.size());
        }
        m_result = std::move(result);
    });
}

int RecordSet::recordCount() const {
    return m_result ? int(std::min<qint64>(m_result->count, std::numeric_limits<int>::max())) : -1;
}

QString RecordSet::readText(const QString& column) const {
    if (!m_result || m_result->current >= m_result->rowids.size())
        return QString();
    sql::Engine* engine = m_result->engine(*m_connection);
    if (!engine)
        return QString();
    for (const sql::ResultColumn& candidate : m_result->plan.columns) {
        if (candidate.name.compare(column, Qt::CaseInsensitive) != 0)
            continue;
        try {
            return engine->readColumn(candidate.readQuery, m_result->rowids[m_result->current]);
        } catch (const sql::SqlFailure&) {
            return QString();
        }
    }
    return QString();
}

int RecordSet::readInteger(const QString& column) const {
    return readText(column).toInt();
}

void RecordSet::moveNext() {
    if (!m_result)
        return;
    Result& result = *m_result;
    ++result.current;
    if (result.current < result.rowids.size() || result.pageSize == 0)
        return;
    sql::Engine* engine = result.engine(*m_connection);
    if (!engine)
        return;
    try {
        result.fetchPage(*engine);
    } catch (const sql::SqlFailure&) {
        result.pageSize = 0; // the rows not fetched read empty
    }
}
