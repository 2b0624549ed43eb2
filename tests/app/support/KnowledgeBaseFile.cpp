#include "KnowledgeBaseFile.h"

#include "ShellFixture.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"

#include <QTest>

namespace {

// The database objects on the file for the length of one call.
struct OpenFile {
    explicit OpenFile(const QString& path) {
        if (!objects.connection.open(path, QString()))
            QTest::qFail(qPrintable("cannot open " + path + ": " + objects.connection.errorText()),
                         __FILE__, __LINE__);
        objects.primaryRecordSet.setConnection(&objects.connection);
        objects.secondaryRecordSet.setConnection(&objects.connection);
    }

    DatabaseObjects objects;
};

} // namespace

KnowledgeBaseFile::KnowledgeBaseFile(QString path) : m_path(std::move(path)) {
    createKnowledgeBaseFile(m_path);
}

int KnowledgeBaseFile::addDirectory(int parentId, const QString& name, const QString& body) {
    return add(true, parentId, name, QString(), body);
}

int KnowledgeBaseFile::addDocument(int parentId, const QString& name, const QString& summary,
                                   const QString& body) {
    return add(false, parentId, name, summary, body);
}

int KnowledgeBaseFile::add(bool directory, int parentId, const QString& name,
                           const QString& summary, const QString& body) {
    OpenFile file(m_path);
    const QString parent = QString::number(parentId);
    const bool added = directory ? ::addDirectory(file.objects, parent, name, summary, body)
                                 : ::addDocument(file.objects, parent, name, summary, body);
    if (!added) {
        QTest::qFail(qPrintable("cannot add " + name), __FILE__, __LINE__);
        return 0;
    }
    RecordSet& rows = file.objects.primaryRecordSet;
    rows.open(selectLastId());
    return rows.readInteger(QStringLiteral("ID"));
}

std::optional<KnowledgeBaseFile::Row> KnowledgeBaseFile::row(int id) const {
    OpenFile file(m_path);
    RecordSet& rows = file.objects.primaryRecordSet;
    rows.open(selectItemById(QString::number(id)));
    if (rows.recordCount() <= 0)
        return std::nullopt;
    return Row{rows.readText(QStringLiteral("NFID")),  rows.readText(QStringLiteral("NTitle")),
               rows.readText(QStringLiteral("NKey")),  rows.readText(QStringLiteral("NText")),
               rows.readText(QStringLiteral("NTime")), rows.readInteger(QStringLiteral("NType"))};
}

QList<int> KnowledgeBaseFile::ids() const {
    OpenFile file(m_path);
    RecordSet& rows = file.objects.primaryRecordSet;
    rows.open(selectLastId());
    QList<int> ids;
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        ids.append(rows.readInteger(QStringLiteral("ID")));
        rows.moveNext();
    }
    return ids;
}
