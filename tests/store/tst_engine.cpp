#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseConnection.h"
#include "store/RecordSet.h"
#include "store/sql/Parser.h"
#include "store/sql/SqliteDatabase.h"
#include "store/sql/TableCatalogue.h"
#include "store/sql/Translator.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString createItemTableText = QStringLiteral(
    "Create Table NKTB\r\n(\r\nID int,\r\nNFID Memo,\r\nNTitle Memo,\r\nNKey Memo,\r\nNText "
    "Memo,\r\nNRemark Memo,\r\nNTime varchar(255),\r\nNType int\r\n)");

QString insertDocumentText(qint64 id, const QString& parent, const QString& title,
                           const QString& key = QString(), const QString& text = QString()) {
    return QStringLiteral("Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NRemark,NTime,NType) "
                          "Values (%1,'%2','%3','%4','%5','','2012年3月5日9时7分2秒',1)")
        .arg(id)
        .arg(parent, title, key, text);
}

QString insertDirectoryText(int id, const QString& parent, const QString& title) {
    return QStringLiteral("Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NTime,NType) Values "
                          "(%1,'%2','%3','','','2012年3月5日',0)")
        .arg(id)
        .arg(parent, title);
}

// The State of each error record in an errorText.
QStringList statesOf(const QString& errorText) {
    static const QRegularExpression record(
        QStringLiteral("^Description: [^\r\n]+\r\nState: (\\w{5}), Native: -?\\d+, "
                       "Source: 岚笺知识库引擎\r\n"));
    QStringList states;
    qsizetype offset = 0;
    while (offset < errorText.size()) {
        const QRegularExpressionMatch match =
            record.match(errorText, offset, QRegularExpression::NormalMatch,
                         QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return {QStringLiteral("malformed: ") + errorText.mid(offset)};
        states << match.captured(1);
        offset = match.capturedEnd();
    }
    return states;
}

// A raw SQLite connection of the test's own, to look at a file from outside
// the engine or to hold a lock on it as another program would.
class RawConnection {
public:
    explicit RawConnection(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_handle, SQLITE_OPEN_READWRITE,
                        nullptr);
    }
    ~RawConnection() { sqlite3_close(m_handle); }
    bool exec(const char* sql) {
        return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    QStringList column(const QByteArray& sql) {
        QStringList values;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_handle, sql.constData(), -1, &statement, nullptr);
        while (statement && sqlite3_step(statement) == SQLITE_ROW)
            values << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return values;
    }

private:
    sqlite3* m_handle = nullptr;
};

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createItemTableGivesEmptyTable();
    void recordStatementsRunAsWritten();
    void rowsComeInInsertionOrder();
    void orderByIsStable();
    void quotesAndSpecialTextsRoundTrip();
    void memoKeepsTextsThatLookLikeNumbers();
    void nullAndEmptyReadAlikeButDiffer();
    void plusAndAmpersandJoin_data();
    void plusAndAmpersandJoin();
    void likeMatches_data();
    void likeMatches();
    void integerColumnsHoldThirtyTwoBits();
    void varcharRefusesLongerTexts();
    void typeMismatchFails_data();
    void typeMismatchFails();
    void unknownNamesFail_data();
    void unknownNamesFail();
    void refusedStatementsChangeNothing_data();
    void refusedStatementsChangeNothing();
    void relatedStatementsAreAccepted();
    void openFails_data();
    void openFails();
    void openFailsWhileAnotherProcessLocks();
    void openTakesFileNamesLiterally();
    void withoutConnectionEverythingFails();
    void readingColumns();
    void resultOutlivingReopenReadsEmpty();
    void transactionsCommitAndRollBack();
    void lookUpsUseIndexes();
    void wholeTableSelectCountsExactly();
    void openResultHoldsNoLock();
    void fixedColumnsComeFirstInFile();
    void foreignSqliteFileOpens();
    void statementCountCountsFailuresToo();

private:
    QString newKnowledgeBase(const QString& name);
    void insertSampleRows();
    void executeAll(const QStringList& statements);
    QStringList titles(const QString& select);
    QStringList readAll(const QString& select, const QString& column);

    QTemporaryDir m_dir;
    QString m_path;
    int m_fileCount = 0;
    std::unique_ptr<DatabaseConnection> m_connection;
    std::unique_ptr<RecordSet> m_rows;
};

QString EngineTest::newKnowledgeBase(const QString& name) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::NewOnly) || file.write(emptyDatabaseImage()) <= 0)
        return QString();
    return path;
}

void EngineTest::init() {
    QVERIFY(m_dir.isValid());
    m_path = newKnowledgeBase(QStringLiteral("知识库 %1 %2.db")
                                  .arg(QString::fromLatin1(QTest::currentTestFunction()))
                                  .arg(++m_fileCount));
    QVERIFY(!m_path.isEmpty());
    m_connection = std::make_unique<DatabaseConnection>();
    m_rows = std::make_unique<RecordSet>();
    QVERIFY2(m_connection->open(m_path, QString()), qPrintable(m_connection->errorText()));
    m_rows->setConnection(m_connection.get());
    QVERIFY2(m_connection->execute(createItemTableText), qPrintable(m_connection->errorText()));
}

void EngineTest::cleanup() {
    m_rows.reset();
    m_connection.reset();
}

// Directory 1 at the top with documents 2 and 3 and directory 4 in it;
// document 5 at the top; document 6 in directory 4.
void EngineTest::insertSampleRows() {
    const QString statements[] = {
        insertDirectoryText(1, "0", "目录甲"),
        insertDocumentText(2, "1", "文档乙", "摘要乙", "<p>正文乙</p>"),
        insertDocumentText(3, "1", "文档丙", "摘要丙", "<p>正文丙</p>"),
        insertDirectoryText(4, "1", "目录丁"),
        insertDocumentText(5, "0", "文档戊", "", ""),
        insertDocumentText(6, "4", "文档己", "摘要己", "正文己"),
    };
    executeAll(QStringList(std::begin(statements), std::end(statements)));
}

