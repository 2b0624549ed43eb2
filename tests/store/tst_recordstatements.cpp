#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The record statements and operations run on a real knowledge base file.
class RecordStatementsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void nextIdFollowsHighestId();
    void nextIdBeyondIntegerRangeFailsToInsert();
    void withoutConnectionNextIdIsOneAndAddFails();
    void quotedTextsRoundTrip();
    void remarkEmptyForDocumentsNullForDirectories();
    void writesToAbsentIdsSucceed();
    void modificationKeepsCreationTime();
    void modificationFailsWhenAnyPartFails();
    void searchMatchesJoinedColumns();

private:
    QStringList searchTitles(const QString& columnExpression, const QString& searchText);
    QString readColumn(const QString& id, const QString& column);

    QTemporaryDir m_dir;
    std::unique_ptr<DatabaseObjects> m_database;
};

void RecordStatementsTest::init() {
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(
        QStringLiteral("知识库 %1.db").arg(QString::fromLatin1(QTest::currentTestFunction())));
    QFile file(path);
    QVERIFY(file.open(QIODevice::NewOnly));
    QVERIFY(file.write(emptyDatabaseImage()) > 0);
    file.close();

    m_database = std::make_unique<DatabaseObjects>();
    QVERIFY(m_database->connection.open(path, QString()));
    m_database->primaryRecordSet.setConnection(&m_database->connection);
    m_database->secondaryRecordSet.setConnection(&m_database->connection);
    QVERIFY2(m_database->connection.execute(createItemTable()),
             qPrintable(m_database->connection.errorText()));
}

void RecordStatementsTest::cleanup() {
    m_database.reset();
}

QString RecordStatementsTest::readColumn(const QString& id, const QString& column) {
    RecordSet& rows = m_database->primaryRecordSet;
    rows.open(selectItemById(id));
    if (rows.recordCount() != 1)
        return QStringLiteral("<%1 rows>").arg(rows.recordCount());
    return rows.readText(column);
}

QStringList RecordStatementsTest::searchTitles(const QString& columnExpression,
                                               const QString& searchText) {
    RecordSet& rows = m_database->primaryRecordSet;
    rows.open(searchItems(columnExpression, searchText));
    QStringList titles;
    const int count = rows.recordCount();
    for (int i = 0; i < count; ++i) {
        titles << rows.readText(QStringLiteral("NTitle"));
        rows.moveNext();
    }
    return titles;
}

void RecordStatementsTest::nextIdFollowsHighestId() {
    DatabaseObjects& db = *m_database;
    QCOMPARE(nextItemId(db.secondaryRecordSet), QStringLiteral("1"));

    for (const char* id : {"1", "7", "2"})
        QVERIFY(db.connection.execute(insertDocument(id, "0", "项", "", "", "t")));
    QCOMPARE(nextItemId(db.secondaryRecordSet), QStringLiteral("8"));

    QVERIFY(addDocument(db, "0", "第八", "", ""));
    QCOMPARE(readColumn("8", "NTitle"), QStringLiteral("第八"));
    QCOMPARE(nextItemId(db.secondaryRecordSet), QStringLiteral("9"));

    // The highest ID is given again once its item is gone; lower ones never are.
    QVERIFY(db.connection.execute(deleteItem("8")));
    QVERIFY(db.connection.execute(deleteItem("2")));
    QVERIFY(addDirectory(db, "0", "又一个第八", "", ""));
    QCOMPARE(readColumn("8", "NTitle"), QStringLiteral("又一个第八"));
    QCOMPARE(readColumn("8", "NType"), QStringLiteral("0"));
}

