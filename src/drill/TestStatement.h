#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The test statement: fixed pieces, the chosen sets, the rate and date conditions and the
// order. Pure text building; the window reads its controls into TestConditions.
namespace drill {

struct TestConditions {
    std::vector<std::int32_t> dbIDs;  // selected sets, in list order
    bool rateCondition = false;
    bool atOrAbove = true;  // optPoint(0)
    QString rateText;       // cmbPoints, verbatim
    bool dateCondition = false;
    std::array<QString, 6> dateTexts;  // cmbRecordDay(0)..(5), verbatim
    bool random = false;               // chkTest(6)
    bool ascending = true;             // optPoint(2)
};

// "ORDER BY 正解率 DESC, 出題回数 DESC " in random mode, else by rate and registration time.
QString testOrderBy(bool random, bool ascending);

QString buildTestStatement(const TestConditions& conditions);

// The condition pieces the search statement shares: "AND (正解率 >= 80) " and
// "AND ((登録日 >= #y/m/d#) AND (登録日 <= #y/m/d#)) ".
QString rateConditionText(bool atOrAbove, const QString& rateText);
QString dateConditionText(const std::array<QString, 6>& dateTexts);

// A rate bound the engine can read: digits with at most one decimal point ("80", "55.5").
// Anything else never reaches the statement.
bool isRateBound(const QString& text);

}  // namespace drill