// One transaction for all, so that a test does not wait for a sync per row.
void EngineTest::executeAll(const QStringList& statements) {
    const bool done = m_connection->runInTransaction([&] {
        return std::all_of(statements.begin(), statements.end(), [this](const QString& statement) {
            return m_connection->execute(statement);
        });
    });
    QVERIFY2(done, qPrintable(m_connection->errorText()));
}

QStringList EngineTest::readAll(const QString& select, const QString& column) {
    m_rows->open(select);
    QStringList values;
    const int count = m_rows->recordCount();
    if (count < 0)
        return {QStringLiteral("<failed>")};
    for (int i = 0; i < count; ++i) {
        values << m_rows->readText(column);
        m_rows->moveNext();
    }
    return values;
}

QStringList EngineTest::titles(const QString& select) {
    return readAll(select, QStringLiteral("NTitle"));
}

void EngineTest::createItemTableGivesEmptyTable() {
    QCOMPARE(m_connection->errorText(), QString());
    m_rows->open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_rows->recordCount(), 0);
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());

    QVERIFY(!m_connection->execute(createItemTableText));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"42S01"});
    QVERIFY(!m_connection->execute(QStringLiteral("create table nktb (X int)")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"42S01"});

    // The table survives a reopen with its types.
    QVERIFY(m_connection->open(m_path, QString()));
    QVERIFY(m_connection->execute(insertDocumentText(1, "0", "甲")));
    QVERIFY(!m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NTime) Values (2,'%1')").arg(QString(256, u'x'))));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22001"});
}

void EngineTest::recordStatementsRunAsWritten() {
    insertSampleRows();

    m_rows->open(QStringLiteral("Select * From NKTB Where ID=2"));
    QCOMPARE(m_rows->recordCount(), 1);
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QStringLiteral("文档乙"));
    QCOMPARE(m_rows->readText(QStringLiteral("NKey")), QStringLiteral("摘要乙"));
    QCOMPARE(m_rows->readText(QStringLiteral("NText")), QStringLiteral("<p>正文乙</p>"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTime")), QStringLiteral("2012年3月5日9时7分2秒"));
    QCOMPARE(m_rows->readInteger(QStringLiteral("NType")), 1);
    QCOMPARE(m_rows->readText(QStringLiteral("NFID")), QStringLiteral("1"));

    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NFID='0'")),
             (QStringList{"目录甲", "文档戊"}));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NFID='1'")),
             (QStringList{"文档乙", "文档丙", "目录丁"}));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NType=0 And NFID='1'")),
             QStringList{"目录丁"});
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NFID='1' And NType=0")),
             QStringList{"目录丁"});
    QCOMPARE(readAll(QStringLiteral("Select ID From NKTB Order By ID DESC"), "ID").value(0),
             QStringLiteral("6"));
    QCOMPARE(titles(QStringLiteral("SELECT * FROM NKTB WHERE NTitle+NKey+NText like '%正文%'")),
             (QStringList{"文档乙", "文档丙", "文档己"}));

    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NTitle = '新名' Where ID = 2")));
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NKey = '新摘要' Where ID = 2")));
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NText = '新正文' Where ID = 2")));
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NFID='0' Where ID=2")));
    m_rows->open(QStringLiteral("Select * From NKTB Where ID=2"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")) + m_rows->readText("NKey") +
                 m_rows->readText("NText") + m_rows->readText("NFID"),
             QStringLiteral("新名新摘要新正文0"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTime")), QStringLiteral("2012年3月5日9时7分2秒"));

    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where NFID = '4'")));
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 4")));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "ID"),
             (QStringList{"1", "2", "3", "5"}));

    // Writes that meet no row succeed, and say nothing.
    for (const char* statement :
         {"Update NKTB Set NTitle = 'x' Where ID = 99", "Update NKTB Set NFID='0' Where ID=99",
          "Delete From NKTB Where ID = 99", "Delete From NKTB Where NFID = '99'"}) {
        QVERIFY2(m_connection->execute(QString::fromUtf8(statement)), statement);
        QCOMPARE(m_connection->errorText(), QString());
    }
}

void EngineTest::rowsComeInInsertionOrder() {
    for (int id : {7, 3, 9, 1})
        QVERIFY(m_connection->execute(insertDocumentText(id, "0", QString::number(id))));
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NTitle = 'x' Where ID = 7")));
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 9")));
    QVERIFY(m_connection->execute(insertDocumentText(4, "0", "4")));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where NFID='0'"), "ID"),
             (QStringList{"7", "3", "1", "4"}));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "ID"),
             (QStringList{"7", "3", "1", "4"}));
}

void EngineTest::orderByIsStable() {
    const std::pair<int, const char*> rows[] = {{1, "b"}, {2, "a"}, {3, "b"}, {4, "a"}, {5, "b"}};
    for (const auto& [id, title] : rows)
        QVERIFY(m_connection->execute(insertDocumentText(id, "0", QString::fromUtf8(title))));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Order By NTitle"), "ID"),
             (QStringList{"2", "4", "1", "3", "5"}));
    QCOMPARE(readAll(QStringLiteral("Select ID From NKTB Order By NTitle DESC, ID"), "ID"),
             (QStringList{"1", "3", "5", "2", "4"}));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where ID > 1 Order By NTitle ASC"), "ID"),
             (QStringList{"2", "4", "3", "5"}));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Order By ID DESC"), "ID"),
             (QStringList{"5", "4", "3", "2", "1"}));
}

void EngineTest::quotesAndSpecialTextsRoundTrip() {
    const QString texts[] = {
        QStringLiteral("it's"),
        QStringLiteral("''"),
        QStringLiteral("'"),
        QStringLiteral("100% _done_ [a] \"q\" ; -- /* */"),
        QStringLiteral("line\r\nbreak\ttab"),
        QStringLiteral("中文，全角　空格；😀"),
        QStringLiteral("Select * From NKTB"),
    };
    int id = 0;
    for (const QString& text : texts) {
        ++id;
        QString quoted = text;
        quoted.replace(u'\'', QStringLiteral("''"));
        QVERIFY2(m_connection->execute(insertDocumentText(id, "0", quoted, quoted, quoted)),
                 qPrintable(m_connection->errorText()));
        m_rows->open(QStringLiteral("Select * From NKTB Where NTitle='%1'").arg(quoted));
        QCOMPARE(m_rows->recordCount(), 1);
        QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), text);
        QCOMPARE(m_rows->readText(QStringLiteral("NText")), text);
        QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NKey = '%1' Where ID = %2")
                                          .arg(quoted + quoted)
                                          .arg(id)));
        m_rows->open(QStringLiteral("Select * From NKTB Where ID=%1").arg(id));
        QCOMPARE(m_rows->readText(QStringLiteral("NKey")), text + text);
    }
    // = compares texts exactly: no case folding, no trimming.
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NTitle='IT''S'")), QStringList());
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NTitle='it''s '")), QStringList());
}

