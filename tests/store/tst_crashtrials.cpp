// Saves are interrupted by SIGKILL at random moments, and two processes write
// one file at once. Afterwards the file must be sound and hold every save that
// had been reported as done, whole.

#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "support/StoreFiles.h"
#include "worker/SaveLog.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <map>
#include <set>

namespace {

struct Row {
    QString title, summary, body, parent;
    int type = 0;
    bool operator==(const Row&) const = default;
};

// Every row of the file, by ID; duplicate IDs are counted.
std::multimap<qint64, Row> readRows(const QString& path) {
    DatabaseObjects database;
    std::multimap<qint64, Row> rows;
    if (!openDatabase(database, path))
        return rows;
    RecordSet& records = database.primaryRecordSet;
    records.open(searchItems(QStringLiteral("NTitle"), QString()));
    for (int n = records.recordCount(), i = 0; i < n; ++i, records.moveNext())
        rows.emplace(records.readInteger("ID"),
                     Row{records.readText("NTitle"), records.readText("NKey"),
                         records.readText("NText"), records.readText("NFID"),
                         records.readInteger("NType")});
    return rows;
}

// What the file may hold after the logged saves: each item's fields with
// every value it may have, the first being the certain one. A save that did
// not report success (interrupted, or failed part way) adds possibilities;
// a reported one removes them.
class ExpectedRows {
public:
    explicit ExpectedRows(const std::multimap<qint64, Row>& rows) {
        for (const auto& [id, row] : rows)
            m_items[id] = {{row.title}, {row.summary}, {row.body}, {row.parent}, row.type, true};
    }

    // Applies one worker's log; returns a description of what does not parse.
    QString apply(const QString& tag, const QByteArray& log) {
        std::map<QString, QStringList> begun; // sequence -> begin fields
        for (const QByteArray& line : log.split('\n')) {
            const QStringList f = QString::fromUtf8(line).split(u' ');
            if (f.size() == 5 && f[0] == u"begin") {
                begun[f[1]] = f;
            } else if (f.size() == 4 && f[0] == u"done" && begun.count(f[1])) {
                save(tag, begun[f[1]], f[2] == u"1", f[3].toLongLong());
                begun.erase(f[1]);
            } else if (!line.isEmpty()) {
                return QStringLiteral("unexpected log line: ") + QString::fromUtf8(line);
            }
        }
        for (const auto& [sequence, f] : begun)
            save(tag, f, false, 0);
        return QString();
    }

    // Where the rows differ from what the log allows; empty when they agree.
    QString mismatch(const std::multimap<qint64, Row>& rows) const {
        std::set<qint64> seen;
        for (const auto& [id, row] : rows) {
            if (!seen.insert(id).second)
                return QStringLiteral("duplicate ID %1").arg(id);
            const auto it = m_items.find(id);
            if (it == m_items.end()) {
                if (!m_uncertainAdds.count(row.title))
                    return QStringLiteral("unexpected row %1 %2").arg(id).arg(row.title);
                const SavedContent content = m_uncertainAdds.at(row.title);
                if (row.summary != content.summary || row.body != content.body)
                    return QStringLiteral("partly written row %1").arg(id);
                continue;
            }
            const Item& item = it->second;
            if (!item.titles.contains(row.title) || !item.summaries.contains(row.summary) ||
                !item.bodies.contains(row.body) || !item.parents.contains(row.parent) ||
                item.type != row.type)
                return QStringLiteral("row %1 (%2) holds what no save wrote")
                    .arg(id)
                    .arg(row.title);
        }
        for (const auto& [id, item] : m_items)
            if (item.certainlyPresent && !seen.count(id))
                return QStringLiteral("row %1 (%2) is lost").arg(id).arg(item.titles.first());
        return QString();
    }

private:
    struct Item {
        QStringList titles, summaries, bodies, parents;
        int type = 0;
        bool certainlyPresent = true;
    };

    static void set(QStringList& values, const QString& value, bool certain) {
        if (certain)
            values = {value};
        else if (!values.contains(value))
            values << value;
    }

    void save(const QString& tag, const QStringList& f, bool done, qint64 newId) {
        const SavedContent content = savedContent(tag, f[1].toLongLong());
        const QString& operation = f[2];
        const qint64 id = f[3].toLongLong();
        if (operation.startsWith(u"add-")) {
            const int type = operation == u"add-doc" ? 1 : 0;
            if (done)
                m_items[newId] = {
                    {content.title}, {content.summary}, {content.body}, {f[4]}, type, true};
            else
                m_uncertainAdds[content.title] = content;
        } else if (operation == u"modify" && m_items.count(id)) {
            Item& item = m_items[id];
            set(item.titles, content.title, done);
            set(item.summaries, content.summary, done);
            set(item.bodies, content.body, done);
        } else if (operation == u"move" && m_items.count(id)) {
            set(m_items[id].parents, f[4], done);
        } else if (operation == u"delete") {
            const QString parent = QString::number(id);
            for (auto it = m_items.begin(); it != m_items.end();) {
                const bool child = it->second.parents.contains(parent);
                if (it->first == id || child) {
                    if (done && (it->first == id || it->second.parents == QStringList{parent})) {
                        it = m_items.erase(it);
                        continue;
                    }
                    it->second.certainlyPresent = false;
                }
                ++it;
            }
        }
    }

