#include "platform/vb/Format.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vb;

namespace {
QString rate(double v) {
    return formatNumber(v, QStringLiteral("##0.0"));
}
QString rateBox(double v) {
    return formatNumber(v, QStringLiteral("###.0"));
}
QString whole(double v) {
    return formatNumber(v, QStringLiteral("############################0"));
}
}  // namespace

// ---- Format with "##0.0" (rates in the grid, the test window and the statistics) ----

TEST(FormatRate, ShowsOneDecimalWithAtLeastOneIntegerDigit) {
    EXPECT_EQ(rate(0), "0.0");
    EXPECT_EQ(rate(5), "5.0");
    EXPECT_EQ(rate(100), "100.0");
    EXPECT_EQ(rate(200.0 / 3.0), "66.7");
    EXPECT_EQ(rate(100.0 / 3.0), "33.3");
    EXPECT_EQ(rate(0.04), "0.0");
    EXPECT_EQ(rate(99.94), "99.9");
}

TEST(FormatRate, HalvesRoundAwayFromZeroAsTheDecimalReads) {
    // Each of these is just below the half in binary; the reader sees a half.
    EXPECT_EQ(rate(0.05), "0.1");
    EXPECT_EQ(rate(66.65), "66.7");
    EXPECT_EQ(rate(0.15), "0.2");
    EXPECT_EQ(rate(1.45), "1.5");
    EXPECT_EQ(rate(0.25), "0.3");  // exact half in binary: away from zero, not to even
    EXPECT_EQ(rate(12.25), "12.3");
    EXPECT_EQ(formatNumber(2.675, QStringLiteral("0.00")), "2.68");
    EXPECT_EQ(formatNumber(1.005, QStringLiteral("0.00")), "1.01");
    // Computed values carry binary noise; 15 digits hide it.
    EXPECT_EQ(rate((0.1 + 0.2) * 100 - 29.95), "0.1");  // 0.05000000000000426
    EXPECT_EQ(rate(0.665 * 100), "66.5");
}

TEST(FormatRate, JustBelowAHalfStaysDown) {
    EXPECT_EQ(rate(0.0499), "0.0");
    EXPECT_EQ(rate(66.6499), "66.6");
    EXPECT_EQ(rate(0.04999999), "0.0");
}

TEST(FormatRate, CarryRunsThroughNines) {
    EXPECT_EQ(rate(99.95), "100.0");
    EXPECT_EQ(rate(9.96), "10.0");
    EXPECT_EQ(rate(999.96), "1000.0");
    EXPECT_EQ(rate(0.96), "1.0");
}

TEST(FormatRate, SingleValuesFromTheDatabase) {
    // 正解率 is a Single; the value reaches Format widened to double.
    EXPECT_EQ(rate(static_cast<double>(66.66667f)), "66.7");
    EXPECT_EQ(rate(static_cast<double>(50.0f)), "50.0");
    EXPECT_EQ(rate(static_cast<double>(0.05f)), "0.1");
}

TEST(FormatRate, NegativeNumbersGetALeadingMinus) {
    EXPECT_EQ(rate(-5), "-5.0");
    EXPECT_EQ(rate(-0.05), "-0.1");
    EXPECT_EQ(rate(-66.65), "-66.7");
    EXPECT_EQ(rate(-0.04), "-0.0");  // keeps its sign, as the runtime
    EXPECT_EQ(rate(-0.0), "0.0");
}

// ---- Format with "###.0" (the record window's rate box) ----

TEST(FormatRateBox, NoLeadingZeroBelowOne) {
    EXPECT_EQ(rateBox(50), "50.0");
    EXPECT_EQ(rateBox(0), ".0");
    EXPECT_EQ(rateBox(0.5), ".5");
    EXPECT_EQ(rateBox(0.04), ".0");
    EXPECT_EQ(rateBox(0.96), "1.0");
    EXPECT_EQ(rateBox(100), "100.0");
    EXPECT_EQ(rateBox(1.0 / 3.0 * 100), "33.3");
    EXPECT_EQ(rateBox(2.0 / 3.0 * 100), "66.7");
}

// ---- Format with "############################0" (RndPos) ----

