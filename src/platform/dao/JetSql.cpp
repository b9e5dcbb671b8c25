#include "platform/dao/JetSql.h"

#include <QStringList>

#include "platform/dao/DaoError.h"

namespace dao::jet {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c.unicode() == 0x3000;
}

bool isWordChar(QChar c) {
    if (c.unicode() < 0x80) return c.isLetterOrNumber() || c == QLatin1Char('_');
    return !isBlank(c);
}

// Reads a delimited run ('...', "...", [...]) where a doubled closing delimiter stands for
// itself. Returns the index after the closing delimiter, or -1 when it never closes.
int readDelimited(const QString& sql, int start, QChar close, bool doubling, QString* out) {
    int i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                out->append(close);
                i += 2;
                continue;
            }
            return i + 1;
        }
        out->append(sql[i]);
        ++i;
    }
    return -1;
}

}  // namespace

std::vector<Token> tokenize(const QString& sql) {
    std::vector<Token> tokens;
    int i = 0;
    const int n = static_cast<int>(sql.size());
    while (i < n) {
        const QChar c = sql[i];
        if (isBlank(c)) {
            ++i;
            continue;
        }
        Token t;
        t.position = i;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            t.kind = TokenKind::String;
            i = readDelimited(sql, i, c, true, &t.text);
        } else if (c == QLatin1Char('[')) {
            t.kind = TokenKind::Bracketed;
            i = readDelimited(sql, i, QLatin1Char(']'), false, &t.text);
        } else if (c == QLatin1Char('#')) {
            t.kind = TokenKind::Date;
            i = readDelimited(sql, i, QLatin1Char('#'), false, &t.text);
        } else if (c.unicode() < 0x80 &&
                   (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n &&
                                    sql[i + 1].unicode() < 0x80 && sql[i + 1].isDigit()))) {
            t.kind = TokenKind::Number;
            int j = i;
            while (j < n && sql[j].unicode() < 0x80 &&
                   (sql[j].isDigit() || sql[j] == QLatin1Char('.')))
                ++j;
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-'))) ++k;
                if (k < n && sql[k].isDigit()) {
                    while (k < n && sql[k].isDigit()) ++k;
                    j = k;
                }
            }
            t.text = sql.mid(i, j - i);
            // "5a" is neither a number nor a name.
            if (j < n && isWordChar(sql[j])) raise(err::SyntaxInExpression, sql.mid(i));
            i = j;
        } else if (isWordChar(c)) {
            t.kind = TokenKind::Word;
            int j = i;
            while (j < n && isWordChar(sql[j])) ++j;
            t.text = sql.mid(i, j - i);
            i = j;
        } else {
            t.kind = TokenKind::Symbol;
            static const char* const pairs[] = {"<>", "<=", ">=", "!="};
            t.text = QString(c);
            for (const char* p : pairs) {
                if (sql.mid(i, 2) == QLatin1String(p)) {
                    t.text = QLatin1String(p);
                    break;
                }
            }
            i += static_cast<int>(t.text.size());
        }
        if (i < 0) raise(err::SyntaxInExpression, sql.mid(t.position));
        tokens.push_back(std::move(t));
    }
    Token end;
    end.position = n;
    tokens.push_back(end);
    return tokens;
}

namespace {

const QStringList& reservedWords() {
    static const QStringList words = {
        "SELECT", "DISTINCT", "DISTINCTROW", "TOP",    "FROM",   "WHERE", "GROUP",  "BY",
        "HAVING", "ORDER",    "ASC",         "DESC",   "AS",     "INNER", "LEFT",   "RIGHT",
        "OUTER",  "JOIN",     "ON",          "AND",    "OR",     "NOT",   "LIKE",   "IS",
        "NULL",   "BETWEEN",  "IN",          "DELETE", "UPDATE", "SET",   "INSERT", "INTO",
        "VALUES", "MOD",      "XOR",         "UNION"};
    return words;
}

class Parser {
public:
    Parser(const QString& sql, int syntaxError) : sql_(sql), error_(syntaxError) {
        tokens_ = tokenize(sql);
    }

