#include "store/sql/Parser.h"

#include "store/sql/Lexer.h"
#include "store/sql/SqlFailure.h"

#include <array>

namespace sql {

namespace {

// Words that are never names unless bracketed.
constexpr std::array reservedWords = {
    u"AND",   u"ASC",    u"BY",  u"CREATE", u"DELETE", u"DESC",   u"FROM",
    u"INTO",  u"INSERT", u"IS",  u"LIKE",   u"NOT",    u"NULL",   u"OR",
    u"ORDER", u"SELECT", u"SET", u"TABLE",  u"UPDATE", u"VALUES", u"WHERE",
};

constexpr int maxTextSize = 255;
// Deeper expressions than any statement needs are refused before they can
// exhaust the stack of the parser or SQLite's expression depth.
constexpr int maxExpressionDepth = 200;

class Parser {
public:
    explicit Parser(const QString& text) : m_tokens(tokenize(text)) {}

    Statement statement() {
        Statement result = statementBody();
        acceptSymbol(u";");
        if (current().kind != Token::Kind::End)
            throw unexpected();
        return result;
    }

private:
    Statement statementBody() {
        if (acceptKeyword(u"SELECT"))
            return select();
        if (acceptKeyword(u"INSERT"))
            return insert();
        if (acceptKeyword(u"UPDATE"))
            return update();
        if (acceptKeyword(u"DELETE"))
            return deleteFrom();
        if (acceptKeyword(u"CREATE"))
            return createTable();
        throw failures::unknownStatement();
    }

    CreateTable createTable() {
        expectKeyword(u"TABLE");
        CreateTable result;
        result.table = name();
        expectSymbol(u"(");
        do {
            ColumnDefinition column;
            column.name = name();
            column.type = columnType();
            result.columns.push_back(column);
        } while (acceptSymbol(u","));
        expectSymbol(u")");
        return result;
    }

    ColumnType columnType() {
        const Token& token = current();
        if (token.kind != Token::Kind::Name)
            throw unexpected();
        const QString type = token.text;
        ++m_position;
        if (isWord(type, u"INT") || isWord(type, u"INTEGER") || isWord(type, u"LONG"))
            return {ColumnType::Kind::Integer, 0};
        if (isWord(type, u"MEMO"))
            return {ColumnType::Kind::Text, 0};
        const bool isText = isWord(type, u"TEXT");
        if (isWord(type, u"VARCHAR") || (isText && atSymbol(u"("))) {
            expectSymbol(u"(");
            const Token& size = current();
            if (size.kind != Token::Kind::Integer)
                throw unexpected();
            bool ok = false;
            const int maxLength = size.text.toInt(&ok);
            if (!ok || maxLength < 1 || maxLength > maxTextSize)
                throw failures::invalidTextSize(ok ? maxLength : maxTextSize + 1);
            ++m_position;
            expectSymbol(u")");
            return {ColumnType::Kind::Text, maxLength};
        }
        if (isText)
            return {ColumnType::Kind::Text, 0};
        throw failures::syntaxError(QStringLiteral("第 %1 个字符处的“%2”不是字段类型。")
                                        .arg(m_tokens[m_position - 1].offset + 1)
                                        .arg(type));
    }

    Select select() {
        Select result;
        if (!acceptSymbol(u"*")) {
            do
                result.columns.push_back(name());
            while (acceptSymbol(u","));
        }
        expectKeyword(u"FROM");
        result.table = name();
        if (acceptKeyword(u"WHERE"))
            result.where = expression();
        if (acceptKeyword(u"ORDER")) {
            expectKeyword(u"BY");
            do {
                OrderTerm term;
                term.column = name();
                if (acceptKeyword(u"DESC"))
                    term.descending = true;
                else
                    acceptKeyword(u"ASC");
                result.order.push_back(term);
            } while (acceptSymbol(u","));
        }
        return result;
    }

