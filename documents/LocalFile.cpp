#include "documents/LocalFile.h"

#include <QDir>
#include <QFileInfo>

QString localPathOf(const QUrl& address) {
    if (address.isLocalFile())
        return address.toLocalFile();
    // "C:\docs\report.pdf" parses as the scheme "c" with the path "\docs\report.pdf".
    if (address.scheme().size() == 1)
        return address.scheme().toUpper() + u':' + withSlashSeparators(address.path());
    return {};
}

QString withSlashSeparators(const QString& path) {
    return QDir::cleanPath(QString(path).replace(u'\\', u'/'));
}

QString existingFile(const QString& path) {
    if (path.isEmpty())
        return {};
    if (QFileInfo::exists(path))
        return path;
    const QString slashed = withSlashSeparators(path);
    if (slashed != path && QFileInfo::exists(slashed))
        return slashed;
    return {};
}
