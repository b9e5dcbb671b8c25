#include "platform/dao/Schema.h"

#include <sqlite3.h>
#include <QRegularExpression>

#include "platform/dao/DaoError.h"

namespace dao {

QString foldName(const QString& name) {
    for (QChar c : name)
        if (c.unicode() >= 0x80)
            return name.normalized(QString::NormalizationForm_KC).toCaseFolded();
    return name.toCaseFolded();
}

JetType jetTypeFromDeclared(const QString& declared, int* textLimit) {
    *textLimit = 0;
    const QString d = declared.trimmed().toUpper();
    static const QRegularExpression varchar(QStringLiteral("^VARCHAR\\s*\\((\\d+)\\)$"));
    if (const auto m = varchar.match(d); m.hasMatch()) {
        *textLimit = m.captured(1).toInt();
        return JetType::Text;
    }
    if (d == QLatin1String("SMALLINT")) return JetType::Integer;
    if (d == QLatin1String("INTEGER")) return JetType::Long;
    if (d == QLatin1String("REAL")) return JetType::Single;
    if (d == QLatin1String("DOUBLE") || d == QLatin1String("FLOAT")) return JetType::Double;
    if (d == QLatin1String("DATE") || d == QLatin1String("DATETIME")) return JetType::Date;
    if (d == QLatin1String("TIME")) return JetType::Time;
    if (d == QLatin1String("BOOLEAN")) return JetType::YesNo;
    if (d == QLatin1String("TEXT")) return JetType::Memo;
    return JetType::Unknown;
}

std::optional<int> Table::columnIndex(const QString& name) const {
    const QString folded = foldName(name);
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].folded == folded) return static_cast<int>(i);
    return std::nullopt;
}

void Schema::load(sqlite3* db) {
    tables_.clear();
    sqlite3_stmt* list = nullptr;
    if (sqlite3_prepare_v2(
            db,
            "SELECT name, sql FROM sqlite_master WHERE type='table' AND name NOT LIKE "
            "'sqlite_%' ORDER BY rowid",
            -1, &list, nullptr) != SQLITE_OK)
        raise(err::CannotOpenDatabase, QString::fromUtf8(sqlite3_db_filename(db, "main")));
    std::vector<QString> names;
    std::vector<bool> collated;
    while (sqlite3_step(list) == SQLITE_ROW) {
        names.push_back(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0))));
        collated.push_back(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 1)))
                .contains(QLatin1String("COLLATE"), Qt::CaseInsensitive));
    }
    const int rc = sqlite3_finalize(list);
    if (rc != SQLITE_OK)
        raise(err::CannotOpenDatabase, QString::fromUtf8(sqlite3_db_filename(db, "main")));

    sqlite3_stmt* encoding = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA encoding", -1, &encoding, nullptr) == SQLITE_OK &&
        sqlite3_step(encoding) == SQLITE_ROW)
        utf8_ =
            qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(encoding, 0)), "UTF-8") == 0;
    sqlite3_finalize(encoding);

    for (size_t n = 0; n < names.size(); ++n) {
        const QString& name = names[n];
        Table table{name, foldName(name), {}, collated[n]};
        sqlite3_stmt* info = nullptr;
        const QByteArray sql =
            "PRAGMA table_info(\"" + QString(name).replace('"', "\"\"").toUtf8() + "\")";
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &info, nullptr) != SQLITE_OK) continue;
        while (sqlite3_step(info) == SQLITE_ROW) {
            Column column;
            column.name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
            column.folded = foldName(column.name);
            column.type = jetTypeFromDeclared(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 2))),
                &column.textLimit);
            column.notNull = sqlite3_column_int(info, 3) != 0;
            if (sqlite3_column_type(info, 4) != SQLITE_NULL)
                column.defaultSql =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 4)));
            table.columns.push_back(std::move(column));
        }
        sqlite3_finalize(info);
        tables_.push_back(std::move(table));
    }
}

const Table* Schema::table(const QString& name) const {
    const QString folded = foldName(name);
    for (const Table& t : tables_)
        if (t.folded == folded) return &t;
    return nullptr;
}

}  // namespace dao