    Statement statement() {
        Statement s;
        if (acceptWord("SELECT")) {
            s.kind = Statement::Kind::Select;
            select(s);
        } else if (acceptWord("DELETE")) {
            s.kind = Statement::Kind::Delete;
            if (!peekWord("FROM")) {
                // DELETE * FROM t, DELETE t.* FROM t
                while (!atEnd() && !peekWord("FROM")) advance();
            }
            expectWord("FROM", err::SyntaxInFrom);
            s.tables.push_back(tableRef());
            if (acceptWord("WHERE")) s.where = expression();
        } else if (acceptWord("UPDATE")) {
            s.kind = Statement::Kind::Update;
            s.tables.push_back(tableRef());
            expectWord("SET", error_);
            do {
                Assignment a;
                a.column = name();
                if (acceptSymbol(".")) a.column = name();
                expectSymbol("=");
                a.value = expression();
                s.assignments.push_back(std::move(a));
            } while (acceptSymbol(","));
            if (acceptWord("WHERE")) s.where = expression();
        } else if (acceptWord("INSERT")) {
            s.kind = Statement::Kind::Insert;
            expectWord("INTO", error_);
            s.tables.push_back(tableRef());
            if (acceptSymbol("(")) {
                do s.insertColumns.push_back(name());
                while (acceptSymbol(","));
                expectSymbol(")");
            }
            expectWord("VALUES", error_);
            expectSymbol("(");
            do s.insertValues.push_back(expression());
            while (acceptSymbol(","));
            expectSymbol(")");
        } else {
            raise(err::InvalidSqlStatement);
        }
        acceptSymbol(";");
        if (!atEnd()) raise(err::SyntaxInSql);
        return s;
    }

