#include "documents/ColourPicker.h"
#include "documents/HtmlHighlighter.h"
#include "documents/MarkupToolbar.h"
#include "documents/Prompts.h"
#include "store/StatusView.h"
#include "tests/support/RecordingViews.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class RecordingPreview : public PreviewDisplay {
public:
    QStringList shown;
    void showPreview(const QString& html) override { shown << html; }
};

// The code page of the edit page as the main window builds it, with the
// toolbar on it.
struct ToolbarFixture {
    const QString runDirectory = QStringLiteral("/run/岚笺");
    QWidget window;
    MarkupControls controls;
    ScriptedPrompts prompts;
    RecordingStatus status;
    RecordingPreview preview;
    std::unique_ptr<MarkupToolbar> toolbar;

    ToolbarFixture() {
        controls.选择夹_中 = new QTabWidget(&window);
        auto* codePage = new QWidget;
        controls.选择夹_中->addTab(codePage, QStringLiteral("代码"));
        controls.选择夹_中->addTab(new QWidget, QStringLiteral("预览"));
        controls.超级编辑框 = new QPlainTextEdit(codePage);
        controls.按钮1 = new QPushButton(QStringLiteral("下划线"), codePage);
        controls.按钮2 = new QPushButton(QStringLiteral("删除线"), codePage);
        controls.按钮3 = new QPushButton(QStringLiteral("加粗"), codePage);
        controls.按钮4 = new QPushButton(QStringLiteral("倾斜"), codePage);
        controls.按钮_图片 = new QPushButton(codePage);
        controls.按钮_链接 = new QPushButton(codePage);
        controls.按钮_附件 = new QPushButton(codePage);
        controls.组合框1 = new QComboBox(codePage);
        controls.组合框1->addItems({QStringLiteral("字体大小"), QStringLiteral("h1"),
                                    QStringLiteral("h2"), QStringLiteral("h3"),
                                    QStringLiteral("h4"), QStringLiteral("h5"),
                                    QStringLiteral("h6")});
        controls.选择框_br = new QCheckBox(QStringLiteral("自动添加<br/>"), codePage);
        controls.选择框_br->setChecked(true);
        controls.颜色选择器 = new QToolButton(codePage);
        toolbar = std::make_unique<MarkupToolbar>(controls, runDirectory, prompts, status, preview);
    }

    QPlainTextEdit& box() const { return *controls.超级编辑框; }
    QString text() const { return box().toPlainText(); }

    // The box holds text with [start, end) selected (the caret at end).
    void setText(const QString& text, int start, int end) {
        box().setPlainText(text);
        QTextCursor cursor(box().document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        box().setTextCursor(cursor);
    }
    void setText(const QString& text, const QString& selected) {
        const int start = int(text.indexOf(selected));
        setText(text, start, start + int(selected.size()));
    }
};

} // namespace

class MarkupTest : public QObject {
    Q_OBJECT

private slots:
    void colourTextTakesRedGreenBlueFromTheLowBytes_data();
    void colourTextTakesRedGreenBlueFromTheLowBytes();
    void dataRelativePathCutsOnlyTheExactDataDirectory_data();
    void dataRelativePathCutsOnlyTheExactDataDirectory();
    void bareFileNameDropsDirectoryAndExtension_data();
    void bareFileNameDropsDirectoryAndExtension();
    void wrapSelectionWrapsTheSelectionOrInsertsAtTheCaret_data();
    void wrapSelectionWrapsTheSelectionOrInsertsAtTheCaret();
    void codeTextKeepsEveryCharacter();