    Insert insert() {
        expectKeyword(u"INTO");
        Insert result;
        result.table = name();
        if (acceptSymbol(u"(")) {
            do
                result.columns.push_back(name());
            while (acceptSymbol(u","));
            expectSymbol(u")");
        }
        expectKeyword(u"VALUES");
        expectSymbol(u"(");
        do
            result.values.push_back(expression());
        while (acceptSymbol(u","));
        expectSymbol(u")");
        return result;
    }

    Update update() {
        Update result;
        result.table = name();
        expectKeyword(u"SET");
        do {
            Assignment assignment;
            assignment.column = name();
            expectSymbol(u"=");
            assignment.value = expression();
            result.assignments.push_back(std::move(assignment));
        } while (acceptSymbol(u","));
        if (acceptKeyword(u"WHERE"))
            result.where = expression();
        return result;
    }

    Delete deleteFrom() {
        acceptSymbol(u"*");
        expectKeyword(u"FROM");
        Delete result;
        result.table = name();
        if (acceptKeyword(u"WHERE"))
            result.where = expression();
        return result;
    }

    // Precedence, loosest first: Or, And, Not, comparison (= <> < > <= >=,
    // Like, Is Null), &, +, unary minus.
    ExpressionPtr expression() {
        const NestingGuard guard(*this);
        ExpressionPtr left = conjunction();
        while (acceptKeyword(u"OR"))
            left = binary(Expression::Operator::Or, std::move(left), conjunction());
        return left;
    }

    ExpressionPtr conjunction() {
        ExpressionPtr left = negation();
        while (acceptKeyword(u"AND"))
            left = binary(Expression::Operator::And, std::move(left), negation());
        return left;
    }

    ExpressionPtr negation() {
        if (acceptKeyword(u"NOT")) {
            const NestingGuard guard(*this);
            return unary(Expression::Kind::Not, negation());
        }
        return comparison();
    }

    ExpressionPtr comparison() {
        ExpressionPtr left = concatenation();
        static constexpr std::array<std::pair<const char16_t*, Expression::Operator>, 6>
            comparisons = {{
                {u"=", Expression::Operator::Equal},
                {u"<>", Expression::Operator::NotEqual},
                {u"<", Expression::Operator::Less},
                {u">", Expression::Operator::Greater},
                {u"<=", Expression::Operator::LessOrEqual},
                {u">=", Expression::Operator::GreaterOrEqual},
            }};
        for (const auto& [symbol, op] : comparisons) {
            if (acceptSymbol(symbol))
                return binary(op, std::move(left), concatenation());
        }
        if (acceptKeyword(u"IS")) {
            const bool negated = acceptKeyword(u"NOT");
            expectKeyword(u"NULL");
            ExpressionPtr result = unary(Expression::Kind::IsNull, std::move(left));
            result->negated = negated;
            return result;
        }
        const bool negated = isKeyword(current(), u"NOT") && isKeyword(next(), u"LIKE");
        if (negated)
            ++m_position;
        if (acceptKeyword(u"LIKE")) {
            ExpressionPtr result = unary(Expression::Kind::Like, std::move(left));
            result->right = concatenation();
            result->negated = negated;
            setDepth(*result);
            return result;
        }
        return left;
    }

    ExpressionPtr concatenation() {
        ExpressionPtr left = sum();
        while (acceptSymbol(u"&"))
            left = binary(Expression::Operator::Concatenate, std::move(left), sum());
        return left;
    }

    ExpressionPtr sum() {
        ExpressionPtr left = signedTerm();
        while (acceptSymbol(u"+"))
            left = binary(Expression::Operator::Plus, std::move(left), signedTerm());
        return left;
    }

    ExpressionPtr signedTerm() {
        if (acceptSymbol(u"-")) {
            const NestingGuard guard(*this);
            return unary(Expression::Kind::Negate, signedTerm());
        }
        return primary();
    }

