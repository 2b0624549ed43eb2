#include "store/sql/LikeMatcher.h"

#include <QTest>

// The like matcher on its own: every way it can take through a pattern.
class EngineLikeTest : public QObject {
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void patternIsReusedAcrossTexts();
    void manyPercentSignsStayCheap();
    void caselessBlocksReallyHaveNoCase();
};

void EngineLikeTest::matches_data() {
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("expected");
    // Substring of bytes: nothing else folds to the needle's characters.
    QTest::newRow("caseless needle") << QByteArray("%知识%") << QByteArray("岚笺知识库") << true;
    QTest::newRow("caseless needle missing")
        << QByteArray("%知识%") << QByteArray("知 识") << false;
    QTest::newRow("digits and punctuation") << QByteArray("%1+1%") << QByteArray("=1+1=") << true;
    QTest::newRow("empty needle, empty text") << QByteArray("%%") << QByteArray("") << true;
    // Substring of ASCII-lowered text.
    QTest::newRow("ASCII upper in text")
        << QByteArray("%hello%") << QByteArray("SAY HELLO") << true;
    QTest::newRow("ASCII upper in needle") << QByteArray("%HELLO%") << QByteArray("hello") << true;
    QTest::newRow("ASCII with Chinese")
        << QByteArray("%html标签%") << QByteArray("<HTML标签>") << true;
    QTest::newRow("ASCII, non-ASCII text") << QByteArray("%e%") << QByteArray("É") << false;
    // Folded text: k and s, and letters beyond ASCII.
    QTest::newRow("k matches KELVIN SIGN") << QByteArray("%k%") << QByteArray("5\u212A") << true;
    QTest::newRow("KELVIN SIGN matches K") << QByteArray("%\u212A%") << QByteArray("OK") << true;
    QTest::newRow("s matches LONG S")
        << QByteArray("%class%") << QByteArray("cla\u017F\u017F") << true;
    QTest::newRow("s in CSS") << QByteArray("%css%") << QByteArray("a.CSS") << true;
    QTest::newRow("Latin-1") << QByteArray("%café%") << QByteArray("CAFÉ") << true;
    QTest::newRow("sharp s from capital") << QByteArray("%ß%") << QByteArray("\u1E9E") << true;
    QTest::newRow("sigma forms") << QByteArray("%σς%") << QByteArray("ΣΣ") << true;
    QTest::newRow("Cyrillic") << QByteArray("%привет%") << QByteArray("ПРИВЕТ мир") << true;
    QTest::newRow("two bytes growing to three")
        << QByteArray("%\u2C65%") << QByteArray("x\u023A") << true;
    QTest::newRow("folded, missing") << QByteArray("%é%") << QByteArray("e\u0301") << false;
    QTest::newRow("malformed byte") << QByteArray("%a\xFF%") << QByteArray("xA\xFFy") << true;
    // Patterns.
    QTest::newRow("whole text") << QByteArray("Hello") << QByteArray("hELLO") << true;
    QTest::newRow("whole text is not a substring")
        << QByteArray("ell") << QByteArray("hello") << false;
    QTest::newRow("prefix") << QByteArray("he%") << QByteArray("Hello") << true;
    QTest::newRow("suffix") << QByteArray("%LO") << QByteArray("hello") << true;
    QTest::newRow("suffix missing") << QByteArray("%LO") << QByteArray("hellox") << false;
    QTest::newRow("underscore") << QByteArray("h_llo") << QByteArray("hallo") << true;
    QTest::newRow("underscore needs a character")
        << QByteArray("h_llo") << QByteArray("hllo") << false;
    QTest::newRow("underscore on four bytes") << QByteArray("_") << QByteArray("😀") << true;
    QTest::newRow("underscore on Chinese") << QByteArray("知_库") << QByteArray("知识库") << true;
    QTest::newRow("underscore inside percent")
        << QByteArray("%a_c%") << QByteArray("xxABCxx") << true;
    QTest::newRow("backtracking") << QByteArray("%ab%ab%c") << QByteArray("xabyabababc") << true;
    QTest::newRow("percent alone") << QByteArray("%") << QByteArray("") << true;
    QTest::newRow("empty pattern") << QByteArray("") << QByteArray("") << true;
    QTest::newRow("empty pattern, text") << QByteArray("") << QByteArray("a") << false;
    QTest::newRow("bracket is literal") << QByteArray("[a]%") << QByteArray("[A]b") << true;
    QTest::newRow("bracket is no class") << QByteArray("[a]") << QByteArray("a") << false;
    QTest::newRow("star and question mark are literal")
        << QByteArray("a*?") << QByteArray("a*?") << true;
    QTest::newRow("star matches no run") << QByteArray("a*") << QByteArray("abc") << false;
}

void EngineLikeTest::matches() {
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, text);
    QFETCH(bool, expected);
    sql::LikePattern like(pattern);
    QCOMPARE(like.matches(text), expected);
}

void EngineLikeTest::patternIsReusedAcrossTexts() {
    // The buffers of a long text must not leak into the match of a short one.
    for (const char* pattern : {"%abc%", "%ßa%", "%a_c%", "%ksa%"}) {
        sql::LikePattern like{QByteArrayView(pattern)};
        const QByteArray needle = QByteArray(pattern).replace('%', "").replace('_', "b");
        QVERIFY(like.matches(QByteArray(5000, 'x') + needle));
        QVERIFY(!like.matches(QByteArray("x")));
        QVERIFY(!like.matches(QByteArray()));
        QVERIFY(like.matches(needle.toUpper()));
    }
}

void EngineLikeTest::manyPercentSignsStayCheap() {
    // A backtracking matcher that tries every split would never finish here.
    const QByteArray text(20000, 'a');
    sql::LikePattern like{QByteArrayView("%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%a%b")};
    QVERIFY(!like.matches(text));
    sql::LikePattern underscores{QByteArrayView("%a_a_a_a_a_a_a_a_a_a_b%")};
    QVERIFY(!underscores.matches(text));
}

void EngineLikeTest::caselessBlocksReallyHaveNoCase() {
    // The folded copy takes characters of these blocks without looking up
    // their folding.
    for (char32_t c = 0x3000; c <= 0xDFFF; ++c) {
        if (c >= 0xA000 && c < 0xB000)
            continue;
        QCOMPARE(QChar::toCaseFolded(c), c);
    }
}

QTEST_GUILESS_MAIN(EngineLikeTest)
#include "tst_enginelike.moc"
