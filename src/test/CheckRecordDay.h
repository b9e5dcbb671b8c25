#pragma once

#include <QString>

#include <array>

// The registration-date check of the search and test windows: both year/month/day groups
// must be real dates. On the first bad group it shows "開始日" or "終了日" +
// "の設定が不正です。" with the application title and returns false.
namespace drill {

bool CheckRecordDay(const std::array<QString, 6>& dateTexts);

// The year lists of the date combos: 2000 through the current year.
QStringList recordDayYears();

}  // namespace drill
