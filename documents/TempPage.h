#pragma once

#include <QString>

// The one file through which every HTML text is displayed:
// runDirectory/Data/Temp.html.
QString tempPage(const QString& runDirectory);

// Writes the text to file as UTF-8, byte for byte, without a byte-order mark.
// The file is replaced only once the whole text is written, so a failed
// write leaves the previous file as it was. True when the file was replaced.
bool writeTempPage(const QString& file, const QString& text);
