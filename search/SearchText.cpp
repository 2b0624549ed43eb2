#include "search/SearchText.h"

#include <QStringList>

QString searchExpression(bool titleChosen, bool summaryChosen, bool bodyChosen) {
    QStringList columns;
    if (titleChosen)
        columns.append(QStringLiteral("NTitle"));
    if (summaryChosen)
        columns.append(QStringLiteral("NKey"));
    if (bodyChosen)
        columns.append(QStringLiteral("NText"));
    return columns.join(QLatin1Char('+'));
}

namespace {

bool isAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Only the letters A to Z are folded, so that no other character (accented
// or full-width letters, Chinese) is ever taken for another.
char16_t foldAsciiLetter(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// False only for the second half of a surrogate pair.
bool startsCharacter(QStringView text, qsizetype position) {
    return position == 0 || position >= text.size() || !text[position].isLowSurrogate() ||
           !text[position - 1].isHighSurrogate();
}

bool matchesAt(QStringView text, qsizetype position, QStringView keyword) {
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (foldAsciiLetter(text[position + i].unicode()) != foldAsciiLetter(keyword[i].unicode()))
            return false;
    }
    return true;
}

// The first hit of one needle at or after a position that only grows, so
// that each part of the text is searched once however often it is asked.
class ForwardSearch {
public:
    ForwardSearch(QStringView text, QStringView needle) : m_text(text), m_needle(needle) {}

    qsizetype from(qsizetype position) {
        if (m_hit == notSearched || (m_hit != -1 && m_hit < position))
            m_hit = findKeyword(m_text, m_needle, position);
        return m_hit;
    }

private:
    static constexpr qsizetype notSearched = -2;
    QStringView m_text;
    QStringView m_needle;
    qsizetype m_hit = notSearched;
};

} // namespace

qsizetype findKeyword(QStringView text, QStringView keyword, qsizetype from) {
    if (keyword.isEmpty())
        return from < text.size() ? from : -1;
    const qsizetype lastStart = text.size() - keyword.size();
    const char16_t first = keyword[0].unicode();
    // A first character that is not a letter matches only itself, so the
    // next place to try can be looked for directly.
    const bool firstIsExact = !isAsciiLetter(first);
    for (qsizetype position = from; position <= lastStart; ++position) {
        if (firstIsExact) {
            position = text.indexOf(QChar(first), position);
            if (position < 0 || position > lastStart)
                return -1;
        }
        if (startsCharacter(text, position) && matchesAt(text, position, keyword) &&
            startsCharacter(text, position + keyword.size()))
            return position;
    }
    return -1;
}

QString stripTags(const QString& text) {
    QString buffer;
    const QStringView stripped = stripTags(QStringView(text), buffer);
    return stripped.data() == text.data() ? text : buffer;
}

QStringView stripTags(QStringView text, QString& buffer) {
    // Every removal joins the text before the tag to the text after it, and
    // the search goes on from the join; so the text still to be searched is
    // always an untouched tail of the original. The walk therefore runs over
    // the original and only copies the kept runs, once, into buffer.
    const QStringView codeOpen = u"<code>";
    ForwardSearch nextLessThan(text, u"<");
    ForwardSearch nextGreaterThan(text, u">");
    ForwardSearch nextCodeClose(text, u"</code>");
    qsizetype p = 0;
    qsizetype keptFrom = 0;
    bool removedAny = false;
    for (;;) {
        const qsizetype lt = nextLessThan.from(p);
        const qsizetype gt = nextGreaterThan.from(p);
        if (lt < 0 || gt < 0)
            break;
        if (gt < lt) {
            // A ">" before the next "<" stays in the text.
            p = lt;
            continue;
        }
        if (text.sliced(lt, gt - lt + 1) == codeOpen) {
            const qsizetype close = nextCodeClose.from(p);
            p = close >= 0 ? close + 7 : lt + codeOpen.size();
            continue;
        }
        if (!removedAny) {
            buffer.resize(0);
            removedAny = true;
        }
        buffer.append(text.sliced(keptFrom, lt - keptFrom));
        p = gt + 1;
        keptFrom = p;
    }
    if (!removedAny)
        return text;
    buffer.append(text.sliced(keptFrom));
    return buffer;
}