    void styleButtonsWrapTheSelectionOnly_data();
    void styleButtonsWrapTheSelectionOnly();
    void colourPickerWrapsInAFontTag();
    void colourPickerWithoutSelectionOrChoiceInsertsNothing();
    void headingComboWrapsInTheChosenHeading();
    void linkWrapsOrInsertsAndRefusesIncompleteInput_data();
    void linkWrapsOrInsertsAndRefusesIncompleteInput();
    void pictureIsReferencedRelativeToTheDataDirectory_data();
    void pictureIsReferencedRelativeToTheDataDirectory();
    void attachmentIsNamedByTheUserOrByItsBareName_data();
    void attachmentIsNamedByTheUserOrByItsBareName();
    void enterAddsALineBreakTagWhileChecked_data();
    void enterAddsALineBreakTagWhileChecked();
    void eachInsertionIsOneUndoStep_data();
    void eachInsertionIsOneUndoStep();
    void previewShowsTheUnsavedTextAndKeepsTheSelection();
    void highlighterMarksTagsValuesAndComments();
};

void MarkupTest::colourTextTakesRedGreenBlueFromTheLowBytes_data() {
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("pure red") << quint32(0x0000FF) << "#ff0000";
    QTest::newRow("red 56 green 34 blue 12") << quint32(0x123456) << "#563412";
    QTest::newRow("red 0F") << quint32(0x00000F) << "#0f0000";
    QTest::newRow("red 56 green 34 blue 02") << quint32(0x023456) << "#563402";
    QTest::newRow("black") << quint32(0) << "#000000";
    QTest::newRow("透明") << ColourPicker::transparentValue << "#000000";
}

void MarkupTest::colourTextTakesRedGreenBlueFromTheLowBytes() {
    QFETCH(quint32, value);
    QFETCH(QString, text);
    QCOMPARE(colourText(value), text);
}

void MarkupTest::dataRelativePathCutsOnlyTheExactDataDirectory_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("result");
    QTest::newRow("inside Data") << "/run/岚笺/Data/photo.png"
                                 << "photo.png";
    QTest::newRow("in Data/img") << "/run/岚笺/Data/img/photo.png"
                                 << "img/photo.png";
    QTest::newRow("elsewhere") << "/home/user/photo.png"
                               << "/home/user/photo.png";
    QTest::newRow("other letter case") << "/run/岚笺/data/photo.png"
                                       << "/run/岚笺/data/photo.png";
    QTest::newRow("name beginning like Data") << "/run/岚笺/Database/photo.png"
                                              << "/run/岚笺/Database/photo.png";
}

void MarkupTest::dataRelativePathCutsOnlyTheExactDataDirectory() {
    QFETCH(QString, path);
    QFETCH(QString, result);
    QCOMPARE(dataRelativePath(path, QStringLiteral("/run/岚笺/Data/")), result);
}

void MarkupTest::bareFileNameDropsDirectoryAndExtension_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("last dot only") << "/home/user/report.v2.pdf"
                                   << "report.v2";
    QTest::newRow("no dot") << "/home/user/README"
                            << "README";
    QTest::newRow("no directory") << "报告.pdf"
                                  << "报告";
    QTest::newRow("backslash path") << "C:\\docs\\report.pdf"
                                    << "report";
    QTest::newRow("dot in a directory only") << "/home/u.v/README"
                                             << "README";
    QTest::newRow("leading dot") << "/home/user/.profile"
                                 << ".profile";
}

void MarkupTest::bareFileNameDropsDirectoryAndExtension() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(bareFileName(path), name);
}

void MarkupTest::wrapSelectionWrapsTheSelectionOrInsertsAtTheCaret_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("always");
    QTest::addColumn<QString>("result");
    // In "ab\ncd"; positions count characters, the line break being one.
    QTest::newRow("selection") << 1 << 2 << false << "a[b]\ncd";
    QTest::newRow("selection over a line break") << 1 << 4 << false << "a[b\nc]d";
    QTest::newRow("no selection") << 1 << 1 << false << "ab\ncd";
    QTest::newRow("no selection, always") << 4 << 4 << true << "ab\nc[]d";
    QTest::newRow("selection, always") << 0 << 2 << true << "[ab]\ncd";
}

