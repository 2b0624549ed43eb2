#pragma once

#include "app/Settings.h"
#include "catalogue/AdjustState.h"
#include "catalogue/TreeBoxHelper.h"
#include "store/DatabaseObjects.h"

#include <QString>

// The state that lives for the whole process: the run directory, the
// database objects (the connection and its two record sets), the helper bound
// to the tree box and the adjust mode. One object owns
// it and hands it to everything that needs it; nothing reaches it globally.
class ApplicationContext {
public:
    explicit ApplicationContext(QString runDirectory);
    ApplicationContext(const ApplicationContext&) = delete;
    ApplicationContext& operator=(const ApplicationContext&) = delete;

    // No trailing separator; every path is built by appending to it.
    const QString& runDirectory() const { return m_runDirectory; }
    // runDirectory/Data: the home of TempPage, pictures and attachments.
    QString dataDirectory() const;
    // runDirectory/Setting.ini.
    Settings settings() const;

    DatabaseObjects& database() { return m_database; }
    TreeBoxHelper& treeBoxHelper() { return m_treeBoxHelper; }
    AdjustState& adjustState() { return m_adjustState; }

private:
    QString m_runDirectory;
    DatabaseObjects m_database;
    TreeBoxHelper m_treeBoxHelper;
    AdjustState m_adjustState;
};
