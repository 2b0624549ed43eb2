#pragma once

#include <QString>
#include <vector>

namespace sql {

// One token of a statement text. Keywords are names too: the parser tells
// them apart, ignoring letter case.
struct Token {
    enum class Kind {
        Name,          // a plain name or keyword: NKTB, Select, varchar
        BracketedName, // [any name], never a keyword
        Integer,       // digits only
        Text,          // 'quoted', with '' standing for one quote
        Symbol,        // = <> < > <= >= + - & ( ) , * ;
        End,           // after the last token
    };
    Kind kind = Kind::End;
    QString text;     // the name, the text's content, the digits or the symbol
    qsizetype offset; // where the token starts, counting characters from 0
};

// Splits a statement text into tokens, the last one of kind End. Throws
// SqlFailure (syntax error) for an unterminated quote or bracket and for a
// character that starts no token.
std::vector<Token> tokenize(const QString& statement);

} // namespace sql
