#pragma once

#include <QList>
#include <QString>
#include <optional>

// A knowledge base file for one test, created as the program creates one and
// filled through the store's own operations. Every call opens the file on a
// connection of its own and closes it again, so that nothing is held open
// beside the window's connection to the same file.
class KnowledgeBaseFile {
public:
    struct Row {
        QString parentId;
        QString title;
        QString summary;
        QString body;
        QString time;
        int type = -1;
    };

    // Creates the file with its table; it must not exist yet.
    explicit KnowledgeBaseFile(QString path);

    const QString& path() const { return m_path; }

    // Adds a row below parentId (0 for the top level) and returns its ID.
    int addDirectory(int parentId, const QString& name, const QString& body = QString());
    int addDocument(int parentId, const QString& name, const QString& summary = QString(),
                    const QString& body = QString());

    // The stored row with this ID; none when there is no such row.
    std::optional<Row> row(int id) const;
    // The IDs of every stored row, highest first.
    QList<int> ids() const;

private:
    int add(bool directory, int parentId, const QString& name, const QString& summary,
            const QString& body);

    QString m_path;
};
