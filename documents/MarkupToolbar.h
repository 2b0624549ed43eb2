#pragma once

#include <QObject>
#include <QString>

class ColourPicker;
class Prompts;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class StatusView;

// The colour as HTML colour text: "#" and red, green and blue as two
// lowercase hexadecimal digits each. colourValue has red in its lowest byte,
// green in the next and blue in the third; a higher byte (the picker's 透明,
// FF000000) is not part of the colour, so 透明 gives #000000.
QString colourText(quint32 colourValue);

// The path relative to dataDirectory (which ends in "/") when the path
// begins with it, compared exactly, letter case included; else the path.
QString dataRelativePath(const QString& path, const QString& dataDirectory);

// A file path written as the address of a picture or a link, so that the
// page names exactly that file: "&" and '"' (which would start an entity or
// end the attribute) as entity references, "%", "#" and "?" (which an
// address takes as an escape, a fragment or a query) percent-encoded. Other
// characters stay as they are, so an ordinary path reads as itself.
QString fileAddress(const QString& path);

// The file name without directory and extension: the last component after
// the last "/" or "\" (old paths use backslashes), cut at its last ".". A
// leading dot does not start an extension, so ".bashrc" stays whole.
QString bareFileName(const QString& path);

// Replaces the selection of the box by prefix + selection + suffix, as one
// undo step. Unless always is true, does nothing while nothing is selected;
// with always and no selection, prefix and suffix go side by side at the caret.
void wrapSelection(QPlainTextEdit& box, const QString& prefix, const QString& suffix, bool always);

// The whole text of the code edit box, each line break written as lineBreak.
// Unlike QPlainTextEdit::toPlainText it keeps every character as typed
// (no-break spaces stay no-break spaces).
QString codeText(const QPlainTextEdit& box, const QString& lineBreak = QStringLiteral("\n"));

// Shows an HTML text in the preview box of the edit page.
class PreviewDisplay {
public:
    virtual ~PreviewDisplay() = default;
    virtual void showPreview(const QString& html) = 0;
};

// The controls of page 0 ("代码") of 选择夹_中, created and placed by the
// main window, and the tab control itself.
struct MarkupControls {
    QPlainTextEdit* 超级编辑框 = nullptr;
    QTabWidget* 选择夹_中 = nullptr;
    QPushButton* 按钮1 = nullptr; // 下划线
    QPushButton* 按钮2 = nullptr; // 删除线
    QPushButton* 按钮3 = nullptr; // 加粗
    QPushButton* 按钮4 = nullptr; // 倾斜
    QPushButton* 按钮_图片 = nullptr;
    QPushButton* 按钮_链接 = nullptr;
    QPushButton* 按钮_附件 = nullptr;
    QComboBox* 组合框1 = nullptr; // "字体大小", "h1" … "h6"
    QCheckBox* 选择框_br = nullptr;
    QToolButton* 颜色选择器 = nullptr; // equipped here with its palette
};

// The markup toolbar above the code edit box: every control writes HTML into
// the box, Enter adds "<br/>" while 选择框_br is checked, and turning
// 选择夹_中 to page 1 shows the box's text rendered. Connects the controls'
// signals itself; nothing reaches the store.
class MarkupToolbar : public QObject {
    Q_OBJECT

public:
    MarkupToolbar(const MarkupControls& controls, const QString& runDirectory, Prompts& prompts,
                  StatusView& status, PreviewDisplay& preview, QObject* parent = nullptr);

    // runDirectory + "/Data/": where pictures and attachments are looked for,
    // and what their paths are made relative to.
    QString dataDirectory() const;

    ColourPicker& colourPicker() const { return *m_colourPicker; }

    void insertLink();
    void insertPicture();
    void insertAttachment();
    void chooseHeading(int item);
    void colourChosen(quint32 colourValue);
    // The current page of 选择夹_中 has changed to page.
    void pageChanged(int page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wrap(const QString& prefix, const QString& suffix, bool always);
    void wrapInTag(const QString& tag);
    bool enterPressed(QEvent* event);

    MarkupControls m_controls;
    QString m_runDirectory;
    Prompts& m_prompts;
    StatusView& m_status;
    PreviewDisplay& m_preview;
    ColourPicker* m_colourPicker;
    bool m_passingEnterOn = false;
};
