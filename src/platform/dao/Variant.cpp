#include "platform/dao/Variant.h"

#include <cmath>
#include <limits>

#include "platform/dao/DaoError.h"
#include "platform/vb/Format.h"

namespace dao {

namespace {

double parseNumber(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok) raise(err::TypeMismatch);
    return d;
}

std::int64_t roundedInRange(double d, std::int64_t lo, std::int64_t hi) {
    if (!std::isfinite(d)) raise(err::Overflow);
    const double r = static_cast<double>(vb::roundHalfEven(std::clamp(d, -1e18, 1e18)));
    if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) raise(err::Overflow);
    return static_cast<std::int64_t>(r);
}

}  // namespace

Variant Variant::null() {
    return Variant(Storage(NullTag{}));
}

Variant::Variant(std::int64_t v) {
    if (v >= std::numeric_limits<std::int32_t>::min() &&
        v <= std::numeric_limits<std::int32_t>::max())
        v_ = static_cast<std::int32_t>(v);
    else
        v_ = static_cast<double>(v);
}

VarType Variant::type() const {
    switch (v_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Null;
        case 2:
            return VarType::Boolean;
        case 3:
            return VarType::Integer;
        case 4:
            return VarType::Long;
        case 5:
            return VarType::Single;
        case 6:
            return VarType::Double;
        case 7:
            return VarType::Date;
        default:
            return VarType::String;
    }
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
            return true;
        case VarType::String: {
            bool ok = false;
            std::get<QString>(v_).trimmed().toDouble(&ok);
            return ok;
        }
        default:
            return false;
    }
}

double Variant::toDouble() const {
    switch (type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            raise(err::InvalidUseOfNull);
        case VarType::Boolean:
            return std::get<bool>(v_) ? -1 : 0;
        case VarType::Integer:
            return std::get<std::int16_t>(v_);
        case VarType::Long:
            return std::get<std::int32_t>(v_);
        case VarType::Single:
            return std::get<float>(v_);
        case VarType::Double:
            return std::get<double>(v_);
        case VarType::Date: {
            // Days since 1899-12-30 plus the fraction of the day, as the runtime counts dates.
            const DateTime& dt = std::get<DateTime>(v_);
            double days = dt.date.isValid() ? QDate(1899, 12, 30).daysTo(dt.date) : 0;
            if (dt.time.isValid()) days += dt.time.msecsSinceStartOfDay() / 86400000.0;
            return days;
        }
        case VarType::String: {
            const QString& s = std::get<QString>(v_);
            if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1;
            if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
            return parseNumber(s);
        }
    }
    return 0;
}

bool Variant::toBool() const {
    if (type() == VarType::Boolean) return std::get<bool>(v_);
    return toDouble() != 0;
}

std::int16_t Variant::toInteger() const {
    if (type() == VarType::Integer) return std::get<std::int16_t>(v_);
    return static_cast<std::int16_t>(roundedInRange(toDouble(), -32768, 32767));
}

std::int32_t Variant::toLong() const {
    if (type() == VarType::Long) return std::get<std::int32_t>(v_);
    if (type() == VarType::Integer) return std::get<std::int16_t>(v_);
    return static_cast<std::int32_t>(roundedInRange(toDouble(),
                                                    std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max()));
}

float Variant::toSingle() const {
    const double d = toDouble();
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) raise(err::Overflow);
    return static_cast<float>(d);
}

DateTime Variant::toDateTime() const {
    switch (type()) {
        case VarType::Date:
            return std::get<DateTime>(v_);
        case VarType::String: {
            const QString s = std::get<QString>(v_).trimmed();
            const int blank = s.indexOf(QLatin1Char(' '));
            const QString datePart = blank < 0 ? s : s.left(blank);
            const QString timePart = blank < 0 ? QString() : s.mid(blank + 1).trimmed();
            if (blank < 0 && s.contains(QLatin1Char(':'))) {
                if (auto t = vb::parseTime(s)) return DateTime{QDate(), *t};
                raise(err::TypeMismatch);
            }
            auto d = vb::parseDate(datePart);
            if (!d) raise(err::TypeMismatch);
            DateTime dt{*d, QTime()};
            if (!timePart.isEmpty()) {
                auto t = vb::parseTime(timePart);
                if (!t) raise(err::TypeMismatch);
                dt.time = *t;
            }
            return dt;
        }
        case VarType::Null:
            raise(err::InvalidUseOfNull);
        default: {
            const double days = toDouble();
            const double whole = std::floor(days);
            const qint64 ms = std::llround((days - whole) * 86400000.0);
            return DateTime{QDate(1899, 12, 30).addDays(static_cast<qint64>(whole)),
                            QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms % 86400000))};
        }
    }
}

QString Variant::toString() const {
    switch (type()) {
        case VarType::Empty:
            return {};
        case VarType::Null:
            raise(err::InvalidUseOfNull);
        case VarType::Boolean:
            return std::get<bool>(v_) ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Integer:
            return QString::number(std::get<std::int16_t>(v_));
        case VarType::Long:
            return QString::number(std::get<std::int32_t>(v_));
        case VarType::Single:
            return vb::singleToString(std::get<float>(v_));
        case VarType::Double:
            return vb::doubleToString(std::get<double>(v_));
        case VarType::Date: {
            const DateTime& dt = std::get<DateTime>(v_);
            if (!dt.date.isValid()) return dt.time.toString(QStringLiteral("H:mm:ss"));
            QString text = dt.date.toString(QStringLiteral("yyyy/MM/dd"));
            if (dt.time.isValid() && dt.time != QTime(0, 0))
                text += QLatin1Char(' ') + dt.time.toString(QStringLiteral("H:mm:ss"));
            return text;
        }
        case VarType::String:
            return std::get<QString>(v_);
    }
    return {};
}

bool Variant::operator==(const Variant& other) const {
    return v_ == other.v_;
}

}  // namespace dao
