// lanjian_widget_bench: times the catalogue on the real tree box (indexing the
// top level, opening a directory of 1,000 and one of 10,000 children, and
// reloading each) against the store-only work of the same statements, and
// shows whether the widgets stay linear in the number of children.

#include "bench/BenchRun.h"
#include "bench/ProgramTarget.h"
#include "catalogue/AdjustState.h"
#include "catalogue/CatalogueHandlers.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/TreeBox.h"
#include "catalogue/TreeBoxHelper.h"
#include "documents/DocumentView.h"
#include "documents/HtmlView.h"
#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int topLevelCount = 10000;
constexpr int smallDirectoryChildren = 1000;
constexpr int bigDirectoryChildren = 10000;
// Timed runs of each operation; the first run before them only warms up.
constexpr int runs = 11;
constexpr double ratioGoal = 3.0;
constexpr double linearityGoal = 2.0;

// Keeps the last message, which tells whether an operation ran to its end.
class RecordingStatus : public StatusView {
public:
    void showStatus(const QString& text) override { lastText = text; }
    void setBusy(bool) override {}
    QString lastText;
};

// Closed book, open book and page as plain squares of colour: what they
// show costs the tree box nothing extra.
QList<QIcon> plainPictures() {
    QList<QIcon> pictures;
    for (const QColor colour : {QColor(Qt::darkYellow), QColor(Qt::yellow), QColor(Qt::white)}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.fillRect(2, 1, 12, 14, colour);
        painter.setPen(Qt::black);
        painter.drawRect(2, 1, 11, 13);
        pictures << QIcon(pixmap);
    }
    return pictures;
}

QString directoryTitle(int children) {
    return u"大目录（%1项）"_s.arg(children);
}

// Fills an empty item table in one transaction, through the program's own
// statements. The top level is mostly documents; every tenth item is a
// directory, every second of those has a document inside and every fourth
// a directory as well. The last two top-level items are the directories of
// smallDirectoryChildren and bigDirectoryChildren, whose children follow the
// same pattern one level down.
bool fillKnowledgeBase(DatabaseObjects& database) {
    // The table starts empty and every new ID is the highest + 1.
    int lastId = 0;
    auto add = [&](int parentId, bool isDirectory, const QString& title) {
        const QString summary = title + u" 要点"_s;
        const QString body =
            u"<p>"_s + title + u"：学而时习之，不亦说乎。"_s.repeated(12) + u"</p>"_s;
        const QString parent = QString::number(parentId);
        const bool added = isDirectory ? addDirectory(database, parent, title, summary, body)
                                       : addDocument(database, parent, title, summary, body);
        return added ? ++lastId : -1;
    };
    auto addLevel = [&](int parentId, int count) {
        for (int i = 0; i < count; ++i) {
            const bool isDirectory = i % 10 == 9;
            const QString title = (isDirectory ? u"目录 %1"_s : u"文档 %1"_s).arg(i + 1);
            const int id = add(parentId, isDirectory, title);
            if (id < 0)
                return false;
            if (isDirectory && i % 20 == 19 && add(id, false, title + u" 的笔记"_s) < 0)
                return false;
            if (isDirectory && i % 40 == 39 && add(id, true, title + u" 的分目录"_s) < 0)
                return false;
        }
        return true;
    };
    return database.connection.runInTransaction([&] {
        if (!addLevel(0, topLevelCount - 2))
            return false;
        for (const int children : {smallDirectoryChildren, bigDirectoryChildren}) {
            const int id = add(0, true, directoryTitle(children));
            if (id < 0 || !addLevel(id, children))
                return false;
        }
        return true;
    });
}

// Makes the knowledge base at path from the empty image and fills it.
bool buildKnowledgeBase(DatabaseObjects& database, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::NewOnly) || file.write(emptyDatabaseImage()) < 0)
        return false;
    file.close();
    if (!database.connection.open(path, QString()))
        return false;
    database.primaryRecordSet.setConnection(&database.connection);
    database.secondaryRecordSet.setConnection(&database.connection);
    return database.connection.execute(createItemTable()) && fillKnowledgeBase(database);
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The main window's catalogue, reduced to the tree box, the view box and the
// parts that drive them, wired as the main window wires them.
class CatalogueWindow {
public:
    CatalogueWindow(DatabaseObjects& database, const QString& runDirectory)
        : m_tree(new QTreeWidget), m_viewBox(new HtmlView),
          m_treeBox(*new TreeBox(*m_tree, plainPictures())),
          m_documentView(runDirectory, database.primaryRecordSet, *m_viewBox),
          m_catalogue(m_helper, database, m_status),
          m_handlers(m_helper, m_catalogue, m_adjust, m_documentView) {
        auto* layout = new QHBoxLayout(&m_window);
        layout->addWidget(m_tree, 1);
        layout->addWidget(m_viewBox, 2);
        m_helper.bind(&m_window, &m_treeBox);
        QObject::connect(&m_treeBox, &TreeBox::itemExpanding, &m_treeBox, [this](int index) {
            m_expandedIndex = index;
            m_handlers.itemExpanding(index);
        });
        QObject::connect(&m_treeBox, &TreeBox::itemCollapsing, &m_treeBox,
                         [this](int index) { m_handlers.itemCollapsing(index); });
        QObject::connect(&m_treeBox, &TreeBox::selectionChanged, &m_treeBox,
                         [this] { m_handlers.selectionChanged(); });
        m_tree->viewport()->installEventFilter(&m_paints);
        m_window.resize(900, 700);
        m_window.show();
        QCoreApplication::processEvents();
    }

