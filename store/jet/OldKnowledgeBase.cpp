#include "store/jet/OldKnowledgeBase.h"

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseConnection.h"
#include "store/RecordSet.h"
#include "store/Statements.h"
#include "store/StatusView.h"
#include "store/jet/JetReader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString itemTable = QStringLiteral("NKTB");

// The columns of the item table, in their order.
const QStringList itemColumns = {"ID",    "NFID",    "NTitle", "NKey",
                                 "NText", "NRemark", "NTime",  "NType"};

QString fieldText(const JetValue& value) {
    if (const auto* number = std::get_if<qint32>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    return {};
}

// The row as an Insert Into statement. NULL fields are left out of the
// column list, so they stay NULL; texts are quoted as every statement
// quotes them.
QString insertStatement(const QList<JetValue>& row) {
    QStringList columns;
    QStringList values;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (std::holds_alternative<std::monostate>(row[i]))
            continue;
        columns.append(itemColumns[i]);
        values.append(std::holds_alternative<QString>(row[i]) ? quotedText(fieldText(row[i]))
                                                              : fieldText(row[i]));
    }
    return QStringLiteral("Insert Into ") + itemTable + QStringLiteral(" (") +
           columns.join(QLatin1Char(',')) + QStringLiteral(") Values (") +
           values.join(QLatin1Char(',')) + QLatin1Char(')');
}

