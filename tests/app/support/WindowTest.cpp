#include "tests/app/support/WindowTest.h"

#include <QApplication>
#include <QTest>

void WindowTest::startRun(const QString& fileName) {
    m_shell = std::make_unique<ShellFixture>();
    m_file = std::make_unique<KnowledgeBaseFile>(m_shell->runDirectory() + u'/' + fileName);
}

void WindowTest::showWindow() {
    m_shell->showWindow();
    m_window = std::make_unique<WindowDriver>(*m_shell);
}

void WindowTest::cleanup() {
    QCOMPARE(m_shell->prompts().unusedAnswers(), 0);
    // Every road ends with the busy cursor gone.
    QVERIFY(!QApplication::overrideCursor());
    m_window.reset();
    m_file.reset();
    m_shell.reset();
}
