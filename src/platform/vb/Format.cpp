#include "platform/vb/Format.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vb {

namespace {

// A finite, non-negative number as decimal digits: value = 0.digits × 10^exponent,
// digits without leading zeros (empty for zero).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The runtime works on the 15 significant digits it prints, not on the binary value:
// 66.65 (stored as 66.6499999…) and 0.1 + 0.2 (0.30000000000000004) are taken as the
// decimals a reader sees, so halves round as the reader expects.
Decimal toDecimal15(double magnitude) {
    Decimal d;
    if (magnitude == 0.0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);  // d.dddddddddddddde±xx
    std::string s(buf);
    const auto e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.exponent = std::stoi(s.substr(e + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Rounds to `decimals` places after the point, halves away from zero.
Decimal roundDecimal(Decimal d, int decimals) {
    if (d.digits.empty()) return d;
    const int keep = d.exponent + decimals;  // digits that stay
    if (keep >= static_cast<int>(d.digits.size())) return d;
    if (keep < 0) return {};
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[static_cast<size_t>(i)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Digit i of the decimal, counting from the point: i = 0 is the units, 1 the tens…,
// −1 the tenths.
char digitAt(const Decimal& d, int place) {
    const int index = d.exponent - 1 - place;
    if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
    return d.digits[static_cast<size_t>(index)];
}

}  // namespace

QString formatNumber(double value, const QString& pattern) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");

    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString fracPart = point < 0 ? QString() : pattern.mid(point + 1);

    // Integer part: '0's force digits (counted from the right from the first '0'),
    // a ',' between placeholders asks for thousands grouping.
    int minIntDigits = 0;
    bool grouping = false;
    {
        bool seenZero = false;
        bool seenPlaceholder = false;
        for (const QChar c : intPart) {
            if (c == QLatin1Char('0')) seenZero = true;
            if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
                if (seenZero) ++minIntDigits;
                seenPlaceholder = true;
            } else if (c == QLatin1Char(',') && seenPlaceholder) {
                grouping = true;
            }
        }
    }
    // Fraction part: one place per placeholder; places up to the last '0' are always
    // written, trailing '#' places only when not zero.
    int decimals = 0;
    int minDecimals = 0;
    for (const QChar c : fracPart) {
        if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            ++decimals;
            if (c == QLatin1Char('0')) minDecimals = decimals;
        }
    }

    const Decimal d = roundDecimal(toDecimal15(std::fabs(value)), decimals);

    QString text;
    if (value < 0) text += QLatin1Char('-');  // as the runtime: -0.04 with "0.0" is "-0.0"

    const int intDigits = std::max(d.digits.empty() ? 0 : d.exponent, minIntDigits);
    for (int place = intDigits - 1; place >= 0; --place) {
        text += QLatin1Char(digitAt(d, place));
        if (grouping && place > 0 && place % 3 == 0) text += QLatin1Char(',');
    }
    if (point >= 0) {
        text += QLatin1Char('.');
        int written = decimals;
        while (written > minDecimals && digitAt(d, -written) == '0') --written;
        for (int i = 1; i <= written; ++i) text += QLatin1Char(digitAt(d, -i));
    }
    return text;
}

QString formatDateTime(const QDate& date, const QTime& time, const QString& pattern) {
    enum class Kind { Literal, Year, Month, Day, Hour, Minute, Second };
    struct Token {
        Kind kind;
        int length;
        QString literal;
    };
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i].toLower();
        qsizetype j = i + 1;
        Kind kind = Kind::Literal;
        switch (c.unicode()) {
            case 'y':
                kind = Kind::Year;
                break;
            case 'm':
                kind = Kind::Month;
                break;
            case 'd':
                kind = Kind::Day;
                break;
            case 'h':
                kind = Kind::Hour;
                break;
            case 'n':
                kind = Kind::Minute;
                break;
            case 's':
                kind = Kind::Second;
                break;
            default:
                break;
        }
        if (kind == Kind::Literal) {
            tokens.push_back({kind, 1, QString(pattern[i])});
        } else {
            while (j < pattern.size() && pattern[j].toLower() == c) ++j;
            tokens.push_back({kind, static_cast<int>(j - i), {}});
        }
        i = j;
    }
    // "m" is minutes right after an hour or right before a second (separators between
    // them do not count), as the runtime reads it.
    auto neighbour = [&](size_t at, int step) -> const Token* {
        for (auto k = static_cast<std::ptrdiff_t>(at) + step;
             k >= 0 && k < static_cast<std::ptrdiff_t>(tokens.size()); k += step) {
            if (tokens[static_cast<size_t>(k)].kind != Kind::Literal)
                return &tokens[static_cast<size_t>(k)];
        }
        return nullptr;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Month) continue;
        const Token* before = neighbour(i, -1);
        const Token* after = neighbour(i, +1);
        if ((before && before->kind == Kind::Hour) || (after && after->kind == Kind::Second))
            tokens[i].kind = Kind::Minute;
    }

    auto number = [](int n, int width) {
        return QString::number(n).rightJustified(width, QLatin1Char('0'));
    };
    QString text;
    for (const Token& t : tokens) {
        const bool two = t.length >= 2;
        switch (t.kind) {
            case Kind::Literal:
                text += t.literal;
                break;
            case Kind::Year:
                if (!date.isValid()) return {};
                if (t.length == 1)
                    text += QString::number(date.dayOfYear());
                else if (t.length == 2)
                    text += number(date.year() % 100, 2);
                else
                    text += number(date.year(), 4);
                break;
            case Kind::Month:
                if (!date.isValid()) return {};
                text += number(date.month(), two ? 2 : 1);
                break;
            case Kind::Day:
                if (!date.isValid()) return {};
                text += number(date.day(), two ? 2 : 1);
                break;
            case Kind::Hour:
                if (!time.isValid()) return {};
                text += number(time.hour(), two ? 2 : 1);
                break;
            case Kind::Minute:
                if (!time.isValid()) return {};
                text += number(time.minute(), two ? 2 : 1);
                break;
            case Kind::Second:
                if (!time.isValid()) return {};
                text += number(time.second(), two ? 2 : 1);
                break;
        }
    }
    return text;
}