void RecordStatementsTest::nextIdBeyondIntegerRangeFailsToInsert() {
    DatabaseObjects& db = *m_database;
    QVERIFY(db.connection.execute(insertDocument("2147483647", "0", "最后", "", "", "t")));
    QCOMPARE(nextItemId(db.secondaryRecordSet), QStringLiteral("2147483648"));

    QVERIFY(!addDocument(db, "0", "溢出", "", ""));
    QVERIFY(db.connection.errorText().startsWith(QStringLiteral("Description: ")));
    QVERIFY(!addDirectory(db, "0", "溢出", "", ""));
    RecordSet& rows = db.primaryRecordSet;
    rows.open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(rows.recordCount(), 1);
}

void RecordStatementsTest::withoutConnectionNextIdIsOneAndAddFails() {
    DatabaseObjects unconnected;
    QCOMPARE(nextItemId(unconnected.secondaryRecordSet), QStringLiteral("1"));
    QVERIFY(!addDocument(unconnected, "0", "名", "", ""));
    QVERIFY(!modifyItem(unconnected, "1", "名", "", ""));

    // A failed look-up on an open file (the table is gone) also gives "1".
    QVERIFY(m_database->connection.execute(insertDocument("5", "0", "项", "", "", "t")));
    RecordSet& rows = m_database->secondaryRecordSet;
    rows.open(QStringLiteral("Select ID From NoSuchTable Order By ID DESC"));
    QCOMPARE(rows.recordCount(), -1);
    QCOMPARE(nextItemId(m_database->secondaryRecordSet), QStringLiteral("6"));
}

void RecordStatementsTest::quotedTextsRoundTrip() {
    DatabaseObjects& db = *m_database;
    const QString name = QStringLiteral("O'Neil 的 '笔记'");
    const QString summary = QStringLiteral("''");
    const QString body = QStringLiteral("<a href='x.html'>it''s</a>\r\n% _ \\ \"");
    QVERIFY(addDocument(db, "0", name, summary, body));
    QCOMPARE(readColumn("1", "NTitle"), name);
    QCOMPARE(readColumn("1", "NKey"), summary);
    QCOMPARE(readColumn("1", "NText"), body);

    const QString newName = QStringLiteral("'");
    const QString newBody = QStringLiteral("a'b''c'''");
    QVERIFY(modifyItem(db, "1", newName, name, newBody));
    QCOMPARE(readColumn("1", "NTitle"), newName);
    QCOMPARE(readColumn("1", "NKey"), name);
    QCOMPARE(readColumn("1", "NText"), newBody);
}

void RecordStatementsTest::remarkEmptyForDocumentsNullForDirectories() {
    DatabaseObjects& db = *m_database;
    QVERIFY(addDocument(db, "0", "文档", "", ""));
    QVERIFY(addDirectory(db, "0", "目录", "", ""));
    QCOMPARE(readColumn("1", "NType"), QStringLiteral("1"));

    RecordSet& rows = db.primaryRecordSet;
    rows.open(QStringLiteral("Select ID From NKTB Where NRemark Is Null"));
    QCOMPARE(rows.recordCount(), 1);
    QCOMPARE(rows.readInteger("ID"), 2);
    rows.open(QStringLiteral("Select ID From NKTB Where NRemark = ''"));
    QCOMPARE(rows.recordCount(), 1);
    QCOMPARE(rows.readInteger("ID"), 1);
}

void RecordStatementsTest::writesToAbsentIdsSucceed() {
    DatabaseConnection& connection = m_database->connection;
    QVERIFY(addDocument(*m_database, "0", "留下", "", ""));
    for (const QString& statement :
         {updateTitle("99", "x"), updateKey("99", "x"), updateText("99", "x"), moveItem("99", "1"),
          deleteChildren("99"), deleteItem("99")})
        QVERIFY2(connection.execute(statement), qPrintable(statement));
    QVERIFY(modifyItem(*m_database, "99", "x", "y", "z"));
    QCOMPARE(readColumn("1", "NTitle"), QStringLiteral("留下"));
}

