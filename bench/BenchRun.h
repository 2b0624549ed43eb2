#pragma once

#include <QEvent>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <vector>

class BenchTarget;
class QCoreApplication;
class SampleTree;

// What the benchmark programs share: their output, the options that say which
// sizes to build where, and building a target's knowledge base.

// The report, on standard output.
void print(const QString& text);
// What is being done, on standard error.
void progress(const QString& text);

double median(std::vector<double> values);

// Counts the paintings of the widget whose events it watches: a time that
// includes laying out and painting a result is taken only when there was one.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

struct BenchOptions {
    std::vector<int> sizes;
    QString workDirectory; // empty: a temporary directory
};

// Reads --sizes (item counts, at least 1000 each) and --work-dir; nullopt,
// after saying why, when they are wrong.
std::optional<BenchOptions> parseBenchOptions(const QCoreApplication& application,
                                              const QString& description,
                                              const QString& workDirectorySize);

// The directory the knowledge bases are built in: the one given (made when
// missing), or a temporary one removed at the end.
class WorkDirectory {
public:
    explicit WorkDirectory(const QString& given);
    // Empty when the directory cannot be had; the reason went to progress.
    const QString& path() const { return m_path; }

private:
    std::optional<QTemporaryDir> m_temporary;
    QString m_path;
};

// Builds the knowledge base of the tree on the target at path, replacing one
// an earlier run left, and opens it afresh; the build's time goes to
// *seconds. False, with the reason added to problems, when that failed.
bool buildAndOpen(BenchTarget& target, const QString& path, const SampleTree& tree, double* seconds,
                  QStringList& problems);
