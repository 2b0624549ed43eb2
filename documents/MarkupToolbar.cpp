#include "documents/MarkupToolbar.h"

#include "documents/ColourPicker.h"
#include "documents/HtmlHighlighter.h"
#include "documents/Prompts.h"
#include "store/StatusView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString linkTextPrompt = QStringLiteral("请输入链接文本，例如:请点我");
const QString linkAddressPrompt = QStringLiteral("请输入链接网址，例如:https://www.example.com/");
const QString incompleteLinkMessage = QStringLiteral("用户输入信息不完整，无法添加链接");

} // namespace

QString colourText(quint32 colourValue) {
    const quint32 red = colourValue & 0xFF;
    const quint32 green = (colourValue >> 8) & 0xFF;
    const quint32 blue = (colourValue >> 16) & 0xFF;
    return QString::asprintf("#%02x%02x%02x", red, green, blue);
}

QString dataRelativePath(const QString& path, const QString& dataDirectory) {
    if (path.startsWith(dataDirectory, Qt::CaseSensitive))
        return path.mid(dataDirectory.size());
    return path;
}

QString fileAddress(const QString& path) {
    QString address;
    address.reserve(path.size());
    for (const QChar c : path) {
        switch (c.unicode()) {
        case u'&':
            address += u"&amp;"_s;
            break;
        case u'"':
            address += u"&quot;"_s;
            break;
        case u'%':
            address += u"%25"_s;
            break;
        case u'#':
            address += u"%23"_s;
            break;
        case u'?':
            address += u"%3F"_s;
            break;
        default:
            address += c;
        }
    }
    return address;
}

QString bareFileName(const QString& path) {
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString component = path.mid(separator + 1);
    const qsizetype dot = component.lastIndexOf(u'.');
    return dot > 0 ? component.left(dot) : component;
}

void wrapSelection(QPlainTextEdit& box, const QString& prefix, const QString& suffix, bool always) {
    QTextCursor cursor = box.textCursor();
    if (!always && !cursor.hasSelection())
        return;
    const QString selected = cursor.selectedText();
    cursor.beginEditBlock();
    cursor.insertText(prefix + selected + suffix);
    cursor.endEditBlock();
    box.setTextCursor(cursor);
}

QString codeText(const QPlainTextEdit& box, const QString& lineBreak) {
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, lineBreak);
    return text;
}

MarkupToolbar::MarkupToolbar(const MarkupControls& controls, const QString& runDirectory,
                             Prompts& prompts, StatusView& status, PreviewDisplay& preview,
                             QObject* parent)
    : QObject(parent), m_controls(controls), m_runDirectory(runDirectory), m_prompts(prompts),
      m_status(status), m_preview(preview),
      m_colourPicker(new ColourPicker(*controls.颜色选择器, prompts, this)) {
    // Owned by the box's document, which it colours for as long as it lives.
    new HtmlHighlighter(m_controls.超级编辑框->document());
    const auto wrapOnClick = [this](QPushButton* button, const QString& tag) {
        connect(button, &QPushButton::clicked, this, [this, tag] { wrapInTag(tag); });
    };
    wrapOnClick(m_controls.按钮3, QStringLiteral("B"));
    wrapOnClick(m_controls.按钮4, QStringLiteral("I"));
    wrapOnClick(m_controls.按钮1, QStringLiteral("U"));
    wrapOnClick(m_controls.按钮2, QStringLiteral("S"));
    connect(m_colourPicker, &ColourPicker::colourChosen, this, &MarkupToolbar::colourChosen);
    connect(m_controls.组合框1, &QComboBox::activated, this, &MarkupToolbar::chooseHeading);
    connect(m_controls.按钮_链接, &QPushButton::clicked, this, &MarkupToolbar::insertLink);
    connect(m_controls.按钮_图片, &QPushButton::clicked, this, &MarkupToolbar::insertPicture);
    connect(m_controls.按钮_附件, &QPushButton::clicked, this, &MarkupToolbar::insertAttachment);
    connect(m_controls.选择夹_中, &QTabWidget::currentChanged, this, &MarkupToolbar::pageChanged);
    m_controls.超级编辑框->installEventFilter(this);
}

