#include "store/KnowledgeBase.h"

#include "resources/EmptyDatabaseImage.h"
#include "store/Backup.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/jet/OldKnowledgeBase.h"
#include "store/sql/SqlFailure.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <unistd.h>

namespace {

// True when the name holds nothing but half-width and full-width blanks.
bool isBlankName(const QString& name) {
    return std::all_of(name.begin(), name.end(),
                       [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); });
}

// A name that holds a path separator or a NUL, or names a directory step:
// its file would land somewhere other than runDirectory, or nowhere.
bool isIllegalName(const QString& name) {
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
           name.contains(QChar(0)) || name == QLatin1String(".") || name == QLatin1String("..");
}

// Anything at path, a dangling symbolic link included.
bool somethingExistsAt(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Writes bytes as a new file that replaces nothing: fails when anything is
// at path already. A failed write removes what it began.
bool writeNewFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written =
        file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    return true;
}

} // namespace

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool openKnowledgeBase(DatabaseObjects& database, const QString& path, KnowledgeBaseView& view,
                       const QString& runDirectory) {
    // Checking a big file, and the day's backup, take a moment.
    const BusyScope busy(view);
    QString conversionReport;
    if (convertOldKnowledgeBase(path, view, conversionReport) ==
        OldKnowledgeBaseConversion::Failed) {
        // As after any failed open: the old file is closed, nothing is open.
        database.connection.close();
        return false;
    }
    if (!database.connection.open(path, QString())) {
        // A damaged file is the one failed open worth telling the user about:
        // it will not open however often it is tried.
        if (sql::isDamagedFileReport(database.connection.errorText()))
            view.showStatus(QStringLiteral("知识库【") + fileNameOf(path) +
                            QStringLiteral("】已损坏，无法打开"));
        return false;
    }
    database.primaryRecordSet.setConnection(&database.connection);
    database.secondaryRecordSet.setConnection(&database.connection);
    view.showKnowledgeBaseName(fileNameOf(path));
    view.indexCatalogue();
    if (!conversionReport.isEmpty())
        view.showStatus(conversionReport);
    if (!runDirectory.isEmpty()) {
        const QString reason = backUpKnowledgeBase(path, runDirectory, QDate::currentDate());
        if (!reason.isEmpty())
            view.showStatus(QStringLiteral("备份知识库失败：") + reason);
    }
    return true;
}

bool openStartupKnowledgeBase(DatabaseObjects& database, const QString& runDirectory,
                              const QString& settingValue, KnowledgeBaseView& view) {
    return openKnowledgeBase(database, runDirectory + QLatin1Char('/') + settingValue, view,
                             runDirectory);
}

bool createKnowledgeBase(DatabaseObjects& database, const QString& runDirectory,
                         const QString& name, KnowledgeBaseView& view) {
    if (isBlankName(name))
        return false;
    const QString fileName = name + QStringLiteral(".db");
    const QString creationFailed =
        QStringLiteral("知识库【") + fileName + QStringLiteral("】创建失败！请检查文件名是否非法");
    if (isIllegalName(name)) {
        view.showStatus(creationFailed);
        return false;
    }
    const QString path = runDirectory + QLatin1Char('/') + fileName;
    if (somethingExistsAt(path)) {
        view.showStatus(QStringLiteral("知识库【") + fileName +
                        QStringLiteral("】已存在，创建失败！"));
        return false;
    }
    if (!writeNewFile(path, emptyDatabaseImage())) {
        view.showStatus(creationFailed);
        return false;
    }
    openKnowledgeBase(database, path, view);
    if (!database.connection.execute(createItemTable()))
        view.showStatus(QStringLiteral("【添加目录失败】") + database.connection.errorText());
    return true;
}