void MarkupTest::wrapSelectionWrapsTheSelectionOrInsertsAtTheCaret() {
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, always);
    QFETCH(QString, result);
    ToolbarFixture fixture;
    fixture.setText(QStringLiteral("ab\ncd"), start, end);
    wrapSelection(fixture.box(), QStringLiteral("["), QStringLiteral("]"), always);
    QCOMPARE(fixture.text(), result);
}

void MarkupTest::codeTextKeepsEveryCharacter() {
    ToolbarFixture fixture;
    const QString text = u"a\u00a0b\nc\td"_s;
    fixture.box().setPlainText(text);
    QCOMPARE(codeText(fixture.box()), text);
    QCOMPARE(codeText(fixture.box(), QStringLiteral("\r\n")), u"a\u00a0b\r\nc\td"_s);
}

void MarkupTest::styleButtonsWrapTheSelectionOnly_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tag");
    QTest::newRow("按钮3") << "加粗"
                           << "B";
    QTest::newRow("按钮4") << "倾斜"
                           << "I";
    QTest::newRow("按钮1") << "下划线"
                           << "U";
    QTest::newRow("按钮2") << "删除线"
                           << "S";
}

void MarkupTest::styleButtonsWrapTheSelectionOnly() {
    QFETCH(QString, caption);
    QFETCH(QString, tag);
    ToolbarFixture fixture;
    QPushButton* button = nullptr;
    for (QPushButton* candidate : fixture.window.findChildren<QPushButton*>())
        if (candidate->text() == caption)
            button = candidate;
    QVERIFY(button);

    fixture.setText(QStringLiteral("你好 world"), QStringLiteral("world"));
    button->click();
    QCOMPARE(fixture.text(), u"你好 <"_s + tag + u">world</"_s + tag + u">"_s);

    fixture.setText(QStringLiteral("你好 world"), 2, 2);
    button->click();
    QCOMPARE(fixture.text(), QStringLiteral("你好 world"));
}

void MarkupTest::colourPickerWrapsInAFontTag() {
    ToolbarFixture fixture;
    ColourPicker& picker = fixture.toolbar->colourPicker();
    QMenu& menu = picker.menu();

    // A colour of the palette.
    QToolButton* red = nullptr;
    for (QToolButton* swatch : menu.findChildren<QToolButton*>())
        if (swatch->accessibleName() == u"#ff0000"_s)
            red = swatch;
    QVERIFY(red);
    fixture.setText(QStringLiteral("abc"), QStringLiteral("b"));
    red->click();
    QCOMPARE(fixture.text(), QStringLiteral("a<font color=\"#ff0000\">b</font>c"));
    QCOMPARE(picker.colourValue(), quint32(0x0000FF));

    // 透明, and a colour from the dialog, which starts at the colour last chosen.
    const auto action = [&menu](const QString& text) {
        for (QAction* candidate : menu.actions())
            if (candidate->text() == text)
                return candidate;
        return static_cast<QAction*>(nullptr);
    };
    fixture.setText(QStringLiteral("abc"), QStringLiteral("b"));
    action(QStringLiteral("透明"))->trigger();
    QCOMPARE(fixture.text(), QStringLiteral("a<font color=\"#000000\">b</font>c"));

    fixture.setText(QStringLiteral("abc"), QStringLiteral("b"));
    fixture.prompts.answerColour(QColor(0x56, 0x34, 0x02));
    action(QStringLiteral("其它颜色..."))->trigger();
    QCOMPARE(fixture.text(), QStringLiteral("a<font color=\"#563402\">b</font>c"));
    QCOMPARE(fixture.prompts.asked().last(), QStringLiteral("#000000"));
    QCOMPARE(picker.colourValue(), quint32(0x023456));
}