QString MarkupToolbar::dataDirectory() const {
    return m_runDirectory + u"/Data/"_s;
}

void MarkupToolbar::wrap(const QString& prefix, const QString& suffix, bool always) {
    wrapSelection(*m_controls.超级编辑框, prefix, suffix, always);
    m_controls.超级编辑框->setFocus();
}

void MarkupToolbar::wrapInTag(const QString& tag) {
    wrap(u"<"_s + tag + u">"_s, u"</"_s + tag + u">"_s, false);
}

void MarkupToolbar::colourChosen(quint32 colourValue) {
    wrap(u"<font color=\""_s + colourText(colourValue) + u"\">"_s, QStringLiteral("</font>"),
         false);
}

void MarkupToolbar::chooseHeading(int item) {
    if (item <= 0)
        return;
    wrapInTag(m_controls.组合框1->itemText(item));
}

void MarkupToolbar::insertLink() {
    const bool hasSelection = m_controls.超级编辑框->textCursor().hasSelection();
    const QString linkText = hasSelection ? QString() : m_prompts.askText(linkTextPrompt, {}, {});
    const QString address = m_prompts.askText(linkAddressPrompt, {}, {});
    if (address.isEmpty() || (!hasSelection && linkText.isEmpty())) {
        m_status.showStatus(incompleteLinkMessage);
        return;
    }
    wrap(u"<a href=\""_s + address + u"\" target=\"_blank\">"_s, linkText + u"</a>"_s, true);
}

void MarkupToolbar::insertPicture() {
    const QString chosen =
        m_prompts.chooseFile(QStringLiteral("请选择你要添加的图片:"), {}, dataDirectory());
    if (chosen.isEmpty())
        return;
    const QString path = fileAddress(dataRelativePath(chosen, dataDirectory()));
    wrap(u"<img src=\""_s + path, QStringLiteral("\"/>"), true);
}

void MarkupToolbar::insertAttachment() {
    const QString chosen =
        m_prompts.chooseFile(QStringLiteral("请选择你要添加的文件:"), {}, dataDirectory());
    if (chosen.isEmpty())
        return;
    const QString path = fileAddress(dataRelativePath(chosen, dataDirectory()));
    QString linkText = m_prompts.askText(QStringLiteral("给你刚添加的附件起个名字吧~"),
                                         QStringLiteral("添加附件"), bareFileName(chosen));
    if (linkText.isEmpty())
        linkText = bareFileName(chosen);
    wrap(u"<a href=\""_s + path + u"\">"_s, linkText + u"</a>"_s, true);
}

void MarkupToolbar::pageChanged(int page) {
    if (page == 1)
        m_preview.showPreview(codeText(*m_controls.超级编辑框));
}

bool MarkupToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_controls.超级编辑框 && event->type() == QEvent::KeyPress && !m_passingEnterOn)
        return enterPressed(event);
    return QObject::eventFilter(watched, event);
}

// Enter while 选择框_br is checked: "<br/>" replaces the selection, then the
// box breaks the line as usual. Both go into one undo step.
bool MarkupToolbar::enterPressed(QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !m_controls.选择框_br->isChecked())
        return false;
    QPlainTextEdit& box = *m_controls.超级编辑框;
    QTextCursor cursor = box.textCursor();
    cursor.beginEditBlock();
    cursor.insertText(QStringLiteral("<br/>"));
    box.setTextCursor(cursor);
    {
        const QScopedValueRollback passing(m_passingEnterOn, true);
        QCoreApplication::sendEvent(&box, event);
    }
    cursor.endEditBlock();
    return true;
}
