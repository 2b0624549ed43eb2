// A stored body that points at the network must not make the view reach it:
// a page read from a knowledge base could otherwise report who reads it.

#include "documents/DocumentView.h"
#include "documents/HtmlView.h"
#include "tests/documents/support/TestKnowledgeBase.h"

#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

class HostileContentTest : public QObject {
    Q_OBJECT

private slots:
    void remoteResourcesAreNeverFetched();
};

void HostileContentTest::remoteResourcesAreNeverFetched() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    connect(&server, &QTcpServer::newConnection, [&] {
        ++connections;
        delete server.nextPendingConnection();
    });
    const QString base = u"http://127.0.0.1:%1"_s.arg(server.serverPort());

    TestKnowledgeBase knowledgeBase;
    QVERIFY(knowledgeBase.isReady());
    const QString body = u"<html><head><link rel=\"stylesheet\" href=\"%1/style.css\">"
                         "<link rel=\"icon\" href=\"%1/favicon.ico\"></head>"
                         "<body background=\"%1/back.png\"><p>正文</p>"
                         "<img src=\"%1/x\"><img src=\"//127.0.0.1:%2/protocol-relative.png\">"
                         "<table background=\"%1/cell.png\"><tr><td>格</td></tr></table>"
                         "<script src=\"%1/script.js\"></script>"
                         "<iframe src=\"%1/frame.html\"></iframe></body></html>"_s.arg(base)
                             .arg(server.serverPort());
    QVERIFY(knowledgeBase.addDocument(1, 0, u"带网络地址的文档"_s, body));

    HtmlView viewBox;
    viewBox.resize(400, 300);
    viewBox.show();
    DocumentView view(knowledgeBase.runDirectory(), knowledgeBase.database().primaryRecordSet,
                      viewBox);
    view.showItem(u"1"_s);
    viewBox.grab(); // lays the page out, which loads its resources
    QVERIFY(viewBox.toPlainText().contains(u"正文"_s));
    // A connection would arrive within this time on loopback.
    QTest::qWait(300);
    QCOMPARE(connections, 0);
    QVERIFY(!server.hasPendingConnections());
}

QTEST_MAIN(HostileContentTest)
#include "tst_hostilecontent.moc"