TEST(FormatWhole, HalvesAwayFromZero) {
    EXPECT_EQ(whole(2.5), "3");
    EXPECT_EQ(whole(3.5), "4");
    EXPECT_EQ(whole(-2.5), "-3");
    EXPECT_EQ(whole(2.4999), "2");
    EXPECT_EQ(whole(0.5), "1");
    EXPECT_EQ(whole(0.4), "0");
    EXPECT_EQ(whole(0), "0");
    EXPECT_EQ(whole(1), "1");
    EXPECT_EQ(whole(10 * 0.35), "4");  // 3.5 after 15 digits
}

TEST(FormatWhole, BigValues) {
    EXPECT_EQ(whole(2147483648.0), "2147483648");
    EXPECT_EQ(whole(123456789012345.0), "123456789012345");
    EXPECT_EQ(whole(1e20), "100000000000000000000");
    EXPECT_EQ(whole(-1e20), "-100000000000000000000");
}

TEST(FormatNumberPatterns, OtherPlaceholders) {
    EXPECT_EQ(formatNumber(5, QStringLiteral("000")), "005");
    EXPECT_EQ(formatNumber(0, QStringLiteral("#")), "");
    EXPECT_EQ(formatNumber(1234567, QStringLiteral("#,##0")), "1,234,567");
    EXPECT_EQ(formatNumber(123, QStringLiteral("#,##0")), "123");
    EXPECT_EQ(formatNumber(1.5, QStringLiteral("0.0#")), "1.5");
    EXPECT_EQ(formatNumber(1.256, QStringLiteral("0.0#")), "1.26");
    EXPECT_EQ(formatNumber(1, QStringLiteral("0.##")), "1.");
}

// ---- Format with date and time patterns ----

TEST(FormatDateTime, DatePatterns) {
    EXPECT_EQ(formatDate(QDate(2024, 7, 5), QStringLiteral("yyyy/mm/dd")), "2024/07/05");
    EXPECT_EQ(formatDate(QDate(2024, 12, 31), QStringLiteral("yyyy/mm/dd")), "2024/12/31");
    EXPECT_EQ(formatDate(QDate(99, 1, 2), QStringLiteral("yyyy/mm/dd")), "0099/01/02");
    EXPECT_EQ(formatDate(QDate(2024, 7, 5), QStringLiteral("yyyy/m/d")), "2024/7/5");
    EXPECT_EQ(formatDate(QDate(2024, 7, 5), QStringLiteral("yy-mm-dd")), "24-07-05");
    EXPECT_EQ(formatDate(QDate(), QStringLiteral("yyyy/mm/dd")), "");
}

TEST(FormatDateTime, TimePatterns) {
    EXPECT_EQ(formatTime(QTime(9, 5), QStringLiteral("hh:mm")), "09:05");
    EXPECT_EQ(formatTime(QTime(23, 59, 59), QStringLiteral("hh:mm:ss")), "23:59:59");
    EXPECT_EQ(formatTime(QTime(0, 0, 7), QStringLiteral("hh:mm:ss")), "00:00:07");
    EXPECT_EQ(formatTime(QTime(9, 5, 3), QStringLiteral("h:m:s")), "9:5:3");
    EXPECT_EQ(formatTime(QTime(9, 5, 3), QStringLiteral("mm:ss")), "05:03");  // before ss: minutes
    EXPECT_EQ(formatTime(QTime(9, 5, 3), QStringLiteral("hh:nn")), "09:05");
}

TEST(FormatDateTime, MmIsMonthOrMinuteByItsNeighbours) {
    const QDate d(2024, 7, 5);
    const QTime t(13, 4, 9);
    EXPECT_EQ(formatDateTime(d, t, QStringLiteral("yyyy/mm/dd hh:mm:ss")), "2024/07/05 13:04:09");
    EXPECT_EQ(formatDateTime(d, t, QStringLiteral("hh:mm yyyy/mm/dd")), "13:04 2024/07/05");
}

// ---- roundHalfEven (CInt / CLng) ----

TEST(RoundHalfEven, HalvesToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
}