    ExpressionPtr primary() {
        const Token& token = current();
        auto result = std::make_unique<Expression>();
        if (acceptSymbol(u"(")) {
            result = expression();
            expectSymbol(u")");
        } else if (token.kind == Token::Kind::Integer) {
            bool ok = false;
            result->kind = Expression::Kind::Integer;
            result->integer = token.text.toLongLong(&ok);
            if (!ok)
                throw failures::syntaxError(
                    QStringLiteral("第 %1 个字符处的数字太大。").arg(token.offset + 1));
            ++m_position;
        } else if (token.kind == Token::Kind::Text) {
            result->kind = Expression::Kind::Text;
            result->text = token.text;
            ++m_position;
        } else if (acceptKeyword(u"NULL")) {
            result->kind = Expression::Kind::Null;
        } else {
            result->kind = Expression::Kind::Column;
            result->text = name();
        }
        return result;
    }

    static ExpressionPtr unary(Expression::Kind kind, ExpressionPtr operand) {
        auto result = std::make_unique<Expression>();
        result->kind = kind;
        result->left = std::move(operand);
        setDepth(*result);
        return result;
    }

    static ExpressionPtr binary(Expression::Operator op, ExpressionPtr left, ExpressionPtr right) {
        auto result = unary(Expression::Kind::Binary, std::move(left));
        result->op = op;
        result->right = std::move(right);
        setDepth(*result);
        return result;
    }

    static void setDepth(Expression& node) {
        node.depth =
            1 + std::max(node.left ? node.left->depth : 0, node.right ? node.right->depth : 0);
        if (node.depth > maxExpressionDepth)
            throw failures::nestedTooDeeply();
    }

    // Counts the parser's own nesting (parentheses, Not, minus signs).
    class NestingGuard {
    public:
        explicit NestingGuard(Parser& parser) : m_parser(parser) {
            if (++m_parser.m_nesting > maxExpressionDepth)
                throw failures::nestedTooDeeply();
        }
        ~NestingGuard() { --m_parser.m_nesting; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        Parser& m_parser;
    };

    QString name() {
        const Token& token = current();
        const bool plainName = token.kind == Token::Kind::Name && !isReserved(token.text);
        if (!plainName && token.kind != Token::Kind::BracketedName)
            throw unexpected();
        ++m_position;
        return token.text;
    }

    static bool isWord(const QString& text, const char16_t* word) {
        return text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
    }

    static bool isReserved(const QString& text) {
        for (const char16_t* word : reservedWords) {
            if (isWord(text, word))
                return true;
        }
        return false;
    }

    static bool isKeyword(const Token& token, const char16_t* word) {
        return token.kind == Token::Kind::Name && isWord(token.text, word);
    }

    const Token& current() const { return m_tokens[m_position]; }

    const Token& next() const { return m_tokens[std::min(m_position + 1, m_tokens.size() - 1)]; }

    bool acceptKeyword(const char16_t* word) {
        if (!isKeyword(current(), word))
            return false;
        ++m_position;
        return true;
    }

    void expectKeyword(const char16_t* word) {
        if (!acceptKeyword(word))
            throw unexpected();
    }

    bool atSymbol(const char16_t* symbol) const {
        return current().kind == Token::Kind::Symbol && current().text == QStringView(symbol);
    }

    bool acceptSymbol(const char16_t* symbol) {
        if (!atSymbol(symbol))
            return false;
        ++m_position;
        return true;
    }

    void expectSymbol(const char16_t* symbol) {
        if (!acceptSymbol(symbol))
            throw unexpected();
    }

    SqlFailure unexpected() const {
        const Token& token = current();
        if (token.kind == Token::Kind::End)
            return failures::syntaxError(QStringLiteral("语句不完整。"));
        constexpr int shownLength = 20;
        QString shown =
            token.kind == Token::Kind::Text ? QStringLiteral("'%1'").arg(token.text) : token.text;
        if (shown.size() > shownLength)
            shown = shown.left(shownLength) + QStringLiteral("…");
        return failures::syntaxError(QStringLiteral("第 %1 个字符处的“%2”不应出现在这里。")
                                         .arg(token.offset + 1)
                                         .arg(shown));
    }

    std::vector<Token> m_tokens;
    size_t m_position = 0;
    int m_nesting = 0;
};

} // namespace

Statement parseStatement(const QString& text) {
    return Parser(text).statement();
}

} // namespace sql
