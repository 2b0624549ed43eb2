#include "store/sql/LikeMatcher.h"

#include <QChar>
#include <algorithm>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <unordered_set>

namespace sql {

namespace {

constexpr char32_t anyRun = 0xFFFFFFFF; // %
constexpr char32_t anyOne = 0xFFFFFFFE; // _
constexpr char32_t replacementCharacter = 0xFFFD;
constexpr char32_t lastCodePoint = 0x10FFFF;

// Decodes the UTF-8 character at p and moves p past it; a malformed byte
// becomes U+FFFD and p moves by one.
char32_t decodeUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    int continuation = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return replacementCharacter;
    }
    const unsigned char* q = p;
    for (int i = 0; i < continuation; ++i, ++q) {
        if (q == end || (*q & 0xC0) != 0x80)
            return replacementCharacter;
        value = (value << 6) | (*q & 0x3F);
    }
    if (value < minimum || value > lastCodePoint)
        return replacementCharacter;
    p = q;
    return value;
}

// Writes c in UTF-8 at out; returns the end of what it wrote.
char* writeUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

template <typename Visit> void forEachCodePoint(QByteArrayView text, Visit visit) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end)
        visit(decodeUtf8(p, end));
}

// The characters that some other character folds to, such as "a" (from "A")
// or "ß" (from "ẞ"): finding one of them takes folding the text too.
bool isFoldTarget(char32_t c) {
    static const std::unordered_set<char32_t> targets = [] {
        std::unordered_set<char32_t> result;
        for (char32_t other = 0; other <= lastCodePoint; ++other) {
            const char32_t folded = QChar::toCaseFolded(other);
            if (folded != other)
                result.insert(folded);
        }
        return result;
    }();
    return targets.count(c) != 0;
}

// Only this very character matches c under folding.
bool isCaseless(char32_t c) {
    return QChar::toCaseFolded(c) == c && !isFoldTarget(c);
}

// Characters that nothing beyond ASCII folds to, other than themselves: the
// ASCII characters but k and s (KELVIN SIGN and LONG S fold to them), and
// the caseless ones.
bool isAsciiFoldable(char32_t c) {
    return c < 0x80 ? c != u'k' && c != u's' : isCaseless(c);
}

bool containsBytes(QByteArrayView haystack, const std::string& needle) {
    return needle.empty() || memmem(haystack.data(), size_t(haystack.size()), needle.data(),
                                    needle.size()) != nullptr;
}

char asciiLower(char c) {
    return char(c | (((unsigned char)(c - 'A') < 26) << 5));
}

bool isAsciiWord(const unsigned char* p) {
    quint64 x;
    std::memcpy(&x, p, sizeof x);
    return (x & 0x8080808080808080) == 0;
}

// Lowers the ASCII letters of n bytes from in to out, eight bytes at a time:
// bit 7 of each byte of upper marks an ASCII byte from 'A' to 'Z'.
void lowerAscii(const char* in, char* out, size_t n) {
    constexpr quint64 ones = 0x0101010101010101;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 x;
        std::memcpy(&x, in + i, 8);
        const quint64 low7 = x & (0x7F * ones);
        const quint64 aboveZ = low7 + (0x7F - 'Z') * ones;
        const quint64 fromA = low7 + (0x80 - 'A') * ones;
        const quint64 upper = ~x & (fromA ^ aboveZ) & (0x80 * ones);
        x |= upper >> 2;
        std::memcpy(out + i, &x, 8);
    }
    for (; i < n; ++i)
        out[i] = asciiLower(in[i]);
}

// Lead bytes of three-byte UTF-8 characters (U+3000 to U+9FFF and U+B000 to
// U+DFFF: CJK, kana, Hangul) that have no case, so folding copies them.
bool leadsCaselessBlock(unsigned char lead) {
    return (lead >= 0xE3 && lead <= 0xE9) || (lead >= 0xEB && lead <= 0xED);
}

