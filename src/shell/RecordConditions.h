#pragma once

#include <QString>

#include <array>

// The rate and registration-date conditions that the search and test statements share.
namespace shell {

// "AND (正解率 >= 80) " or "AND (正解率 <= 80) ", the bound as typed.
QString rateConditionText(bool atOrAbove, const QString& rateText);

// "AND ((登録日 >= #y/m/d#) AND (登録日 <= #y/m/d#)) " from the six date boxes as typed.
QString dateConditionText(const std::array<QString, 6>& dateTexts);

// A rate bound the engine can read: digits with at most one decimal point ("80", "55.5").
// Anything else never reaches the statement.
bool isRateBound(const QString& text);

// isRateBound, telling the user when the bound cannot be read (as CheckRecordDay does for
// the dates).
bool CheckRateBound(const QString& text);

}  // namespace shell
