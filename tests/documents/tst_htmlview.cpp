#include "documents/HtmlView.h"
#include "documents/LinkOpener.h"
#include "documents/TempPage.h"
#include "documents/UrlOpener.h"
#include "resources/WebAddresses.h"
#include "resources/WelcomePage.h"
#include "store/StatusView.h"
#include "tests/support/RecordingViews.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RecordingOpener : public UrlOpener {
public:
    QList<QUrl> opened;
    void openUrl(const QUrl& address) override { opened << address; }
};

// Keeps every resource the view asked for and what it got.
class RecordingView : public HtmlView {
public:
    struct Load {
        QUrl name;
        QVariant result;
    };
    QList<Load> loads;

    QVariant loadResource(int type, const QUrl& name) override {
        const QVariant result = HtmlView::loadResource(type, name);
        if (type == QTextDocument::ImageResource)
            loads.append({name, result});
        return result;
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pngBytes() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class HtmlViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void welcomePageText();
    void tempPageIsTheTextAsUtf8();
    void failedTempPageWriteLeavesNoHalfFile();
    void unchangedAddressLoadsAgain();
    void pageIsReadAsUtf8WhateverItDeclares();
    void picturesComeFromLocalFilesOnly_data();
    void picturesComeFromLocalFilesOnly();
    void clickedLinks_data();
    void clickedLinks();

private:
    void showPage(HtmlView& view, const QString& html);

    std::unique_ptr<QTemporaryDir> m_run;
    QString m_data;
};

void HtmlViewTest::init() {
    m_run = std::make_unique<QTemporaryDir>();
    QVERIFY(m_run->isValid());
    m_data = m_run->path() + u"/Data"_s;
    QVERIFY(QDir().mkpath(m_data));
}

void HtmlViewTest::showPage(HtmlView& view, const QString& html) {
    QVERIFY(writeTempPage(tempPage(m_run->path()), html));
    view.setAddress(tempPage(m_run->path()));
}

void HtmlViewTest::welcomePageText() {
    const QString home = QString::fromUtf8(homePageAddress);
    const QUrl homeUrl(home);
    QVERIFY(homeUrl.scheme() == "http"_L1 || homeUrl.scheme() == "https"_L1);
    const QString shown = homeUrl.host() + homeUrl.path();
    const QString expected =
        u"欢迎使用 <h1><font color=\"#FF0000\">岚笺学习机</font></h1><br/>\r\n"
        u"<br/>\r\n"
        u"使用它，你可以一边学习一边记录，将每一个知识点写成一篇文档。以后，你就可以随时回来翻阅、"
        u"查询和编辑。就像是一本由你亲手打造的电子字典一样方便快捷<br/>\r\n"
        u"<br/>\r\n"
        u"还等什么，赶快试试吧<br/>\r\n"
        u"<br/>\r\n"
        u"岚笺工作室 <a href=\""_s +
        home + u"\" target=\"_blank\">"_s + shown + u"</a>"_s;
    QCOMPARE(welcomePage(), expected);
}

void HtmlViewTest::tempPageIsTheTextAsUtf8() {
    const QString file = tempPage(m_run->path());
    QCOMPARE(file, m_run->path() + u"/Data/Temp.html"_s);
    QVERIFY(writeTempPage(file, u"a much longer text that will be replaced"_s));
    const QString text = u"第一行\r\n<b>二</b> 'x'"_s;
    QVERIFY(writeTempPage(file, text));
    QCOMPARE(readFile(file), text.toUtf8()); // no byte-order mark, nothing added, truncated
    QVERIFY(writeTempPage(file, QString()));
    QCOMPARE(readFile(file), QByteArray());
}

void HtmlViewTest::failedTempPageWriteLeavesNoHalfFile() {
    // Data missing: nothing is written anywhere.
    QTemporaryDir bare;
    QVERIFY(!writeTempPage(tempPage(bare.path()), u"text"_s));
    QVERIFY(!QFileInfo::exists(bare.path() + u"/Data"_s));
    // Temp.html taken by a directory: it stays as it was, and no stray file is left.
    const QString file = tempPage(m_run->path());
    QVERIFY(QDir().mkpath(file + u"/inside"_s));
    QVERIFY(!writeTempPage(file, u"text"_s));
    QVERIFY(QFileInfo(file + u"/inside"_s).isDir());
    QCOMPARE(QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"Temp.html"_s});
}

void HtmlViewTest::unchangedAddressLoadsAgain() {
    HtmlView view;
    showPage(view, u"first"_s);
    QCOMPARE(view.toPlainText(), u"first"_s);
    showPage(view, u"second"_s);
    QCOMPARE(view.toPlainText(), u"second"_s);
    showPage(view, u"second"_s);
    QCOMPARE(view.toPlainText(), u"second"_s);
    // Another box pointed at the same page keeps what it loaded until it is
    // given the address again.
    HtmlView other;
    showPage(other, u"third"_s);
    QCOMPARE(view.toPlainText(), u"second"_s);
}

void HtmlViewTest::pageIsReadAsUtf8WhateverItDeclares() {
    HtmlView view;
    showPage(view, u"<meta charset=\"gb2312\">中文页面"_s);
    QCOMPARE(view.toPlainText().trimmed(), u"中文页面"_s);
}

