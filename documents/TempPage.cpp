#include "documents/TempPage.h"

#include <QSaveFile>

QString tempPage(const QString& runDirectory) {
    return runDirectory + QStringLiteral("/Data/Temp.html");
}

bool writeTempPage(const QString& file, const QString& text) {
    QSaveFile page(file);
    if (!page.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (page.write(bytes) != bytes.size())
        return false;
    return page.commit();
}