void MarkupTest::colourPickerWithoutSelectionOrChoiceInsertsNothing() {
    ToolbarFixture fixture;
    QMenu& menu = fixture.toolbar->colourPicker().menu();
    QSignalSpy chosen(&fixture.toolbar->colourPicker(), &ColourPicker::colourChosen);

    fixture.setText(QStringLiteral("abc"), 1, 1);
    menu.findChildren<QToolButton*>().first()->click();
    QCOMPARE(fixture.text(), QStringLiteral("abc"));

    // The colour dialog cancelled: no choice, no event.
    fixture.setText(QStringLiteral("abc"), QStringLiteral("b"));
    fixture.prompts.answerColour(std::nullopt);
    menu.actions().last()->trigger();
    QCOMPARE(fixture.text(), QStringLiteral("abc"));
    QCOMPARE(chosen.count(), 1);
}

void MarkupTest::headingComboWrapsInTheChosenHeading() {
    ToolbarFixture fixture;
    QComboBox& combo = *fixture.controls.组合框1;
    fixture.setText(QStringLiteral("标题"), QStringLiteral("标题"));
    combo.setCurrentIndex(3);
    emit combo.activated(3);
    QCOMPARE(fixture.text(), QStringLiteral("<h3>标题</h3>"));
    QCOMPARE(combo.currentText(), QStringLiteral("h3"));

    fixture.setText(QStringLiteral("标题"), QStringLiteral("标题"));
    combo.setCurrentIndex(0);
    emit combo.activated(0);
    QCOMPARE(fixture.text(), QStringLiteral("标题"));
}

void MarkupTest::linkWrapsOrInsertsAndRefusesIncompleteInput_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("refused");
    const QString link = QStringLiteral("<a href=\"https://例子.cn/a b\" target=\"_blank\">");
    QTest::newRow("selection") << true << QStringList{"https://例子.cn/a b"}
                               << "去 " + link + "这里</a>" << false;
    QTest::newRow("selection, address cancelled") << true << QStringList{""} << "去 这里" << true;
    QTest::newRow("no selection") << false << QStringList{" 请点我 ", "https://例子.cn/a b"}
                                  << "去 " + link + " 请点我 </a>这里" << false;
    QTest::newRow("no selection, text cancelled")
        << false << QStringList{"", "https://例子.cn/a b"} << "去 这里" << true;
    QTest::newRow("no selection, address cancelled")
        << false << QStringList{"请点我", ""} << "去 这里" << true;
}

void MarkupTest::linkWrapsOrInsertsAndRefusesIncompleteInput() {
    QFETCH(bool, selected);
    QFETCH(QStringList, answers);
    QFETCH(QString, result);
    QFETCH(bool, refused);
    ToolbarFixture fixture;
    if (selected)
        fixture.setText(QStringLiteral("去 这里"), QStringLiteral("这里"));
    else
        fixture.setText(QStringLiteral("去 这里"), 2, 2);
    for (const QString& answer : answers)
        fixture.prompts.answerText(answer);

    fixture.controls.按钮_链接->click();

    QCOMPARE(fixture.text(), result);
    // The address is asked for also after a cancel.
    QCOMPARE(fixture.prompts.unusedAnswers(), 0);
    const QString addressPrompt = QStringLiteral("请输入链接网址，例如:https://www.example.com/||");
    QCOMPARE(fixture.prompts.asked().last(), addressPrompt);
    if (!selected)
        QCOMPARE(fixture.prompts.asked().first(), QStringLiteral("请输入链接文本，例如:请点我||"));
    QCOMPARE(fixture.status.messages,
             refused ? QStringList{"用户输入信息不完整，无法添加链接"} : QStringList{});
}

void MarkupTest::pictureIsReferencedRelativeToTheDataDirectory_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("result");
    QTest::newRow("in Data/img") << "/run/岚笺/Data/img/猫.png" << false
                                 << "x<img src=\"img/猫.png\"/>y";
    QTest::newRow("elsewhere") << "/home/user/猫.png" << false
                               << "x<img src=\"/home/user/猫.png\"/>y";
    QTest::newRow("selection ends up in the source")
        << "/run/岚笺/Data/猫.png" << true << "<img src=\"猫.pngxy\"/>";
    QTest::newRow("cancelled") << "" << false << "xy";
    QTest::newRow("characters an address reads otherwise")
        << "/run/岚笺/Data/img/C# \"R&D\" 50%?.png" << false
        << "x<img src=\"img/C%23 &quot;R&amp;D&quot; 50%25%3F.png\"/>y";
}

