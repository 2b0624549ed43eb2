#include "store/WholeFile.h"

#include <QSaveFile>

bool writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() does not see a failure of the last buffered write, so the
    // buffer is flushed first and a short write abandons the temporary file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
