#include "ShellFixture.h"

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseConnection.h"
#include "store/Statements.h"

#include <QFile>
#include <QMenuBar>
#include <QTest>

ShellFixture::ShellFixture() = default;

ShellFixture::~ShellFixture() {
    endWindow();
}

void ShellFixture::writeSettings(const QByteArray& bytes) const {
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ShellFixture::settingsBytes() const {
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool ShellFixture::settingsExist() const {
    return QFile::exists(settingsPath());
}

MainWindow& ShellFixture::createWindow() {
    if (!m_window) {
        m_context = std::make_unique<ApplicationContext>(runDirectory());
        m_window = std::make_unique<MainWindow>(*m_context, m_prompts);
    }
    return *m_window;
}

MainWindow& ShellFixture::showWindow() {
    MainWindow& window = createWindow();
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        QTest::qFail("the main window did not become active", __FILE__, __LINE__);
    return window;
}

void ShellFixture::endWindow() {
    m_window.reset();
    m_context.reset();
}

void ShellFixture::resizeClientArea(QSize clientArea) {
    MainWindow& window = *m_window;
    window.resize(clientArea.width(), clientArea.height() + window.menuBar()->height());
    QCoreApplication::processEvents();
    if (window.clientArea() != clientArea)
        QTest::qFail("the client area did not take the size asked for", __FILE__, __LINE__);
}

void createKnowledgeBaseFile(const QString& path) {
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        file.write(emptyDatabaseImage());
    }
    DatabaseConnection connection;
    QVERIFY(connection.open(path, QString()));
    QVERIFY(connection.execute(createItemTable()));
}
