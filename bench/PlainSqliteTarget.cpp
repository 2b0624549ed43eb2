#include "bench/PlainSqliteTarget.h"

#include "bench/SampleTree.h"
#include "store/Statements.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

// A prepared statement, reset after every use.
class Prepared {
public:
    Prepared(sqlite3* db, const char* sql) {
        sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    }
    ~Prepared() { sqlite3_finalize(m_statement); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    sqlite3_stmt* get() const { return m_statement; }
    bool isValid() const { return m_statement != nullptr; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

void bindText(sqlite3_stmt* statement, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindId(sqlite3_stmt* statement, int index, int id) {
    const QByteArray digits = QByteArray::number(id);
    sqlite3_bind_text(statement, index, digits.constData(), int(digits.size()), SQLITE_TRANSIENT);
}

// The characters of a text column, as the program's callers get it.
qsizetype textLength(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column)).size();
}

// Runs a statement that yields no rows; true when it finished.
bool step(sqlite3_stmt* statement) {
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_reset(statement);
    return done;
}

} // namespace

struct PlainSqliteTarget::Statements {
    explicit Statements(sqlite3* db)
        : topLevel(db, "SELECT NTitle, ID, NType FROM NKTB WHERE NFID='0'"),
          children(db, "SELECT ID, NTitle, NType FROM NKTB WHERE NFID=?"),
          childCount(db, "SELECT count(*) FROM NKTB WHERE NFID=?"),
          childDirectoryCount(db, "SELECT count(*) FROM NKTB WHERE NType=0 AND NFID=?"),
          highestId(db, "SELECT max(ID) FROM NKTB"),
          insertDocument(db, "INSERT INTO NKTB (ID,NFID,NTitle,NKey,NText,NRemark,NTime,NType) "
                             "VALUES (?,?,?,?,?,'',?,1)"),
          insertDirectory(db, "INSERT INTO NKTB (ID,NFID,NTitle,NKey,NText,NTime,NType) "
                              "VALUES (?,?,?,?,?,?,0)"),
          updateText(db, "UPDATE NKTB SET NText=? WHERE ID=?"),
          deleteItem(db, "DELETE FROM NKTB WHERE ID=?"),
          search(db, "SELECT NTitle, ID, NKey, NText FROM NKTB WHERE NTitle||NKey||NText LIKE ?"),
          everyText(db, "SELECT NTitle, NKey, NText FROM NKTB") {}

    bool isValid() const {
        for (const Prepared* statement :
             {&topLevel, &children, &childCount, &childDirectoryCount, &highestId, &insertDocument,
              &insertDirectory, &updateText, &deleteItem, &search, &everyText})
            if (!statement->isValid())
                return false;
        return true;
    }

    Prepared topLevel, children, childCount, childDirectoryCount, highestId, insertDocument,
        insertDirectory, updateText, deleteItem, search, everyText;
};

PlainSqliteTarget::PlainSqliteTarget() = default;

PlainSqliteTarget::~PlainSqliteTarget() {
    close();
}

bool PlainSqliteTarget::run(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    m_error = message ? QByteArray(message) : QByteArray("error");
    sqlite3_free(message);
    return false;
}

bool PlainSqliteTarget::openFile(const QString& path, int flags) {
    close();
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        m_error = sqlite3_errmsg(m_db);
        close();
        return false;
    }
    return run("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
}

bool PlainSqliteTarget::build(const QString& path, const SampleTree& tree) {
    if (QFileInfo::exists(path) || !openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE))
        return false;
    if (!run("CREATE TABLE NKTB (ID INTEGER, NType INTEGER, NTime TEXT, NFID TEXT, NTitle TEXT, "
             "NKey TEXT, NText TEXT, NRemark TEXT);"
             "CREATE INDEX NKTB_ID ON NKTB (ID);"
             "CREATE INDEX NKTB_NFID ON NKTB (NFID);"))
        return false;
    m_statements = std::make_unique<Statements>(m_db);
    if (!m_statements->isValid() || !run("BEGIN"))
        return false;
    for (int i = 0; i < tree.itemCount(); ++i) {
        const SampleItem item = tree.item(i);
        sqlite3_stmt* insert = item.isDirectory ? m_statements->insertDirectory.get()
                                                : m_statements->insertDocument.get();
        sqlite3_bind_int(insert, 1, item.id);
        bindId(insert, 2, item.parentId);
        bindText(insert, 3, item.title);
        bindText(insert, 4, item.summary);
        bindText(insert, 5, item.body);
        bindText(insert, 6, item.timeText);
        if (!step(insert)) {
            m_error = sqlite3_errmsg(m_db);
            run("ROLLBACK");
            return false;
        }
    }
    return run("COMMIT");
}

