#pragma once

#include <QString>

// The directory that holds Setting.ini, Data/ and the knowledge bases: the
// program file's directory, as a portable install keeps them beside the
// executable, or the per-user data directory when the program's directory
// cannot be written (an install under /usr). No trailing separator.
QString chooseRunDirectory(const QString& programDirectory);
