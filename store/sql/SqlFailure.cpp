#include "store/sql/SqlFailure.h"

#include <sqlite3.h>

namespace sql {

namespace {

const QString sourceName = QStringLiteral("岚笺知识库引擎");

// The SQL state of a damaged file ("data corrupted"), which no other failure
// uses, so that a report can be told apart by it.
const char damagedFileState[] = "XX001";

// The prefix of the CHECK constraints that enforce the column types; the
// constraint name carries the kind of check and the column.
const QString checkFailedPrefix = QStringLiteral("CHECK constraint failed: lanjian_");

SqlFailure make(const QString& description, const char* state, int native = 0) {
    return SqlFailure{description, QString::fromLatin1(state), native};
}

} // namespace

QString errorRecordText(const SqlFailure& failure) {
    return QStringLiteral("Description: %1\r\nState: %2, Native: %3, Source: %4\r\n")
        .arg(failure.description, failure.state, QString::number(failure.native), sourceName);
}

bool isDamagedFileReport(const QString& errorText) {
    return errorText.contains(QStringLiteral("State: %1,").arg(QLatin1String(damagedFileState)));
}

namespace failures {

SqlFailure syntaxError(const QString& detail) {
    return make(QStringLiteral("SQL 语句有语法错误：%1").arg(detail), "42000");
}

SqlFailure unknownStatement() {
    return make(
        QStringLiteral("无效的 SQL 语句；应为 'CREATE TABLE'、'DELETE'、'INSERT'、'SELECT' 或 "
                       "'UPDATE'。"),
        "42000");
}

SqlFailure unknownTable(const QString& table) {
    return make(QStringLiteral("找不到表 '%1'。请确定它存在，并且名称拼写正确。").arg(table),
                "42S02");
}

SqlFailure reservedName(const QString& name) {
    return make(QStringLiteral("名称 '%1' 是知识库引擎的保留名称，不能使用。").arg(name), "42000");
}

SqlFailure tableExists(const QString& table) {
    return make(QStringLiteral("表 '%1' 已存在。").arg(table), "42S01");
}

SqlFailure duplicateColumn(const QString& column) {
    return make(QStringLiteral("字段 '%1' 在语句中出现了不止一次。").arg(column), "42S21");
}

SqlFailure invalidTextSize(int size) {
    return make(QStringLiteral("字段大小 %1 无效：文本字段的大小应在 1 到 255 之间。").arg(size),
                "42000");
}

SqlFailure unknownColumn(const QString& column) {
    return make(QStringLiteral("找不到字段 '%1'。").arg(column), "42S22");
}

SqlFailure valueCountMismatch() {
    return make(QStringLiteral("查询值的数目与目标字段的数目不同。"), "21S01");
}

SqlFailure typeMismatch() {
    return make(QStringLiteral("标准表达式中数据类型不匹配。"), "22018");
}

SqlFailure notAnInteger(const QString& column) {
    return make(QStringLiteral("标准表达式中数据类型不匹配。字段 '%1' 只能存放整数。").arg(column),
                "22018");
}

SqlFailure outOfRange(const QString& column) {
    return make(
        QStringLiteral("字段 '%1' 的数值溢出：它只能存放 -2147483648 到 2147483647 的整数。")
            .arg(column),
        "22003");
}

SqlFailure textTooLong(const QString& column, int maxLength) {
    return make(QStringLiteral("字段 '%1' 太小，不能接受所要添加的数据：它最多存放 %2 个字符。")
                    .arg(column)
                    .arg(maxLength),
                "22001");
}

SqlFailure notASelect() {
    return make(QStringLiteral("记录集只能打开 SELECT 语句。"), "42000");
}

SqlFailure noConnection() {
    return make(QStringLiteral("没有打开的知识库：请先打开一个知识库。"), "08003");
}

SqlFailure passwordNotSupported() {
    return make(QStringLiteral("知识库不支持密码：打开时不能给出密码。"), "08001");
}

SqlFailure cannotOpen(const QString& file, const QString& reason, int native) {
    return make(QStringLiteral("无法打开知识库 '%1'：%2").arg(file, reason), "08001", native);
}

SqlFailure damagedFile(const QString& file, const QString& detail) {
    return make(QStringLiteral("无法打开知识库 '%1'：文件已损坏。%2").arg(file, detail),
                damagedFileState, SQLITE_CORRUPT);
}

SqlFailure connectionChangedInTransaction() {
    return make(QStringLiteral("事务进行中知识库被关闭或更换，修改没有保存。"), "25000");
}

SqlFailure transactionLost() {
    return make(QStringLiteral("事务已被知识库引擎中止，所做的修改已撤销。"), "40000");
}

SqlFailure outOfMemory() {
    return make(QStringLiteral("内存不足，操作没有完成。"), "HY001");
}

SqlFailure nestedTooDeeply() {
    return make(QStringLiteral("SQL 语句有语法错误：表达式嵌套太深。"), "42000");
}

SqlFailure fromSqlite(int extendedCode, const QString& message) {
    if (extendedCode == SQLITE_CONSTRAINT_CHECK && message.startsWith(checkFailedPrefix)) {
        // "lanjian_<check>:<column>", see the column constraints of TableCatalogue.
        const QString check = message.mid(checkFailedPrefix.size());
        const qsizetype colon = check.indexOf(u':');
        const QString kind = check.left(colon);
        const QString column = check.mid(colon + 1);
        SqlFailure failure;
        if (kind == u"type")
            failure = notAnInteger(column);
        else if (kind == u"range")
            failure = outOfRange(column);
        else if (kind.startsWith(u"length"))
            failure = textTooLong(column, kind.mid(6).toInt());
        else
            failure = make(message, "23000");
        failure.native = extendedCode;
        return failure;
    }
    QString description;
    const char* state = "HY000";
    switch (extendedCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        description = QStringLiteral("知识库文件正被其他程序使用，等待超时。");
        state = "HYT00";
        break;
    case SQLITE_READONLY:
        description = QStringLiteral("知识库文件是只读的，不能修改。");
        break;
    case SQLITE_FULL:
        description = QStringLiteral("磁盘已满，修改没有保存。");
        break;
    case SQLITE_IOERR:
        description = QStringLiteral("读写知识库文件时出错。");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        description = QStringLiteral("知识库文件已损坏或不是数据库。");
        break;
    case SQLITE_CONSTRAINT:
        description = QStringLiteral("数据违反了表的约束。");
        state = "23000";
        break;
    case SQLITE_TOOBIG:
        description = QStringLiteral("文本太大，知识库引擎无法存放。");
        state = "22001";
        break;
    default:
        description = QStringLiteral("知识库引擎出错。");
        break;
    }
    return make(QStringLiteral("%1（SQLite：%2）").arg(description, message), state, extendedCode);
}

} // namespace failures

} // namespace sql
