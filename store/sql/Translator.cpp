#include "store/sql/Translator.h"

#include "store/sql/LikeMatcher.h"
#include "store/sql/SqlFailure.h"
#include "store/sql/TableCatalogue.h"

namespace sql {

namespace {

// The static type of an expression. A condition (a comparison, like, Is Null,
// And, Or, Not) is not a value; a number may stand as a condition (true when
// not 0), as in the old engine.
enum class ValueType { Integer, Text, Null, Condition };

struct Translated {
    QByteArray sql;
    ValueType type;
};

class ExpressionTranslator {
public:
    // table null: no column can be named (the values of an Insert).
    ExpressionTranslator(const TableDefinition* table, std::vector<SqlValue>& parameters)
        : m_table(table), m_parameters(parameters) {}

    // An expression whose value is stored or compared.
    QByteArray value(const Expression& expression) {
        Translated result = translate(expression);
        if (result.type == ValueType::Condition)
            throw failures::typeMismatch();
        return result.sql;
    }

    // An expression that decides whether a row takes part.
    QByteArray condition(const Expression& expression) {
        Translated result = translate(expression);
        if (result.type == ValueType::Text)
            throw failures::typeMismatch();
        return result.sql;
    }

private:
    Translated translate(const Expression& e) {
        switch (e.kind) {
        case Expression::Kind::Integer:
            return {parameter(e.integer), ValueType::Integer};
        case Expression::Kind::Text:
            return {parameter(e.text), ValueType::Text};
        case Expression::Kind::Null:
            return {"NULL", ValueType::Null};
        case Expression::Kind::Column:
            return column(e.text);
        case Expression::Kind::Negate: {
            const Translated operand = translate(*e.left);
            if (operand.type != ValueType::Integer && operand.type != ValueType::Null)
                throw failures::typeMismatch();
            return {"(-" + operand.sql + ")", operand.type};
        }
        case Expression::Kind::Not:
            return {"(NOT " + condition(*e.left) + ")", ValueType::Condition};
        case Expression::Kind::Like: {
            const QByteArray text = value(*e.left);
            const QByteArray pattern = value(*e.right);
            const QByteArray match =
                QByteArray(likeFunctionName) + "(" + pattern + ", " + text + ")";
            return {e.negated ? "(NOT " + match + ")" : match, ValueType::Condition};
        }
        case Expression::Kind::IsNull:
            return {"(" + value(*e.left) + (e.negated ? " IS NOT NULL)" : " IS NULL)"),
                    ValueType::Condition};
        case Expression::Kind::Binary:
            return binary(e);
        }
        throw failures::typeMismatch();
    }

    Translated binary(const Expression& e) {
        using Op = Expression::Operator;
        if (e.op == Op::And || e.op == Op::Or) {
            const QByteArray left = condition(*e.left);
            const QByteArray right = condition(*e.right);
            return {"(" + left + (e.op == Op::And ? " AND " : " OR ") + right + ")",
                    ValueType::Condition};
        }
        const Translated left = translate(*e.left);
        const Translated right = translate(*e.right);
        if (left.type == ValueType::Condition || right.type == ValueType::Condition)
            throw failures::typeMismatch();
        const bool eitherText = left.type == ValueType::Text || right.type == ValueType::Text;
        const bool eitherInteger =
            left.type == ValueType::Integer || right.type == ValueType::Integer;
        switch (e.op) {
        case Op::Plus:
            if (eitherText)
                return {"(" + left.sql + " || " + right.sql + ")", ValueType::Text};
            return {"(" + left.sql + " + " + right.sql + ")",
                    eitherInteger ? ValueType::Integer : ValueType::Null};
        case Op::Concatenate:
            return {"(coalesce(" + left.sql + ", '') || coalesce(" + right.sql + ", ''))",
                    ValueType::Text};
        default:
            break;
        }
        if (eitherText && eitherInteger)
            throw failures::typeMismatch();
        return {"(" + left.sql + " " + comparison(e.op) + " " + right.sql + ")",
                ValueType::Condition};
    }

    static QByteArray comparison(Expression::Operator op) {
        switch (op) {
        case Expression::Operator::Equal:
            return "=";
        case Expression::Operator::NotEqual:
            return "<>";
        case Expression::Operator::Less:
            return "<";
        case Expression::Operator::Greater:
            return ">";
        case Expression::Operator::LessOrEqual:
            return "<=";
        default:
            return ">=";
        }
    }

    Translated column(const QString& name) {
        const ColumnDefinition* column = m_table ? m_table->column(name) : nullptr;
        if (!column)
            throw failures::unknownColumn(name);
        return {quotedSqlName(column->name), column->type.kind == ColumnType::Kind::Integer
                                                 ? ValueType::Integer
                                                 : ValueType::Text};
    }

    QByteArray parameter(SqlValue value) {
        m_parameters.push_back(std::move(value));
        return "?" + QByteArray::number(qsizetype(m_parameters.size()));
    }

