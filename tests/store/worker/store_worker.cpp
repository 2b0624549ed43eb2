// Saves into a knowledge base through the program's own operations, as long
// as it is let run, and logs every save to stdout at once:
//   begin <sequence> <operation> <id> <parent>   before the save
//   done <sequence> <1|0> <id>                     when it has returned
// Usage: store_worker <knowledge base> <tag> <first sequence> <saves> <seed>
// The worker only touches items whose titles carry its tag, so that several
// workers can share one file.

#include "SaveLog.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>
#include <map>

namespace {

struct Item {
    QString parent;
    bool directory = false;
};

void logLine(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The done line of a save; a failed one also says why on stderr.
void logDone(qint64 sequence, bool ok, const QString& id, const DatabaseConnection& connection) {
    const QString line = QStringLiteral("done %1 %2 %3").arg(sequence).arg(int(ok)).arg(id);
    if (!ok)
        std::fputs(qPrintable(line + QLatin1Char(' ') + connection.errorText()), stderr);
    logLine(line);
}

// The items of this worker, read from the file.
std::map<qint64, Item> ownItems(DatabaseObjects& database, const QString& tag) {
    std::map<qint64, Item> items;
    RecordSet& rows = database.primaryRecordSet;
    rows.open(searchItems(QStringLiteral("NTitle"), QStringLiteral("【%1-").arg(tag)));
    for (int n = rows.recordCount(), i = 0; i < n; ++i, rows.moveNext())
        items[rows.readInteger(QStringLiteral("ID"))] = {
            rows.readText(QStringLiteral("NFID")), rows.readInteger(QStringLiteral("NType")) == 0};
    return items;
}

QString idOfTitle(DatabaseObjects& database, const QString& title) {
    RecordSet& rows = database.secondaryRecordSet;
    rows.open(searchItems(QStringLiteral("NTitle"), title));
    return rows.recordCount() == 1 ? rows.readText(QStringLiteral("ID")) : QStringLiteral("0");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 6) {
        std::fputs("usage: store_worker <file> <tag> <first sequence> <saves> <seed>\n", stderr);
        return 2;
    }
    const QString tag = arguments[2];
    qint64 sequence = arguments[3].toLongLong();
    const int saves = arguments[4].toInt();
    QRandomGenerator random(arguments[5].toUInt());

    DatabaseObjects database;
    if (!database.connection.open(arguments[1], QString())) {
        std::fputs(qPrintable(database.connection.errorText()), stderr);
        return 1;
    }
    database.primaryRecordSet.setConnection(&database.connection);
    database.secondaryRecordSet.setConnection(&database.connection);
    std::map<qint64, Item> items = ownItems(database, tag);

    for (int save = 0; save < saves; ++save, ++sequence) {
        const SavedContent content = savedContent(tag, sequence);
        std::vector<qint64> directories{0};
        for (const auto& [id, item] : items)
            if (item.directory)
                directories.push_back(id);
        const QString someDirectory =
            QString::number(directories[random.bounded(int(directories.size()))]);
        const int roll = items.empty() ? 0 : random.bounded(100);
        auto it = items.begin();
        if (!items.empty())
            std::advance(it, random.bounded(int(items.size())));
        const QString id = items.empty() ? QString() : QString::number(it->first);

        if (roll < 40) {
            const bool directory = roll >= 30;
            logLine(QStringLiteral("begin %1 %2 0 %3")
                        .arg(sequence)
                        .arg(directory ? "add-dir" : "add-doc", someDirectory));
            const bool ok = directory ? addDirectory(database, someDirectory, content.title,
                                                     content.summary, content.body)
                                      : addDocument(database, someDirectory, content.title,
                                                    content.summary, content.body);
            const QString newId = ok ? idOfTitle(database, content.title) : QStringLiteral("0");
            if (newId != u"0")
                items[newId.toLongLong()] = {someDirectory, directory};
            logDone(sequence, ok, newId, database.connection);
        } else if (roll < 70) {
            logLine(QStringLiteral("begin %1 modify %2 -").arg(sequence).arg(id));
            const bool ok = modifyItem(database, id, content.title, content.summary, content.body);
            logDone(sequence, ok, id, database.connection);
        } else if (roll < 85) {
            // Never into itself; a move under its own descendant is the
            // catalogue's to refuse, and the log reader does not mind it.
            const QString parent = someDirectory == id ? QStringLiteral("0") : someDirectory;
            logLine(QStringLiteral("begin %1 move %2 %3").arg(sequence).arg(id, parent));
            const bool ok = database.connection.execute(moveItem(id, parent));
            if (ok)
                it->second.parent = parent;
            logDone(sequence, ok, id, database.connection);
        } else {
            logLine(QStringLiteral("begin %1 delete %2 -").arg(sequence).arg(id));
            const bool ok = database.connection.execute(deleteChildren(id)) &&
                            database.connection.execute(deleteItem(id));
            if (ok) {
                for (auto child = items.begin(); child != items.end();)
                    child = child->second.parent == id ? items.erase(child) : std::next(child);
                items.erase(it->first);
            }
            logDone(sequence, ok, id, database.connection);
        }
    }
    return 0;
}
