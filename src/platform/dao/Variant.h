#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <cstdint>
#include <variant>

namespace dao {

// The value types a field or expression can have, as Jet knows them.
enum class VarType { Empty, Null, Boolean, Integer, Long, Single, Double, Date, String };

// A date, a time of day, or both.
struct DateTime {
    QDate date;  // null for a pure time of day
    QTime time;  // null for a pure date
    bool operator==(const DateTime&) const = default;
};

// A Basic-style variant: what a field holds and what the program assigns to it.
// Conversions follow the runtime: numbers round halves to even when made integers,
// Null converts to nothing and raises "型が一致しません。" where a value is required.
class Variant {
public:
    Variant() = default;  // Empty
    static Variant null();
    Variant(bool v) : v_(v) {}
    Variant(std::int16_t v) : v_(v) {}
    Variant(int v) : v_(static_cast<std::int32_t>(v)) {}
    Variant(std::int64_t v);  // Long when it fits, else Double
    Variant(float v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(const QDate& d) : v_(DateTime{d, QTime()}) {}
    Variant(const QTime& t) : v_(DateTime{QDate(), t}) {}
    Variant(const DateTime& dt) : v_(dt) {}
    Variant(const QString& s) : v_(s) {}
    Variant(const char* utf8) : v_(QString::fromUtf8(utf8)) {}

    VarType type() const;
    bool isNull() const { return type() == VarType::Null; }
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNumeric() const;

    // Conversions; each raises a DaoError on a value it cannot convert.
    bool toBool() const;             // CBool
    std::int16_t toInteger() const;  // CInt (overflow: error 6)
    std::int32_t toLong() const;     // CLng
    float toSingle() const;          // CSng
    double toDouble() const;         // CDbl
    DateTime toDateTime() const;     // CDate
    QString toString() const;        // CStr (Null raises; Empty gives "")

    // The text a text box shows for the value: Null gives "".
    QString displayText() const { return isNull() ? QString() : toString(); }

    bool operator==(const Variant& other) const;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    using Storage = std::variant<std::monostate, NullTag, bool, std::int16_t, std::int32_t, float,
                                 double, DateTime, QString>;
    explicit Variant(Storage s) : v_(std::move(s)) {}
    Storage v_;
};

}  // namespace dao
