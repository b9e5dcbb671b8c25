#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "platform/ui/Twips.h"

// The search window's arithmetic, apart from its widgets: when "検　索" is enabled, the
// counter, the rate box colour, and where everything goes for a window size. All sizes
// are twips.
namespace search {

// The window's start size, outside its frame, and its smallest size.
inline constexpr int kSearchWidth = 9570;
inline constexpr int kSearchHeight = 8820;
// Outer minus inner size: the client area at the start size is 9450 x 8415.
inline constexpr int kFrameWidth = ui::kSizableFrameWidth;
inline constexpr int kFrameHeight = ui::kSizableFrameHeight;

// A set is chosen, a condition is checked, and a checked word condition has text.
bool searchButtonEnabled(bool anySetSelected, bool wordChecked, bool rateChecked, bool dateChecked,
                         bool wordTextEmpty);

// "3/25": the 1-based position and the number of records.
QString counterText(int position, int recordCount);

// The rate box takes the at-or-above colour when the threshold does not exceed the rate
// shown ("80.0"); a text that is no number counts as 0.
bool rateAtOrAboveThreshold(std::int32_t threshold, const QString& rateText);

struct SearchLayout {
    // The window's outer size after the minimum-size snap, and its client size then.
    int width = 0;
    int height = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool snapped = false;

    int lstDatabaseWidth = 0;
    int conditionLeft = 0;  // Label1(1), chkWord, chkJustAnswerRate, chkRecordDay
    int wordLeft = 0;       // txtSearch(0), cmbPoints (cmbRecordDay(0) is recordDayLeft[0])
    std::array<int, 6> recordDayLeft{};
    std::array<int, 2> optPointLeft{};
    int dashLeft = 0;          // Label1(2)
    int hitsLabelLeft = 0;     // Label1(11)
    int counterLeft = 0;       // txtSearch(7)
    int searchButtonLeft = 0;  // cmdSearch(0)
    int listButtonLeft = 0;    // cmdSearch(3)
    int detailButtonLeft = 0;  // cmdSearch(4)

    int gridWidth = 0;
    int gridHeight = 0;
    bool gridRowsFit = true;            // no vertical scroll bar
    std::array<int, 3> gridColWidth{};  // columns 1 to 3

    int rateLabelLeft = 0;  // Label1(8)
    int rateBoxLeft = 0;    // txtSearch(4)
    int dateLabelLeft = 0;  // Label1(9)
    int dateBoxLeft = 0;    // txtSearch(5)
    int richWidth = 0;      // txtData(0) to txtData(4)
    std::array<int, 5> richTop{};
    std::array<int, 3> itemHeight{};    // txtData(0) to txtData(2)
    std::array<int, 2> itemLabelTop{};  // Label1(4), Label1(5)
    std::array<int, 2> itemNameTop{};   // txtSearch(2), txtSearch(3)
    int commentLabelTop = 0;            // Label1(6)
    int sourceLabelTop = 0;             // Label1(7)
};

// The layout for outer size W x H and client size SW x SH with `gridRows` grid rows (the
// header row included). A window below the smallest size is laid out at that size.
SearchLayout searchLayout(int width, int height, int clientWidth, int clientHeight, int gridRows);

}  // namespace search
