#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The search statement: fixed pieces, the chosen sets, the words, the rate and date
// conditions and the order.
namespace search {

struct SearchConditions {
    std::vector<std::int32_t> dbIDs;  // selected sets, in list order
    bool wordCondition = false;
    QString wordText;  // txtSearch(0)
    bool rateCondition = false;
    bool atOrAbove = true;
    QString rateText;  // cmbPoints
    bool dateCondition = false;
    std::array<QString, 6> dateTexts;  // cmbRecordDay(0)..(5)
};

// Blanks of both widths and commas separate words; empty pieces are dropped.
QStringList splitSearchWords(const QString& text);

// The words go in as literals matched literally: an apostrophe, * ? # and [ in a word find
// themselves.
QString buildSearchStatement(const SearchConditions& conditions);

}  // namespace search