void EngineTest::memoKeepsTextsThatLookLikeNumbers() {
    QVERIFY(m_connection->execute(insertDocumentText(1, "0", "0", "007", "1e3")));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NFID='0' And NTitle='0'")),
             QStringList{"0"});
    m_rows->open(QStringLiteral("Select * From NKTB Where ID=1"));
    QCOMPARE(m_rows->readText(QStringLiteral("NKey")), QStringLiteral("007"));
    QCOMPARE(m_rows->readText(QStringLiteral("NText")), QStringLiteral("1e3"));
    RawConnection raw(m_path);
    QCOMPARE(raw.column("SELECT typeof(NFID) || typeof(NKey) || typeof(NText) FROM NKTB"),
             QStringList{"texttexttext"});
}

void EngineTest::nullAndEmptyReadAlikeButDiffer() {
    insertSampleRows();
    // A directory leaves NRemark NULL; a document writes it empty.
    m_rows->open(QStringLiteral("Select * From NKTB Where ID=1"));
    QCOMPARE(m_rows->readText(QStringLiteral("NRemark")), QString());
    m_rows->open(QStringLiteral("Select * From NKTB Where ID=2"));
    QCOMPARE(m_rows->readText(QStringLiteral("NRemark")), QString());
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where NRemark Is Null"), "ID"),
             (QStringList{"1", "4"}));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where NRemark Is Not Null And NRemark=''"),
                     "ID"),
             (QStringList{"2", "3", "5", "6"}));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where NRemark = Null"), "ID"),
             QStringList());
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NRemark = Null Where ID = 2")));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where NRemark Is Null"), "ID"),
             (QStringList{"1", "2", "4"}));
}

void EngineTest::plusAndAmpersandJoin_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("ids");
    // Row 1: directory, NRemark NULL; row 2: NTitle 文档乙, NKey 摘要乙, NRemark ''.
    QTest::newRow("+ joins texts") << "NTitle+NKey='文档乙摘要乙'" << QStringList{"2"};
    QTest::newRow("+ with a NULL side is NULL")
        << "NTitle+NRemark Is Null" << QStringList{"1", "4"};
    QTest::newRow("+ joins a number to a text") << "NTitle+ID='文档乙2'" << QStringList{"2"};
    QTest::newRow("+ adds numbers") << "ID+NType=3" << QStringList{"2"};
    QTest::newRow("- negates") << "-ID=-2" << QStringList{"2"};
    QTest::newRow("& counts NULL as empty") << "NTitle & NRemark='目录甲'" << QStringList{"1"};
    QTest::newRow("& joins numbers as text") << "ID & NType='21'" << QStringList{"2"};
    QTest::newRow("+ binds tighter than &") << "NTitle & ID+1='目录甲2'" << QStringList{"1"};
    QTest::newRow("like on a NULL join is no match")
        << "NTitle+NRemark like '%%'" << QStringList{"2", "3", "5", "6"};
    QTest::newRow("nor is its negation") << "Not (NTitle+NRemark like '%%')" << QStringList{};
    QTest::newRow("Not Like") << "NTitle & NRemark Not Like '%文档%'" << QStringList{"1", "4"};
    QTest::newRow("Not and Or") << "Not (ID=1 Or ID>2)" << QStringList{"2"};
    QTest::newRow("And before Or") << "ID=1 Or ID=2 And NType=0" << QStringList{"1"};
}

void EngineTest::plusAndAmpersandJoin() {
    QFETCH(QString, where);
    QFETCH(QStringList, ids);
    insertSampleRows();
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where ") + where, "ID"), ids);
}

void EngineTest::likeMatches_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("ASCII case") << "%HELLO%" << QStringList{"Hello World", "hello"};
    QTest::newRow("Latin-1 case") << "%é%" << QStringList{"CAFÉ", "café"};
    QTest::newRow("Greek sigma") << "%σοφ%" << QStringList{"ΣΟΦΙΑ", "σοφός", "ΣΟΦΙΑΣ"};
    QTest::newRow("final sigma") << "%ς" << QStringList{"σοφός", "ΣΟΦΙΑΣ"};
    QTest::newRow("Kelvin sign and k") << "%k%" << QStringList{"\u212A温度", "kelvin"};
    QTest::newRow("Chinese") << "%知识%" << QStringList{"知识库"};
    QTest::newRow("underscore is one character") << "h_llo" << QStringList{"hello"};
    QTest::newRow("underscore on Chinese") << "知_库" << QStringList{"知识库"};
    QTest::newRow("percent anywhere") << "%o%o%" << QStringList{"Hello World"};
    QTest::newRow("whole text without wildcards") << "HELLO" << QStringList{"hello"};
    QTest::newRow("bracket is literal") << "%[a]%" << QStringList{"x[A]y"};
    QTest::newRow("empty search finds all")
        << "%%" << QStringList{"Hello World", "hello",      "CAFÉ",   "café",   "ΣΟΦΙΑ", "σοφός",
                               "ΣΟΦΙΑΣ",      "\u212A温度", "kelvin", "知识库", "x[A]y"};
}

void EngineTest::likeMatches() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, titles);
    QStringList inserts;
    for (const char* title : {"Hello World", "hello", "CAFÉ", "café", "ΣΟΦΙΑ", "σοφός", "ΣΟΦΙΑΣ",
                              "\u212A温度", "kelvin", "知识库", "x[A]y"}) {
        inserts << insertDocumentText(inserts.size() + 1, "0", QString::fromUtf8(title));
    }
    executeAll(inserts);
    QCOMPARE(this->titles(QStringLiteral("SELECT * FROM NKTB WHERE NTitle like '%1'").arg(pattern)),
             titles);
}