void RecordStatementsTest::modificationKeepsCreationTime() {
    DatabaseObjects& db = *m_database;
    QVERIFY(
        db.connection.execute(insertDocument("3", "0", "旧", "旧摘要", "旧正文", "2012年3月5日")));
    QVERIFY(modifyItem(db, "3", "新", "新摘要", "新正文"));
    QCOMPARE(readColumn("3", "NTitle"), QStringLiteral("新"));
    QCOMPARE(readColumn("3", "NKey"), QStringLiteral("新摘要"));
    QCOMPARE(readColumn("3", "NText"), QStringLiteral("新正文"));
    QCOMPARE(readColumn("3", "NTime"), QStringLiteral("2012年3月5日"));

    // An add stamps the time of now, in the creation time form.
    const QString before = creationTimeText();
    QVERIFY(addDocument(db, "0", "新加", "", ""));
    const QString after = creationTimeText();
    const QString stamped = readColumn("4", "NTime");
    QVERIFY2(stamped == before || stamped == after, qPrintable(stamped));
}

void RecordStatementsTest::modificationFailsWhenAnyPartFails() {
    // A table whose names may hold at most three characters: writing a longer
    // name fails, and the modification must say so rather than report the
    // body's success.
    QTemporaryDir dir;
    const QString path = dir.filePath("短名.db");
    QFile file(path);
    QVERIFY(file.open(QIODevice::NewOnly));
    QVERIFY(file.write(emptyDatabaseImage()) > 0);
    file.close();
    DatabaseObjects db;
    QVERIFY(db.connection.open(path, QString()));
    QVERIFY(db.connection.execute(
        "Create Table NKTB (ID int, NFID Memo, NTitle varchar(3), NKey Memo, NText Memo, "
        "NRemark Memo, NTime varchar(255), NType int)"));
    QVERIFY(db.connection.execute(insertDocument("1", "0", "旧", "旧摘要", "旧正文", "t")));

    QVERIFY(!modifyItem(db, "1", "太长的名字", "新摘要", "新正文"));
    QVERIFY(!db.connection.errorText().isEmpty());
    db.primaryRecordSet.setConnection(&db.connection);
    db.primaryRecordSet.open(selectItemById("1"));
    QCOMPARE(db.primaryRecordSet.readText("NTitle"), QStringLiteral("旧"));
    QCOMPARE(db.primaryRecordSet.readText("NText"), QStringLiteral("旧正文"));
}

void RecordStatementsTest::searchMatchesJoinedColumns() {
    DatabaseObjects& db = *m_database;
    QVERIFY(db.connection.execute(insertDocument("1", "0", "Alpha", "beta", "Gamma", "t")));
    QVERIFY(db.connection.execute(insertDocument("2", "0", "中文", "摘要", "正文 50%", "t")));
    // A row whose NKey is NULL joins to NULL and matches nothing.
    QVERIFY(db.connection.execute(QStringLiteral(
        "Insert Into NKTB (ID,NFID,NTitle,NText,NType) Values (3,'0','Alpha','Gamma',1)")));

    const QString all = QStringLiteral("NTitle+NKey+NText");
    QCOMPARE(searchTitles(all, "habeta"), QStringList{"Alpha"}); // across NTitle and NKey
    QCOMPARE(searchTitles(all, "ALPHABETAGAMMA"), QStringList{"Alpha"});
    QCOMPARE(searchTitles(all, "要正"), QStringList{"中文"});
    QCOMPARE(searchTitles(all, "a%g"), QStringList{"Alpha"});
    QCOMPARE(searchTitles(all, "文摘_正"), QStringList{"中文"});
    QCOMPARE(searchTitles(all, "50%"), QStringList{"中文"});
    QCOMPARE(searchTitles(all, ""), QStringList({"Alpha", "中文"}));
    QCOMPARE(searchTitles(QStringLiteral("NTitle"), "alpha"), QStringList({"Alpha", "Alpha"}));
    QCOMPARE(searchTitles(QStringLiteral("NText"), "'"), QStringList{});
}

QTEST_GUILESS_MAIN(RecordStatementsTest)
#include "tst_recordstatements.moc"
