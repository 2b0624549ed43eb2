// lanjian_bench: times the store's work on knowledge bases of 1,000, 10,000
// and 100,000 items against the same work done directly on SQLite, and
// measures how much memory counting the children of many directories takes.

#include "bench/BenchRun.h"
#include "bench/PlainSqliteTarget.h"
#include "bench/ProgramTarget.h"
#include "bench/SampleTree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

namespace {

// One timed operation, as each target does it.
struct Operation {
    QString name;
    // Catalogue statements, nextItemId and writes must stay near the limit
    // and flat in N; the search is reported only.
    bool hasGoal = true;
    // How much work one run is (the rows it reads where that differs
    // between sizes), so that sizes compare per unit.
    int units = 1;
    // The tally of what was read, or 1 for a write that succeeded: the same
    // on both targets, never 0.
    std::function<qint64(BenchTarget&)> run;
    // Puts the knowledge base back after that many runs (not timed).
    std::function<void(BenchTarget&, int runs)> undo = nullptr;
};

struct Figure {
    QString operation;
    int size = 0;
    bool hasGoal = true;
    int units = 1;
    double programMs = 0;
    double limitMs = 0;
    double ratio() const { return programMs / limitMs; }
};

struct BuildFigure {
    int size = 0;
    double programSeconds = 0;
    double limitSeconds = 0;
    double programMb = 0;
    double limitMb = 0;
};

struct Report {
    std::vector<BuildFigure> builds;
    std::vector<Figure> figures;
    QStringList problems;
};

constexpr double ratioGoal = 3.0;
constexpr double flatnessGoal = 2.0;
constexpr double memoryGoalMb = 50.0;

// Times the operation on the program and on plain SQLite, run in turn so
// that both meet the same disk and cache conditions: at least 10 runs each,
// then more until a second has passed or 200 ran. The first run of each is
// not timed: it warms the caches, and its tally tells whether both did the
// same work.
Figure timeOperation(const Operation& operation, int size, BenchTarget& program, BenchTarget& plain,
                     Report& report) {
    const qint64 programTally = operation.run(program);
    const qint64 plainTally = operation.run(plain);
    if (programTally != plainTally || programTally == 0)
        report.problems << QStringLiteral("%1 items, %2: the program read %3, plain SQLite %4 %5")
                               .arg(size)
                               .arg(operation.name)
                               .arg(programTally)
                               .arg(plainTally)
                               .arg(program.errorText());

    std::vector<double> programTimes;
    std::vector<double> plainTimes;
    auto timeOne = [&](BenchTarget& target, std::vector<double>& times) {
        QElapsedTimer timer;
        timer.start();
        operation.run(target);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    };
    QElapsedTimer total;
    total.start();
    while (programTimes.size() < 200 && (programTimes.size() < 10 || total.elapsed() < 1000)) {
        timeOne(program, programTimes);
        timeOne(plain, plainTimes);
    }
    if (operation.undo) {
        operation.undo(program, int(programTimes.size()) + 1);
        operation.undo(plain, int(plainTimes.size()) + 1);
    }
    return Figure{operation.name,    size, operation.hasGoal, operation.units, median(programTimes),
                  median(plainTimes)};
}

double megabytes(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

std::vector<Operation> operationsFor(const SampleTree& tree) {
    // A document whose body each target rewrites with two bodies in turn
    // (SQLite skips a write that changes nothing).
    const SampleItem document = tree.item(tree.bigDirectoryFirstChildId() - 1);
    const std::vector<QString> bodies = {tree.bodyFor(document.id, 1),
                                         tree.bodyFor(document.id, 2)};
    auto turns = std::make_shared<std::map<const BenchTarget*, int>>();
    const SampleItem newDocument = tree.item(tree.itemCount() - 1);
    const int itemCount = tree.itemCount();
    const int bigDirectoryId = tree.bigDirectoryId();
    auto search = [](const QString& keyword) {
        return Operation{.name = QStringLiteral("searchItems NTitle+NKey+NText '%1'").arg(keyword),
                         .hasGoal = false,
                         .run = [keyword](BenchTarget& target) { return target.search(keyword); }};
    };

    return {
        {.name = QStringLiteral("index the top level (%1 directories)").arg(tree.topLevelCount()),
         .run = [](BenchTarget& target) { return target.indexTopLevel(); }},
        {.name = QStringLiteral("load the big directory (%1 children)")
                     .arg(tree.bigDirectoryChildren()),
         .units = tree.bigDirectoryChildren(),
         .run =
             [bigDirectoryId](BenchTarget& target) { return target.loadChildren(bigDirectoryId); }},
        {.name = QStringLiteral("nextItemId + insertDocument"),
         .run =
             [newDocument](BenchTarget& target) {
                 return qint64(target.addDocument(newDocument.parentId, newDocument));
             },
         .undo =
             [itemCount](BenchTarget& target, int runs) {
                 for (int id = itemCount + 1; id <= itemCount + runs; ++id)
                     target.deleteItem(id);
             }},
        {.name = QStringLiteral("updateText (%1-character body)").arg(bodies[0].size()),
         .run =
             [document, bodies, turns](BenchTarget& target) {
                 const int turn = (*turns)[&target]++;
                 return qint64(target.updateText(document.id, bodies[turn % 2]));
             },
         .undo = [document](BenchTarget& target,
                            int) { target.updateText(document.id, document.body); }},
        search(SampleTree::chineseKeyword()),
        search(SampleTree::asciiKeyword()),
    };
}

// Builds both knowledge bases of size items and times every operation on
// them; failures are noted in the report.
void benchmarkSize(const QString& workDirectory, int size, Report& report) {
    progress(QStringLiteral("%1 items: building").arg(size));
    const SampleTree tree(SampleTreeShape::catalogue(size));
    ProgramTarget program;
    PlainSqliteTarget plain;
    const QString programPath = workDirectory + QStringLiteral("/bench-program-%1.db").arg(size);
    const QString plainPath = workDirectory + QStringLiteral("/bench-plain-%1.db").arg(size);
    BuildFigure build{size};
    if (!buildAndOpen(program, programPath, tree, &build.programSeconds, report.problems) ||
        !buildAndOpen(plain, plainPath, tree, &build.limitSeconds, report.problems))
        return;
    build.programMb = megabytes(QFileInfo(programPath).size());
    build.limitMb = megabytes(QFileInfo(plainPath).size());
    report.builds.push_back(build);

    // Let the disk write back what the builds left, so that the timed
    // writes do not wait for it.
    ::sync();
    for (const Operation& operation : operationsFor(tree)) {
        progress(QStringLiteral("%1 items: %2").arg(size).arg(operation.name));
        report.figures.push_back(timeOperation(operation, size, program, plain, report));
    }
    program.close();
    plain.close();
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when unknown.
qint64 statusKilobytes(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Lets the peak resident size start again from the present one.
bool resetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// The growth of the peak resident size, in MB, while the program counts the
// children of 10,000 directories whose bodies are 10 KB each: the catalogue
// must never load a body it does not show.
std::optional<double> memoryGrowthMb(const QString& workDirectory, Report& report) {
    progress(QStringLiteral("memory: building 10,000 directories with 10 KB bodies"));
    const SampleTree tree(SampleTreeShape::directoriesOnly(100, 99, 10 * 1024));
    const QString path = workDirectory + QStringLiteral("/bench-memory.db");
    ProgramTarget program;
    double seconds = 0;
    if (!buildAndOpen(program, path, tree, &seconds, report.problems))
        return std::nullopt;
    if (!resetPeakMemory()) {
        report.problems << QStringLiteral("memory: the peak resident size cannot be reset");
        return std::nullopt;
    }
    progress(QStringLiteral("memory: counting children"));
    const qint64 before = statusKilobytes("VmRSS");
    qint64 tally = program.indexTopLevel();
    for (int id = 1; id <= tree.topLevelCount(); ++id)
        tally += program.loadChildren(id);
    const qint64 peak = statusKilobytes("VmHWM");
    if (tally <= tree.itemCount())
        report.problems
            << QStringLiteral("memory: the children were not read (%1)").arg(program.errorText());
    return double(peak - before) / 1024.0;
}

QString milliseconds(double ms) {
    return QString::number(ms, 'f', ms < 1 ? 3 : ms < 100 ? 2 : 1);
}

QString verdict(bool met) {
    return met ? QStringLiteral("yes") : QStringLiteral("**no**");
}

void printReport(const Report& report, std::optional<double> memoryGrowth) {
    print(
        QStringLiteral("\n| N | build, program (s) | build, plain SQLite (s) | file, program (MB) "
                       "| file, plain SQLite (MB) |\n|---:|---:|---:|---:|---:|\n"));
    for (const BuildFigure& build : report.builds)
        print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
                  .arg(build.size)
                  .arg(build.programSeconds, 0, 'f', 1)
                  .arg(build.limitSeconds, 0, 'f', 1)
                  .arg(build.programMb, 0, 'f', 1)
                  .arg(build.limitMb, 0, 'f', 1));

    print(QStringLiteral("\n| operation | N | program (ms) | plain SQLite (ms) | ratio |\n"
                         "|---|---:|---:|---:|---:|\n"));
    for (const Figure& figure : report.figures)
        print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
                  .arg(figure.operation)
                  .arg(figure.size)
                  .arg(milliseconds(figure.programMs), milliseconds(figure.limitMs))
                  .arg(figure.ratio(), 0, 'f', 2));

    // Goals, for the figures at the largest size against those at the
    // smallest; an operation's name is the same at every size up to "(".
    const auto [smallest, largest] = std::minmax_element(
        report.builds.begin(), report.builds.end(),
        [](const BuildFigure& a, const BuildFigure& b) { return a.size < b.size; });
    if (smallest != report.builds.end() && smallest->size != largest->size) {
        // The limit's own growth shows what the disk and SQLite's page cache
        // add at the larger size, whatever the program does.
        print(QStringLiteral(
                  "\n| operation | ratio at %1 (goal ≤ %2) | program per unit, %1 / %3 (goal ≤ %4) "
                  "| plain SQLite per unit, %1 / %3 | goals met |\n|---|---:|---:|---:|---|\n")
                  .arg(largest->size)
                  .arg(ratioGoal)
                  .arg(smallest->size)
                  .arg(flatnessGoal));
        for (const Figure& large : report.figures) {
            if (large.size != largest->size)
                continue;
            const auto small = std::find_if(
                report.figures.begin(), report.figures.end(), [&](const Figure& figure) {
                    return figure.size == smallest->size &&
                           figure.operation.section(QLatin1Char('('), 0, 0) ==
                               large.operation.section(QLatin1Char('('), 0, 0);
                });
            if (small == report.figures.end())
                continue;
            const double growth =
                (large.programMs / large.units) / (small->programMs / small->units);
            const double limitGrowth =
                (large.limitMs / large.units) / (small->limitMs / small->units);
            print(QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
                      .arg(large.operation)
                      .arg(large.ratio(), 0, 'f', 2)
                      .arg(growth, 0, 'f', 2)
                      .arg(limitGrowth, 0, 'f', 2)
                      .arg(large.hasGoal
                               ? verdict(large.ratio() <= ratioGoal && growth <= flatnessGoal)
                               : QStringLiteral("(no goal)")));
        }
    }

    if (memoryGrowth)
        print(QStringLiteral("\nPeak resident size growth while counting the children of 10,000 "
                             "directories with 10 KB bodies: %1 MB (goal < %2 MB: %3)\n")
                  .arg(*memoryGrowth, 0, 'f', 1)
                  .arg(memoryGoalMb)
                  .arg(verdict(*memoryGrowth < memoryGoalMb)));
    for (const QString& problem : report.problems)
        print(QStringLiteral("\nPROBLEM: %1\n").arg(problem));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const std::optional<BenchOptions> options = parseBenchOptions(
        application, QStringLiteral("Times the knowledge base store against plain SQLite."),
        QStringLiteral("about 800 MB for 100,000 items"));
    if (!options)
        return 2;
    const WorkDirectory work(options->workDirectory);
    if (work.path().isEmpty())
        return 1;
    const QString& workDirectory = work.path();

    Report report;
    for (int size : options->sizes)
        benchmarkSize(workDirectory, size, report);
    const std::optional<double> memoryGrowth = memoryGrowthMb(workDirectory, report);
    printReport(report, memoryGrowth);
    return report.problems.isEmpty() ? 0 : 1;
}