    TreeBox& treeBox() { return m_treeBox; }
    CatalogueTree& catalogue() { return m_catalogue; }
    const QString& lastStatus() const { return m_status.lastText; }
    // The index the last opening reported.
    int expandedIndex() const { return m_expandedIndex; }

    QTreeWidgetItem* topLevelItem(const QString& text) const {
        const QList<QTreeWidgetItem*> found = m_tree->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }
    void expand(QTreeWidgetItem* item) { m_tree->expandItem(item); }
    // Lets the tree lay out and paint what the last operation changed; false
    // when nothing was painted.
    bool settle() {
        const int before = m_paints.count;
        QCoreApplication::processEvents();
        return m_paints.count > before;
    }

private:
    PaintCounter m_paints;
    QWidget m_window;
    QTreeWidget* m_tree;
    HtmlView* m_viewBox;
    TreeBox& m_treeBox;
    RecordingStatus m_status;
    TreeBoxHelper m_helper;
    AdjustState m_adjust;
    DocumentView m_documentView;
    CatalogueTree m_catalogue;
    CatalogueHandlers m_handlers;
    int m_expandedIndex = -1;
};

struct Figure {
    QString operation;
    int children = 0;
    std::vector<double> widgetTimes;
    std::vector<double> storeTimes;
    double widgetsMs() const { return median(widgetTimes); }
    double storeMs() const { return median(storeTimes); }
    double ratio() const { return widgetsMs() / storeMs(); }
    double widgetsPerChildUs() const { return widgetsMs() * 1000.0 / children; }
    double storePerChildUs() const { return storeMs() * 1000.0 / children; }
};

class Bench {
public:
    Bench(CatalogueWindow& window, ProgramTarget& store) : m_window(window), m_store(store) {}

    void run() {
        for (int run = 0; run <= runs; ++run) {
            const bool timed = run > 0;
            progress(timed ? u"run %1 of %2"_s.arg(run).arg(runs) : u"warming up"_s);
            // Every run starts from a freshly opened knowledge base.
            m_window.treeBox().clearItems();
            m_window.settle();
            measureIndex(timed);
            for (const int children : {smallDirectoryChildren, bigDirectoryChildren})
                measureDirectory(children, timed);
        }
    }

    void printReport() const {
        print(u"\n| operation | children | widgets (ms) | store only (ms) | ratio (goal ≤ %1) "
              "| widgets per child (µs) | store only per child (µs) |\n"
              "|---|---:|---:|---:|---:|---:|---:|\n"_s.arg(ratioGoal));
        for (const Figure& figure : m_figures)
            print(u"| %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n"_s.arg(figure.operation)
                      .arg(figure.children)
                      .arg(figure.widgetsMs(), 0, 'f', 2)
                      .arg(figure.storeMs(), 0, 'f', 2)
                      .arg(figure.ratio(), 0, 'f', 2)
                      .arg(figure.widgetsPerChildUs(), 0, 'f', 2)
                      .arg(figure.storePerChildUs(), 0, 'f', 2));

        print(u"\n| operation | widgets per child at %1 (µs) | at %2 (µs) | growth (goal ≤ %3) "
              "| store only growth | goals met |\n|---|---:|---:|---:|---:|---|\n"_s
                  .arg(smallDirectoryChildren)
                  .arg(bigDirectoryChildren)
                  .arg(linearityGoal));
        for (const QString& operation : {u"expandItem → loadChildren"_s, u"loadChildren again"_s}) {
            const Figure& small = figure(operation, smallDirectoryChildren);
            const Figure& big = figure(operation, bigDirectoryChildren);
            const double growth = big.widgetsPerChildUs() / small.widgetsPerChildUs();
            const bool met =
                growth <= linearityGoal && small.ratio() <= ratioGoal && big.ratio() <= ratioGoal;
            print(u"| %1 | %2 | %3 | %4 | %5 | %6 |\n"_s.arg(operation)
                      .arg(small.widgetsPerChildUs(), 0, 'f', 2)
                      .arg(big.widgetsPerChildUs(), 0, 'f', 2)
                      .arg(growth, 0, 'f', 2)
                      .arg(big.storePerChildUs() / small.storePerChildUs(), 0, 'f', 2)
                      .arg(met ? u"yes"_s : u"**no**"_s));
        }
        const Figure& index = figure(u"indexCatalogue"_s, topLevelCount);
        print(u"\nindexCatalogue within %1× of the store only: %2\n"_s.arg(ratioGoal).arg(
            index.ratio() <= ratioGoal ? u"yes\n"_s : u"**no**\n"_s));
        for (const QString& problem : m_problems)
            print(u"\nPROBLEM: %1\n"_s.arg(problem));
    }

