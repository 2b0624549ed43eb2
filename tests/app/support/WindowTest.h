#pragma once

#include "tests/app/support/KnowledgeBaseFile.h"
#include "tests/app/support/ShellFixture.h"
#include "tests/app/support/WindowDriver.h"

#include <QObject>
#include <memory>

// The base of the tests that drive the real main window over one knowledge
// base. A test's init() calls startRun, fills m_file and calls showWindow;
// after each test, cleanup checks that every scripted answer was used and
// that the busy cursor is gone, then ends the run.
class WindowTest : public QObject {
    Q_OBJECT

protected:
    // Starts a run whose run directory holds the knowledge base fileName,
    // still empty.
    void startRun(const QString& fileName);
    // Shows the window and makes m_window its driver.
    void showWindow();

    std::unique_ptr<ShellFixture> m_shell;
    std::unique_ptr<KnowledgeBaseFile> m_file;
    std::unique_ptr<WindowDriver> m_window;

private slots:
    void cleanup();
};
