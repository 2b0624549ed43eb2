#include "search/SearchText.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The tag stripping written out step by step on a text that shrinks, as a
// second opinion on the single walk of stripTags.
QString stripTagsStepByStep(QString text) {
    qsizetype p = 0;
    for (;;) {
        const qsizetype lt = text.indexOf(u'<', p);
        const qsizetype gt = text.indexOf(u'>', p);
        if (lt < 0 || gt < 0)
            return text;
        if (gt < lt) {
            p = lt;
        } else if (text.sliced(lt, gt - lt + 1) == u"<code>") {
            const qsizetype close = text.indexOf(u"</code>", p, Qt::CaseInsensitive);
            p = close >= 0 ? close + 7 : lt + 6;
        } else {
            text.remove(lt, gt - lt + 1);
            p = lt;
        }
    }
}

} // namespace

class SearchTextTest : public QObject {
    Q_OBJECT

private slots:
    void searchExpression_data();
    void searchExpression();
    void stripTags_data();
    void stripTags();
    void stripTagsAgreesWithTheStepByStepRule();
    void stripTagsReusesItsBuffer();
    void findKeyword_data();
    void findKeyword();
};

void SearchTextTest::searchExpression_data() {
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("summary");
    QTest::addColumn<bool>("body");
    QTest::addColumn<QString>("expression");
    QTest::newRow("none") << false << false << false << QString();
    QTest::newRow("title") << true << false << false << "NTitle";
    QTest::newRow("summary") << false << true << false << "NKey";
    QTest::newRow("body") << false << false << true << "NText";
    QTest::newRow("title+summary") << true << true << false << "NTitle+NKey";
    QTest::newRow("title+body") << true << false << true << "NTitle+NText";
    QTest::newRow("summary+body") << false << true << true << "NKey+NText";
    QTest::newRow("all") << true << true << true << "NTitle+NKey+NText";
}

void SearchTextTest::searchExpression() {
    QFETCH(bool, title);
    QFETCH(bool, summary);
    QFETCH(bool, body);
    QFETCH(QString, expression);
    QCOMPARE(::searchExpression(title, summary, body), expression);
}

void SearchTextTest::stripTags_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("comparison in plain text") << "<p>1 < 2 and 3 > 2</p>"
                                              << "1  2";
    QTest::newRow("lone < near the end") << "<b>x</b> and y < z"
                                         << "x and y < z";
    QTest::newRow("only a lone <") << "a < b"
                                   << "a < b";
    QTest::newRow("code block kept whole") << "a<code><b>x</b> 1<2</code>c<i>d</i>"
                                           << "a<code><b>x</b> 1<2</code>cd";
    QTest::newRow("upper-case code tag") << "<CODE><b>x</b></CODE>"
                                         << "x";
    QTest::newRow("code tag with attribute") << "<code class=x>y</code>"
                                             << "y";
    QTest::newRow("code tag with blank") << "<code >y</code>"
                                         << "y";
    QTest::newRow("unclosed code") << "<code><b>x</b>"
                                   << "<code>x";
    QTest::newRow("> before the first <") << "a>b<i>c</i>"
                                          << "a>bc";
    QTest::newRow("</CODE> closes <code>") << "<code><b>x</CODE><b>y</b>"
                                           << "<code><b>x</CODE>y";
    QTest::newRow("tag joined from two pieces") << "<co<x>de>"
                                                << "de>";
    QTest::newRow("references and breaks untouched") << "&lt;a&gt;\r\n <b>b</b>"
                                                     << "&lt;a&gt;\r\n b";
    QTest::newRow("characters outside the BMP") << "😀<b>中😀</b>x"
                                                << "😀中😀x";
    QTest::newRow("empty") << ""
                           << "";
}

void SearchTextTest::stripTags() {
    QFETCH(QString, body);
    QFETCH(QString, stripped);
    QCOMPARE(::stripTags(body), stripped);
}

void SearchTextTest::stripTagsAgreesWithTheStepByStepRule() {
    const QStringList pieces = {"<", ">", "<code>", "</code>", "</CODE>", "<CODE>", "<b>",
                                "x", " ", "中",     "😀",       "/",       "c",      "ode"};
    QRandomGenerator random(20120305);
    QString buffer;
    for (int round = 0; round < 5000; ++round) {
        QString body;
        const int length = random.bounded(16);
        for (int i = 0; i < length; ++i)
            body += pieces.at(random.bounded(int(pieces.size())));
        const QString expected = stripTagsStepByStep(body);
        QCOMPARE(::stripTags(body), expected);
        QCOMPARE(::stripTags(QStringView(body), buffer).toString(), expected);
    }
}

void SearchTextTest::stripTagsReusesItsBuffer() {
    QString buffer;
    QCOMPARE(::stripTags(u"<b>a long body of text</b>", buffer), u"a long body of text");
    QCOMPARE(::stripTags(u"<i>b</i>", buffer), u"b");
    const QString untouched = QStringLiteral("no markup here");
    QCOMPARE(::stripTags(QStringView(untouched), buffer).data(), untouched.data());
}

void SearchTextTest::findKeyword_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<qsizetype>("position");
    QTest::newRow("exact") << "Hello world"
                           << "world" << qsizetype(6);
    QTest::newRow("capitals in the text") << "HELLO WORLD"
                                          << "world" << qsizetype(6);
    QTest::newRow("capitals in the keyword") << "hello world"
                                             << "WoRlD" << qsizetype(6);
    QTest::newRow("first of several hits") << "abAB"
                                           << "ab" << qsizetype(0);
    QTest::newRow("accented letters not folded") << "ÄBC"
                                                 << "äbc" << qsizetype(-1);
    QTest::newRow("full-width letters not folded") << "ＡＢ"
                                                   << "ａｂ" << qsizetype(-1);
    QTest::newRow("Chinese not taken for another") << "乣"
                                                   << "丂" << qsizetype(-1);
    QTest::newRow("not found") << "hello"
                               << "help" << qsizetype(-1);
    QTest::newRow("keyword longer than text") << "ab"
                                              << "abc" << qsizetype(-1);
    QTest::newRow("empty keyword, empty text") << ""
                                               << "" << qsizetype(-1);
    QTest::newRow("empty keyword, text") << "a"
                                         << "" << qsizetype(0);
    QTest::newRow("after a Chinese character") << "中文abc"
                                               << "ABC" << qsizetype(2);
    QTest::newRow("Chinese keyword") << "学习机的学习"
                                     << "学习" << qsizetype(0);
    QTest::newRow("apostrophe and patterns by character") << "it's 100%_"
                                                          << "'s 100%_" << qsizetype(2);
    QTest::newRow("percent is no pattern") << "abc"
                                           << "a%c" << qsizetype(-1);
    QTest::newRow("after a character outside the BMP") << "😀a"
                                                       << "a" << qsizetype(2);
    QTest::newRow("character outside the BMP") << "a😀"
                                               << "😀" << qsizetype(1);
    QTest::newRow("second half of a pair is no start")
        << "😀" << QString(QChar(0xDE00)) << qsizetype(-1);
    QTest::newRow("first half of a pair is no hit")
        << "😀" << QString(QChar(0xD83D)) << qsizetype(-1);
}

void SearchTextTest::findKeyword() {
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(qsizetype, position);
    QCOMPARE(::findKeyword(text, keyword), position);
}

QTEST_GUILESS_MAIN(SearchTextTest)
#include "tst_searchtext.moc"
