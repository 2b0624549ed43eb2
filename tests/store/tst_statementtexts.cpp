#include "store/Statements.h"

#include <QTest>

class StatementTextsTest : public QObject {
    Q_OBJECT

private slots:
    void statementTexts_data();
    void statementTexts();
    void quoting_data();
    void quoting();
    void creationTime_data();
    void creationTime();
};

void StatementTextsTest::statementTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("createItemTable")
        << createItemTable()
        << "Create Table NKTB\r\n(\r\nID int,\r\nNFID Memo,\r\nNTitle Memo,\r\nNKey Memo,\r\n"
           "NText Memo,\r\nNRemark Memo,\r\nNTime varchar(255),\r\nNType int\r\n)";
    QTest::newRow("selectItemById") << selectItemById("42") << "Select * From NKTB Where ID=42";
    QTest::newRow("selectTopLevel") << selectTopLevel() << "Select * From NKTB Where NFID='0'";
    QTest::newRow("selectChildren") << selectChildren("7") << "Select * From NKTB Where NFID='7'";
    QTest::newRow("selectChildDirectories")
        << selectChildDirectories("7") << "Select * From NKTB Where NType=0 And NFID='7'";
    QTest::newRow("selectSubdirectoriesForDelete")
        << selectSubdirectoriesForDelete("7") << "Select * From NKTB Where NFID='7' And NType=0";
    QTest::newRow("selectLastId") << selectLastId() << "Select ID From NKTB Order By ID DESC";
    QTest::newRow("insertDocument")
        << insertDocument("8", "3", "名称", "摘要", "<b>正文</b>", "2012年3月5日")
        << "Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NRemark,NTime,NType) Values "
           "(8,'3','名称','摘要','<b>正文</b>','','2012年3月5日',1)";
    QTest::newRow("insertDirectory")
        << insertDirectory("9", "0", "目录", "", "", "2012年3月5日8时")
        << "Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NTime,NType) Values "
           "(9,'0','目录','','','2012年3月5日8时',0)";
    QTest::newRow("updateTitle") << updateTitle("5", "新名")
                                 << "Update NKTB Set NTitle = '新名' Where ID = 5";
    QTest::newRow("updateKey") << updateKey("5", "要点")
                               << "Update NKTB Set NKey = '要点' Where ID = 5";
    QTest::newRow("updateText") << updateText("5", "<p>x</p>")
                                << "Update NKTB Set NText = '<p>x</p>' Where ID = 5";
    QTest::newRow("moveItem") << moveItem("5", "12") << "Update NKTB Set NFID='12' Where ID=5";
    QTest::newRow("deleteChildren") << deleteChildren("5") << "Delete From NKTB Where NFID = '5'";
    QTest::newRow("deleteItem") << deleteItem("5") << "Delete From NKTB Where ID = 5";
    QTest::newRow("searchItems") << searchItems("NTitle+NKey+NText", "关键")
                                 << "SELECT * FROM NKTB WHERE NTitle+NKey+NText like '%关键%'";
    QTest::newRow("searchItems empty")
        << searchItems("NTitle", "") << "SELECT * FROM NKTB WHERE NTitle like '%%'";
    QTest::newRow("values are quoted")
        << insertDocument("1", "0", "it's", "'", "a''b", "t")
        << "Insert Into NKTB (ID,NFID,NTitle,NKey,NText,NRemark,NTime,NType) Values "
           "(1,'0','it''s','''','a''''b','','t',1)";
    QTest::newRow("search text is quoted") << searchItems("NKey", "O'Neil 5%_")
                                           << "SELECT * FROM NKTB WHERE NKey like '%O''Neil 5%_%'";
}

void StatementTextsTest::statementTexts() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void StatementTextsTest::quoting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "''";
    QTest::newRow("plain") << "中文 text"
                           << "'中文 text'";
    QTest::newRow("one quote") << "it's"
                               << "'it''s'";
    QTest::newRow("quotes only") << "''"
                                 << "''''''";
    QTest::newRow("nothing else escaped") << "%_\\\"[]\r\n;"
                                          << "'%_\\\"[]\r\n;'";
}

void StatementTextsTest::quoting() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(quotedText(text), expected);
}

void StatementTextsTest::creationTime_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all parts") << QTime(9, 7, 2) << "2012年3月5日9时7分2秒";
    QTest::newRow("no seconds") << QTime(14, 30, 0) << "2012年3月5日14时30分";
    QTest::newRow("zero minutes kept before seconds")
        << QTime(14, 0, 5) << "2012年3月5日14时0分5秒";
    QTest::newRow("hour only") << QTime(8, 0, 0) << "2012年3月5日8时";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "2012年3月5日";
    QTest::newRow("no leading zeros") << QTime(9, 5, 7) << "2012年3月5日9时5分7秒";
    QTest::newRow("midnight hour with seconds") << QTime(0, 0, 9) << "2012年3月5日0时0分9秒";
    QTest::newRow("milliseconds ignored") << QTime(23, 59, 0, 999) << "2012年3月5日23时59分";
}

void StatementTextsTest::creationTime() {
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    QCOMPARE(creationTimeText(QDateTime(QDate(2012, 3, 5), time)), expected);
}

QTEST_GUILESS_MAIN(StatementTextsTest)
#include "tst_statementtexts.moc"