    ExprPtr criteria() {
        ExprPtr e = expression();
        if (!atEnd()) fail();
        return e;
    }

private:
    const Token& peek(int ahead = 0) const {
        const size_t k = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[k];
    }
    bool atEnd() const { return peek().kind == TokenKind::End; }
    void advance() {
        if (!atEnd()) ++pos_;
    }
    [[noreturn]] void fail() const { raise(error_, sql_.mid(peek().position).left(200)); }
    bool peekWord(const char* word, int ahead = 0) const {
        const Token& t = peek(ahead);
        return t.kind == TokenKind::Word &&
               t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool acceptWord(const char* word) {
        if (!peekWord(word)) return false;
        advance();
        return true;
    }
    void expectWord(const char* word, int error) {
        if (!acceptWord(word)) raise(error, sql_.mid(peek().position).left(200));
    }
    bool peekSymbol(const char* symbol) const {
        return peek().kind == TokenKind::Symbol && peek().text == QLatin1String(symbol);
    }
    bool acceptSymbol(const char* symbol) {
        if (!peekSymbol(symbol)) return false;
        advance();
        return true;
    }
    void expectSymbol(const char* symbol) {
        if (!acceptSymbol(symbol)) fail();
    }
    bool isReserved(const Token& t) const {
        return t.kind == TokenKind::Word && reservedWords().contains(t.text, Qt::CaseInsensitive);
    }
    QString name() {
        const Token& t = peek();
        if (t.kind == TokenKind::Bracketed || (t.kind == TokenKind::Word && !isReserved(t))) {
            QString text = t.text;
            advance();
            return text;
        }
        fail();
    }

    void select(Statement& s) {
        if (acceptWord("DISTINCT") || acceptWord("DISTINCTROW")) s.distinct = true;
        if (acceptWord("TOP")) {
            if (peek().kind != TokenKind::Number) fail();
            s.top = peek().text.toLongLong();
            advance();
        }
        do {
            SelectItem item;
            if (peekSymbol("*")) {
                advance();
                item.expr = std::make_unique<Expr>();
                item.expr->kind = Expr::Kind::Star;
            } else {
                item.expr = expression();
                if (acceptWord("AS")) item.alias = name();
            }
            s.items.push_back(std::move(item));
        } while (acceptSymbol(","));
        expectWord("FROM", err::SyntaxInFrom);
        fromClause(s);
        if (acceptWord("WHERE")) s.where = expression();
        if (acceptWord("GROUP")) {
            expectWord("BY", error_);
            do s.groupBy.push_back(expression());
            while (acceptSymbol(","));
        }
        if (acceptWord("HAVING")) s.having = expression();
        if (acceptWord("ORDER")) {
            expectWord("BY", error_);
            do {
                OrderTerm term;
                term.expr = expression();
                if (acceptWord("DESC"))
                    term.descending = true;
                else
                    acceptWord("ASC");
                s.orderBy.push_back(std::move(term));
            } while (acceptSymbol(","));
        }
    }

    TableRef tableRef() {
        TableRef ref;
        const Token& t = peek();
        if (t.kind != TokenKind::Bracketed && (t.kind != TokenKind::Word || isReserved(t)))
            raise(err::SyntaxInFrom);
        ref.name = t.text;
        advance();
        // AS is optional before an alias.
        if (acceptWord("AS") || peek().kind == TokenKind::Bracketed ||
            (peek().kind == TokenKind::Word && !isReserved(peek())))
            ref.alias = name();
        return ref;
    }

    // FROM a [INNER|LEFT [OUTER]] JOIN b ON ... ; parentheses around joins are allowed.
    void fromClause(Statement& s) {
        int open = 0;
        while (acceptSymbol("(")) ++open;
        s.tables.push_back(tableRef());
        for (;;) {
            while (open > 0 && acceptSymbol(")")) --open;
            TableRef::Join join;
            if (acceptSymbol(",")) {
                join = TableRef::Join::Cross;
            } else if (acceptWord("INNER")) {
                join = TableRef::Join::Inner;
            } else if (acceptWord("LEFT")) {
                acceptWord("OUTER");
                join = TableRef::Join::Left;
            } else {
                break;
            }
            if (join != TableRef::Join::Cross) expectWord("JOIN", err::SyntaxInFrom);
            while (acceptSymbol("(")) ++open;
            TableRef ref = tableRef();
            ref.join = join;
            if (join != TableRef::Join::Cross) {
                if (!acceptWord("ON")) raise(err::SyntaxInFrom);
                ref.on = expression();
            }
            s.tables.push_back(std::move(ref));
        }
        if (open != 0) raise(err::SyntaxInFrom);
    }

    // Precedence, lowest first: OR, XOR, AND, NOT, comparison, &, + -, MOD, \, * /, unary -, ^.
    ExprPtr expression() { return orExpr(); }

    ExprPtr binary(QString op, ExprPtr l, ExprPtr r) {
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Binary;
        e->text = std::move(op);
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return e;
    }

    ExprPtr orExpr() {
        ExprPtr l = xorExpr();
        while (acceptWord("OR")) l = binary("OR", std::move(l), xorExpr());
        return l;
    }
    ExprPtr xorExpr() {
        ExprPtr l = andExpr();
        while (acceptWord("XOR")) l = binary("XOR", std::move(l), andExpr());
        return l;
    }
    ExprPtr andExpr() {
        ExprPtr l = notExpr();
        while (acceptWord("AND")) l = binary("AND", std::move(l), notExpr());
        return l;
    }
    ExprPtr notExpr() {
        if (acceptWord("NOT")) {
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Unary;
            e->text = "NOT";
            e->args.push_back(notExpr());
            return e;
        }
        return comparison();
    }
    ExprPtr comparison() {
        ExprPtr l = concat();
        for (;;) {
            static const char* const ops[] = {"=", "<>", "<", ">", "<=", ">=", "!="};
            bool matched = false;
            for (const char* op : ops) {
                if (acceptSymbol(op)) {
                    l = binary(QString::fromLatin1(op == QLatin1String("!=") ? "<>" : op),
                               std::move(l), concat());
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
            const bool negated = peekWord("NOT") && (peekWord("LIKE", 1) ||
                                                     peekWord("BETWEEN", 1) || peekWord("IN", 1));
            if (negated) advance();
            if (acceptWord("LIKE")) {
                auto e = std::make_unique<Expr>();
                e->kind = Expr::Kind::Like;
                e->negated = negated;
                e->args.push_back(std::move(l));
                e->args.push_back(concat());
                l = std::move(e);
            } else if (acceptWord("BETWEEN")) {
                auto e = std::make_unique<Expr>();
                e->kind = Expr::Kind::Between;
                e->negated = negated;
                e->args.push_back(std::move(l));
                e->args.push_back(concat());
                expectWord("AND", error_);
                e->args.push_back(concat());
                l = std::move(e);
            } else if (acceptWord("IN")) {
                auto e = std::make_unique<Expr>();
                e->kind = Expr::Kind::In;
                e->negated = negated;
                e->args.push_back(std::move(l));
                expectSymbol("(");
                do e->args.push_back(expression());
                while (acceptSymbol(","));
                expectSymbol(")");
                l = std::move(e);
            } else if (acceptWord("IS")) {
                auto e = std::make_unique<Expr>();
                e->kind = Expr::Kind::IsNull;
                e->negated = acceptWord("NOT");
                expectWord("NULL", error_);
                e->args.push_back(std::move(l));
                l = std::move(e);
            } else {
                return l;
            }
        }
    }
    ExprPtr concat() {
        ExprPtr l = additive();
        while (acceptSymbol("&")) l = binary("&", std::move(l), additive());
        return l;
    }
    ExprPtr additive() {
        ExprPtr l = modulo();
        for (;;) {
            if (acceptSymbol("+"))
                l = binary("+", std::move(l), modulo());
            else if (acceptSymbol("-"))
                l = binary("-", std::move(l), modulo());
            else
                return l;
        }
    }
    ExprPtr modulo() {
        ExprPtr l = intDivision();
        while (acceptWord("MOD")) l = binary("MOD", std::move(l), intDivision());
        return l;
    }
    ExprPtr intDivision() {
        ExprPtr l = multiplicative();
        while (acceptSymbol("\\")) l = binary("\\", std::move(l), multiplicative());
        return l;
    }
    ExprPtr multiplicative() {
        ExprPtr l = unary();
        for (;;) {
            if (acceptSymbol("*"))
                l = binary("*", std::move(l), unary());
            else if (acceptSymbol("/"))
                l = binary("/", std::move(l), unary());
            else
                return l;
        }
    }
    ExprPtr unary() {
        if (acceptSymbol("-")) {
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Unary;
            e->text = "-";
            e->args.push_back(unary());
            return e;
        }
        if (acceptSymbol("+")) return unary();
        return primary();
    }
    ExprPtr primary() {
        const Token t = peek();
        auto e = std::make_unique<Expr>();
        switch (t.kind) {
            case TokenKind::Number:
                advance();
                e->kind = Expr::Kind::Number;
                e->text = t.text;
                return e;
            case TokenKind::String:
                advance();
                e->kind = Expr::Kind::String;
                e->text = t.text;
                return e;
            case TokenKind::Date:
                advance();
                e->kind = Expr::Kind::Date;
                e->text = t.text;
                return e;
            case TokenKind::Symbol:
                if (t.text == QLatin1String("(")) {
                    advance();
                    ExprPtr inner = expression();
                    expectSymbol(")");
                    return inner;
                }
                fail();
            case TokenKind::Bracketed:
            case TokenKind::Word:
                break;
            case TokenKind::End:
                fail();
        }
        if (t.kind == TokenKind::Word) {
            if (acceptWord("NULL")) {
                e->kind = Expr::Kind::Null;
                return e;
            }
            for (const char* word : {"TRUE", "YES", "ON"}) {
                if (acceptWord(word)) {
                    e->kind = Expr::Kind::Boolean;
                    e->text = "1";
                    return e;
                }
            }
            for (const char* word : {"FALSE", "NO", "OFF"}) {
                if (acceptWord(word)) {
                    e->kind = Expr::Kind::Boolean;
                    e->text = "0";
                    return e;
                }
            }
            if (isReserved(t)) fail();
        }
        advance();
        if (t.kind == TokenKind::Word && peekSymbol("(")) {
            advance();
            e->kind = Expr::Kind::Call;
            e->text = t.text.toUpper();
            if (acceptSymbol(")")) return e;
            if (peekSymbol("*")) {
                advance();
                e->countStar = true;
                expectSymbol(")");
                return e;
            }
            acceptWord("DISTINCT");
            do e->args.push_back(expression());
            while (acceptSymbol(","));
            expectSymbol(")");
            return e;
        }
        e->kind = Expr::Kind::Column;
        e->text = t.text;
        if (acceptSymbol(".")) {
            e->qualifier = t.text;
            if (acceptSymbol("*")) {
                e->kind = Expr::Kind::Star;
                e->text.clear();
                return e;
            }
            e->text = name();
        }
        return e;
    }

    QString sql_;
    int error_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

}  // namespace

Statement parseStatement(const QString& sql) {
    Parser parser(sql, err::SyntaxInExpression);
    return parser.statement();
}

ExprPtr parseCriteria(const QString& criteria) {
    try {
        Parser parser(criteria, err::SyntaxInCriteria);
        return parser.criteria();
    } catch (const DaoError& e) {
        if (e.number() == err::SyntaxInExpression) raise(err::SyntaxInCriteria, criteria);
        throw;
    }
}

}  // namespace dao::jet
