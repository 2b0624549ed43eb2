#include "app/RunDirectory.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// Writable means a file can be made there; the permission bits alone do not
// tell (read-only mounts, access control lists).
bool canWriteInto(const QString& directory) {
    if (!QFileInfo(directory).isDir())
        return false;
    QTemporaryFile probe(directory + QStringLiteral("/.lanjian-write-test-XXXXXX"));
    return probe.open();
}

} // namespace

QString chooseRunDirectory(const QString& programDirectory) {
    const QString programPath = QDir::cleanPath(programDirectory);
    if (canWriteInto(programPath))
        return programPath;
    const QString userPath =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(userPath);
    return userPath;
}