// The old table may hold only the item columns: any other column would be
// lost by the conversion.
QString extraColumnIn(const QStringList& columnNames) {
    for (const QString& name : columnNames) {
        if (!itemColumns.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return {};
}

// Reads every row back and compares it with what was written: each field's
// text, and per column how many fields are NULL (the text of NULL is empty).
QString checkWrittenRows(DatabaseConnection& connection, const QList<QList<JetValue>>& rows) {
    RecordSet written;
    written.setConnection(&connection);
    written.open(QStringLiteral("Select * From ") + itemTable);
    if (written.recordCount() != rows.size())
        return QStringLiteral("写入后核对不符（应有 %1 行，读回 %2 行）")
            .arg(rows.size())
            .arg(written.recordCount());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (qsizetype column = 0; column < itemColumns.size(); ++column) {
            if (written.readText(itemColumns[column]) != fieldText(rows[i][column]))
                return QStringLiteral("写入后核对不符（第 %1 行，ID %2，列 %3）")
                    .arg(i + 1)
                    .arg(fieldText(rows[i][0]), itemColumns[column]);
        }
        written.moveNext();
    }
    for (qsizetype column = 0; column < itemColumns.size(); ++column) {
        const auto nulls = std::count_if(rows.begin(), rows.end(), [&](const QList<JetValue>& row) {
            return std::holds_alternative<std::monostate>(row[column]);
        });
        written.open(QStringLiteral("Select * From ") + itemTable + QStringLiteral(" Where ") +
                     itemColumns[column] + QStringLiteral(" Is Null"));
        if (written.recordCount() != nulls)
            return QStringLiteral("写入后核对不符（列 %1 的空值）").arg(itemColumns[column]);
    }
    return {};
}

// Writes the rows into the new knowledge base at path, which holds the
// empty image, and checks them.
QString writeKnowledgeBase(const QString& path, const QList<QList<JetValue>>& rows) {
    DatabaseConnection connection;
    if (!connection.open(path, QString()))
        return QStringLiteral("无法打开新建的知识库：") + connection.errorText();
    const bool written = connection.runInTransaction([&] {
        if (!connection.execute(createItemTable()))
            return false;
        for (const QList<JetValue>& row : rows) {
            if (!connection.execute(insertStatement(row)))
                return false;
        }
        return true;
    });
    if (!written)
        return QStringLiteral("写入新知识库失败：") + connection.errorText();
    // Read in one transaction, so that the file is locked once for all reads.
    QString failure;
    const bool checked = connection.runInTransaction([&] {
        failure = checkWrittenRows(connection, rows);
        return failure.isEmpty();
    });
    if (!checked && failure.isEmpty())
        failure = QStringLiteral("无法读回新知识库：") + connection.errorText();
    return failure;
}

// The first free name of <file>.jet.bak, <file>.jet.1.bak, <file>.jet.2.bak …
QString backupPathFor(const QString& path) {
    for (int number = 0;; ++number) {
        const QString candidate = number == 0 ? path + QStringLiteral(".jet.bak")
                                              : path + QStringLiteral(".jet.%1.bak").arg(number);
        const QFileInfo info(candidate);
        if (!info.exists() && !info.isSymLink())
            return candidate;
    }
}

// Makes the renames in directory last through a crash.
void syncDirectory(const QString& directory) {
#ifdef Q_OS_UNIX
    const int descriptor = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
#else
    Q_UNUSED(directory);
#endif
}

struct Conversion {
    QString failure;    // empty when converted
    QString backupPath; // where the original now is
};

// Reads every row of the item table from the old file.
QString readOldItems(QFile& original, JetTable& table) {
    const QByteArray bytes = original.readAll();
    if (bytes.size() != original.size())
        return QStringLiteral("无法读取文件：") + original.errorString();
    if (const QString failure = readJetTable(bytes, itemTable, itemColumns, table);
        !failure.isEmpty())
        return failure;
    if (const QString extra = extraColumnIn(table.columnNames); !extra.isEmpty())
        return QStringLiteral("表 %1 含有列 %2，新格式中没有它的位置").arg(itemTable, extra);
    return {};
}

Conversion convert(QFile& original) {
    const QString path = original.fileName();
    JetTable table;
    const QString readFailure = readOldItems(original, table);
    original.close(); // before it is renamed
    if (!readFailure.isEmpty())
        return {readFailure, {}};

    // The new knowledge base is made beside the original, so that the
    // renames below stay within one directory and one file system.
    const QFileInfo info(path);
    QTemporaryFile converted(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                             QStringLiteral(".XXXXXX.converting"));
    // The name is given only when the file is linked into the directory,
    // which can fail even after the file was opened.
    const QString convertedPath = converted.open() ? converted.fileName() : QString();
    if (convertedPath.isEmpty())
        return {QStringLiteral("无法在知识库所在的文件夹中新建文件：") + converted.errorString(),
                {}};
    const QByteArray image = emptyDatabaseImage();
    if (converted.write(image) != image.size() || !converted.flush())
        return {QStringLiteral("无法写入新文件：") + converted.errorString(), {}};
    // Whoever could read or write the old file can do so with the new one.
    if (!converted.setPermissions(info.permissions()))
        return {QStringLiteral("无法设置新文件的权限"), {}};
    converted.close();
    if (const QString failure = writeKnowledgeBase(convertedPath, table.rows); !failure.isEmpty())
        return {failure, {}};

    const QString backupPath = backupPathFor(path);
    if (!QFile::rename(path, backupPath))
        return {QStringLiteral("无法把原文件改名为【%1】").arg(QFileInfo(backupPath).fileName()),
                {}};
    if (!QFile::rename(convertedPath, path)) {
        if (!QFile::rename(backupPath, path))
            return {QStringLiteral("无法把新文件放到原处，原文件现名为【%1】")
                        .arg(QFileInfo(backupPath).fileName()),
                    {}};
        return {QStringLiteral("无法把新文件放到原处"), {}};
    }
    converted.setAutoRemove(false);
    syncDirectory(info.absolutePath());
    return {{}, backupPath};
}

} // namespace

OldKnowledgeBaseConversion convertOldKnowledgeBase(const QString& path, StatusView& view,
                                                   QString& report) {
    QFile original(path);
    if (!original.open(QIODevice::ReadOnly) || !isJetDatabase(original.peek(32)))
        return OldKnowledgeBaseConversion::NotOldFormat;

    const QString name = QFileInfo(path).fileName();
    const BusyScope busy(view);
    view.showStatus(QStringLiteral("正在转换旧版知识库【") + name + QStringLiteral("】..."));
    const Conversion conversion = convert(original);
    if (!conversion.failure.isEmpty()) {
        view.showStatus(QStringLiteral("旧版知识库【") + name + QStringLiteral("】转换失败：") +
                        conversion.failure);
        return OldKnowledgeBaseConversion::Failed;
    }
    report = QStringLiteral("已将旧版知识库【") + name +
             QStringLiteral("】转换为新格式，原文件保存为【") +
             QFileInfo(conversion.backupPath).fileName() + QStringLiteral("】");
    return OldKnowledgeBaseConversion::Converted;
}