void EngineTest::integerColumnsHoldThirtyTwoBits() {
    QVERIFY(m_connection->execute(insertDocumentText(2147483647, "0", "最大")));
    QVERIFY(m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NType) Values (-2147483648,1)")));
    m_rows->open(QStringLiteral("Select ID From NKTB Order By ID DESC"));
    QCOMPARE(m_rows->readInteger(QStringLiteral("ID")), 2147483647);

    QVERIFY(!m_connection->execute(insertDocumentText(2147483647 + 1LL, "0", "溢出")));
    const QString error = m_connection->errorText();
    QVERIFY2(QRegularExpression(QStringLiteral("^Description: [^\r\n]*ID[^\r\n]*\r\nState: 22003, "
                                               "Native: \\d+, Source: 岚笺知识库引擎\r\n$"))
                 .match(error)
                 .hasMatch(),
             qPrintable(error));
    // A text that is a number goes into an int column as that number.
    QVERIFY(m_connection->execute(QStringLiteral("Insert Into NKTB (ID,NType) Values ('12',1)")));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB Where ID=12"), "ID"), QStringList{"12"});
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 12")));
    QVERIFY(!m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NType) Values (1,-2147483649)")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22003"});
    // The check is in the table itself, so computed values are checked too.
    QVERIFY(!m_connection->execute(QStringLiteral("Update NKTB Set ID = ID + 1")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22003"});
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "ID"),
             (QStringList{"2147483647", "-2147483648"}));
}

void EngineTest::varcharRefusesLongerTexts() {
    const QString fits(255, u'时');
    QVERIFY(m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NTime) Values (1,'%1')").arg(fits)));
    QVERIFY(!m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NTime) Values (2,'%1')").arg(fits + u'x')));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22001"});
    QVERIFY(m_connection->errorText().contains(u"255"));
    QVERIFY(!m_connection->execute(QStringLiteral("Update NKTB Set NTime = NTime + 'x'")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22001"});
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "NTime"), QStringList{fits});
    // Memo columns take texts of any length.
    const QString body(300000, u'文');
    QVERIFY(m_connection->execute(QStringLiteral("Update NKTB Set NText = '%1'").arg(body)));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "NText"), QStringList{body});
}

void EngineTest::typeMismatchFails_data() {
    QTest::addColumn<QString>("statement");
    QTest::newRow("int column = text") << "Select * From NKTB Where ID='1'";
    QTest::newRow("Memo column = number") << "Select * From NKTB Where NFID=1";
    QTest::newRow("text < number") << "Select * From NKTB Where NTitle < 5";
    QTest::newRow("joined text = number") << "Select * From NKTB Where NTitle+NKey=0";
    QTest::newRow("text as condition") << "Select * From NKTB Where NTitle";
    QTest::newRow("Not on text") << "Select * From NKTB Where Not NTitle";
    QTest::newRow("negated text") << "Select * From NKTB Where -NTitle=1";
    QTest::newRow("comparison as value") << "Update NKTB Set NType = (ID=1)";
    QTest::newRow("text that is no number into int")
        << "Insert Into NKTB (ID,NType) Values (3,'abc')";
    QTest::newRow("computed text into int") << "Update NKTB Set NType = NTitle";
    QTest::newRow("mismatch in Update's Where") << "Delete From NKTB Where NType='1'";
}

void EngineTest::typeMismatchFails() {
    QFETCH(QString, statement);
    insertSampleRows();
    const bool ran = statement.startsWith(u"Select")
                         ? (m_rows->open(statement), m_rows->recordCount() >= 0)
                         : m_connection->execute(statement);
    QVERIFY(!ran);
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22018"});
    QVERIFY(m_connection->errorText().contains(QStringLiteral("标准表达式中数据类型不匹配。")));
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "NType"),
             (QStringList{"0", "1", "1", "0", "1", "1"}));
}

void EngineTest::unknownNamesFail_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("state");
    QTest::newRow("unknown table") << "Select * From NKTB2"
                                   << "42S02";
    QTest::newRow("engine's own table") << "Select * From lanjian_tables"
                                        << "42S02";
    QTest::newRow("SQLite's own table") << "Select * From sqlite_master"
                                        << "42S02";
    QTest::newRow("insert into unknown table") << "Insert Into X (ID) Values (1)"
                                               << "42S02";
    QTest::newRow("unknown column in Where") << "Select * From NKTB Where Name='a'"
                                             << "42S22";
    QTest::newRow("unknown column in list") << "Select ID, Name From NKTB"
                                            << "42S22";
    QTest::newRow("unknown column in Order By") << "Select * From NKTB Order By Name"
                                                << "42S22";
    QTest::newRow("unknown column in Set") << "Update NKTB Set Name = 'a'"
                                           << "42S22";
    QTest::newRow("hidden row column") << "Select lanjian_row From NKTB"
                                       << "42S22";
    QTest::newRow("rowid") << "Select * From NKTB Where rowid=1"
                           << "42S22";
    QTest::newRow("column in Values") << "Insert Into NKTB (ID) Values (NType)"
                                      << "42S22";
    QTest::newRow("column named twice") << "Update NKTB Set ID = 1, id = 2"
                                        << "42S21";
    QTest::newRow("too few values") << "Insert Into NKTB (ID,NType) Values (1)"
                                    << "21S01";
    QTest::newRow("reserved table name") << "Create Table lanjian_x (A int)"
                                         << "42000";
    QTest::newRow("duplicate column") << "Create Table T (A int, a Memo)"
                                      << "42S21";
    QTest::newRow("text size 0") << "Create Table T (A varchar(0))"
                                 << "42000";
    QTest::newRow("text size 256") << "Create Table T (A text(256))"
                                   << "42000";
    QTest::newRow("Select on execute's path is checked") << "Select Name From NKTB"
                                                         << "42S22";
}

