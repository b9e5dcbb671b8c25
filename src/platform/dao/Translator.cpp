#include "platform/dao/Translator.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <unordered_map>

#include "platform/dao/DaoError.h"
#include "platform/dao/JetFunctions.h"
#include "platform/vb/Format.h"

namespace dao::jet {

QString quoteSqlString(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString storedDateText(const QString& jetDate) {
    const QString text = jetDate.trimmed();
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0 && text.contains(QLatin1Char(':'))) {
        if (auto t = vb::parseTime(text)) return t->toString(QStringLiteral("HH:mm:ss"));
        raise(err::SyntaxInExpression, QLatin1Char('#') + jetDate + QLatin1Char('#'));
    }
    const auto date = vb::parseDate(blank < 0 ? text : text.left(blank));
    if (!date) raise(err::SyntaxInExpression, QLatin1Char('#') + jetDate + QLatin1Char('#'));
    QString stored = date->toString(QStringLiteral("yyyy-MM-dd"));
    if (blank >= 0) {
        const auto time = vb::parseTime(text.mid(blank + 1).trimmed());
        if (!time) raise(err::SyntaxInExpression, QLatin1Char('#') + jetDate + QLatin1Char('#'));
        if (*time != QTime(0, 0))
            stored += QLatin1Char(' ') + time->toString(QStringLiteral("HH:mm:ss"));
    }
    return stored;
}

namespace {

QString quoteName(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

bool isAggregate(const QString& function) {
    static const QStringList names = {"MIN", "MAX", "SUM", "COUNT", "AVG"};
    return names.contains(function);
}

bool containsAggregate(const Expr& e) {
    if (e.kind == Expr::Kind::Call && isAggregate(e.text)) return true;
    for (const auto& a : e.args)
        if (a && containsAggregate(*a)) return true;
    return false;
}

// Where names in an expression are looked up, and how they are written out.
struct Scope {
    const std::vector<BoundTable>* tables = nullptr;
    // Result aliases that an unqualified name may refer to when no table has such a column.
    const std::vector<ResultColumn>* aliases = nullptr;
    const QStringList* aliasSql = nullptr;
    bool preferAliases = false;
};

struct Resolved {
    int table = -1;
    int column = -1;
};

// The operands of a chain of one binary operator: "a OR b OR c" gives a, b and c.
std::vector<const Expr*> operands(const Expr& e, const char* op) {
    std::vector<const Expr*> out;
    const std::function<void(const Expr&)> collect = [&](const Expr& x) {
        if (x.kind == Expr::Kind::Binary && x.text == QLatin1String(op)) {
            collect(*x.args[0]);
            collect(*x.args[1]);
        } else {
            out.push_back(&x);
        }
    };
    collect(e);
    return out;
}

class Emitter {
public:
    explicit Emitter(Scope scope) : scope_(scope) {}

    Resolved resolve(const Expr& e) const {
        const auto& tables = *scope_.tables;
        if (!e.qualifier.isEmpty()) {
            const QString q = foldName(e.qualifier);
            for (size_t t = 0; t < tables.size(); ++t) {
                if (foldName(tables[t].visibleName) != q) continue;
                if (auto c = tables[t].table->columnIndex(e.text)) return {static_cast<int>(t), *c};
                raise(err::TooFewParameters, QStringLiteral("1"));
            }
            raise(err::TooFewParameters, QStringLiteral("1"));
        }
        Resolved found;
        for (size_t t = 0; t < tables.size(); ++t) {
            if (auto c = tables[t].table->columnIndex(e.text)) {
                if (found.table >= 0) raise(err::AmbiguousField, e.text);
                found = {static_cast<int>(t), *c};
            }
        }
        return found;
    }

    QString columnSql(int table, int column) const {
        const auto& bound = (*scope_.tables)[table];
        return bound.sqlAlias + QLatin1Char('.') + quoteName(bound.table->columns[column].name);
    }

    std::optional<QString> aliasSql(const Expr& e) const {
        if (!scope_.aliases || !e.qualifier.isEmpty()) return std::nullopt;
        const QString folded = foldName(e.text);
        for (size_t i = 0; i < scope_.aliases->size(); ++i)
            if (foldName((*scope_.aliases)[i].name) == folded) return (*scope_.aliasSql)[i];
        return std::nullopt;
    }

    QString toSql(const Expr& e) const {
        switch (e.kind) {
            case Expr::Kind::Number:
                return e.text;
            case Expr::Kind::String:
                return quoteSqlString(e.text);
            case Expr::Kind::Date:
                return quoteSqlString(storedDateText(e.text));
            case Expr::Kind::Boolean:
                return e.text;
            case Expr::Kind::Null:
                return QStringLiteral("NULL");
            case Expr::Kind::Star:
                raise(err::SyntaxInExpression, QStringLiteral("*"));
            case Expr::Kind::Column: {
                if (scope_.preferAliases)
                    if (auto sql = aliasSql(e)) return *sql;
                const Resolved r = resolve(e);
                if (r.table >= 0) return columnSql(r.table, r.column);
                if (auto sql = aliasSql(e)) return *sql;
                // Jet takes an unknown name for a parameter that nobody supplied.
                raise(err::TooFewParameters, QStringLiteral("1"));
            }
            case Expr::Kind::Unary:
                if (e.text == QLatin1String("NOT")) return "(NOT " + toSql(*e.args[0]) + ")";
                return "(-" + toSql(*e.args[0]) + ")";
            case Expr::Kind::Binary:
                return binary(e);
            case Expr::Kind::Like: {
                const QString call =
                    "jet_like(" + toSql(*e.args[0]) + ", " + toSql(*e.args[1]) + ")";
                return e.negated ? "(NOT " + call + ")" : call;
            }
            case Expr::Kind::IsNull:
                return "(" + toSql(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
            case Expr::Kind::Between:
                return "(" + toSql(*e.args[0]) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") +
                       toSql(*e.args[1]) + " AND " + toSql(*e.args[2]) + ")";
            case Expr::Kind::In: {
                QStringList items;
                for (size_t i = 1; i < e.args.size(); ++i) items << toSql(*e.args[i]);
                return "(" + toSql(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (") +
                       items.join(", ") + "))";
            }
            case Expr::Kind::Call:
                return call(e);
        }
        return {};
    }

    // The condition as two conditions whose rows together are its rows, each row in one: a
    // top-level AND term that lists a field's whole numbers ("(dbID = 1) OR (dbID = 2) ...")
    // keeps half of them in each. Nothing when there is no such term.
    std::optional<std::array<QString, 2>> halves(const Expr& where) const {
        const std::vector<const Expr*> terms = operands(where, "AND");
        for (std::size_t i = 0; i < terms.size(); ++i) {
            auto list = equalities(*terms[i]);
            if (!list || !list->wholeNumbers) continue;
            std::vector<long long> numbers;
            for (const QString& v : list->values) numbers.push_back(v.toLongLong());
            std::sort(numbers.begin(), numbers.end());
            numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
            if (numbers.size() < 2) continue;
            std::array<QString, 2> out;
            const std::size_t middle = (numbers.size() + 1) / 2;
            for (std::size_t h = 0; h < 2; ++h) {
                QStringList half;
                for (std::size_t k = h == 0 ? 0 : middle; k < (h == 0 ? middle : numbers.size());
                     ++k)
                    half << QString::number(numbers[k]);
                QStringList conjunction;
                for (std::size_t j = 0; j < terms.size(); ++j)
                    conjunction << (j == i ? "(" + list->field + " IN (" + half.join(", ") + "))"
                                           : toSql(*terms[j]));
                out[h] = conjunction.join(" AND ");
            }
            return out;
        }
        return std::nullopt;
    }

private:
    // "(f = 1) OR (f = 2) OR ..." over one field and literals, as "f IN (1, 2, ...)", which
    // means the same (SQLite defines IN as those ORs). SQLite can then seek an index with the
    // list; the ORs it checked again on every row: a test over twenty sets compared each of a
    // million records' dbID with up to twenty numbers.
    std::optional<QString> equalityList(const Expr& e) const {
        const auto list = equalities(e);
        if (!list) return std::nullopt;
        return "(" + list->field + " IN (" + list->values.join(", ") + "))";
    }

    struct Equalities {
        QString field;
        QStringList values;
        bool wholeNumbers = true;
    };

    // The field and the literals of "(f = 1) OR (f = 2) ...".
    std::optional<Equalities> equalities(const Expr& e) const {
        const std::vector<const Expr*> terms = operands(e, "OR");
        Equalities out;
        for (const Expr* t : terms) {
            if (t->kind != Expr::Kind::Binary || t->text != QLatin1String("=") ||
                t->args[0]->kind != Expr::Kind::Column ||
                (t->args[1]->kind != Expr::Kind::Number && t->args[1]->kind != Expr::Kind::String))
                return std::nullopt;
            const QString sql = toSql(*t->args[0]);
            if (!out.field.isEmpty() && sql != out.field) return std::nullopt;
            out.field = sql;
            out.values << toSql(*t->args[1]);
            bool whole = false;
            if (t->args[1]->kind == Expr::Kind::Number) out.values.back().toLongLong(&whole);
            out.wholeNumbers = out.wholeNumbers && whole;
        }
        return out;
    }

    QString binary(const Expr& e) const {
        if (e.text == QLatin1String("OR"))
            if (auto list = equalityList(e)) return *list;
        const QString l = toSql(*e.args[0]);
        const QString r = toSql(*e.args[1]);
        const QString& op = e.text;
        if (op == QLatin1String("/")) return "(CAST(" + l + " AS REAL) / " + r + ")";
        if (op == QLatin1String("\\"))
            return "(CAST(round(" + l + ") AS INTEGER) / CAST(round(" + r + ") AS INTEGER))";
        if (op == QLatin1String("MOD")) return "(" + l + " % " + r + ")";
        if (op == QLatin1String("&")) return "jet_concat(" + l + ", " + r + ")";
        if (op == QLatin1String("XOR")) return "((" + l + " <> 0) <> (" + r + " <> 0))";
        return "(" + l + " " + op + " " + r + ")";
    }

    QString call(const Expr& e) const {
        QStringList args;
        for (const auto& a : e.args) args << toSql(*a);
        const QString& f = e.text;
        auto need = [&](size_t lo, size_t hi) {
            if (e.args.size() < lo || e.args.size() > hi) raise(err::SyntaxInExpression, f);
        };
        if (f == QLatin1String("COUNT") && e.countStar) return QStringLiteral("count(*)");
        if (isAggregate(f)) {
            need(1, 1);
            return f.toLower() + "(" + args[0] + ")";
        }
        if (f == QLatin1String("FORMAT")) {
            need(1, 2);
            return "jet_format(" + args[0] + ", " +
                   (args.size() > 1 ? args[1] : QStringLiteral("''")) + ")";
        }
        if (f == QLatin1String("IIF")) {
            need(3, 3);
            return "(CASE WHEN " + args[0] + " THEN " + args[1] + " ELSE " + args[2] + " END)";
        }
        if (f == QLatin1String("NZ")) {
            need(1, 2);
            return "ifnull(" + args[0] + ", " + (args.size() > 1 ? args[1] : QStringLiteral("''")) +
                   ")";
        }
        static const std::unordered_map<QString, QString> simple = {
            {"LEN", "length"},  {"UCASE", "upper"}, {"LCASE", "lower"}, {"TRIM", "trim"},
            {"LTRIM", "ltrim"}, {"RTRIM", "rtrim"}, {"ABS", "abs"},     {"CSTR", "jet_cstr"}};
        if (auto it = simple.find(f); it != simple.end()) {
            need(1, 1);
            return it->second + "(" + args[0] + ")";
        }
        if (f == QLatin1String("MID")) {
            need(2, 3);
            return "substr(" + args.join(", ") + ")";
        }
        if (f == QLatin1String("LEFT")) {
            need(2, 2);
            return "substr(" + args[0] + ", 1, " + args[1] + ")";
        }
        if (f == QLatin1String("INT")) {
            need(1, 1);
            return "floor(" + args[0] + ")";
        }
        if (f == QLatin1String("DATE") && args.isEmpty())
            return QStringLiteral("date('now','localtime')");
        if (f == QLatin1String("TIME") && args.isEmpty())
            return QStringLiteral("time('now','localtime')");
        raise(err::UndefinedFunction, f);
    }

    Scope scope_;
};

std::vector<BoundTable> bindTables(const Statement& s, const Schema& schema) {
    std::vector<BoundTable> bound;
    for (size_t i = 0; i < s.tables.size(); ++i) {
        const TableRef& ref = s.tables[i];
        const Table* table = schema.table(ref.name);
        if (!table) raise(err::TableNotFound, ref.name);
        BoundTable b;
        b.table = table;
        b.visibleName = ref.alias.isEmpty() ? ref.name : ref.alias;
        b.sqlAlias = QStringLiteral("t%1").arg(i);
        b.outer = ref.join == TableRef::Join::Left;
        bound.push_back(b);
    }
    return bound;
}

// rowidOnly: the table that is to be read by rowid alone, or -1.
QString fromClause(const Statement& s, const std::vector<BoundTable>& tables, int rowidOnly = -1) {
    Scope scope{&tables};
    Emitter emitter(scope);
    const auto tableSql = [&](size_t i) {
        QString sql = quoteName(tables[i].table->name) + " AS " + tables[i].sqlAlias;
        if (static_cast<int>(i) == rowidOnly) sql += " NOT INDEXED";
        return sql;
    };
    QString sql = tableSql(0);
    for (size_t i = 1; i < tables.size(); ++i) {
        const TableRef& ref = s.tables[i];
        const QString table = tableSql(i);
        switch (ref.join) {
            case TableRef::Join::Cross:
                sql += ", " + table;
                break;
            case TableRef::Join::Left:
                sql += " LEFT JOIN " + table + " ON " + emitter.toSql(*ref.on);
                break;
            default:
                sql += " INNER JOIN " + table + " ON " + emitter.toSql(*ref.on);
                break;
        }
    }
    return sql;
}

JetType aggregateType(const Expr& e, const Emitter& emitter,
                      const std::vector<BoundTable>& tables) {
    if (e.text == QLatin1String("COUNT")) return JetType::Long;
    if ((e.text == QLatin1String("MIN") || e.text == QLatin1String("MAX")) && !e.args.empty() &&
        e.args[0]->kind == Expr::Kind::Column) {
        const Resolved r = emitter.resolve(*e.args[0]);
        if (r.table >= 0) return tables[r.table].table->columns[r.column].type;
    }
    return JetType::Unknown;
}

void splitOn(const Expr& e, const QString& op, std::vector<const Expr*>& out) {
    if (e.kind == Expr::Kind::Binary && e.text == op) {
        splitOn(*e.args[0], op, out);
        splitOn(*e.args[1], op, out);
    } else {
        out.push_back(&e);
    }
}

bool isIndexedColumn(const Table& table, int column) {
    static const QString records = foldName(QStringLiteral("データ"));
    static const QStringList texts = {
        foldName(QStringLiteral("項目1")), foldName(QStringLiteral("項目2")),
        foldName(QStringLiteral("項目3")), foldName(QStringLiteral("コメント")),
        foldName(QStringLiteral("出展"))};
    return table.folded == records && texts.contains(table.columns[column].folded);
}

// "column LIKE 'pattern'" over a text the word index holds, as the runs every match
// contains; nothing for any other expression. All of them must name the same table.
std::optional<wordindex::Pattern> indexedLike(const Expr& e, const Emitter& emitter,
                                              const std::vector<BoundTable>& tables, int& table) {
    if (e.kind != Expr::Kind::Like || e.negated || e.args[0]->kind != Expr::Kind::Column ||
        e.args[1]->kind != Expr::Kind::String)
        return std::nullopt;
    const Resolved r = emitter.resolve(*e.args[0]);
    if (r.table < 0 || !isIndexedColumn(*tables[r.table].table, r.column)) return std::nullopt;
    if (table >= 0 && table != r.table) return std::nullopt;
    const QByteArray pattern = e.args[1]->text.toUtf8();
    wordindex::Pattern runs =
        likeRequiredRuns(std::string_view(pattern.constData(), pattern.size()));
    if (runs.empty()) return std::nullopt;
    table = r.table;
    return runs;
}

// The conjuncts of a WHERE that are ORs of indexed LIKE conditions.
wordindex::Condition wordCondition(const Expr& where, const Emitter& emitter,
                                   const std::vector<BoundTable>& tables, int& table) {
    wordindex::Condition condition;
    std::vector<const Expr*> conjuncts;
    splitOn(where, QStringLiteral("AND"), conjuncts);
    for (const Expr* conjunct : conjuncts) {
        std::vector<const Expr*> terms;
        splitOn(*conjunct, QStringLiteral("OR"), terms);
        wordindex::Group group;
        int groupTable = table;
        for (const Expr* term : terms) {
            auto pattern = indexedLike(*term, emitter, tables, groupTable);
            if (!pattern) {
                group.clear();
                break;
            }
            group.push_back(std::move(*pattern));
        }
        if (group.empty()) continue;
        table = groupTable;
        condition.push_back(std::move(group));
    }
    return condition;
}

// Whether the layer may sort the keyset itself: it compares text byte by byte, as the BINARY
// collation of a UTF-8 file does, and a TOP is better left to SQLite.
bool canSortKeyset(const Statement& s, const Schema& schema,
                   const std::vector<BoundTable>& tables) {
    if (s.orderBy.empty() || s.top || !schema.utf8()) return false;
    return std::none_of(tables.begin(), tables.end(),
                        [](const BoundTable& t) { return t.table->collated; });
}

}  // namespace

CompiledSelect compileSelect(const Statement& s, const Schema& schema) {
    if (s.kind != Statement::Kind::Select) raise(err::InvalidOperation);
    CompiledSelect out;
    out.tables = bindTables(s, schema);
    out.fromSql = fromClause(s, out.tables);
    Emitter emitter(Scope{&out.tables});

    int expressionNumber = 1000;
    for (const SelectItem& item : s.items) {
        const Expr& e = *item.expr;
        if (e.kind == Expr::Kind::Star) {
            const QString q = foldName(e.qualifier);
            bool matched = false;
            for (size_t t = 0; t < out.tables.size(); ++t) {
                if (!e.qualifier.isEmpty() && foldName(out.tables[t].visibleName) != q) continue;
                matched = true;
                const Table& table = *out.tables[t].table;
                for (size_t c = 0; c < table.columns.size(); ++c) {
                    ResultColumn rc;
                    rc.name = table.columns[c].name;
                    rc.qualifiedName = out.tables[t].visibleName + QLatin1Char('.') + rc.name;
                    rc.type = table.columns[c].type;
                    rc.textLimit = table.columns[c].textLimit;
                    rc.notNull = table.columns[c].notNull;
                    rc.tableIndex = static_cast<int>(t);
                    rc.columnIndex = static_cast<int>(c);
                    out.columns.push_back(rc);
                    out.itemSql.push_back(emitter.columnSql(rc.tableIndex, rc.columnIndex));
                }
            }
            if (!matched) raise(err::TooFewParameters, QStringLiteral("1"));
            continue;
        }
        ResultColumn rc;
        const QString sql = emitter.toSql(e);
        if (e.kind == Expr::Kind::Column) {
            const Resolved r = emitter.resolve(e);
            const Column& column = out.tables[r.table].table->columns[r.column];
            rc.name = item.alias.isEmpty() ? column.name : item.alias;
            rc.qualifiedName = out.tables[r.table].visibleName + QLatin1Char('.') + column.name;
            rc.type = column.type;
            rc.textLimit = column.textLimit;
            rc.notNull = column.notNull;
            rc.tableIndex = r.table;
            rc.columnIndex = r.column;
        } else {
            rc.name =
                item.alias.isEmpty() ? QStringLiteral("Expr%1").arg(expressionNumber) : item.alias;
            ++expressionNumber;
            if (e.kind == Expr::Kind::Call && e.text == QLatin1String("FORMAT"))
                rc.type = JetType::Memo;
            else if (e.kind == Expr::Kind::Call && isAggregate(e.text))
                rc.type = aggregateType(e, emitter, out.tables);
        }
        out.columns.push_back(rc);
        out.itemSql.push_back(sql);
    }
    // Two plain columns of the same name are told apart by their table, as Jet names them.
    for (size_t i = 0; i < out.columns.size(); ++i) {
        for (size_t j = i + 1; j < out.columns.size(); ++j) {
            if (foldName(out.columns[i].name) != foldName(out.columns[j].name)) continue;
            if (!out.columns[i].qualifiedName.isEmpty())
                out.columns[i].name = out.columns[i].qualifiedName;
            if (!out.columns[j].qualifiedName.isEmpty())
                out.columns[j].name = out.columns[j].qualifiedName;
        }
    }

    bool aggregate = s.distinct || !s.groupBy.empty() || s.having;
    for (const SelectItem& item : s.items) aggregate = aggregate || containsAggregate(*item.expr);
    out.keyset = !aggregate;

    const QString where = s.where ? " WHERE " + emitter.toSql(*s.where) : QString();
    // ORDER BY names a table's field first, and a result alias only where no field matches.
    Emitter orderEmitter(Scope{&out.tables, &out.columns, &out.itemSql, false});
    QStringList order;
    for (const OrderTerm& term : s.orderBy)
        order << orderEmitter.toSql(*term.expr) + (term.descending ? " DESC" : " ASC");
    const QString limit = s.top ? QStringLiteral(" LIMIT %1").arg(*s.top) : QString();

    // The same statement reading only the word index's candidates, straight by their rowids
    // (which it must use, or SQLite would walk a whole set by dbID); the LIKE conditions still
    // decide.
    int indexedTable = -1;
    if (s.where) out.wordCondition = wordCondition(*s.where, emitter, out.tables, indexedTable);
    QString indexedFrom, indexedWhere;
    if (!out.wordCondition.empty()) {
        indexedFrom = fromClause(s, out.tables, indexedTable);
        indexedWhere = " WHERE (" + emitter.toSql(*s.where) + ") AND " +
                       out.tables[indexedTable].sqlAlias + ".rowid IN (SELECT " +
                       QString::fromUtf8(wordindex::kCandidateColumn) + " FROM " +
                       QString::fromUtf8(wordindex::kCandidateTable) + ")";
    }

    if (out.keyset) {
        QStringList keys;
        for (const BoundTable& t : out.tables) keys << t.sqlAlias + ".rowid";
        QStringList keyOrder = order;
        keyOrder << keys;  // ties keep the tables' own order
        out.keysetSql = "SELECT " + keys.join(", ") + " FROM " + out.fromSql + where +
                        " ORDER BY " + keyOrder.join(", ") + limit;
        if (!out.wordCondition.empty())
            out.indexedKeysetSql = "SELECT " + keys.join(", ") + " FROM " + indexedFrom +
                                   indexedWhere + " ORDER BY " + keyOrder.join(", ") + limit;
        if (canSortKeyset(s, schema, out.tables)) {
            QStringList selected = keys;
            for (const OrderTerm& term : s.orderBy) {
                selected << orderEmitter.toSql(*term.expr);
                out.orderDescending.push_back(term.descending);
            }
            out.unorderedKeysetSql =
                "SELECT " + selected.join(", ") + " FROM " + out.fromSql + where;
            if (const auto halves = s.where ? emitter.halves(*s.where) : std::nullopt)
                for (const QString& half : *halves)
                    out.unorderedKeysetHalves << "SELECT " + selected.join(", ") + " FROM " +
                                                     out.fromSql + " WHERE " + half;
            if (!out.wordCondition.empty())
                out.indexedUnorderedKeysetSql =
                    "SELECT " + selected.join(", ") + " FROM " + indexedFrom + indexedWhere;
        }
        QString rowFrom = quoteName(out.tables[0].table->name) + " AS " + out.tables[0].sqlAlias;
        QStringList rowWhere{out.tables[0].sqlAlias + ".rowid = ?1"};
        for (size_t i = 1; i < out.tables.size(); ++i) {
            const BoundTable& t = out.tables[i];
            const QString table = quoteName(t.table->name) + " AS " + t.sqlAlias;
            if (t.outer)
                rowFrom += " LEFT JOIN " + table + " ON " + t.sqlAlias +
                           QStringLiteral(".rowid IS ?%1").arg(i + 1);
            else {
                rowFrom += ", " + table;
                rowWhere << t.sqlAlias + QStringLiteral(".rowid = ?%1").arg(i + 1);
            }
        }
        out.rowSql = "SELECT " + out.itemSql.join(", ") + " FROM " + rowFrom + " WHERE " +
                     rowWhere.join(" AND ");
    } else {
        for (ResultColumn& c : out.columns) c.tableIndex = -1;  // snapshots are read-only
        const QString head = QStringLiteral("SELECT ") + (s.distinct ? "DISTINCT " : "") +
                             out.itemSql.join(", ") + " FROM ";
        QString tail;
        if (!s.groupBy.empty()) {
            QStringList groups;
            for (const auto& g : s.groupBy) groups << emitter.toSql(*g);
            tail += " GROUP BY " + groups.join(", ");
        }
        if (s.having) tail += " HAVING " + emitter.toSql(*s.having);
        if (!order.isEmpty()) tail += " ORDER BY " + order.join(", ");
        out.snapshotSql = head + out.fromSql + where + tail + limit;
        if (!out.wordCondition.empty())
            out.indexedSnapshotSql = head + indexedFrom + indexedWhere + tail + limit;
    }
    return out;
}

QString compileCriteria(const Expr& criteria, const CompiledSelect& select) {
    // A criterion names the recordset's fields, so result names come first.
    Emitter emitter(Scope{&select.tables, &select.columns, &select.itemSql, true});
    return emitter.toSql(criteria);
}

QString compileAction(const Statement& s, const Schema& schema) {
    const std::vector<BoundTable> tables = bindTables(s, schema);
    Emitter emitter(Scope{&tables});
    const QString target = quoteName(tables[0].table->name);
    const QString where = s.where ? " WHERE " + emitter.toSql(*s.where) : QString();
    switch (s.kind) {
        case Statement::Kind::Delete:
            // Rows go in storage order: each table page is then visited once, which makes
            // removing a large set about a third quicker than following an index.
            if (where.isEmpty()) return "DELETE FROM " + target;
            return "DELETE FROM " + target + " WHERE rowid IN (SELECT t0.rowid FROM " + target +
                   " AS t0" + where + " ORDER BY t0.rowid)";
        case Statement::Kind::Update: {
            QStringList sets;
            for (const Assignment& a : s.assignments) {
                const auto c = tables[0].table->columnIndex(a.column);
                if (!c) raise(err::TooFewParameters, QStringLiteral("1"));
                sets << quoteName(tables[0].table->columns[*c].name) + " = " +
                            emitter.toSql(*a.value);
            }
            return "UPDATE " + target + " AS t0 SET " + sets.join(", ") + where;
        }
        case Statement::Kind::Insert: {
            QStringList columns;
            const std::vector<QString> names =
                s.insertColumns.empty() ? [&] {
                    std::vector<QString> all;
                    for (const Column& c : tables[0].table->columns) all.push_back(c.name);
                    return all;
                }()
                                        : s.insertColumns;
            if (names.size() != s.insertValues.size()) raise(err::SyntaxInExpression, target);
            for (const QString& n : names) {
                const auto c = tables[0].table->columnIndex(n);
                if (!c) raise(err::TooFewParameters, QStringLiteral("1"));
                columns << quoteName(tables[0].table->columns[*c].name);
            }
            QStringList values;
            for (const auto& v : s.insertValues) values << emitter.toSql(*v);
            return "INSERT INTO " + target + " (" + columns.join(", ") + ") VALUES (" +
                   values.join(", ") + ")";
        }
        case Statement::Kind::Select:
            raise(err::CannotExecuteSelect);
    }
    return {};
}

}  // namespace dao::jet
