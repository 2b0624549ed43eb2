#include "documents/DocumentView.h"
#include "documents/HtmlView.h"
#include "resources/WelcomePage.h"
#include "store/Statements.h"
#include "tests/documents/support/TestKnowledgeBase.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a view shows of a text, for comparing pages.
QString rendered(const QString& html) {
    HtmlView view;
    view.setHtml(html);
    return view.toPlainText();
}

} // namespace

class DocumentViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void itemsWithoutBodyShowTheWelcomePage_data();
    void itemsWithoutBodyShowTheWelcomePage();
    void bodyIsShownUnchanged();
    void sameItemTwiceLoadsTwice();
    void previewLeavesTheViewAlone();
    void failedTempPageWriteIsSilent();

private:
    std::unique_ptr<TestKnowledgeBase> m_base;
    std::unique_ptr<HtmlView> m_viewBox;
    std::unique_ptr<DocumentView> m_view;
};

void DocumentViewTest::init() {
    m_base = std::make_unique<TestKnowledgeBase>();
    QVERIFY(m_base->isReady());
    QVERIFY(m_base->addDocument(1, 0, u"空文档"_s));
    QVERIFY(m_base->addDocument(2, 0, u"空白"_s, u" "_s));
    QVERIFY(m_base->addDirectory(3, 0, u"目录"_s, u"<b>目录正文</b>\r\n第二行"_s));
    m_viewBox = std::make_unique<HtmlView>();
    m_view = std::make_unique<DocumentView>(m_base->runDirectory(),
                                            m_base->database().primaryRecordSet, *m_viewBox);
}

void DocumentViewTest::cleanup() {
    m_view.reset();
    m_viewBox.reset();
    m_base.reset();
}

void DocumentViewTest::itemsWithoutBodyShowTheWelcomePage_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("connected");
    QTest::newRow("empty body") << u"1"_s << true;
    QTest::newRow("no such item") << u"99"_s << true;
    QTest::newRow("no current item") << u"0"_s << true;
    QTest::newRow("no open knowledge base") << u"3"_s << false;
}

void DocumentViewTest::itemsWithoutBodyShowTheWelcomePage() {
    QFETCH(QString, id);
    QFETCH(bool, connected);
    if (!connected)
        m_base->database().connection.close();
    m_view->showItem(id);
    QCOMPARE(readFile(m_view->tempPage()), welcomePage().toUtf8());
    QCOMPARE(m_viewBox->source(), QUrl::fromLocalFile(m_view->tempPage()));
    QCOMPARE(m_viewBox->toPlainText(), rendered(welcomePage()));
}

void DocumentViewTest::bodyIsShownUnchanged() {
    QCOMPARE(m_view->tempPage(), m_base->runDirectory() + u"/Data/Temp.html"_s);
    m_view->showItem(u"3"_s); // a directory has a body too
    QCOMPARE(readFile(m_view->tempPage()), u"<b>目录正文</b>\r\n第二行"_s.toUtf8());
    QCOMPARE(m_viewBox->toPlainText(), u"目录正文 第二行"_s);
    // A body of one blank is a blank page, not the welcome page.
    m_view->showItem(u"2"_s);
    QCOMPARE(readFile(m_view->tempPage()), QByteArray(" "));
    QVERIFY(m_viewBox->toPlainText().trimmed().isEmpty());
}

void DocumentViewTest::sameItemTwiceLoadsTwice() {
    m_view->showItem(u"3"_s);
    QVERIFY(m_base->execute(updateText(u"3"_s, u"新的正文"_s)));
    m_view->showItem(u"3"_s);
    QCOMPARE(m_viewBox->toPlainText(), u"新的正文"_s);
}

void DocumentViewTest::previewLeavesTheViewAlone() {
    HtmlView preview;
    m_view->showItem(u"3"_s);
    m_view->showHtml(preview, u"预览的文字"_s);
    QCOMPARE(readFile(m_view->tempPage()), u"预览的文字"_s.toUtf8());
    QCOMPARE(preview.toPlainText(), u"预览的文字"_s);
    QCOMPARE(m_viewBox->toPlainText(), u"目录正文 第二行"_s);
}

void DocumentViewTest::failedTempPageWriteIsSilent() {
    QVERIFY(QDir(m_base->dataDirectory()).removeRecursively());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No document for"_s));
    m_view->showItem(u"3"_s);
    QVERIFY(!QFileInfo::exists(m_base->dataDirectory()));
    QVERIFY(m_viewBox->toPlainText().isEmpty());
}

QTEST_MAIN(DocumentViewTest)
#include "tst_documentview.moc"