bool PlainSqliteTarget::open(const QString& path) {
    if (!openFile(path, SQLITE_OPEN_READWRITE))
        return false;
    m_statements = std::make_unique<Statements>(m_db);
    return m_statements->isValid();
}

void PlainSqliteTarget::close() {
    m_statements.reset();
    sqlite3_close(m_db);
    m_db = nullptr;
}

int PlainSqliteTarget::countRows(sqlite3_stmt* statement, int parentId) {
    bindId(statement, 1, parentId);
    const int count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_reset(statement);
    return count;
}

qint64 PlainSqliteTarget::indexTopLevel() {
    sqlite3_stmt* rows = m_statements->topLevel.get();
    qint64 tally = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        ++tally;
        tally += textLength(rows, 0);
        const int id = sqlite3_column_int(rows, 1);
        tally += id + sqlite3_column_int(rows, 2);
        const int children = countRows(m_statements->childCount.get(), id);
        tally += children;
        if (children > 0)
            tally += countRows(m_statements->childDirectoryCount.get(), id);
    }
    sqlite3_reset(rows);
    return tally;
}

qint64 PlainSqliteTarget::loadChildren(int parentId) {
    sqlite3_stmt* rows = m_statements->children.get();
    bindId(rows, 1, parentId);
    qint64 tally = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        ++tally;
        const int id = sqlite3_column_int(rows, 0);
        tally += id + textLength(rows, 1);
        const int type = sqlite3_column_int(rows, 2);
        tally += type;
        if (type != 1)
            tally += countRows(m_statements->childCount.get(), id);
    }
    sqlite3_reset(rows);
    return tally;
}

bool PlainSqliteTarget::addDocument(int parentId, const SampleItem& item) {
    sqlite3_stmt* highest = m_statements->highestId.get();
    const sqlite3_int64 newId =
        (sqlite3_step(highest) == SQLITE_ROW ? sqlite3_column_int64(highest, 0) : 0) + 1;
    sqlite3_reset(highest);

    sqlite3_stmt* insert = m_statements->insertDocument.get();
    sqlite3_bind_int64(insert, 1, newId);
    bindId(insert, 2, parentId);
    bindText(insert, 3, item.title);
    bindText(insert, 4, item.summary);
    bindText(insert, 5, item.body);
    bindText(insert, 6, creationTimeText());
    return step(insert);
}

bool PlainSqliteTarget::updateText(int id, const QString& body) {
    sqlite3_stmt* update = m_statements->updateText.get();
    bindText(update, 1, body);
    sqlite3_bind_int(update, 2, id);
    return step(update);
}

bool PlainSqliteTarget::deleteItem(int id) {
    sqlite3_stmt* remove = m_statements->deleteItem.get();
    sqlite3_bind_int(remove, 1, id);
    return step(remove);
}

qint64 PlainSqliteTarget::search(const QString& keyword) {
    sqlite3_stmt* rows = m_statements->search.get();
    bindText(rows, 1, QLatin1Char('%') + keyword + QLatin1Char('%'));
    qint64 tally = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        ++tally;
        tally += textLength(rows, 0);
        tally += sqlite3_column_int(rows, 1);
        tally += textLength(rows, 2);
        tally += textLength(rows, 3);
    }
    sqlite3_reset(rows);
    return tally;
}

qint64 PlainSqliteTarget::readEveryText() {
    sqlite3_stmt* rows = m_statements->everyText.get();
    qint64 bytes = 0;
    while (sqlite3_step(rows) == SQLITE_ROW)
        for (int column = 0; column < 3; ++column)
            if (sqlite3_column_text(rows, column))
                bytes += sqlite3_column_bytes(rows, column);
    sqlite3_reset(rows);
    return bytes;
}

QString PlainSqliteTarget::errorText() const {
    return QString::fromUtf8(m_error);
}
