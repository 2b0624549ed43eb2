// lanjian_search_bench: times the whole search of the search page, as Enter in
// the search box runs it on the real panel with all three columns chosen (the
// statement, the content filter, filling and painting the result list), over
// knowledge bases of 1,000, 10,000 and 100,000 items (about 3, 30 and 300 MB
// of texts), for a keyword one item in a hundred holds, one in fifty in any
// letter case and one that no item holds. The limit is plain SQLite just
// reading every row's NTitle, NKey and NText: the search must stay within 2×
// of it and linear in the size of the texts.

#include "bench/BenchRun.h"
#include "bench/PlainSqliteTarget.h"
#include "bench/ProgramTarget.h"
#include "bench/SampleTree.h"
#include "search/SearchPanel.h"
#include "store/DatabaseObjects.h"
#include "store/StatusView.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr double ratioGoal = 2.0;
constexpr double linearityGoal = 2.0;
// Timed runs: at least minimumRuns of each, then more until timeBudgetMs has
// passed or maximumRuns ran.
constexpr int minimumRuns = 5;
constexpr int maximumRuns = 50;
constexpr qint64 timeBudgetMs = 3000;

// Shows the messages in a label, painted at once, and the busy cursor, as the
// main window does.
class PaintedStatus : public StatusView {
public:
    explicit PaintedStatus(QLabel& label) : m_label(label) {}
    void showStatus(const QString& text) override {
        m_label.setText(text);
        m_label.repaint();
    }
    void setBusy(bool busy) override {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }

private:
    QLabel& m_label;
};

// Nothing is selected while the search is timed.
class NoActions : public SearchResultActions {
public:
    void showItem(const QString&) override {}
    bool isEditing() const override { return false; }
    void startModifySession(int) override {}
};

// The main window's search page, reduced to the search box, the three column
// boxes, the result list and the message label, driven by the real panel.
class SearchPage {
public:
    explicit SearchPage(DatabaseObjects& database)
        : m_panel(makeControls(), database, m_statusView, m_actions) {
        auto* layout = new QVBoxLayout(&m_window);
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 m_controls.searchBox, m_controls.titleColumn, m_controls.summaryColumn,
                 m_controls.bodyColumn, m_controls.resultList, m_status})
            layout->addWidget(widget);
        m_controls.resultList->viewport()->installEventFilter(&m_paints);
        m_window.resize(300, 700);
        m_window.show();
        QCoreApplication::processEvents();
    }

    // Searches for the keyword in all three columns and lets the window paint
    // the result. Returns the entries found, the no-result entry not counted,
    // or -1 when the search did not run to its end or nothing was painted.
    int search(const QString& keyword) {
        m_controls.searchBox->setText(keyword);
        const int paintsBefore = m_paints.count;
        m_panel.runSearch();
        QCoreApplication::processEvents();
        QListWidget* list = m_controls.resultList;
        const bool found = list->count() > 0 && list->item(0)->text() != SearchPanel::noResultText;
        const QString finalText = found ? u"搜索完毕，共找到 %1 条记录"_s.arg(list->count())
                                        : u"搜索完毕，未搜索到相关资料"_s;
        if (m_status->text() != finalText || m_paints.count == paintsBefore)
            return -1;
        return found ? list->count() : 0;
    }

private:
    const SearchControls& makeControls() {
        m_controls = {new QLineEdit, new QCheckBox(u"文档名称"_s), new QCheckBox(u"摘要"_s),
                      new QCheckBox(u"文档内容"_s), new QListWidget};
        for (QCheckBox* column :
             {m_controls.titleColumn, m_controls.summaryColumn, m_controls.bodyColumn})
            column->setChecked(true);
        return m_controls;
    }

    QWidget m_window;
    SearchControls m_controls;
    QLabel* m_status = new QLabel;
    PaintedStatus m_statusView{*m_status};
    NoActions m_actions;
    PaintCounter m_paints;
    SearchPanel m_panel;
};

struct Figure {
    QString keyword;
    int size = 0;
    double textMb = 0; // NTitle, NKey and NText of every row, in UTF-8
    int entries = 0;
    std::vector<double> searchTimes;
    std::vector<double> limitTimes;
    double searchMs() const { return median(searchTimes); }
    double limitMs() const { return median(limitTimes); }
    double ratio() const { return searchMs() / limitMs(); }
    double searchMsPerMb() const { return searchMs() / textMb; }
    double limitMsPerMb() const { return limitMs() / textMb; }
};

const QStringList& keywords() {
    static const QStringList all = {SampleTree::chineseKeyword(), SampleTree::asciiKeyword(),
                                    SampleTree::absentKeyword()};
    return all;
}

double millisecondsSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

class Bench {
public:
    explicit Bench(const QString& workDirectory) : m_workDirectory(workDirectory) {}