void MarkupTest::pictureIsReferencedRelativeToTheDataDirectory() {
    QFETCH(QString, chosen);
    QFETCH(bool, selected);
    QFETCH(QString, result);
    ToolbarFixture fixture;
    fixture.setText(QStringLiteral("xy"), selected ? 0 : 1, selected ? 2 : 1);
    fixture.prompts.answerFile(chosen);
    fixture.controls.按钮_图片->click();
    QCOMPARE(fixture.text(), result);
    QCOMPARE(fixture.prompts.asked(), QStringList{"请选择你要添加的图片:||/run/岚笺/Data/"});
}

void MarkupTest::attachmentIsNamedByTheUserOrByItsBareName_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("result");
    QTest::newRow("name box cancelled") << "/home/user/report.v2.pdf"
                                        << ""
                                        << "<a href=\"/home/user/report.v2.pdf\">report.v2</a>";
    QTest::newRow("name given") << "/run/岚笺/Data/files/report.pdf"
                                << "年度报告"
                                << "<a href=\"files/report.pdf\">年度报告</a>";
    QTest::newRow("characters an address reads otherwise")
        << "/run/岚笺/Data/files/C# 50%?.pdf"
        << ""
        << "<a href=\"files/C%23 50%25%3F.pdf\">C# 50%?</a>";
}

void MarkupTest::attachmentIsNamedByTheUserOrByItsBareName() {
    QFETCH(QString, chosen);
    QFETCH(QString, answer);
    QFETCH(QString, result);
    ToolbarFixture fixture;
    fixture.prompts.answerFile(chosen);
    fixture.prompts.answerText(answer);
    fixture.controls.按钮_附件->click();
    QCOMPARE(fixture.text(), result);
    QCOMPARE(fixture.prompts.asked(),
             (QStringList{"请选择你要添加的文件:||/run/岚笺/Data/",
                          "给你刚添加的附件起个名字吧~|添加附件|" + bareFileName(chosen)}));

    // A cancelled file dialog inserts nothing and asks nothing more.
    fixture.prompts.answerFile(QString());
    fixture.controls.按钮_附件->click();
    QCOMPARE(fixture.text(), result);
    QCOMPARE(fixture.prompts.asked().size(), 3);
}

void MarkupTest::enterAddsALineBreakTagWhileChecked_data() {
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("result");
    QTest::newRow("end of line") << true << 3 << 3 << "abc<br/>\n\ndef";
    QTest::newRow("selection replaced") << true << 1 << 5 << "a<br/>\nef";
    QTest::newRow("cleared") << false << 3 << 3 << "abc\n\ndef";
}

void MarkupTest::enterAddsALineBreakTagWhileChecked() {
    QFETCH(bool, checked);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, result);
    ToolbarFixture fixture;
    fixture.controls.选择框_br->setChecked(checked);
    fixture.setText(QStringLiteral("abc\ndef"), start, end);
    QTest::keyClick(&fixture.box(), Qt::Key_Return);
    QCOMPARE(fixture.text(), result);
    // Typing goes on after the line break.
    QTest::keyClicks(&fixture.box(), QStringLiteral("x"));
    QCOMPARE(fixture.text().count(QStringLiteral("\nx")), 1);
    QTest::keyClick(&fixture.box(), Qt::Key_Enter); // the keypad's Enter counts too
    QCOMPARE(fixture.text().count(QStringLiteral("<br/>")), checked ? 2 : 0);
}