// The UTF-8 text with every character folded; a malformed byte stays as it
// is. Runs of ASCII and caseless CJK characters, most of any text, are copied
// without decoding.
void foldInto(std::string& out, QByteArrayView text) {
    constexpr size_t word = 8;
    // ASCII folds to ASCII, so no character grows to more than twice its
    // length (U+023A grows from two bytes to three).
    out.resize(size_t(text.size()) * 2 + word);
    char* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        if (size_t(end - p) >= word && isAsciiWord(p)) {
            lowerAscii(reinterpret_cast<const char*>(p), o, word);
            o += word;
            p += word;
        } else if (*p < 0x80) {
            *o++ = asciiLower(char(*p++));
        } else if (leadsCaselessBlock(*p) && end - p >= 3) {
            std::memcpy(o, p, 3);
            o += 3;
            p += 3;
        } else {
            const unsigned char* start = p;
            const char32_t c = decodeUtf8(p, end);
            if (p == start + 1)
                *o++ = char(*start);
            else
                o = writeUtf8(o, QChar::toCaseFolded(c));
        }
    }
    out.resize(size_t(o - out.data()));
}

void foldInto(std::vector<char32_t>& out, QByteArrayView text) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end)
        out.push_back(*p < 0x80 ? char32_t(asciiLower(char(*p++)))
                                : QChar::toCaseFolded(decodeUtf8(p, end)));
}

// Matches text against pattern, both folded. Backtracks only to the last "%"
// seen, so the cost stays within pattern length times text length.
bool wildcardMatch(const std::vector<char32_t>& pattern, const std::vector<char32_t>& text) {
    size_t p = 0;
    size_t t = 0;
    size_t lastRun = std::string::npos; // position of the last % in pattern
    size_t runStart = 0;                // where the text under that % began
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == anyOne || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == anyRun) {
            lastRun = p++;
            runStart = t;
        } else if (lastRun != std::string::npos) {
            p = lastRun + 1;
            t = ++runStart;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == anyRun)
        ++p;
    return p == pattern.size();
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL ||
        sqlite3_value_type(arguments[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // Nothing may be thrown through SQLite's frames.
    try {
        auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
        std::unique_ptr<LikePattern> compiled;
        if (!pattern) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
            compiled = std::make_unique<LikePattern>(
                QByteArrayView(bytes, sqlite3_value_bytes(arguments[0])));
            pattern = compiled.get();
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[1]));
        const bool match =
            pattern->matches(QByteArrayView(text, sqlite3_value_bytes(arguments[1])));
        if (compiled) {
            sqlite3_set_auxdata(context, 0, compiled.release(),
                                [](void* p) { delete static_cast<LikePattern*>(p); });
        }
        sqlite3_result_int(context, match ? 1 : 0);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

} // namespace

LikePattern::LikePattern(QByteArrayView pattern) {
    forEachCodePoint(pattern, [this](char32_t c) {
        m_folded.push_back(c == u'%' ? anyRun : c == u'_' ? anyOne : QChar::toCaseFolded(c));
    });
    const bool substringShape =
        m_folded.size() >= 2 && m_folded.front() == anyRun && m_folded.back() == anyRun;
    if (!substringShape)
        return;
    const auto first = m_folded.begin() + 1;
    const auto last = m_folded.end() - 1;
    if (std::any_of(first, last, [](char32_t c) { return c == anyRun || c == anyOne; }))
        return;
    // Folded as the texts will be, so that malformed bytes match alike.
    foldInto(m_needle, pattern.sliced(1, pattern.size() - 2));
    if (std::all_of(first, last, isCaseless))
        m_strategy = Strategy::SubstringOfBytes;
    else if (std::all_of(first, last, isAsciiFoldable))
        m_strategy = Strategy::SubstringOfAsciiFolded;
    else
        m_strategy = Strategy::SubstringOfFolded;
}

bool LikePattern::matches(QByteArrayView text) {
    switch (m_strategy) {
    case Strategy::SubstringOfBytes:
        return containsBytes(text, m_needle);
    case Strategy::SubstringOfAsciiFolded:
        m_foldedText.resize(size_t(text.size()));
        lowerAscii(text.data(), m_foldedText.data(), m_foldedText.size());
        return containsBytes(QByteArrayView(m_foldedText.data(), qsizetype(m_foldedText.size())),
                             m_needle);
    case Strategy::SubstringOfFolded:
        foldInto(m_foldedText, text);
        return containsBytes(QByteArrayView(m_foldedText.data(), qsizetype(m_foldedText.size())),
                             m_needle);
    case Strategy::Pattern:
        break;
    }
    foldInto(m_characters, text);
    return wildcardMatch(m_folded, m_characters);
}

int registerLikeFunction(sqlite3* handle) {
    return sqlite3_create_function_v2(handle, likeFunctionName, 2,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                                      nullptr, nullptr, nullptr);
}

} // namespace sql
