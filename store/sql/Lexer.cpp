#include "store/sql/Lexer.h"

#include "store/sql/SqlFailure.h"

namespace sql {

namespace {

bool startsName(QChar c) {
    return c.isLetter() || c == u'_';
}

bool continuesName(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::vector<Token> tokenize(const QString& statement) {
    std::vector<Token> tokens;
    const qsizetype length = statement.size();
    qsizetype i = 0;
    while (true) {
        while (i < length && statement.at(i).isSpace())
            ++i;
        if (i == length)
            break;
        const qsizetype start = i;
        const QChar c = statement.at(i);
        if (startsName(c)) {
            while (i < length && continuesName(statement.at(i)))
                ++i;
            tokens.push_back({Token::Kind::Name, statement.mid(start, i - start), start});
        } else if (isDigit(c)) {
            while (i < length && isDigit(statement.at(i)))
                ++i;
            if (i < length && startsName(statement.at(i)))
                throw failures::syntaxError(
                    QStringLiteral("第 %1 个字符处的数字后面紧跟着字母。").arg(i + 1));
            tokens.push_back({Token::Kind::Integer, statement.mid(start, i - start), start});
        } else if (c == u'\'') {
            QString text;
            ++i;
            while (true) {
                const qsizetype quote = statement.indexOf(u'\'', i);
                if (quote < 0)
                    throw failures::syntaxError(
                        QStringLiteral("第 %1 个字符开始的文本缺少结尾的单引号。").arg(start + 1));
                text += QStringView(statement).mid(i, quote - i);
                if (quote + 1 < length && statement.at(quote + 1) == u'\'') {
                    text += u'\'';
                    i = quote + 2;
                } else {
                    i = quote + 1;
                    break;
                }
            }
            tokens.push_back({Token::Kind::Text, text, start});
        } else if (c == u'[') {
            const qsizetype close = statement.indexOf(u']', i + 1);
            if (close < 0)
                throw failures::syntaxError(
                    QStringLiteral("第 %1 个字符开始的名称缺少结尾的 ']'。").arg(start + 1));
            const QString name = statement.mid(i + 1, close - i - 1);
            if (name.trimmed().isEmpty())
                throw failures::syntaxError(
                    QStringLiteral("第 %1 个字符处的方括号中没有名称。").arg(start + 1));
            i = close + 1;
            tokens.push_back({Token::Kind::BracketedName, name, start});
        } else {
            static const QString twoCharacterSymbols[] = {
                QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
            static const QString oneCharacterSymbols = QStringLiteral("=<>+-&(),*;");
            QString symbol;
            for (const QString& candidate : twoCharacterSymbols) {
                if (QStringView(statement).mid(i, 2) == candidate)
                    symbol = candidate;
            }
            if (symbol.isEmpty() && oneCharacterSymbols.contains(c))
                symbol = c;
            if (symbol.isEmpty())
                throw failures::syntaxError(
                    QStringLiteral("第 %1 个字符“%2”无法识别。").arg(start + 1).arg(c));
            i += symbol.size();
            tokens.push_back({Token::Kind::Symbol, symbol, start});
        }
    }
    tokens.push_back({Token::Kind::End, QString(), length});
    return tokens;
}

} // namespace sql
