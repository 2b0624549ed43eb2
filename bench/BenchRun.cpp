#include "bench/BenchRun.h"

#include "bench/BenchTarget.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void progress(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stderr);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::optional<BenchOptions> parseBenchOptions(const QCoreApplication& application,
                                              const QString& description,
                                              const QString& workDirectorySize) {
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    const QCommandLineOption sizesOption(
        QStringLiteral("sizes"), QStringLiteral("Item counts to build, comma-separated."),
        QStringLiteral("list"), QStringLiteral("1000,10000,100000"));
    const QCommandLineOption workOption(
        QStringLiteral("work-dir"),
        QStringLiteral("Where the knowledge bases are built (%1); default: a temporary "
                       "directory, removed at the end.")
            .arg(workDirectorySize),
        QStringLiteral("directory"));
    parser.addOption(sizesOption);
    parser.addOption(workOption);
    parser.process(application);

    BenchOptions options;
    for (const QString& part : parser.value(sizesOption).split(QLatin1Char(','))) {
        bool isNumber = false;
        const int size = part.trimmed().toInt(&isNumber);
        if (!isNumber || size < 1000) {
            progress(QStringLiteral("--sizes: every size must be a number of at least 1000"));
            return std::nullopt;
        }
        options.sizes.push_back(size);
    }
    options.workDirectory = parser.value(workOption);
    return options;
}

WorkDirectory::WorkDirectory(const QString& given) {
    if (given.isEmpty()) {
        m_temporary.emplace();
        if (m_temporary->isValid())
            m_path = m_temporary->path();
        else
            progress(QStringLiteral("no temporary directory: %1").arg(m_temporary->errorString()));
    } else if (QDir().mkpath(given)) {
        m_path = QDir(given).absolutePath();
    } else {
        progress(QStringLiteral("cannot make %1").arg(given));
    }
}

bool buildAndOpen(BenchTarget& target, const QString& path, const SampleTree& tree, double* seconds,
                  QStringList& problems) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    QElapsedTimer timer;
    timer.start();
    const bool built = target.build(path, tree);
    *seconds = double(timer.elapsed()) / 1000.0;
    target.close();
    if (!built || !target.open(path)) {
        problems << QStringLiteral("%1: %2").arg(path, target.errorText());
        return false;
    }
    return true;
}