void EngineTest::unknownNamesFail() {
    QFETCH(QString, statement);
    QFETCH(QString, state);
    QVERIFY(!m_connection->execute(statement));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{state});
    if (statement.startsWith(u"Select")) {
        m_rows->open(statement);
        QCOMPARE(m_rows->recordCount(), -1);
        QCOMPARE(statesOf(m_connection->errorText()), QStringList{state});
    }
}

void EngineTest::refusedStatementsChangeNothing_data() {
    QTest::addColumn<QString>("statement");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << " \r\n";
    QTest::newRow("only ;") << ";";
    QTest::newRow("Drop") << "Drop Table NKTB";
    QTest::newRow("Alter") << "Alter Table NKTB Add Column X int";
    QTest::newRow("two statements") << "Delete From NKTB; Delete From NKTB";
    QTest::newRow("two semicolons") << "Delete From NKTB Where ID = 1;;";
    QTest::newRow("stray token") << "Delete From NKTB Where ID = 1 2";
    QTest::newRow("unterminated quote") << "Update NKTB Set NTitle = 'x Where ID = 1";
    QTest::newRow("unterminated bracket") << "Delete From [NKTB Where ID = 1";
    QTest::newRow("empty bracket") << "Delete From [] Where ID = 1";
    QTest::newRow("double quotes") << "Update NKTB Set NTitle = \"x\"";
    QTest::newRow("comment") << "Delete From NKTB -- Where ID = 1";
    QTest::newRow("missing Where operand") << "Delete From NKTB Where";
    QTest::newRow("empty search expression") << "SELECT * FROM NKTB WHERE  like '%a%'";
    QTest::newRow("dangling operator") << "Delete From NKTB Where ID = 1 And";
    QTest::newRow("chained comparison") << "Delete From NKTB Where ID = 1 = 1";
    QTest::newRow("missing id") << "Delete From NKTB Where ID = ";
    QTest::newRow("decimal literal") << "Delete From NKTB Where ID = 1.5";
    QTest::newRow("number glued to name") << "Delete From NKTB Where ID = 1x";
    QTest::newRow("unknown operator") << "Delete From NKTB Where ID != 1";
    QTest::newRow("keyword as name") << "Delete From NKTB Where Select = 1";
    QTest::newRow("Select without From") << "Select *";
    QTest::newRow("Update without Set") << "Update NKTB NTitle = 'x'";
    QTest::newRow("Insert without Values") << "Insert Into NKTB (ID)";
    QTest::newRow("Insert with empty Values") << "Insert Into NKTB (ID) Values ()";
    QTest::newRow("unknown type") << "Create Table T (A blob)";
    QTest::newRow("Create without columns") << "Create Table T ()";
    QTest::newRow("huge number") << "Delete From NKTB Where ID = 99999999999999999999";
    QTest::newRow("SQLite syntax") << "Delete From NKTB Where ID IN (1, 2)";
    QTest::newRow("control character") << "Delete From NKTB Where ID = 1 \x01";
    // Nesting beyond any real statement fails cleanly, without exhausting the stack.
    QTest::newRow("deep parentheses")
        << "Delete From NKTB Where " + QString(100000, u'(') + "ID=1" + QString(100000, u')');
    QTest::newRow("many Not") << "Delete From NKTB Where " + QString("Not ").repeated(100000) +
                                     "ID=1";
    QTest::newRow("many minus signs") << "Delete From NKTB Where " + QString(100000, u'-') + "ID=1";
    QTest::newRow("long Or chain")
        << "Delete From NKTB Where ID=1" + QString(" Or ID=1").repeated(5000);
}

void EngineTest::refusedStatementsChangeNothing() {
    QFETCH(QString, statement);
    insertSampleRows();
    QVERIFY(!m_connection->execute(statement));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"42000"});
    QVERIFY(m_connection->errorText().contains(QStringLiteral("Native: 0,")));
    m_rows->open(statement);
    QCOMPARE(m_rows->recordCount(), -1);
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "NTitle"),
             (QStringList{"目录甲", "文档乙", "文档丙", "目录丁", "文档戊", "文档己"}));
    QCOMPARE(m_connection->errorText(), QString());
}

void EngineTest::relatedStatementsAreAccepted() {
    const char* statements[] = {
        "create table [My Table] ([Col 1] INTEGER, b LONG, c TEXT, d text(10), e VARCHAR ( 5 ));",
        "INSERT INTO [my table] VALUES (1, -2, 'c', 'd', 'e')",
        "insert into [My Table] ([col 1], c) values (2, Null);",
        "UPDATE [My Table] SET b = b + 1, c = c & '!' WHERE [Col 1] = 1",
        "Delete * From [My Table] Where [Col 1] = 2",
        "Delete From [My Table] Where c Not Like '%x%' And Not c Is Null And b <> 0 And b >= -1 "
        "And b <= -1 And ([Col 1] < 2 Or [Col 1] > 5)",
    };
    for (const char* statement : statements)
        QVERIFY2(m_connection->execute(QString::fromUtf8(statement)),
                 qPrintable(m_connection->errorText()));
    // Nesting as deep as a generous statement needs is fine.
    QVERIFY2(m_connection->execute("Delete From [My Table] Where " + QString(60, u'(') + "b=1" +
                                   QString(60, u')') + QString(" Or Not -b=1").repeated(60)),
             qPrintable(m_connection->errorText()));
    QCOMPARE(readAll(QStringLiteral("select * from [MY TABLE]"), "B"), QStringList());
    QVERIFY(m_connection->execute(
        QStringLiteral("Insert Into [My Table] ([Col 1], b, c) Values (3, 4, 'x');")));
    m_rows->open(QStringLiteral("SeLeCt [col 1], C from [my table] where B=4 order by c desc;"));
    QCOMPARE(m_rows->recordCount(), 1);
    QCOMPARE(m_rows->readText(QStringLiteral("Col 1")), QStringLiteral("3"));
    QCOMPARE(m_rows->readText(QStringLiteral("c")), QStringLiteral("x"));
    QCOMPARE(m_rows->readText(QStringLiteral("b")), QString()); // not in the list
}

