#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "platform/dao/JetSql.h"
#include "platform/dao/Schema.h"
#include "platform/dao/WordIndex.h"

// Translation of parsed Jet SQL into SQLite SQL over the schema of one database.
namespace dao::jet {

struct ResultColumn {
    QString name;                     // the field's name in the result
    QString qualifiedName;            // "table.column" for plain columns, else empty
    JetType type = JetType::Unknown;  // Unknown: taken from the value itself
    int textLimit = 0;
    int tableIndex = -1;  // base table of a plain column, else -1 (computed, read-only)
    int columnIndex = -1;
    bool notNull = false;
};

struct BoundTable {
    const Table* table = nullptr;
    QString visibleName;  // alias, or the table's name
    QString sqlAlias;     // t0, t1, ...
    bool outer = false;   // right side of a LEFT JOIN
};

// A SELECT ready to run. A keyset query lists the row keys (rowid of every table) in result
// order; the row query fetches one result row by those keys (?1, ?2, ...). Statements with
// aggregates, grouping or DISTINCT are snapshots: the whole result is read at once.
struct CompiledSelect {
    bool keyset = true;
    std::vector<BoundTable> tables;
    std::vector<ResultColumn> columns;
    QStringList itemSql;  // each result column's SQLite expression
    QString fromSql;      // FROM clause with joins
    QString keysetSql;
    QString rowSql;
    QString snapshotSql;
    // The LIKE conditions the word index can answer, and the same statements reading only
    // the index's candidates (empty when there are no such conditions).
    wordindex::Condition wordCondition;
    QString indexedKeysetSql;
    QString indexedSnapshotSql;
    // The keyset statements without their ORDER BY, selecting the keys and then the ORDER BY
    // values, for the layer to sort itself (KeysetOrder.h); empty where it must not (no
    // ORDER BY, a TOP, a collation other than BINARY).
    QString unorderedKeysetSql;
    QString indexedUnorderedKeysetSql;
    std::vector<bool> orderDescending;
    // unorderedKeysetSql as two statements whose rows together are its rows (each in one),
    // for two connections to read at once; empty when its WHERE has no list to split.
    QStringList unorderedKeysetHalves;
};

CompiledSelect compileSelect(const Statement& statement, const Schema& schema);

// A criterion ("dbID =3") over the fields of a compiled SELECT, as a SQLite expression.
QString compileCriteria(const Expr& criteria, const CompiledSelect& select);

// DELETE, UPDATE or INSERT as one SQLite statement.
QString compileAction(const Statement& statement, const Schema& schema);

// A SQLite string literal of a text.
QString quoteSqlString(const QString& text);
// A date or date-time literal's text ("2024/7/5") in the stored form ('2024-07-05').
QString storedDateText(const QString& jetDate);

}  // namespace dao::jet