TEST(RoundHalfEven, NonHalvesToNearest) {
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
    EXPECT_EQ(roundHalfEven(0), 0);
    EXPECT_EQ(roundHalfEven(66.66), 67);
    EXPECT_EQ(roundHalfEven(4294967296.4), 4294967296LL);
}

TEST(RoundHalfEven, OutOfRangeIsClamped) {
    EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(roundHalfEven(-1e300), std::numeric_limits<std::int64_t>::min());
}

// ---- parseDate (CDate of the typed registration dates, CheckRecordDay) ----

TEST(ParseDate, ValidDates) {
    EXPECT_EQ(parseDate(QStringLiteral("2024/07/05")), QDate(2024, 7, 5));
    EXPECT_EQ(parseDate(QStringLiteral("2024/7/5")), QDate(2024, 7, 5));
    EXPECT_EQ(parseDate(QStringLiteral("2024-7-5")), QDate(2024, 7, 5));
    EXPECT_EQ(parseDate(QStringLiteral("2019/12/31")), QDate(2019, 12, 31));
    EXPECT_EQ(parseDate(QStringLiteral("2019/1/1")), QDate(2019, 1, 1));
    EXPECT_EQ(parseDate(QStringLiteral("99/1/2")), QDate(99, 1, 2));  // no century window
}

TEST(ParseDate, InvalidCalendarDates) {
    EXPECT_FALSE(parseDate(QStringLiteral("2019/2/30")));
    EXPECT_FALSE(parseDate(QStringLiteral("2019/13/1")));
    EXPECT_FALSE(parseDate(QStringLiteral("2019/0/1")));
    EXPECT_FALSE(parseDate(QStringLiteral("2019/1/0")));
    EXPECT_FALSE(parseDate(QStringLiteral("2019/1/32")));
    EXPECT_FALSE(parseDate(QStringLiteral("2019/4/31")));
    EXPECT_FALSE(parseDate(QStringLiteral("0/1/1")));
}

