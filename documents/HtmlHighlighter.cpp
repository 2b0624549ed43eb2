#include "documents/HtmlHighlighter.h"

#include <algorithm>

namespace {

// A "<" opens markup only when a name, "/", "!" or "?" follows it, so that
// "1 < 2" in a text stays text.
bool opensMarkup(const QString& text, qsizetype at) {
    if (at + 1 >= text.size())
        return false;
    const QChar next = text.at(at + 1);
    return next.isLetter() || next == u'/' || next == u'!' || next == u'?';
}

} // namespace

HtmlHighlighter::HtmlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    m_tagFormat.setForeground(QColor(0x00, 0x00, 0xa0));
    m_valueFormat.setForeground(QColor(0xa0, 0x30, 0x00));
    m_commentFormat.setForeground(QColor(0x70, 0x80, 0x70));
    m_commentFormat.setFontItalic(true);
}

void HtmlHighlighter::highlightBlock(const QString& text) {
    int state = std::max(previousBlockState(), int(InText));
    const qsizetype length = text.size();
    qsizetype at = 0;
    // Where the search for the end of a comment or value starts: past its
    // opening when it opens on this line, else at the start of the line.
    qsizetype searchFrom = 0;
    while (at < length) {
        switch (state) {
        case InText: {
            qsizetype open = text.indexOf(u'<', at);
            while (open >= 0 && !opensMarkup(text, open))
                open = text.indexOf(u'<', open + 1);
            if (open < 0) {
                at = length;
            } else if (QStringView(text).sliced(open).startsWith(u"<!--")) {
                state = InComment;
                at = open;
                searchFrom = open + 4;
            } else {
                state = InTag;
                at = open;
            }
            break;
        }
        case InComment: {
            const qsizetype close = text.indexOf(u"-->", searchFrom);
            const qsizetype end = close < 0 ? length : close + 3;
            setFormat(int(at), int(end - at), m_commentFormat);
            at = end;
            if (close >= 0)
                state = InText;
            break;
        }
        case InTag: {
            qsizetype end = at;
            while (end < length && text.at(end) != u'>' && text.at(end) != u'"' &&
                   text.at(end) != u'\'')
                ++end;
            if (end < length && text.at(end) == u'>') {
                setFormat(int(at), int(end + 1 - at), m_tagFormat);
                state = InText;
                at = end + 1;
            } else {
                setFormat(int(at), int(end - at), m_tagFormat);
                if (end < length) {
                    state = text.at(end) == u'"' ? InDoubleQuotedValue : InSingleQuotedValue;
                    searchFrom = end + 1;
                }
                at = end;
            }
            break;
        }
        default: { // a quoted value
            const QChar quote = state == InDoubleQuotedValue ? u'"' : u'\'';
            const qsizetype close = text.indexOf(quote, searchFrom);
            const qsizetype end = close < 0 ? length : close + 1;
            setFormat(int(at), int(end - at), m_valueFormat);
            at = end;
            if (close >= 0)
                state = InTag;
            break;
        }
        }
    }
    setCurrentBlockState(state);
}
