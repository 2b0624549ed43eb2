#pragma once

#include <QString>
#include <memory>
#include <variant>
#include <vector>

namespace sql {

// The statements of the dialect as the parser reads them.

struct Expression;
using ExpressionPtr = std::unique_ptr<Expression>;

struct Expression {
    enum class Kind {
        Integer, // integer
        Text,    // text
        Null,
        Column, // name
        Negate, // - left
        Not,    // Not left
        Binary, // left op right
        Like,   // left [Not] Like right
        IsNull, // left Is [Not] Null
    };
    enum class Operator {
        Equal,
        NotEqual,
        Less,
        Greater,
        LessOrEqual,
        GreaterOrEqual,
        Plus,        // adds numbers, joins texts
        Concatenate, // &
        And,
        Or,
    };
    Kind kind = Kind::Null;
    Operator op = Operator::Equal;
    bool negated = false; // Not Like, Is Not Null
    qint64 integer = 0;
    QString text;  // a text literal's value or a column's name
    int depth = 1; // of the tree below and with this node
    ExpressionPtr left;
    ExpressionPtr right;
};

// A column type of the dialect: int/integer/long are 32-bit signed integers;
// Memo/text hold texts of any length, varchar(n)/text(n) at most n characters.
struct ColumnType {
    enum class Kind { Integer, Text };
    Kind kind = Kind::Text;
    int maxLength = 0; // 0: unbounded
};

struct ColumnDefinition {
    QString name;
    ColumnType type;
};

struct CreateTable {
    QString table;
    std::vector<ColumnDefinition> columns;
};

struct OrderTerm {
    QString column;
    bool descending = false;
};

struct Select {
    std::vector<QString> columns; // empty for *
    QString table;
    ExpressionPtr where; // null without Where
    std::vector<OrderTerm> order;
};

struct Insert {
    QString table;
    std::vector<QString> columns; // empty: every column, in table order
    std::vector<ExpressionPtr> values;
};

struct Assignment {
    QString column;
    ExpressionPtr value;
};

struct Update {
    QString table;
    std::vector<Assignment> assignments;
    ExpressionPtr where;
};

struct Delete {
    QString table;
    ExpressionPtr where;
};

using Statement = std::variant<CreateTable, Select, Insert, Update, Delete>;

} // namespace sql
