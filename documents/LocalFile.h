#pragma once

#include <QString>
#include <QUrl>

// The local file path an address names, or the empty text for an address
// that names no local file (web and mail addresses, scripts, every other
// scheme). A file: URL gives its path; a drive path as bodies written on the
// old platform hold it ("C:\docs\report.pdf") gives that path with slashes.
// Relative addresses are expected to be resolved against the page already.
QString localPathOf(const QUrl& address);

// The file that path names as it stands or, failing that, with every
// backslash taken as a separator (old bodies write "img\photo.png"). Empty
// when neither exists.
QString existingFile(const QString& path);

// path with every backslash taken as a separator, cleaned.
QString withSlashSeparators(const QString& path);