void EngineTest::openFails_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("password");
    QTest::newRow("missing file") << "missing.db" << QByteArray() << "";
    QTest::newRow("directory") << "folder.db" << QByteArray() << "";
    QTest::newRow("text file") << "text.db" << QByteArray("just some text\n") << "";
    QTest::newRow("empty file") << "empty.db" << QByteArray("") << "";
    QTest::newRow("Jet file") << "old.db" << QByteArray() << "";
    QTest::newRow("password") << "good.db" << emptyDatabaseImage() << "secret";
}

void EngineTest::openFails() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, password);
    const QString path = m_dir.filePath(QStringLiteral("打开失败 ") + name);
    if (name == u"folder.db") {
        QVERIFY(QDir(m_dir.path()).mkdir(QFileInfo(path).fileName()));
    } else if (name == u"old.db") {
        QVERIFY(QFile::copy(QStringLiteral(LANJIAN_FIXTURES "/jet4/no-table.db"), path));
    } else if (name != u"missing.db") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QFile original(path);
    const QByteArray originalBytes =
        original.open(QIODevice::ReadOnly) ? original.readAll() : QByteArray();
    original.close();

    QVERIFY(m_connection->isConnected());
    QVERIFY(!m_connection->open(path, password));
    QVERIFY(!m_connection->isConnected());
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"08001"});
    m_rows->open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_rows->recordCount(), -1);
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"08003"});
    // Open never creates or changes a file.
    QFile after(path);
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), originalBytes);
    QCOMPARE(QFileInfo::exists(path), name != u"missing.db");
}

void EngineTest::openFailsWhileAnotherProcessLocks() {
    m_connection->close();
    RawConnection other(m_path);
    QVERIFY(other.exec("BEGIN EXCLUSIVE"));
    QVERIFY(!m_connection->open(m_path, QString()));
    QVERIFY(!m_connection->isConnected());
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"08001"});
    QVERIFY(m_connection->errorText().contains(QStringLiteral("锁定")));
    QVERIFY(other.exec("COMMIT"));
    QVERIFY(m_connection->open(m_path, QString()));
    QCOMPARE(m_connection->errorText(), QString());

    // A write that meets another program's lock fails after the busy wait.
    QVERIFY(other.exec("BEGIN EXCLUSIVE"));
    QVERIFY(!m_connection->execute(insertDocumentText(1, "0", "甲")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"HYT00"});
    QVERIFY(other.exec("COMMIT"));
    QVERIFY(m_connection->execute(insertDocumentText(1, "0", "甲")));
}

void EngineTest::openTakesFileNamesLiterally() {
    // SQLite would read a relative name beginning with "file:" as a URI and
    // open "a.db" instead.
    const QString uriLike = QStringLiteral("file:a.db?mode=ro");
    QVERIFY(QFile::copy(m_path, m_dir.filePath(uriLike)));
    QVERIFY(!newKnowledgeBase(QStringLiteral("a.db")).isEmpty());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const bool opened = m_connection->open(uriLike, QString());
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY2(opened, qPrintable(m_connection->errorText()));
    QVERIFY(m_connection->execute(insertDocumentText(1, "0", "甲")));
}

void EngineTest::withoutConnectionEverythingFails() {
    RecordSet unbound;
    unbound.open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(unbound.recordCount(), -1);
    QCOMPARE(unbound.readText(QStringLiteral("ID")), QString());

    DatabaseConnection closed;
    QVERIFY(!closed.isConnected());
    QVERIFY(!closed.execute(QStringLiteral("Select * From NKTB")));
    QCOMPARE(statesOf(closed.errorText()), QStringList{"08003"});
    closed.close();
    closed.close();
    QCOMPARE(closed.errorText(), QString());
    QVERIFY(!closed.runInTransaction([] { return true; }));
    QCOMPARE(statesOf(closed.errorText()), QStringList{"08003"});

    RecordSet rows;
    rows.setConnection(&closed);
    rows.open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(rows.recordCount(), -1);
    QCOMPARE(rows.readInteger(QStringLiteral("ID")), 0);
    rows.moveNext();
    QCOMPARE(rows.readText(QStringLiteral("ID")), QString());
}

void EngineTest::readingColumns() {
    insertSampleRows();
    m_rows->open(QStringLiteral("Select * From NKTB Where NFID='1'"));
    QCOMPARE(m_rows->recordCount(), 3);
    QCOMPARE(m_rows->readText(QStringLiteral("ID")), QStringLiteral("2"));
    QCOMPARE(m_rows->readText(QStringLiteral("id")), QStringLiteral("2"));
    QCOMPARE(m_rows->readInteger(QStringLiteral("NFID")), 1);
    QCOMPARE(m_rows->readInteger(QStringLiteral("NTitle")), 0);
    QCOMPARE(m_rows->readText(QStringLiteral("NoSuchColumn")), QString());
    for (int i = 0; i < 3; ++i)
        m_rows->moveNext();
    QCOMPARE(m_rows->readText(QStringLiteral("ID")), QString());
    QCOMPARE(m_rows->readInteger(QStringLiteral("ID")), 0);
    m_rows->moveNext();
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());
    QCOMPARE(m_rows->recordCount(), 3);

    // A result with a column list has only those columns.
    m_rows->open(QStringLiteral("Select ID, NType From NKTB Where ID=2"));
    QCOMPARE(m_rows->readText(QStringLiteral("NType")), QStringLiteral("1"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());

    // A row deleted after the Select reads empty; the others still read.
    m_rows->open(QStringLiteral("Select * From NKTB Where NFID='1'"));
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 2")));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());
    m_rows->moveNext();
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QStringLiteral("文档丙"));

    // A failing open drops the previous result.
    m_rows->open(QStringLiteral("Select * From Nothing"));
    QCOMPARE(m_rows->recordCount(), -1);
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());
}

void EngineTest::resultOutlivingReopenReadsEmpty() {
    insertSampleRows();
    m_rows->open(QStringLiteral("Select * From NKTB Where ID=2"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QStringLiteral("文档乙"));
    const QString other = newKnowledgeBase(QStringLiteral("另一个.db"));
    QVERIFY(m_connection->open(other, QString()));
    QVERIFY(m_connection->execute(createItemTableText));
    QVERIFY(m_connection->execute(insertDocumentText(2, "0", "别的")));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());
    QCOMPARE(m_rows->recordCount(), 1);
    m_connection->close();
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QString());
    m_rows->moveNext();
}