std::int64_t roundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // nearbyint rounds halves to even in the default rounding mode; clamp what int64
    // cannot hold instead of invoking undefined behaviour.
    const double r = std::nearbyint(value);
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (r >= limit) return std::numeric_limits<std::int64_t>::max();
    if (r < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})([/-])(\\d{1,2})\\2(\\d{1,2})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int year = m.captured(1).toInt();
    const int month = m.captured(3).toInt();
    const int day = m.captured(4).toInt();
    if (year < 1 || !QDate::isValid(year, month, day)) return std::nullopt;
    return QDate(year, month, day);
}

std::optional<QTime> parseTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (!QTime::isValid(h, mi, s)) return std::nullopt;
    return QTime(h, mi, s);
}

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// "windows-31j" names ICU's ibm-943_P15A-2003 table, which is Microsoft's cp932 (NEC and
// IBM extensions, U+FF5E for the wave dash); the bare alias "cp932" is ambiguous in ICU.
constexpr const char* kCp932 = "windows-31j";

// Bytes of one code point in cp932, 2 when cp932 has no such character.
int cp932Bytes(char32_t cp) {
    if (cp < 0x80) return 1;
    static std::mutex mutex;
    static std::unordered_map<char32_t, int> cache;
    static std::unique_ptr<UConverter, ConverterCloser> converter;
    std::lock_guard lock(mutex);
    if (auto it = cache.find(cp); it != cache.end()) return it->second;
    int bytes = 2;
    if (!converter) {
        UErrorCode status = U_ZERO_ERROR;
        converter.reset(ucnv_open(kCp932, &status));
        if (U_FAILURE(status)) converter.reset();
        if (converter) {
            status = U_ZERO_ERROR;
            ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                                  nullptr, &status);
        }
    }
    if (converter && !U_IS_SURROGATE(cp)) {
        UChar units[2];
        int32_t n = 0;
        UBool error = false;
        U16_APPEND(units, n, 2, static_cast<UChar32>(cp), error);
        char out[8];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter.get());
        const int32_t len = ucnv_fromUChars(converter.get(), out, sizeof out, units, n, &status);
        if (!error && U_SUCCESS(status) && len > 0) bytes = len;
    }
    cache.emplace(cp, bytes);
    return bytes;
}

}  // namespace

int halfWidthLength(const QString& text) {
    int total = 0;
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        char32_t cp = units[i];
        if (QChar::isHighSurrogate(cp) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            cp = QChar::surrogateToUcs4(units[i], units[i + 1]);
            i += 2;
        } else {
            ++i;
        }
        total += cp932Bytes(cp);
    }
    return total;
}

namespace {

// The runtime's number text: `digits` significant digits, trailing zeros dropped,
// exponent form "1E+20" / "1.5E-05" when the decimal exponent is below −4 or reaches
// `digits` (as printf's %G does), never a leading blank.
QString numberText(double value, int digits) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0.0) return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    std::string s(buf);
    std::string mantissa = s;
    std::string exponent;
    if (const auto e = s.find('E'); e != std::string::npos) {
        mantissa = s.substr(0, e);
        exponent = s.substr(e);  // E+20, E-05
    }
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    return QString::fromLatin1(mantissa + exponent);
}

}  // namespace

QString singleToString(float value) {
    return numberText(static_cast<double>(value), 7);
}

QString doubleToString(double value) {
    return numberText(value, 15);
}

}  // namespace vb
