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
    bool weighted = false;             // chkTest(7), only with random
    bool ascending = true;             // optPoint(2)
};

// "ORDER BY 正解率 DESC, 出題回数 DESC " in random mode, else by rate and registration time.
QString testOrderBy(bool random, bool ascending);

QString buildTestStatement(const TestConditions& conditions);

}  // namespace drill
