#pragma once

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A knowledge base file made from the empty image in a temporary run
// directory (with its Data directory), opened on its own database objects.
// Rows are added through the program's statements with the IDs the test
// chooses.
class TestKnowledgeBase {
public:
    enum class Table { Created, Missing };

    explicit TestKnowledgeBase(Table table = Table::Created) {
        QFile file(path());
        m_ready = QDir().mkpath(dataDirectory()) && file.open(QIODevice::WriteOnly) &&
                  file.write(emptyDatabaseImage()) == emptyDatabaseImage().size();
        file.close();
        m_ready = m_ready && m_database.connection.open(path(), QString());
        m_database.primaryRecordSet.setConnection(&m_database.connection);
        m_database.secondaryRecordSet.setConnection(&m_database.connection);
        if (table == Table::Created)
            m_ready = m_ready && m_database.connection.execute(createItemTable());
    }

    // False when the file could not be made, opened or given its table.
    bool isReady() const { return m_ready; }
    QString runDirectory() const { return m_run.path(); }
    QString dataDirectory() const { return m_run.path() + QStringLiteral("/Data"); }
    QString path() const { return m_run.path() + QStringLiteral("/测试 知识库.db"); }
    DatabaseObjects& database() { return m_database; }

    bool addDirectory(int id, int parentId, const QString& title, const QString& body = {}) {
        return execute(insertDirectory(QString::number(id), QString::number(parentId), title,
                                       QString(), body, creationTimeText()));
    }
    bool addDocument(int id, int parentId, const QString& title, const QString& body = {}) {
        return execute(insertDocument(QString::number(id), QString::number(parentId), title,
                                      QString(), body, creationTimeText()));
    }
    // A row whose NType is neither a directory's nor a document's.
    bool addRowOfType(int id, int parentId, const QString& title, int type) {
        return execute(
            QStringLiteral("Insert Into NKTB (ID,NFID,NTitle,NType) Values (%1,'%2',%3,%4)")
                .arg(id)
                .arg(parentId)
                .arg(quotedText(title))
                .arg(type));
    }
    bool execute(const QString& statement) { return m_database.connection.execute(statement); }

private:
    QTemporaryDir m_run;
    DatabaseObjects m_database;
    bool m_ready = false;
};
