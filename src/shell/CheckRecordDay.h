#pragma once

#include <QString>

#include <array>

class QComboBox;

// The registration-date check of the search and test windows: both year/month/day groups
// must be real dates. On the first bad group it shows "開始日" or "終了日" +
// "の設定が不正です。" with the application title and returns false.
namespace shell {

bool CheckRecordDay(const std::array<QString, 6>& dateTexts);

// The year lists of the date combos: 2000 through the current year.
QStringList recordDayYears();

// Fills the six date combos (years, months 1-12, days 1-31) and sets each group to today,
// month and day with their leading zeros ("07", "05").
void fillRecordDayCombos(const std::array<QComboBox*, 6>& combos);

// The rate bound list: 100, 95, ... 0, showing 100.
void fillRatePoints(QComboBox* combo);

}  // namespace shell
