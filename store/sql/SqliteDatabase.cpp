#include "store/sql/SqliteDatabase.h"

#include "store/sql/LikeMatcher.h"
#include "store/sql/SqlFailure.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace sql {

namespace {

// How long a statement waits for another process's lock before it fails.
constexpr int busyTimeoutMilliseconds = 5000;
// Idle prepared statements kept for reuse.
constexpr qsizetype statementCacheSize = 64;

const QByteArray sqliteSignature("SQLite format 3\0", 16);
const QByteArray jetSignature("Standard Jet DB");

// Why the file at path cannot be a knowledge base, or the empty text when its
// first bytes say it is a SQLite database.
QString reasonNotADatabase(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("文件不存在。");
    if (info.isDir())
        return QStringLiteral("这是一个文件夹，不是知识库文件。");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取文件（%1）。").arg(file.errorString());
    const QByteArray header = file.read(100);
    if (header.isEmpty())
        return QStringLiteral("文件是空的，不是知识库文件。");
    if (header.mid(4, jetSignature.size()) == jetSignature)
        return QStringLiteral("这是旧版（Jet 4.0）知识库文件，需要先转换才能打开。");
    if (!header.startsWith(sqliteSignature))
        return QStringLiteral("文件不是知识库文件。");
    return QString();
}

QString reasonFor(int resultCode) {
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("文件正被其他程序使用（已锁定）。");
    case SQLITE_NOTADB:
        return QStringLiteral("文件不是知识库文件。");
    case SQLITE_CORRUPT:
        return QStringLiteral("文件已损坏。");
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("无法打开文件。");
    default:
        return QStringLiteral("知识库引擎出错。");
    }
}

// A file that begins like a SQLite database but that SQLite cannot read as
// one has been damaged; any other file is simply no knowledge base.
bool isDamage(int resultCode, const QString& file) {
    if ((resultCode & 0xff) != SQLITE_CORRUPT && (resultCode & 0xff) != SQLITE_NOTADB)
        return false;
    QFile opened(file);
    return opened.open(QIODevice::ReadOnly) &&
           opened.read(16) == QByteArrayView("SQLite format 3", 16);
}

QString sqliteMessage(sqlite3* handle) {
    return QStringLiteral("（SQLite：%1）").arg(QString::fromUtf8(sqlite3_errmsg(handle)));
}

} // namespace

Query::Query(SqliteDatabase& database, QByteArray sql, sqlite3_stmt* statement)
    : m_database(&database), m_sql(std::move(sql)), m_statement(statement) {}

void Query::bind(const std::vector<SqlValue>& parameters) {
    int index = 0;
    for (const SqlValue& value : parameters) {
        ++index;
        int rc = SQLITE_OK;
        if (const auto* integer = std::get_if<qint64>(&value)) {
            rc = sqlite3_bind_int64(m_statement, index, *integer);
        } else if (const auto* text = std::get_if<QString>(&value)) {
            m_boundTexts.push_back(text->toUtf8());
            const QByteArray& bytes = m_boundTexts.back();
            rc = sqlite3_bind_text64(m_statement, index, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_STATIC,
                                     SQLITE_UTF8);
        } else {
            rc = sqlite3_bind_null(m_statement, index);
        }
        if (rc != SQLITE_OK)
            m_database->fail(rc);
    }
}

Query::Query(Query&& other) noexcept
    : m_database(other.m_database), m_sql(std::move(other.m_sql)),
      m_statement(std::exchange(other.m_statement, nullptr)),
      m_boundTexts(std::move(other.m_boundTexts)) {}

Query::~Query() {
    if (!m_statement)
        return;
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_database->giveBack(m_sql, m_statement);
}

bool Query::next() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_database->fail(rc);
}

bool Query::isNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 Query::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