void MarkupTest::eachInsertionIsOneUndoStep_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("加粗") << "按钮3";
    QTest::newRow("colour") << "颜色选择器";
    QTest::newRow("heading") << "组合框1";
    QTest::newRow("link") << "按钮_链接";
    QTest::newRow("attachment") << "按钮_附件";
    QTest::newRow("Enter") << "超级编辑框";
}

void MarkupTest::eachInsertionIsOneUndoStep() {
    QFETCH(QString, control);
    ToolbarFixture fixture;
    const QString before = QStringLiteral("第一行\n第二行");
    fixture.setText(before, QStringLiteral("第二"));
    const MarkupControls& c = fixture.controls;
    if (control == u"按钮3"_s) {
        c.按钮3->click();
    } else if (control == u"颜色选择器"_s) {
        fixture.toolbar->colourPicker().menu().findChildren<QToolButton*>().first()->click();
    } else if (control == u"组合框1"_s) {
        emit c.组合框1->activated(1);
    } else if (control == u"按钮_链接"_s) {
        fixture.prompts.answerText(QStringLiteral("https://example.com/"));
        c.按钮_链接->click();
    } else if (control == u"按钮_附件"_s) {
        fixture.prompts.answerFile(QStringLiteral("/home/user/a.txt"));
        fixture.prompts.answerText(QString());
        c.按钮_附件->click();
    } else {
        QTest::keyClick(&fixture.box(), Qt::Key_Return);
    }
    QVERIFY(fixture.text() != before);
    fixture.box().undo();
    QCOMPARE(fixture.text(), before);
    QVERIFY(!fixture.box().document()->isUndoAvailable());
}

void MarkupTest::previewShowsTheUnsavedTextAndKeepsTheSelection() {
    ToolbarFixture fixture;
    fixture.window.show();
    fixture.setText(QStringLiteral("<b>尚未保存</b>\n第二行"), QStringLiteral("尚未"));
    fixture.controls.选择夹_中->setCurrentIndex(1);
    QCOMPARE(fixture.preview.shown, QStringList{"<b>尚未保存</b>\n第二行"});

    fixture.controls.选择夹_中->setCurrentIndex(0);
    QCOMPARE(fixture.preview.shown.size(), 1);
    QCOMPARE(fixture.text(), QStringLiteral("<b>尚未保存</b>\n第二行"));
    QCOMPARE(fixture.box().textCursor().selectedText(), QStringLiteral("尚未"));
}

void MarkupTest::highlighterMarksTagsValuesAndComments() {
    ToolbarFixture fixture;
    fixture.box().setPlainText(QStringLiteral("1 < 2 <a href=\"x>y\">链接</a>\n"
                                              "<!-- 注释\n仍是注释 --> <img\nsrc='p.png'>"));
    const auto* highlighter = fixture.box().document()->findChildren<HtmlHighlighter*>().value(0);
    QVERIFY(highlighter);
    // The format at each character of a line, as a letter: t tag, v value,
    // c comment, space for plain text.
    const auto formatsOf = [&](int blockNumber) {
        const QTextBlock block = fixture.box().document()->findBlockByNumber(blockNumber);
        QString letters(block.length() - 1, u' ');
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            const QChar letter = range.format == highlighter->tagFormat()       ? u't'
                                 : range.format == highlighter->valueFormat()   ? u'v'
                                 : range.format == highlighter->commentFormat() ? u'c'
                                                                                : u'?';
            for (int at = range.start; at < range.start + range.length; ++at)
                letters[at] = letter;
        }
        return letters;
    };
    QCOMPARE(formatsOf(0), QStringLiteral("      ttttttttvvvvvt  tttt"));
    QCOMPARE(formatsOf(1), QStringLiteral("ccccccc"));
    QCOMPARE(formatsOf(2), QStringLiteral("cccccccc tttt"));
    QCOMPARE(formatsOf(3), QStringLiteral("ttttvvvvvvvt"));
}

QTEST_MAIN(MarkupTest)
#include "tst_markup.moc"
