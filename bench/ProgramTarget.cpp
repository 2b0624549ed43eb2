#include "bench/ProgramTarget.h"

#include "bench/SampleTree.h"
#include "store/Statements.h"

#include <QFileInfo>

#include <cstdio>

bool ProgramTarget::build(const QString& path, const SampleTree& tree) {
    const QFileInfo file(path);
    if (file.suffix() != QLatin1String("db") ||
        !createKnowledgeBase(m_database, file.absolutePath(), file.completeBaseName(), m_view) ||
        !m_database.connection.isConnected())
        return false;
    return m_database.connection.runInTransaction([&] {
        for (int i = 0; i < tree.itemCount(); ++i) {
            const SampleItem item = tree.item(i);
            const QString id = QString::number(item.id);
            const QString parentId = QString::number(item.parentId);
            const QString statement = item.isDirectory
                                          ? insertDirectory(id, parentId, item.title, item.summary,
                                                            item.body, item.timeText)
                                          : insertDocument(id, parentId, item.title, item.summary,
                                                           item.body, item.timeText);
            if (!m_database.connection.execute(statement))
                return false;
            if ((i + 1) % 20000 == 0)
                std::fprintf(stderr, "  %d items inserted\n", i + 1);
        }
        return true;
    });
}

bool ProgramTarget::open(const QString& path) {
    return openKnowledgeBase(m_database, path, m_view);
}

void ProgramTarget::close() {
    m_database.connection.close();
}

qint64 ProgramTarget::indexTopLevel() {
    const DatabaseConnection::ReadSnapshot snapshot(m_database.connection);
    RecordSet& rows = m_database.primaryRecordSet;
    RecordSet& lookAhead = m_database.secondaryRecordSet;
    rows.open(selectTopLevel());
    const int count = rows.recordCount();
    qint64 tally = count;
    for (int i = 0; i < count; ++i) {
        tally += rows.readText(QStringLiteral("NTitle")).size();
        const int id = rows.readInteger(QStringLiteral("ID"));
        tally += id + rows.readInteger(QStringLiteral("NType"));
        lookAhead.open(selectChildren(QString::number(id)));
        const int children = lookAhead.recordCount();
        tally += children;
        if (children > 0) {
            lookAhead.open(selectChildDirectories(QString::number(id)));
            tally += lookAhead.recordCount();
        }
        rows.moveNext();
    }
    return tally;
}

qint64 ProgramTarget::loadChildren(int parentId) {
    const DatabaseConnection::ReadSnapshot snapshot(m_database.connection);
    RecordSet& rows = m_database.primaryRecordSet;
    RecordSet& lookAhead = m_database.secondaryRecordSet;
    rows.open(selectChildren(QString::number(parentId)));
    const int count = rows.recordCount();
    qint64 tally = count;
    for (int i = 0; i < count; ++i) {
        const int id = rows.readInteger(QStringLiteral("ID"));
        tally += id + rows.readText(QStringLiteral("NTitle")).size();
        const int type = rows.readInteger(QStringLiteral("NType"));
        tally += type;
        if (type != 1) {
            lookAhead.open(selectChildren(QString::number(id)));
            tally += lookAhead.recordCount();
        }
        rows.moveNext();
    }
    return tally;
}

bool ProgramTarget::addDocument(int parentId, const SampleItem& item) {
    return ::addDocument(m_database, QString::number(parentId), item.title, item.summary,
                         item.body);
}

bool ProgramTarget::updateText(int id, const QString& body) {
    return m_database.connection.execute(::updateText(QString::number(id), body));
}

bool ProgramTarget::deleteItem(int id) {
    return m_database.connection.execute(::deleteItem(QString::number(id)));
}

qint64 ProgramTarget::search(const QString& keyword) {
    const DatabaseConnection::ReadSnapshot snapshot(m_database.connection);
    RecordSet& rows = m_database.primaryRecordSet;
    rows.open(searchItems(QStringLiteral("NTitle+NKey+NText"), keyword));
    const int count = rows.recordCount();
    qint64 tally = count;
    for (int i = 0; i < count; ++i) {
        tally += rows.readText(QStringLiteral("NTitle")).size();
        tally += rows.readInteger(QStringLiteral("ID"));
        tally += rows.readText(QStringLiteral("NKey")).size();
        tally += rows.readText(QStringLiteral("NText")).size();
        rows.moveNext();
    }
    return tally;
}

QString ProgramTarget::errorText() const {
    return m_database.connection.errorText();
}