    // Builds both knowledge bases of size items and times the search of each
    // keyword on them.
    void measureSize(int size) {
        progress(u"%1 items: building"_s.arg(size));
        const SampleTree tree(SampleTreeShape::catalogue(size));
        ProgramTarget program;
        PlainSqliteTarget plain;
        double seconds = 0;
        if (!buildAndOpen(program, m_workDirectory + u"/bench-search-program-%1.db"_s.arg(size),
                          tree, &seconds, m_problems) ||
            !buildAndOpen(plain, m_workDirectory + u"/bench-search-plain-%1.db"_s.arg(size), tree,
                          &seconds, m_problems))
            return;
        ::sync();

        SearchPage page(program.database());
        // The first reading of each file only brings it into the caches.
        const double textMb = double(plain.readEveryText()) / (1024.0 * 1024.0);
        for (const QString& keyword : keywords()) {
            progress(u"%1 items: searching for %2"_s.arg(size).arg(keyword));
            Figure figure{keyword, size, textMb, page.search(keyword), {}, {}};
            const int expected = tree.itemsHolding(keyword);
            if (figure.entries != expected)
                m_problems << u"%1 items, %2: %3 entries found, %4 expected (%5)"_s.arg(size)
                                  .arg(keyword)
                                  .arg(figure.entries)
                                  .arg(expected)
                                  .arg(program.errorText());
            QElapsedTimer total;
            total.start();
            while (figure.searchTimes.size() < size_t(maximumRuns) &&
                   (figure.searchTimes.size() < size_t(minimumRuns) ||
                    total.elapsed() < timeBudgetMs)) {
                QElapsedTimer timer;
                timer.start();
                page.search(keyword);
                figure.searchTimes.push_back(millisecondsSince(timer));
                timer.start();
                plain.readEveryText();
                figure.limitTimes.push_back(millisecondsSince(timer));
            }
            m_figures.push_back(figure);
        }
    }

    void printReport() const {
        print(u"\n| keyword | N | texts (MB) | entries | whole search (ms) "
              "| plain SQLite reading the three columns (ms) | ratio (goal ≤ %1) |\n"
              "|---|---:|---:|---:|---:|---:|---:|\n"_s.arg(ratioGoal));
        for (const Figure& figure : m_figures)
            print(u"| %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n"_s.arg(figure.keyword)
                      .arg(figure.size)
                      .arg(figure.textMb, 0, 'f', 1)
                      .arg(figure.entries)
                      .arg(figure.searchMs(), 0, 'f', 2)
                      .arg(figure.limitMs(), 0, 'f', 2)
                      .arg(figure.ratio(), 0, 'f', 2));

        const auto [smallest, largest] =
            std::minmax_element(m_figures.begin(), m_figures.end(),
                                [](const Figure& a, const Figure& b) { return a.size < b.size; });
        if (smallest == m_figures.end() || smallest->size == largest->size)
            return printProblems();
        print(u"\n| keyword | whole search per MB at %1 (ms) | at %2 (ms) | growth (goal ≤ %3) "
              "| plain SQLite growth | goals met |\n|---|---:|---:|---:|---:|---|\n"_s
                  .arg(smallest->size)
                  .arg(largest->size)
                  .arg(linearityGoal));
        for (const QString& keyword : keywords()) {
            const Figure* small = figure(keyword, smallest->size);
            const Figure* large = figure(keyword, largest->size);
            if (!small || !large)
                continue;
            const double growth = large->searchMsPerMb() / small->searchMsPerMb();
            const bool met = growth <= linearityGoal &&
                             std::all_of(m_figures.begin(), m_figures.end(), [&](const Figure& f) {
                                 return f.keyword != keyword || f.ratio() <= ratioGoal;
                             });
            print(u"| %1 | %2 | %3 | %4 | %5 | %6 |\n"_s.arg(keyword)
                      .arg(small->searchMsPerMb(), 0, 'f', 2)
                      .arg(large->searchMsPerMb(), 0, 'f', 2)
                      .arg(growth, 0, 'f', 2)
                      .arg(large->limitMsPerMb() / small->limitMsPerMb(), 0, 'f', 2)
                      .arg(met ? u"yes"_s : u"**no**"_s));
        }
        printProblems();
    }

    bool hasProblems() const { return !m_problems.isEmpty(); }

private:
    const Figure* figure(const QString& keyword, int size) const {
        const auto found = std::find_if(m_figures.begin(), m_figures.end(), [&](const Figure& f) {
            return f.keyword == keyword && f.size == size;
        });
        return found == m_figures.end() ? nullptr : &*found;
    }

    void printProblems() const {
        for (const QString& problem : m_problems)
            print(u"\nPROBLEM: %1\n"_s.arg(problem));
    }

    QString m_workDirectory;
    std::vector<Figure> m_figures;
    QStringList m_problems;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::optional<BenchOptions> options = parseBenchOptions(
        application,
        u"Times the whole search on the search page against plain SQLite reading every row's "
        "three searched columns."_s,
        u"about 800 MB for 100,000 items"_s);
    if (!options)
        return 2;
    const WorkDirectory work(options->workDirectory);
    if (work.path().isEmpty())
        return 1;

    Bench bench(work.path());
    for (int size : options->sizes)
        bench.measureSize(size);
    bench.printReport();
    return bench.hasProblems() ? 1 : 0;
}