void EngineTest::transactionsCommitAndRollBack() {
    QVERIFY(m_connection->runInTransaction([this] {
        return m_connection->execute(insertDocumentText(1, "0", "甲")) &&
               m_connection->execute(insertDocumentText(2, "0", "乙"));
    }));
    QCOMPARE(m_connection->errorText(), QString());

    // work fails half-way: nothing of it stays, and its error is kept.
    QVERIFY(!m_connection->runInTransaction([this] {
        return m_connection->execute(insertDocumentText(3, "0", "丙")) &&
               m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 1")) &&
               m_connection->execute(insertDocumentText(2147483647 + 1LL, "0", "溢出"));
    }));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22003"});
    QCOMPARE(titles(QStringLiteral("Select * From NKTB")), (QStringList{"甲", "乙"}));

    // A table made in a transaction that rolls back is gone from the file
    // and from the engine's knowledge.
    QVERIFY(!m_connection->runInTransaction([this] {
        return m_connection->execute(QStringLiteral("Create Table T (A int)")) &&
               m_connection->execute(QStringLiteral("Insert Into T (A) Values (1)")) && false;
    }));
    QVERIFY(!m_connection->execute(QStringLiteral("Insert Into T (A) Values (1)")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"42S02"});
    QVERIFY(m_connection->execute(QStringLiteral("Create Table T (A int)")));

    // Nested transactions: the inner one rolls back alone.
    QVERIFY(m_connection->runInTransaction([this] {
        const bool inner = m_connection->runInTransaction([this] {
            m_connection->execute(insertDocumentText(4, "0", "丁"));
            return false;
        });
        return !inner && m_connection->execute(insertDocumentText(5, "0", "戊"));
    }));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB")), (QStringList{"甲", "乙", "戊"}));

    // Closing the file inside work loses the transaction and says so.
    QVERIFY(!m_connection->runInTransaction([this] {
        m_connection->execute(insertDocumentText(6, "0", "己"));
        return m_connection->open(m_path, QString());
    }));
    QVERIFY(!m_connection->errorText().isEmpty());
    QCOMPARE(titles(QStringLiteral("Select * From NKTB")), (QStringList{"甲", "乙", "戊"}));

    // The commit itself fails when another program reads the file.
    RawConnection reader(m_path);
    QVERIFY(!m_connection->runInTransaction([&] {
        m_connection->execute(insertDocumentText(7, "0", "庚"));
        reader.exec("BEGIN");
        reader.column("SELECT count(*) FROM NKTB");
        return true;
    }));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"HYT00"});
    QVERIFY(reader.exec("COMMIT"));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB")), (QStringList{"甲", "乙", "戊"}));
    QVERIFY(m_connection->execute(insertDocumentText(7, "0", "庚")));
}

void EngineTest::lookUpsUseIndexes() {
    insertSampleRows();
    m_connection->close();
    auto database = sql::SqliteDatabase::open(m_path);
    sql::TableCatalogue catalogue;
    catalogue.load(*database);
    auto planOf = [&](const QString& text, bool page) {
        const sql::Statement statement = sql::parseStatement(text);
        const sql::SelectPlan plan = sql::planSelect(std::get<sql::Select>(statement), catalogue);
        std::vector<sql::SqlValue> parameters = plan.rows.parameters;
        if (page)
            parameters = {qint64(1000), qint64(64), qint64(0)};
        sql::Query query = database->query(
            "EXPLAIN QUERY PLAN " + (page ? plan.rowPage : plan.rows.sql), parameters);
        QStringList details;
        while (query.next())
            details << query.text(3);
        return details.join(u'\n');
    };
    for (const char* text :
         {"Select * From NKTB Where NFID='3'", "Select * From NKTB Where NType=0 And NFID='3'",
          "Select * From NKTB Where NFID='3' And NType=0", "Select * From NKTB Where ID=5"}) {
        const QString details = planOf(QString::fromUtf8(text), false);
        QVERIFY2(details.contains(u"USING INDEX") || details.contains(u"USING COVERING INDEX"),
                 qPrintable(details));
        QVERIFY2(!details.contains(u"TEMP B-TREE"), qPrintable(details));
    }
    const QString lastId = planOf(QStringLiteral("Select ID From NKTB Order By ID DESC"), true);
    QVERIFY2(!lastId.contains(u"TEMP B-TREE"), qPrintable(lastId));
    QVERIFY2(lastId.contains(u"INDEX"), qPrintable(lastId));
}