    std::map<qint64, Item> m_items;
    std::map<QString, SavedContent> m_uncertainAdds;
};

// The done lines of a log whose success field is ok.
int savesReported(const QByteArray& log, const QByteArray& ok) {
    int count = 0;
    for (const QByteArray& line : log.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        count += f.size() == 4 && f[0] == "done" && f[2] == ok;
    }
    return count;
}

int trialCount() {
    const int wanted = qEnvironmentVariableIntValue("LANJIAN_CRASH_TRIALS");
    return wanted > 0 ? wanted : 100;
}

} // namespace

class CrashTrialsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void killedSavesLoseNothingReported();
    void twoProcessesShareOneFile();

private:
    QProcess* startWorker(const QString& tag, qint64 firstSequence, int saves, quint32 seed);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void CrashTrialsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("崩溃 试验.db"));
    QVERIFY(createKnowledgeBaseFile(m_path));
}

QProcess* CrashTrialsTest::startWorker(const QString& tag, qint64 firstSequence, int saves,
                                       quint32 seed) {
    auto* worker = new QProcess(this);
    worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    worker->start(QStringLiteral(LANJIAN_STORE_WORKER),
                  {m_path, tag, QString::number(firstSequence), QString::number(saves),
                   QString::number(seed)});
    return worker;
}

void CrashTrialsTest::killedSavesLoseNothingReported() {
    const quint32 seed = qEnvironmentVariableIsSet("LANJIAN_CRASH_SEED")
                             ? quint32(qEnvironmentVariableIntValue("LANJIAN_CRASH_SEED"))
                             : 20261211u;
    QRandomGenerator random(seed);
    const int trials = trialCount();
    int interruptedSaves = 0;
    int reportedSaves = 0;
    for (int trial = 0; trial < trials; ++trial) {
        // A fresh file now and then, so that a long run does not slow down
        // as the file grows.
        if (trial > 0 && trial % 50 == 0) {
            QVERIFY(QFile::remove(m_path));
            QVERIFY(createKnowledgeBaseFile(m_path));
        }
        ExpectedRows expected(readRows(m_path));
        QProcess* worker = startWorker("A", qint64(trial) * 100000, 100000, random.generate());
        QVERIFY(worker->waitForStarted());
        QThread::msleep(20 + random.bounded(300));
        worker->kill();
        QVERIFY(worker->waitForFinished());
        const QByteArray log = worker->readAllStandardOutput();
        delete worker;

        reportedSaves += savesReported(log, "1");
        if (log.lastIndexOf("begin ") > log.lastIndexOf("done "))
            ++interruptedSaves;
        const QString context = QStringLiteral("trial %1 (seed %2)").arg(trial).arg(seed);
        QCOMPARE(integrityOf(m_path) + " " + context, "ok " + context);
        const QString unreadable = expected.apply("A", log);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable + " " + context));
        const QString difference = expected.mismatch(readRows(m_path));
        QVERIFY2(difference.isEmpty(), qPrintable(difference + " " + context));
    }
    qInfo("%d trials, %d saves reported, %d trials killed in the middle of a save", trials,
          reportedSaves, interruptedSaves);
}

void CrashTrialsTest::twoProcessesShareOneFile() {
    ExpectedRows expected(readRows(m_path));
    const int saves = 60;
    QProcess* first = startWorker("A", 1, saves, 1);
    QProcess* second = startWorker("B", 1, saves, 2);
    QVERIFY(first->waitForFinished(120000));
    QVERIFY(second->waitForFinished(120000));
    QCOMPARE(first->exitCode(), 0);
    QCOMPARE(second->exitCode(), 0);
    const QByteArray firstLog = first->readAllStandardOutput();
    const QByteArray secondLog = second->readAllStandardOutput();

    QCOMPARE(integrityOf(m_path), "ok");
    QVERIFY(expected.apply("A", firstLog).isEmpty());
    QVERIFY(expected.apply("B", secondLog).isEmpty());
    const QString difference = expected.mismatch(readRows(m_path));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    // Both kept working: waiting for the other's lock is enough for a save.
    QCOMPARE(savesReported(firstLog, "1") + savesReported(secondLog, "1"), 2 * saves);
}

QTEST_GUILESS_MAIN(CrashTrialsTest)
#include "tst_crashtrials.moc"