    bool hasProblems() const { return !m_problems.isEmpty(); }

private:
    void measureIndex(bool timed) {
        TreeBox& box = m_window.treeBox();
        const double widgets = millisecondsOf([&] {
            m_window.catalogue().indexCatalogue();
            checkPainted(u"indexCatalogue"_s);
        });
        // The two big directories are the last top-level items, each with its
        // placeholder.
        check(box.itemText(box.itemCount() - 1) == loadingPlaceholderText &&
                  m_window.lastStatus() == u"目录索引完毕"_s,
              u"indexCatalogue did not build the top level"_s);
        const double store = millisecondsOf([&] { m_store.indexTopLevel(); });
        if (timed)
            record(u"indexCatalogue"_s, topLevelCount, widgets, store);
    }

    // Opens the directory of that many children, then reloads it.
    void measureDirectory(int children, bool timed) {
        TreeBox& box = m_window.treeBox();
        QTreeWidgetItem* item = m_window.topLevelItem(directoryTitle(children));
        if (!item) {
            check(false, u"%1 is not in the tree box"_s.arg(directoryTitle(children)));
            return;
        }
        const double expandWidgets = millisecondsOf([&] {
            m_window.expand(item);
            checkPainted(u"opening %1"_s.arg(directoryTitle(children)));
        });
        const int index = m_window.expandedIndex();
        const int id = box.itemValue(index);
        check(item->childCount() == children && m_window.lastStatus() == u"刷新完毕"_s,
              u"opening %1 loaded %2 children"_s.arg(directoryTitle(children))
                  .arg(item->childCount()));
        const double expandStore = millisecondsOf([&] { m_store.loadChildren(id); });

        const double reloadWidgets = millisecondsOf([&] {
            m_window.catalogue().loadChildren(index);
            checkPainted(u"reloading %1"_s.arg(directoryTitle(children)));
        });
        check(item->childCount() == children,
              u"reloading %1 left %2 children"_s.arg(directoryTitle(children))
                  .arg(item->childCount()));
        const double reloadStore = millisecondsOf([&] { m_store.loadChildren(id); });
        if (timed) {
            record(u"expandItem → loadChildren"_s, children, expandWidgets, expandStore);
            record(u"loadChildren again"_s, children, reloadWidgets, reloadStore);
        }
    }

    void record(const QString& operation, int children, double widgets, double store) {
        auto found = std::find_if(m_figures.begin(), m_figures.end(), [&](const Figure& f) {
            return f.operation == operation && f.children == children;
        });
        if (found == m_figures.end())
            found = m_figures.insert(m_figures.end(), Figure{operation, children, {}, {}});
        found->widgetTimes.push_back(widgets);
        found->storeTimes.push_back(store);
    }

    const Figure& figure(const QString& operation, int children) const {
        return *std::find_if(m_figures.begin(), m_figures.end(), [&](const Figure& f) {
            return f.operation == operation && f.children == children;
        });
    }

    // The widget times include laying out and painting the result.
    void checkPainted(const QString& operation) {
        check(m_window.settle(), u"the tree box was not painted after %1"_s.arg(operation));
    }

    void check(bool holds, const QString& problem) {
        if (!holds && !m_problems.contains(problem))
            m_problems << problem;
    }

    CatalogueWindow& m_window;
    ProgramTarget& m_store;
    std::vector<Figure> m_figures;
    QStringList m_problems;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QTemporaryDir directory;
    if (!directory.isValid()) {
        progress(u"no temporary directory: %1"_s.arg(directory.errorString()));
        return 1;
    }
    const QString path = directory.filePath(u"bench-widgets.db"_s);
    progress(u"building the knowledge base"_s);
    DatabaseObjects database;
    if (!buildKnowledgeBase(database, path)) {
        progress(u"cannot build %1: %2"_s.arg(path, database.connection.errorText()));
        return 1;
    }
    // The store-only loops read the same file through a connection of their own.
    ProgramTarget store;
    if (!store.open(path)) {
        progress(u"cannot open %1: %2"_s.arg(path, store.errorText()));
        return 1;
    }

    CatalogueWindow window(database, directory.path());
    Bench bench(window, store);
    bench.run();
    bench.printReport();
    return bench.hasProblems() ? 1 : 0;
}