TEST(ParseDate, LeapYears) {
    EXPECT_TRUE(parseDate(QStringLiteral("2024/2/29")));
    EXPECT_FALSE(parseDate(QStringLiteral("2023/2/29")));
    EXPECT_FALSE(parseDate(QStringLiteral("1900/2/29")));
    EXPECT_TRUE(parseDate(QStringLiteral("2000/2/29")));
    EXPECT_FALSE(parseDate(QStringLiteral("2100/2/29")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024/2/30")));
}

TEST(ParseDate, NotADate) {
    EXPECT_FALSE(parseDate(QString()));
    EXPECT_FALSE(parseDate(QStringLiteral("abc")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024/7")));
    EXPECT_FALSE(parseDate(QStringLiteral("/7/5")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024//5")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024/7/5/1")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024/07/0a")));
    EXPECT_FALSE(parseDate(QStringLiteral("2024/7-5")));
}

// ---- parseTime ----

TEST(ParseTime, ValidAndInvalid) {
    EXPECT_EQ(parseTime(QStringLiteral("9:05")), QTime(9, 5));
    EXPECT_EQ(parseTime(QStringLiteral("23:59:59")), QTime(23, 59, 59));
    EXPECT_EQ(parseTime(QStringLiteral("0:0")), QTime(0, 0));
    EXPECT_FALSE(parseTime(QStringLiteral("24:00")));
    EXPECT_FALSE(parseTime(QStringLiteral("12:60")));
    EXPECT_FALSE(parseTime(QStringLiteral("12:00:60")));
    EXPECT_FALSE(parseTime(QStringLiteral("12")));
    EXPECT_FALSE(parseTime(QString()));
    EXPECT_FALSE(parseTime(QStringLiteral("ab:cd")));
}

// ---- halfWidthLength (半角換算, cp932 bytes) ----

TEST(HalfWidthLength, AsciiAndHalfWidthKatakanaCountOne) {
    EXPECT_EQ(halfWidthLength(QString()), 0);
    EXPECT_EQ(halfWidthLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(halfWidthLength(QStringLiteral("ｱｲｳ")), 3);
    EXPECT_EQ(halfWidthLength(QStringLiteral("ﾞﾟ｡｢")), 4);
    EXPECT_EQ(halfWidthLength(QStringLiteral(",\t\n")), 3);
}

TEST(HalfWidthLength, FullWidthCountsTwo) {
    EXPECT_EQ(halfWidthLength(QStringLiteral("あ")), 2);
    EXPECT_EQ(halfWidthLength(QStringLiteral("漢字")), 4);
    EXPECT_EQ(halfWidthLength(QStringLiteral("ＡＢＣ１２３")), 12);
    EXPECT_EQ(halfWidthLength(QStringLiteral("　")), 2);  // ideographic space
    EXPECT_EQ(halfWidthLength(QStringLiteral("項目１a")), 7);
}

TEST(HalfWidthLength, Cp932EdgeCharacters) {
    EXPECT_EQ(halfWidthLength(QStringLiteral("～")), 2);  // U+FF5E, cp932's wave dash
    EXPECT_EQ(halfWidthLength(QStringLiteral("①")), 2);   // NEC special
    EXPECT_EQ(halfWidthLength(QStringLiteral("Ⅻ")), 2);   // NEC special
    EXPECT_EQ(halfWidthLength(QStringLiteral("髙")), 2);  // IBM extension
    EXPECT_EQ(halfWidthLength(QStringLiteral("∥")), 2);   // U+2225
    EXPECT_EQ(halfWidthLength(QStringLiteral("￢")), 2);  // U+FFE2
    EXPECT_EQ(halfWidthLength(QStringLiteral("－")), 2);  // U+FF0D
}

TEST(HalfWidthLength, CharactersOutsideCp932CountTwo) {
    EXPECT_EQ(halfWidthLength(QStringLiteral("😀")), 2);  // surrogate pair, one character
    EXPECT_EQ(halfWidthLength(QStringLiteral("한")), 2);
    EXPECT_EQ(halfWidthLength(QStringLiteral("a😀b")), 4);
    EXPECT_EQ(halfWidthLength(QStringLiteral("é")), 2);
    EXPECT_EQ(halfWidthLength(QString(QChar(0xD800))), 2);  // lone surrogate
}

TEST(HalfWidthLength, NameLimitBoundary) {
    EXPECT_EQ(halfWidthLength(QString(25, QChar(0x3042))), 50);  // 25 × "あ"
    EXPECT_EQ(halfWidthLength(QString(24, QChar(0x3042)) + QStringLiteral("a")), 49);
    EXPECT_EQ(halfWidthLength(QString(25, QChar(0x3042)) + QStringLiteral("a")), 51);
    EXPECT_EQ(halfWidthLength(QString(255, QLatin1Char('x'))), 255);
}

// ---- singleToString / doubleToString (CStr) ----

TEST(NumberText, Single) {
    EXPECT_EQ(singleToString(66.66666f), "66.66666");
    EXPECT_EQ(singleToString(200.0f / 3.0f), "66.66666");  // 7 digits, not 66.666664
    EXPECT_EQ(singleToString(75.0f), "75");
    EXPECT_EQ(singleToString(0.5f), "0.5");
    EXPECT_EQ(singleToString(0.0f), "0");
    EXPECT_EQ(singleToString(-12.5f), "-12.5");
    EXPECT_EQ(singleToString(0.1f), "0.1");
    EXPECT_EQ(singleToString(1234567.0f), "1234567");
    EXPECT_EQ(singleToString(1e20f), "1E+20");
}

TEST(NumberText, Double) {
    EXPECT_EQ(doubleToString(75), "75");
    EXPECT_EQ(doubleToString(0.5), "0.5");
    EXPECT_EQ(doubleToString(200.0 / 3.0), "66.6666666666667");
    EXPECT_EQ(doubleToString(0.1 + 0.2), "0.3");
    EXPECT_EQ(doubleToString(1e20), "1E+20");
    EXPECT_EQ(doubleToString(123456789012345.0), "123456789012345");
    EXPECT_EQ(doubleToString(1e15), "1E+15");
    EXPECT_EQ(doubleToString(1.5e-7), "1.5E-07");
    EXPECT_EQ(doubleToString(0.001), "0.001");
    EXPECT_EQ(doubleToString(-3), "-3");
}