QString Query::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const QString& file) {
    const QString reason = reasonNotADatabase(file);
    if (!reason.isEmpty())
        throw failures::cannotOpen(file, reason);

    // An absolute path, so that SQLite never reads a name beginning with
    // "file:" as a URI with options.
    const QByteArray path = QFile::encodeName(QFileInfo(file).absoluteFilePath());
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = reasonFor(rc) + sqliteMessage(handle);
        sqlite3_close(handle);
        throw failures::cannotOpen(file, reason, rc);
    }
    std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(handle));
    sqlite3_busy_timeout(handle, busyTimeoutMilliseconds);
    try {
        // The first read: fails for a file that is not a database, and waits
        // for (then gives up on) a lock that another process holds.
        database->run("SELECT count(*) FROM sqlite_master");
        // Nothing may be written to a damaged file: check it before the
        // settings below and the catalogue's indexes touch it.
        if (const QString problem = database->firstProblem(); !problem.isEmpty())
            throw SqlFailure{problem, QString(), SQLITE_CORRUPT};
        if (!database->isReadOnly())
            database->run("PRAGMA journal_mode=DELETE");
        database->run("PRAGMA synchronous=FULL");
        if (const int registered = registerLikeFunction(handle); registered != SQLITE_OK)
            database->fail(registered);
    } catch (const SqlFailure& failure) {
        if (isDamage(failure.native, file))
            throw failures::damagedFile(file,
                                        QStringLiteral("（SQLite：%1）").arg(failure.description));
        throw failures::cannotOpen(file, reasonFor(failure.native) + sqliteMessage(handle),
                                   failure.native);
    }
    return database;
}

QString SqliteDatabase::firstProblem() {
    Query check = query("PRAGMA quick_check(1)");
    if (!check.next())
        return QStringLiteral("检查没有结果");
    const QString verdict = check.text(0);
    return verdict == QLatin1String("ok") ? QString() : verdict;
}

SqliteDatabase::~SqliteDatabase() {
    for (sqlite3_stmt* statement : std::as_const(m_idleStatements))
        sqlite3_finalize(statement);
    sqlite3_close_v2(m_handle);
}

Query SqliteDatabase::query(const QByteArray& sql, const std::vector<SqlValue>& parameters) {
    sqlite3_stmt* statement = m_idleStatements.take(sql);
    if (!statement) {
        const int rc = sqlite3_prepare_v3(m_handle, sql.constData(), int(sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }
    Query query(*this, sql, statement);
    query.bind(parameters);
    return query;
}

void SqliteDatabase::run(const QByteArray& sql, const std::vector<SqlValue>& parameters) {
    Query statement = query(sql, parameters);
    while (statement.next()) {
    }
}

void SqliteDatabase::atomically(const std::function<void()>& work) {
    run("SAVEPOINT lanjian_step");
    try {
        work();
        run("RELEASE lanjian_step");
    } catch (...) {
        // Fails harmlessly when SQLite has already rolled the transaction back.
        sqlite3_exec(m_handle, "ROLLBACK TO lanjian_step; RELEASE lanjian_step", nullptr, nullptr,
                     nullptr);
        throw;
    }
}

bool SqliteDatabase::isReadOnly() const {
    return sqlite3_db_readonly(m_handle, "main") == 1;
}

bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(m_handle) == 0;
}

void SqliteDatabase::fail(int resultCode) const {
    const int extendedCode = sqlite3_extended_errcode(m_handle);
    throw failures::fromSqlite(extendedCode != SQLITE_OK ? extendedCode : resultCode,
                               QString::fromUtf8(sqlite3_errmsg(m_handle)));
}

void SqliteDatabase::giveBack(const QByteArray& sql, sqlite3_stmt* statement) {
    if (m_idleStatements.size() < statementCacheSize && !m_idleStatements.contains(sql))
        m_idleStatements.insert(sql, statement);
    else
        sqlite3_finalize(statement);
}

QByteArray quotedSqlName(const QString& name) {
    QByteArray quoted = name.toUtf8();
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

QByteArray quotedSqlText(const QString& text) {
    QByteArray quoted = text.toUtf8();
    quoted.replace('\'', "''");
    return '\'' + quoted + '\'';
}

} // namespace sql
