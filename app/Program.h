#pragma once

class QApplication;
class QTranslator;

// Loads Qt's own Simplified Chinese texts (dialog buttons and captions),
// whatever the locale, and installs them. False when they are not installed.
bool installChineseQtTranslations(QTranslator& translator);

// The life of the process after the GUI services are up: the run directory
// and the process-wide state, the main window, the message loop.
int runProgram(QApplication& application);
