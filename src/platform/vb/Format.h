#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>

// The formatting and conversion rules of the classic Basic runtime that the program's
// texts and stored values depend on. Pure functions, no widgets.
namespace vb {

// Format(number, pattern) for numeric patterns built from '#', '0', '.' and ','
// ("##0.0", "###.0", "############################0"). Halves round away from zero,
// as the runtime's Format does: 66.65 -> "66.7" with "##0.0", 0 -> ".0" with "###.0".
// The value is first taken to 15 significant digits (as the runtime prints a Double), so
// binary noise does not decide a half. A negative value keeps its "-" even when it rounds
// to zero (-0.04 -> "-0.0").
QString formatNumber(double value, const QString& pattern);

// Format(date/time, pattern) for the date and time patterns the program uses:
// "yyyy/mm/dd", "hh:mm", "hh:mm:ss", "yyyy/mm/dd hh:mm:ss". "mm" right after "hh" (or
// before "ss") is minutes, elsewhere months, as in the runtime.
QString formatDateTime(const QDate& date, const QTime& time, const QString& pattern);
inline QString formatDate(const QDate& date, const QString& pattern) {
    return formatDateTime(date, QTime(0, 0), pattern);
}
inline QString formatTime(const QTime& time, const QString& pattern) {
    return formatDateTime(QDate(1899, 12, 30), time, pattern);
}

// CInt/CLng rounding: to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t roundHalfEven(double value);

// Reads a date typed as year/month/day ("2024/7/5", "2024/07/05"; also '-' separators).
// Returns nothing for texts that are not a real calendar date ("2019/2/30", "2019/13/1",
// "", letters). Years below 100 are taken as written (no century window).
std::optional<QDate> parseDate(const QString& text);

// Reads a time of day "h:m" or "h:m:s" (24-hour). Nothing when invalid.
std::optional<QTime> parseTime(const QString& text);

// The "half-width" length: the number of bytes of the text in code page 932
// (windows-31j). A character that cp932 cannot hold counts 2.
int halfWidthLength(const QString& text);

// The text of a number as the runtime's CStr/Str prints it for a Single (7 significant
// digits) or Double (15 significant digits), without a leading blank: 66.66666 -> "66.66666",
// 75 -> "75", 0.5 -> "0.5", 1E+20 -> "1E+20". Exponent form when the decimal exponent is
// below -4 or reaches the digit count (1E+15, 1.5E-07), as printf's %G.
QString singleToString(float value);
QString doubleToString(double value);

}  // namespace vb
