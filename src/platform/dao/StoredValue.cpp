#include "platform/dao/StoredValue.h"

#include <sqlite3.h>

#include "platform/dao/DaoError.h"
#include "platform/vb/Format.h"

namespace dao {

Variant coerceForField(const Variant& value, JetType type, int textLimit) {
    if (value.isNull()) return Variant::null();
    switch (type) {
        case JetType::Integer:
            return Variant(value.toInteger());
        case JetType::Long:
            return Variant(value.toLong());
        case JetType::Single:
            return Variant(value.toSingle());
        case JetType::Double:
            return Variant(value.toDouble());
        case JetType::YesNo:
            return Variant(value.toBool());
        case JetType::Date: {
            const DateTime dt = value.toDateTime();
            return Variant(DateTime{dt.date.isValid() ? dt.date : QDate(1899, 12, 30), dt.time});
        }
        case JetType::Time: {
            const DateTime dt = value.toDateTime();
            return Variant(dt.time.isValid() ? dt.time : QTime(0, 0));
        }
        case JetType::Text: {
            const QString text = value.toString();
            if (textLimit > 0 && vb::halfWidthLength(text) > textLimit) raise(err::FieldTooSmall);
            return Variant(text);
        }
        case JetType::Memo:
        case JetType::Unknown:
            return value.type() == VarType::Empty ? Variant(QString()) : value;
    }
    return value;
}

namespace {

void bindText(sqlite3_stmt* stmt, int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

QString dateText(const DateTime& dt) {
    QString text = dt.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (dt.time.isValid() && dt.time != QTime(0, 0))
        text += QLatin1Char(' ') + dt.time.toString(QStringLiteral("HH:mm:ss"));
    return text;
}

}  // namespace

void bindStored(sqlite3_stmt* stmt, int index, const Variant& value, JetType type) {
    switch (value.type()) {
        case VarType::Null:
        case VarType::Empty:
            sqlite3_bind_null(stmt, index);
            return;
        case VarType::Boolean:
            sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
            return;
        case VarType::Integer:
        case VarType::Long:
            sqlite3_bind_int64(stmt, index, value.toLong());
            return;
        case VarType::Single:
        case VarType::Double:
            sqlite3_bind_double(stmt, index, value.toDouble());
            return;
        case VarType::Date: {
            const DateTime dt = value.toDateTime();
            if (type == JetType::Time || !dt.date.isValid())
                bindText(stmt, index, dt.time.toString(QStringLiteral("HH:mm:ss")));
            else
                bindText(stmt, index, dateText(dt));
            return;
        }
        case VarType::String:
            bindText(stmt, index, value.toString());
            return;
    }
}

Variant readStored(sqlite3_stmt* stmt, int column, JetType type) {
    const int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL) return Variant::null();
    switch (type) {
        case JetType::Integer:
            return Variant(static_cast<std::int16_t>(sqlite3_column_int(stmt, column)));
        case JetType::Long:
            return Variant(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
        case JetType::Single:
            return Variant(static_cast<float>(sqlite3_column_double(stmt, column)));
        case JetType::Double:
            return Variant(sqlite3_column_double(stmt, column));
        case JetType::YesNo:
            return Variant(sqlite3_column_int64(stmt, column) != 0);
        default:
            break;
    }
    if (storage == SQLITE_INTEGER)
        return Variant(static_cast<std::int64_t>(sqlite3_column_int64(stmt, column)));
    if (storage == SQLITE_FLOAT) return Variant(sqlite3_column_double(stmt, column));
    const auto* raw = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const QString text = QString::fromUtf8(raw, sqlite3_column_bytes(stmt, column));
    if (type == JetType::Date || type == JetType::Time) {
        // A stored form we cannot read stays a text rather than being lost.
        try {
            const DateTime dt = Variant(text).toDateTime();
            if (type == JetType::Time) return Variant(dt.time);
            return Variant(dt);
        } catch (const DaoError&) {
            return Variant(text);
        }
    }
    return Variant(text);
}

}  // namespace dao
