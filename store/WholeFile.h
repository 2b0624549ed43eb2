#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path by bytes as a whole: they go to a temporary file
// beside it, which is synced and then renamed over the old one, so a failed
// write (a full disk, a read-only directory) leaves the old file as it was.
// False when anything failed.
bool writeWholeFile(const QString& path, const QByteArray& bytes);
