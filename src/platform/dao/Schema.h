#pragma once

#include <QString>

#include <optional>
#include <vector>

struct sqlite3;

namespace dao {

// Field types as Jet knows them; the schema's declared SQLite types carry them.
enum class JetType { Integer, Long, Single, Double, Date, Time, YesNo, Text, Memo, Unknown };

struct Column {
    QString name;
    QString folded;  // the name as lookups compare it
    JetType type = JetType::Unknown;
    int textLimit = 0;  // Text(n): n bytes in cp932; 0 otherwise
    bool notNull = false;
    QString defaultSql;  // the column default as SQL text, empty when none
};

struct Table {
    QString name;
    QString folded;
    std::vector<Column> columns;
    bool collated = false;  // some column declares a collation other than BINARY
    std::optional<int> columnIndex(const QString& name) const;
};

// The tables of one open database, read once when it is opened.
class Schema {
public:
    void load(sqlite3* db);
    const Table* table(const QString& name) const;  // width- and case-blind
    bool utf8() const { return utf8_; }             // text is stored as UTF-8

private:
    std::vector<Table> tables_;
    bool utf8_ = true;
};

// Names compare without regard to the width of letters, digits and kana, nor to case:
// "項目１" and "項目1" name the same column.
QString foldName(const QString& name);

JetType jetTypeFromDeclared(const QString& declared, int* textLimit);

}  // namespace dao
