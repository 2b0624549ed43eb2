#include "app/ApplicationContext.h"

ApplicationContext::ApplicationContext(QString runDirectory)
    : m_runDirectory(std::move(runDirectory)) {}

QString ApplicationContext::dataDirectory() const {
    return m_runDirectory + QStringLiteral("/Data");
}

Settings ApplicationContext::settings() const {
    return Settings(m_runDirectory + QStringLiteral("/Setting.ini"));
}
