#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One row of a sample knowledge base, ready to be inserted.
struct SampleItem {
    int id = 0;
    int parentId = 0; // 0: the top level
    bool isDirectory = false;
    QString title;
    QString summary;
    QString body;
    QString timeText;
};

// What a sample tree looks like: how many items, how the directories nest,
// the size of their bodies.
struct SampleTreeShape {
    int itemCount = 0;
    int topLevelDirectories = 0;
    // Directories directly under each top-level directory.
    int childDirectoriesEach = 0;
    // Documents in the first of those child directories.
    int bigDirectoryChildren = 0;
    // The other items hang below the child directories and their
    // descendants of fewer than maxDepth levels (the top level is level 1),
    // each under one picked at random; an item is a directory with the
    // chance directoryShare, else a document.
    int maxDepth = 4;
    double directoryShare = 0.12;
    int minBodyBytes = 1024;
    int maxBodyBytes = 5 * 1024;

    // The catalogue benchmarked at each size: 300 top-level directories,
    // each holding one directory, so that indexing the top level is the same
    // work at every size; a directory of 1,000 documents (of 400 at 1,000
    // items); the rest nested to 4 levels; bodies of 1-5 KB of mixed
    // Chinese/ASCII HTML.
    static SampleTreeShape catalogue(int itemCount);
    // Directories only, in two levels, all with bodies of bodyBytes.
    static SampleTreeShape directoriesOnly(int topLevel, int childrenEach, int bodyBytes);
};

// A deterministic tree of items: the same shape always gives the same rows.
// The structure is kept; texts are generated when an item is asked for, so
// a tree of hundreds of megabytes of bodies needs no memory for them.
class SampleTree {
public:
    explicit SampleTree(const SampleTreeShape& shape);

    int itemCount() const { return int(m_parentIds.size()); }
    // Items in insertion order: parents before their children, IDs 1, 2, 3 …
    SampleItem item(int index) const;
    int bigDirectoryId() const { return m_shape.topLevelDirectories + 1; }
    int bigDirectoryChildren() const { return m_shape.bigDirectoryChildren; }
    // The first document of the big directory.
    int bigDirectoryFirstChildId() const {
        return m_shape.topLevelDirectories * (1 + m_shape.childDirectoriesEach) + 1;
    }
    int topLevelCount() const { return m_shape.topLevelDirectories; }
    // Generates a body of the shape's size range for id.
    QString bodyFor(int id, std::uint32_t variant = 0) const;

    // Keywords planted in the texts: one Chinese, in one body in a hundred;
    // one ASCII, in one summary in a hundred and, in capitals, in one other
    // body in a hundred (found in any letter case); one held by no text.
    static QString chineseKeyword();
    static QString asciiKeyword();
    static QString absentKeyword();
    // How many items hold the keyword, one of those three.
    int itemsHolding(const QString& keyword) const;

private:
    SampleTreeShape m_shape;
    std::vector<int> m_parentIds;
    std::vector<bool> m_isDirectory;
};
