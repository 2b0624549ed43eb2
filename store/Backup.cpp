#include "store/Backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>

namespace {

constexpr qsizetype backupsKept = 7;
constexpr int busyTimeoutMilliseconds = 5000;
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// The knowledge base's name in its backups' names: its file name without
// the extension.
QString backupName(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

// The backups of the knowledge base called name in folder, oldest first.
QStringList backupsOf(const QString& name, const QDir& folder) {
    const QString prefix = name + QLatin1Char('-');
    const QString suffix = QStringLiteral(".db");
    QStringList backups;
    for (const QString& file : folder.entryList(QDir::Files)) {
        if (!file.startsWith(prefix) || !file.endsWith(suffix))
            continue;
        const QString date = file.mid(prefix.size(), file.size() - prefix.size() - suffix.size());
        if (date.size() == dateFormat.size() && QDate::fromString(date, dateFormat).isValid())
            backups << file;
    }
    std::sort(backups.begin(), backups.end()); // the dates sort as texts do
    return backups;
}

QString sqliteReason(sqlite3* handle, int resultCode) {
    return handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                  : QString::fromUtf8(sqlite3_errstr(resultCode));
}

// An absolute path, so that SQLite never reads a name beginning with
// "file:" as a URI with options.
QByteArray sqlitePath(const QString& path) {
    return QFile::encodeName(QFileInfo(path).absoluteFilePath());
}

// Copies the database at source into a new file at target; SQLite's message
// when that fails, or the empty text.
QString copyDatabase(const QString& source, const QString& target) {
    sqlite3* from = nullptr;
    sqlite3* to = nullptr;
    QString reason;
    int rc = sqlite3_open_v2(sqlitePath(source).constData(), &from, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(from, busyTimeoutMilliseconds);
        rc = sqlite3_open_v2(sqlitePath(target).constData(), &to,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            reason = sqliteReason(to, rc);
    } else {
        reason = sqliteReason(from, rc);
    }
    if (reason.isEmpty()) {
        sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
        if (!backup) {
            reason = sqliteReason(to, sqlite3_errcode(to));
        } else {
            // One step copies every page under one read lock: a snapshot.
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE)
                reason = sqliteReason(to, rc);
        }
    }
    sqlite3_close(from);
    if (const int closed = sqlite3_close(to); closed != SQLITE_OK && reason.isEmpty())
        reason = QString::fromUtf8(sqlite3_errstr(closed));
    return reason;
}

} // namespace

QString backupFolder(const QString& runDirectory) {
    return runDirectory + QStringLiteral("/Data/backup");
}

QString backUpKnowledgeBase(const QString& path, const QString& runDirectory, QDate today) {
    const QString folderPath = backupFolder(runDirectory);
    if (!QDir().mkpath(folderPath) || !QFileInfo(folderPath).isDir())
        return QStringLiteral("无法创建备份文件夹【%1】").arg(folderPath);
    QDir folder(folderPath);
    const QString name = backupName(path);
    const QString target = folder.filePath(name + QLatin1Char('-') + today.toString(dateFormat) +
                                           QStringLiteral(".db"));
    if (QFileInfo::exists(target))
        return QString();

    // Written under another name first, so that a failed copy never passes
    // for the day's backup.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QString reason;
    if (const QString message = copyDatabase(path, partial); !message.isEmpty())
        reason = QStringLiteral("无法写入备份文件【%1】（SQLite：%2）").arg(target, message);
    else if (!QFile::rename(partial, target))
        reason = QStringLiteral("无法写入备份文件【%1】").arg(target);
    if (!reason.isEmpty()) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        return reason;
    }

    const QStringList backups = backupsOf(name, folder);
    for (qsizetype i = 0; i + backupsKept < backups.size(); ++i)
        folder.remove(backups[i]);
    return QString();
}
