#pragma once

#include <QString>

class SampleTree;
struct SampleItem;

// The work that is timed, done on one kind of store: the program's own
// statements through DatabaseConnection, or the plainest way on SQLite
// itself. The reading operations return a tally of what they read (the
// characters of every text plus every integer and count), which is the same
// on every target for the same work.
class BenchTarget {
public:
    virtual ~BenchTarget() = default;

    // Makes a new knowledge base at path (nothing may be there) and fills it
    // with the tree's items in one transaction.
    virtual bool build(const QString& path, const SampleTree& tree) = 0;
    // Opens a knowledge base made by build, with nothing of it cached.
    virtual bool open(const QString& path) = 0;
    virtual void close() = 0;

    // What opening a knowledge base reads: the top level (NTitle, ID, NType)
    // and, for each item, how many children and child directories it has.
    virtual qint64 indexTopLevel() = 0;
    // What opening a directory reads: ID, NTitle and NType of each child,
    // and for each child directory how many children it has.
    virtual qint64 loadChildren(int parentId) = 0;
    // Saves a new document under parentId with the next free ID.
    virtual bool addDocument(int parentId, const SampleItem& item) = 0;
    virtual bool updateText(int id, const QString& body) = 0;
    virtual bool deleteItem(int id) = 0;
    // Finds the rows whose NTitle+NKey+NText holds the keyword, in any
    // letter case, and reads NTitle, ID, NKey and NText of each.
    virtual qint64 search(const QString& keyword) = 0;

    virtual QString errorText() const = 0;
};