void HtmlViewTest::picturesComeFromLocalFilesOnly_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("file"); // under Data; empty: nothing is loaded
    QTest::newRow("bare name") << u"photo.png"_s << u"photo.png"_s;
    QTest::newRow("old backslash path") << u"img\\photo.png"_s << u"img/photo.png"_s;
    QTest::newRow("Chinese folder") << u"图片\\照片.png"_s << u"图片/照片.png"_s;
    QTest::newRow("absolute path") << u"ABSOLUTE"_s << u"photo.png"_s;
    QTest::newRow("web address") << u"http://127.0.0.1:9/photo.png"_s << QString();
    QTest::newRow("missing file") << u"nothing.png"_s << QString();
    QTest::newRow("name with characters an address reads otherwise")
        << u"图片/C%23 &quot;R&amp;D&quot; 50%25%3F.png"_s << u"图片/C# \"R&D\" 50%?.png"_s;
}

void HtmlViewTest::picturesComeFromLocalFilesOnly() {
    QFETCH(QString, source);
    QFETCH(QString, file);
    const QByteArray picture = pngBytes();
    writeFile(m_data + u"/photo.png"_s, picture);
    if (!file.isEmpty())
        writeFile(m_data + u'/' + file, picture);
    if (source == "ABSOLUTE"_L1)
        source = m_data + u"/photo.png"_s;

    RecordingView view;
    view.resize(200, 200);
    showPage(view, u"<p>before</p><img src=\""_s + source + u"\"><p>after</p>"_s);
    view.grab(); // lays the page out, which loads its pictures
    QVERIFY(!view.loads.isEmpty());
    const QVariant loaded = view.loads.last().result;
    if (file.isEmpty())
        QVERIFY(!loaded.isValid());
    else
        QCOMPARE(loaded.toByteArray(), picture);
}

void HtmlViewTest::clickedLinks_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("opened");  // the address handed to the desktop
    QTest::addColumn<QString>("message"); // the status line
    QTest::newRow("web") << u"http://example.com/a?b=1"_s << u"http://example.com/a?b=1"_s
                         << QString();
    QTest::newRow("secure web") << u"https://example.com/"_s << u"https://example.com/"_s
                                << QString();
    QTest::newRow("mail") << u"mailto:someone@example.com"_s << u"mailto:someone@example.com"_s
                          << QString();
    QTest::newRow("attachment in Data")
        << u"附件\\报告.txt"_s << u"DATA/附件/报告.txt"_s << QString();
    QTest::newRow("absolute attachment")
        << u"DATA/附件/报告.txt"_s << u"DATA/附件/报告.txt"_s << QString();
    QTest::newRow("attachment with characters an address reads otherwise")
        << u"附件/C%23 &quot;R&amp;D&quot; 50%25%3F.txt"_s << u"DATA/附件/C# \"R&D\" 50%?.txt"_s
        << QString();
    QTest::newRow("missing attachment")
        << u"缺少.pdf"_s << QString() << u"找不到文件【DATA/缺少.pdf】"_s;
    QTest::newRow("old drive path")
        << u"C:\\docs\\report.pdf"_s << QString() << u"找不到文件【C:/docs/report.pdf】"_s;
    QTest::newRow("script") << u"javascript:alert(1)"_s << QString() << QString();
    QTest::newRow("other scheme") << u"ftp://example.com/file"_s << QString() << QString();
    QTest::newRow("on this page") << u"#part"_s << QString() << QString();
}

void HtmlViewTest::clickedLinks() {
    QFETCH(QString, href);
    QFETCH(QString, opened);
    QFETCH(QString, message);
    writeFile(m_data + u"/附件/报告.txt"_s, "report");
    writeFile(m_data + u"/附件/C# \"R&D\" 50%?.txt"_s, "report");
    href.replace(u"DATA"_s, m_data);
    opened.replace(u"DATA"_s, m_data);
    message.replace(u"DATA"_s, m_data);

    RecordingOpener opener;
    RecordingStatus status;
    LinkOpener links(opener, status);
    HtmlView view;
    view.setLinkOpener(&links);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    showPage(view,
             u"<p><a href=\""_s + href + u"\">the link</a></p><p><a name=\"part\">here</a></p>"_s);
    const QString page = view.toPlainText();

    const QTextCursor found = view.document()->find(u"the link"_s);
    QVERIFY(!found.isNull());
    QTextCursor inside(view.document());
    inside.setPosition(found.selectionStart() + 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cursorRect(inside).center());

    QList<QUrl> expected;
    if (!opened.isEmpty())
        expected << (opened.startsWith(u'/') ? QUrl::fromLocalFile(opened) : QUrl(opened));
    QCOMPARE(opener.opened, expected);
    QCOMPARE(status.messages, message.isEmpty() ? QStringList() : QStringList{message});
    // The view never navigates.
    QCOMPARE(view.source(), QUrl::fromLocalFile(tempPage(m_run->path())));
    QCOMPARE(view.toPlainText(), page);
}

QTEST_MAIN(HtmlViewTest)
#include "tst_htmlview.moc"
