#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours the HTML source in the code edit box: tags, the quoted attribute
// values inside them, and comments. A tag, value or comment may run over
// several lines; the text itself is never changed.
class HtmlHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    // Where a line ends, so that the next one goes on from there.
    enum State { InText = 0, InComment, InTag, InDoubleQuotedValue, InSingleQuotedValue };

    explicit HtmlHighlighter(QTextDocument* document);

    const QTextCharFormat& tagFormat() const { return m_tagFormat; }
    const QTextCharFormat& valueFormat() const { return m_valueFormat; }
    const QTextCharFormat& commentFormat() const { return m_commentFormat; }

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_tagFormat;
    QTextCharFormat m_valueFormat;
    QTextCharFormat m_commentFormat;
};