    const TableDefinition* m_table;
    std::vector<SqlValue>& m_parameters;
};

const TableDefinition& findTable(const TableCatalogue& catalogue, const QString& name) {
    const TableDefinition* table = catalogue.find(name);
    if (!table)
        throw failures::unknownTable(name);
    return *table;
}

const ColumnDefinition& findColumn(const TableDefinition& table, const QString& name) {
    const ColumnDefinition* column = table.column(name);
    if (!column)
        throw failures::unknownColumn(name);
    return *column;
}

// The columns named, each once, in the order given.
std::vector<const ColumnDefinition*> distinctColumns(const TableDefinition& table,
                                                     const std::vector<QString>& names) {
    std::vector<const ColumnDefinition*> columns;
    for (const QString& name : names) {
        const ColumnDefinition* column = &findColumn(table, name);
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            throw failures::duplicateColumn(name);
        columns.push_back(column);
    }
    return columns;
}

QByteArray whereClause(ExpressionTranslator& translator, const ExpressionPtr& where) {
    return where ? " WHERE " + translator.condition(*where) : QByteArray();
}

} // namespace

SelectPlan planSelect(const Select& statement, const TableCatalogue& catalogue) {
    const TableDefinition& table = findTable(catalogue, statement.table);
    const QByteArray tableName = quotedSqlName(table.name);
    SelectPlan plan;
    plan.table = table.name;
    std::vector<const ColumnDefinition*> columns;
    for (const ColumnDefinition& column : table.columns)
        columns.push_back(&column);
    if (!statement.columns.empty()) {
        columns.clear();
        for (const QString& name : statement.columns)
            columns.push_back(&findColumn(table, name));
    }
    for (const ColumnDefinition* column : columns)
        plan.columns.push_back({column->name, table.columnRead(*column)});

    // The rowid runs in the direction of the last term, so that an index on
    // that column yields the order without sorting.
    QByteArray orderBy = " ORDER BY ";
    bool descending = false;
    for (const OrderTerm& term : statement.order) {
        orderBy += quotedSqlName(findColumn(table, term.column).name) +
                   (term.descending ? " DESC, " : ", ");
        descending = term.descending;
    }
    orderBy += table.rowid + (descending ? " DESC" : "");

    const QByteArray selectRowids = "SELECT " + table.rowid + " FROM " + tableName;
    ExpressionTranslator translator(&table, plan.rows.parameters);
    plan.rows.sql = selectRowids + whereClause(translator, statement.where) + orderBy;
    plan.yieldsWholeTable = !statement.where;
    plan.pagesFollowRowids = statement.order.empty();
    if (plan.yieldsWholeTable && plan.pagesFollowRowids) {
        plan.rowPage = selectRowids + " WHERE " + table.rowid + " <= ?1 AND " + table.rowid +
                       " > ?2" + orderBy + " LIMIT ?3";
    } else if (plan.yieldsWholeTable) {
        plan.rowPage =
            selectRowids + " WHERE " + table.rowid + " <= ?1" + orderBy + " LIMIT ?2 OFFSET ?3";
    }
    return plan;
}

SqliteStatement translateInsert(const Insert& statement, const TableCatalogue& catalogue) {
    const TableDefinition& table = findTable(catalogue, statement.table);
    std::vector<const ColumnDefinition*> columns;
    if (statement.columns.empty()) {
        for (const ColumnDefinition& column : table.columns)
            columns.push_back(&column);
    } else {
        columns = distinctColumns(table, statement.columns);
    }
    if (columns.size() != statement.values.size())
        throw failures::valueCountMismatch();
    SqliteStatement result;
    ExpressionTranslator translator(nullptr, result.parameters);
    QByteArray names;
    QByteArray values;
    for (size_t i = 0; i < columns.size(); ++i) {
        const QByteArray separator = i == 0 ? "" : ", ";
        names += separator + quotedSqlName(columns[i]->name);
        values += separator + translator.value(*statement.values[i]);
    }
    result.sql =
        "INSERT INTO " + quotedSqlName(table.name) + " (" + names + ") VALUES (" + values + ")";
    return result;
}

SqliteStatement translateUpdate(const Update& statement, const TableCatalogue& catalogue) {
    const TableDefinition& table = findTable(catalogue, statement.table);
    std::vector<QString> names;
    for (const Assignment& assignment : statement.assignments)
        names.push_back(assignment.column);
    const std::vector<const ColumnDefinition*> columns = distinctColumns(table, names);
    SqliteStatement result;
    ExpressionTranslator translator(&table, result.parameters);
    QByteArray sql = "UPDATE " + quotedSqlName(table.name) + " SET ";
    for (size_t i = 0; i < columns.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + quotedSqlName(columns[i]->name) + " = " +
               translator.value(*statement.assignments[i].value);
    }
    result.sql = sql + whereClause(translator, statement.where);
    return result;
}

SqliteStatement translateDelete(const Delete& statement, const TableCatalogue& catalogue) {
    const TableDefinition& table = findTable(catalogue, statement.table);
    SqliteStatement result;
    ExpressionTranslator translator(&table, result.parameters);
    result.sql =
        "DELETE FROM " + quotedSqlName(table.name) + whereClause(translator, statement.where);
    return result;
}

} // namespace sql
