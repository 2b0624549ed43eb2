#include "store/Statements.h"

#include "store/DatabaseObjects.h"

QString quotedText(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString createItemTable() {
    return QStringLiteral("Create Table ") + QStringLiteral("NKTB") +
           QStringLiteral("\r\n(\r\nID int,\r\nNFID Memo,\r\nNTitle Memo,\r\nNKey Memo,\r\n"
                          "NText Memo,\r\nNRemark Memo,\r\nNTime varchar(255),\r\nNType int\r\n)");
}

QString selectItemById(const QString& id) {
    return QStringLiteral("Select * From NKTB Where ID=") + id;
}

QString selectTopLevel() {
    return QStringLiteral("Select * From NKTB Where NFID='0'");
}

QString selectChildren(const QString& parentId) {
    return QStringLiteral("Select * From NKTB Where NFID=") + quotedText(parentId);
}

QString selectChildDirectories(const QString& parentId) {
    return QStringLiteral("Select * From NKTB Where NType=0 And NFID=") + quotedText(parentId);
}

QString selectSubdirectoriesForDelete(const QString& parentId) {
    return QStringLiteral("Select * From NKTB Where NFID=") + quotedText(parentId) +
           QStringLiteral(" And NType=0");
}

QString selectLastId() {
    return QStringLiteral("Select ID From NKTB Order By ID DESC");
}

QString insertDocument(const QString& newId, const QString& parentId, const QString& name,
                       const QString& summary, const QString& body, const QString& timeText) {
    const QString remark;
    return QStringLiteral("Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NRemark,NTime,NType) "
                          "Values (") +
           newId + QLatin1Char(',') + quotedText(parentId) + QLatin1Char(',') + quotedText(name) +
           QLatin1Char(',') + quotedText(summary) + QLatin1Char(',') + quotedText(body) +
           QLatin1Char(',') + quotedText(remark) + QLatin1Char(',') + quotedText(timeText) +
           QStringLiteral(",1)");
}

QString insertDirectory(const QString& newId, const QString& parentId, const QString& name,
                        const QString& summary, const QString& body, const QString& timeText) {
    return QStringLiteral("Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NTime,NType) Values (") +
           newId + QLatin1Char(',') + quotedText(parentId) + QLatin1Char(',') + quotedText(name) +
           QLatin1Char(',') + quotedText(summary) + QLatin1Char(',') + quotedText(body) +
           QLatin1Char(',') + quotedText(timeText) + QStringLiteral(",0)");
}

QString updateTitle(const QString& id, const QString& name) {
    return QStringLiteral("Update NKTB Set NTitle = ") + quotedText(name) +
           QStringLiteral(" Where ID = ") + id;
}

QString updateKey(const QString& id, const QString& summary) {
    return QStringLiteral("Update NKTB Set NKey = ") + quotedText(summary) +
           QStringLiteral(" Where ID = ") + id;
}

QString updateText(const QString& id, const QString& body) {
    return QStringLiteral("Update NKTB Set NText = ") + quotedText(body) +
           QStringLiteral(" Where ID = ") + id;
}

QString moveItem(const QString& id, const QString& newParentId) {
    return QStringLiteral("Update NKTB Set NFID=") + quotedText(newParentId) +
           QStringLiteral(" Where ID=") + id;
}

QString deleteChildren(const QString& parentId) {
    return QStringLiteral("Delete From NKTB Where NFID = ") + quotedText(parentId);
}

QString deleteItem(const QString& id) {
    return QStringLiteral("Delete From NKTB Where ID = ") + id;
}

QString searchItems(const QString& columnExpression, const QString& searchText) {
    return QStringLiteral("SELECT * FROM NKTB WHERE ") + columnExpression +
           QStringLiteral(" like ") + quotedText(QLatin1Char('%') + searchText + QLatin1Char('%'));
}

QString nextItemId(RecordSet& secondaryRecordSet) {
    secondaryRecordSet.open(selectLastId());
    if (secondaryRecordSet.recordCount() <= 0)
        return QStringLiteral("1");
    const double highestId = secondaryRecordSet.readInteger(QStringLiteral("ID"));
    return QString::asprintf("%.13g", highestId + 1);
}

QString creationTimeText(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    QString text = QString::asprintf("%d年%d月%d日", date.year(), date.month(), date.day());
    if (clock.second() != 0)
        text += QString::asprintf("%d时%d分%d秒", clock.hour(), clock.minute(), clock.second());
    else if (clock.minute() != 0)
        text += QString::asprintf("%d时%d分", clock.hour(), clock.minute());
    else if (clock.hour() != 0)
        text += QString::asprintf("%d时", clock.hour());
    return text;
}

QString creationTimeText() {
    return creationTimeText(QDateTime::currentDateTime());
}

// The highest ID is read and the new row written in one transaction, so that
// a second window saving at the same moment cannot be given the same ID.
bool addDocument(DatabaseObjects& database, const QString& parentId, const QString& name,
                 const QString& summary, const QString& body) {
    return database.connection.runInTransaction([&] {
        const QString newId = nextItemId(database.secondaryRecordSet);
        return database.connection.execute(
            insertDocument(newId, parentId, name, summary, body, creationTimeText()));
    });
}

bool addDirectory(DatabaseObjects& database, const QString& parentId, const QString& name,
                  const QString& summary, const QString& body) {
    return database.connection.runInTransaction([&] {
        const QString newId = nextItemId(database.secondaryRecordSet);
        return database.connection.execute(
            insertDirectory(newId, parentId, name, summary, body, creationTimeText()));
    });
}

bool modifyItem(DatabaseObjects& database, const QString& id, const QString& name,
                const QString& summary, const QString& body) {
    // All three texts change together, or none does (a crash in between
    // would otherwise leave a half-modified item).
    DatabaseConnection& connection = database.connection;
    return connection.runInTransaction([&] {
        return connection.execute(updateTitle(id, name)) &&
               connection.execute(updateKey(id, summary)) &&
               connection.execute(updateText(id, body));
    });
}