void EngineTest::wholeTableSelectCountsExactly() {
    // More rows than several pages hold, so that reading them all crosses
    // page boundaries.
    const int rowCount = 1000;
    QVERIFY(m_connection->runInTransaction([&] {
        for (int id = 1; id <= rowCount; ++id) {
            if (!m_connection->execute(insertDocumentText(id, "0", QString::number(id))))
                return false;
        }
        return true;
    }));
    m_rows->open(QStringLiteral("Select ID From NKTB Order By ID DESC"));
    QCOMPARE(m_rows->recordCount(), rowCount);
    QCOMPARE(m_rows->readInteger(QStringLiteral("ID")), rowCount);
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID > 990")));
    QVERIFY(m_connection->execute(QStringLiteral("Delete From NKTB Where ID = 5")));
    QVERIFY(m_connection->execute(insertDocumentText(2000, "0", "新")));
    m_rows->open(QStringLiteral("Select ID From NKTB Order By ID DESC"));
    QCOMPARE(m_rows->recordCount(), 990);
    QCOMPARE(m_rows->readInteger(QStringLiteral("ID")), 2000);

    QStringList expected;
    for (int id = 1; id <= 990; ++id) {
        if (id != 5)
            expected << QString::number(id);
    }
    expected << QStringLiteral("2000");
    QCOMPARE(readAll(QStringLiteral("Select * From NKTB"), "ID"), expected);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(readAll(QStringLiteral("Select ID From NKTB Order By ID DESC"), "ID"), expected);

    // Rows added while a result is read stay out of it.
    m_rows->open(QStringLiteral("Select ID From NKTB Order By ID DESC"));
    QStringList added;
    for (int id = 2001; id <= 2200; ++id)
        added << insertDocumentText(id, "0", QStringLiteral("后加"));
    executeAll(added);
    QStringList read;
    for (int i = 0; i < m_rows->recordCount(); ++i) {
        read << m_rows->readText(QStringLiteral("ID"));
        m_rows->moveNext();
    }
    QCOMPARE(read, expected);
    QCOMPARE(m_rows->readText(QStringLiteral("ID")), QString());
    executeAll({QStringLiteral("Delete From NKTB Where ID > 2000")});

    // Rows deleted while a result in insertion order is read are missing, and
    // no other row is skipped.
    m_rows->open(QStringLiteral("Select * From NKTB"));
    executeAll({QStringLiteral("Delete From NKTB Where ID <= 100")});
    QStringList remaining;
    for (int i = 0; i < m_rows->recordCount(); ++i) {
        if (const QString id = m_rows->readText(QStringLiteral("ID")); !id.isEmpty())
            remaining << id;
        m_rows->moveNext();
    }
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(remaining, expected.mid(99));

    // The counter survives a reopen, and is rebuilt when its triggers were
    // dropped by another program that then changed the table.
    m_connection->close();
    {
        RawConnection other(m_path);
        QVERIFY(other.exec("DROP TRIGGER \"lanjian_count_insert:NKTB\""));
        QVERIFY(other.exec("DELETE FROM NKTB WHERE ID <= 110"));
        QVERIFY(other.exec("INSERT INTO NKTB (ID) VALUES (3000)"));
    }
    QVERIFY(m_connection->open(m_path, QString()));
    m_rows->open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_rows->recordCount(), 882);
    QVERIFY(m_connection->execute(insertDocumentText(3001, "0", "新")));
    m_rows->open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_rows->recordCount(), 883);
}

void EngineTest::openResultHoldsNoLock() {
    insertSampleRows();
    m_rows->open(QStringLiteral("Select * From NKTB"));
    RecordSet second;
    second.setConnection(m_connection.get());
    second.open(QStringLiteral("SELECT * FROM NKTB WHERE NTitle like '%文档%'"));
    QCOMPARE(m_rows->readText(QStringLiteral("NTitle")), QStringLiteral("目录甲"));
    QCOMPARE(second.readText(QStringLiteral("NTitle")), QStringLiteral("文档乙"));
    // Another program can take the file for itself while both results are open.
    RawConnection other(m_path);
    QVERIFY(other.exec("BEGIN EXCLUSIVE"));
    QVERIFY(other.exec("COMMIT"));
    // And a write of this connection is on disk at once.
    QVERIFY(m_connection->execute(insertDocumentText(7, "0", "庚")));
    QCOMPARE(other.column("SELECT NTitle FROM NKTB WHERE ID = 7"), QStringList{"庚"});
}

void EngineTest::fixedColumnsComeFirstInFile() {
    RawConnection raw(m_path);
    QCOMPARE(raw.column("SELECT name FROM pragma_table_info('NKTB')"),
             (QStringList{"lanjian_row", "ID", "NTime", "NType", "NFID", "NTitle", "NKey", "NText",
                          "NRemark"}));
    QCOMPARE(raw.column("SELECT type FROM pragma_table_info('NKTB')"),
             (QStringList{"INTEGER", "INTEGER", "TEXT", "INTEGER", "TEXT", "TEXT", "TEXT", "TEXT",
                          "TEXT"}));
    // Statements still see the order of Create Table.
    m_connection->close();
    auto database = sql::SqliteDatabase::open(m_path);
    sql::TableCatalogue catalogue;
    catalogue.load(*database);
    const sql::SelectPlan plan = sql::planSelect(
        std::get<sql::Select>(sql::parseStatement(QStringLiteral("Select * From NKTB"))),
        catalogue);
    QStringList names;
    for (const sql::ResultColumn& column : plan.columns)
        names << column.name;
    QCOMPARE(names,
             (QStringList{"ID", "NFID", "NTitle", "NKey", "NText", "NRemark", "NTime", "NType"}));
}

void EngineTest::foreignSqliteFileOpens() {
    m_connection->close();
    const QString path = m_dir.filePath(QStringLiteral("别人的.db"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::NewOnly));
        file.close();
        RawConnection raw(path);
        QVERIFY(raw.exec("CREATE TABLE NKTB (ID INTEGER, NFID TEXT, NTitle Memo, NTime "
                         "VARCHAR(20), NType int)"));
        QVERIFY(raw.exec("INSERT INTO NKTB VALUES (1, '0', 'a', 't', 1), (2, '1', '0', 't', 0)"));
    }
    QVERIFY2(m_connection->open(path, QString()), qPrintable(m_connection->errorText()));
    QCOMPARE(titles(QStringLiteral("Select * From NKTB Where NFID='1'")), QStringList{"0"});
    QVERIFY(m_connection->execute(
        QStringLiteral("Insert Into NKTB (ID,NFID,NTitle) Values (3,'1','c')")));
    m_rows->open(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_rows->recordCount(), 3);
    QVERIFY(!m_connection->execute(QStringLiteral("Delete From NKTB Where ID='1'")));
    QCOMPARE(statesOf(m_connection->errorText()), QStringList{"22018"});
    RawConnection raw(path);
    QCOMPARE(raw.column("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE "
                        "'lanjian%' ORDER BY name"),
             (QStringList{"lanjian_index:NKTB:ID", "lanjian_index:NKTB:NFID"}));
}

void EngineTest::statementCountCountsFailuresToo() {
    const quint64 before = m_connection->statementCount();
    m_connection->execute(insertDocumentText(1, "0", "甲"));
    m_connection->execute(QStringLiteral("nonsense"));
    m_rows->open(QStringLiteral("Select * From NKTB"));
    m_rows->open(QStringLiteral("Select * From Nothing"));
    m_rows->readText(QStringLiteral("NTitle"));
    m_rows->moveNext();
    QCOMPARE(m_connection->statementCount(), before + 4);
    m_connection->close();
    m_connection->execute(QStringLiteral("Select * From NKTB"));
    QCOMPARE(m_connection->statementCount(), before + 5);
}

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
