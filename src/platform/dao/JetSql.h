#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "platform/dao/Schema.h"

// Jet SQL: a tokenizer, a parser for the statements the program builds, and their
// translation to SQLite SQL against a schema.
namespace dao::jet {

enum class TokenKind { End, Word, Bracketed, Number, String, Date, Symbol };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;  // words and symbols as written; strings and dates without delimiters
    int position = 0;
};

// Splits Jet SQL into tokens. Raises 3075 for an unterminated string, name or date.
std::vector<Token> tokenize(const QString& sql);

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum class Kind {
        Number,
        String,
        Date,
        Boolean,
        Null,
        Column,
        Star,
        Unary,
        Binary,
        Like,
        IsNull,
        Between,
        In,
        Call
    };
    Kind kind = Kind::Null;
    QString text;       // literal, operator, function name or column name
    QString qualifier;  // table qualifier of a column or star
    bool negated = false;
    bool countStar = false;  // COUNT(*)
    std::vector<ExprPtr> args;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;
};

struct TableRef {
    QString name;
    QString alias;
    enum class Join { First, Inner, Left, Cross } join = Join::First;
    ExprPtr on;
};

struct OrderTerm {
    ExprPtr expr;
    bool descending = false;
};

struct Assignment {
    QString column;
    ExprPtr value;
};

struct Statement {
    enum class Kind { Select, Delete, Update, Insert } kind = Kind::Select;
    bool distinct = false;
    std::optional<long long> top;
    std::vector<SelectItem> items;
    std::vector<TableRef> tables;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::vector<OrderTerm> orderBy;
    std::vector<Assignment> assignments;  // UPDATE
    std::vector<QString> insertColumns;   // INSERT
    std::vector<ExprPtr> insertValues;
};

// Parses one statement. Raises the Jet syntax errors (3075, 3131, 3129, 3142).
Statement parseStatement(const QString& sql);
// Parses a criterion such as "dbID =3" for FindFirst. Raises 3077 on bad syntax.
ExprPtr parseCriteria(const QString& criteria);

}  // namespace dao::jet
