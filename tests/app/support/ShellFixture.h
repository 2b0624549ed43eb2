#pragma once

#include "app/ApplicationContext.h"
#include "app/MainWindow.h"
#include "tests/support/ScriptedPrompts.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

// One run of the program in a temporary run directory: the settings file as
// bytes, the process-wide state, scripted prompts and the real main window.
class ShellFixture {
public:
    ShellFixture();
    ~ShellFixture();

    QString runDirectory() const { return m_runDirectory.path(); }
    QString settingsPath() const { return runDirectory() + QStringLiteral("/Setting.ini"); }
    Settings settings() const { return Settings(settingsPath()); }
    void writeSettings(const QByteArray& bytes) const;
    // The file's bytes; empty when there is none.
    QByteArray settingsBytes() const;
    bool settingsExist() const;

    // Creates the window (its creation handler runs) without showing it.
    MainWindow& createWindow();
    // Creates the window if needed, shows it and waits until it is active.
    MainWindow& showWindow();
    // Ends this run's window (as at exit, without a close request) so that
    // the next createWindow is the next start in the same run directory.
    void endWindow();
    // Resizes the window so that its client area is the given size.
    void resizeClientArea(QSize clientArea);

    MainWindow& window() { return *m_window; }
    ApplicationContext& context() { return *m_context; }
    ScriptedPrompts& prompts() { return m_prompts; }

private:
    QTemporaryDir m_runDirectory;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ApplicationContext> m_context;
    std::unique_ptr<MainWindow> m_window;
};

// Writes a knowledge base file with its table, as the program creates one.
void createKnowledgeBaseFile(const QString& path);
