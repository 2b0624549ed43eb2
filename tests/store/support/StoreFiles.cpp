#include "StoreFiles.h"

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"

#include <QFile>
#include <sqlite3.h>

bool createKnowledgeBaseFile(const QString& path) {
    if (!writeBytes(path, emptyDatabaseImage()))
        return false;
    DatabaseConnection connection;
    return connection.open(path, QString()) && connection.execute(createItemTable());
}

bool openDatabase(DatabaseObjects& database, const QString& path) {
    if (!database.connection.open(path, QString()))
        return false;
    database.primaryRecordSet.setConnection(&database.connection);
    database.secondaryRecordSet.setConnection(&database.connection);
    return true;
}

bool fillKnowledgeBase(DatabaseObjects& database, int rows) {
    QString parent = QStringLiteral("0");
    for (int row = 1; row <= rows; ++row) {
        const QString body =
            QStringLiteral("<p>正文 %1 &amp; 'text'</p>").arg(row).repeated(row % 40);
        const bool added =
            row % 10 == 1
                ? addDirectory(database, "0", QStringLiteral("目录 %1").arg(row), QString(), body)
                : addDocument(database, parent, QStringLiteral("文档 %1").arg(row),
                              QStringLiteral("摘要 %1").arg(row), body);
        if (!added)
            return false;
        if (row % 10 == 1)
            parent = QString::number(row);
    }
    return true;
}

QStringList rowsOf(DatabaseObjects& database) {
    QStringList rows;
    RecordSet& records = database.primaryRecordSet;
    records.open(QStringLiteral("Select * From NKTB Order By ID"));
    for (int n = records.recordCount(), i = 0; i < n; ++i, records.moveNext()) {
        QStringList fields;
        for (const char* column : {"ID", "NFID", "NTitle", "NKey", "NText", "NTime", "NType"})
            fields << records.readText(column);
        rows << fields.join(u'|');
    }
    return rows;
}

QString integrityOf(const QString& path) {
    sqlite3* handle = nullptr;
    QString verdict = QStringLiteral("cannot open");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, SQLITE_OPEN_READWRITE,
                        nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA integrity_check", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            verdict =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        else
            verdict = QString::fromUtf8(sqlite3_errmsg(handle));
        sqlite3_finalize(statement);
    }
    sqlite3_close(handle);
    return verdict;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}
