#pragma once

#include <QByteArrayView>
#include <string>
#include <vector>

struct sqlite3;

namespace sql {

// The name under which registerLikeFunction() makes the dialect's like
// known to SQLite: likeFunctionName(pattern, text).
inline constexpr char likeFunctionName[] = "lanjian_like";

// The dialect's like pattern: "%" matches any run of characters, "_" any one
// character, and every other character itself, letters of every script
// compared by their simple case folding ("[" has no special meaning).
class LikePattern {
public:
    // pattern in UTF-8.
    explicit LikePattern(QByteArrayView pattern);
    // Whether the whole UTF-8 text matches. Reuses buffers of the pattern, so
    // a pattern compiled once serves a whole statement cheaply.
    bool matches(QByteArrayView text);

private:
    // How matches() works for this pattern. A pattern "%literal%" without
    // wildcards inside is a search for the folded literal: in the text's own
    // bytes when no other character folds to any of the literal's characters;
    // in a copy of the text with its ASCII letters lowered when the literal's
    // only cased letters are ASCII ones but k and s (KELVIN SIGN and LONG S
    // fold to those); else in a folded copy of the text. Any other pattern is
    // matched on the folded characters.
    enum class Strategy { SubstringOfBytes, SubstringOfAsciiFolded, SubstringOfFolded, Pattern };

    Strategy m_strategy = Strategy::Pattern;
    std::string m_needle;               // the folded literal, as UTF-8
    std::vector<char32_t> m_folded;     // the folded pattern, wildcards as markers
    std::string m_foldedText;           // reused buffer for a folded copy of the text
    std::vector<char32_t> m_characters; // reused buffer for the folded characters
};

// Registers likeFunctionName on the connection and returns SQLite's result
// code. The function gives NULL when the pattern or the text is NULL, else 1
// for a match and 0 otherwise; the pattern is compiled once per statement.
int registerLikeFunction(sqlite3* handle);

} // namespace sql
