#include "documents/TempPage.h"

#include "store/WholeFile.h"

QString tempPage(const QString& runDirectory) {
    return runDirectory + QStringLiteral("/Data/Temp.html");
}

bool writeTempPage(const QString& file, const QString& text) {
    return writeWholeFile(file, text.toUtf8());
}
