#include "search/SearchLayout.h"

#include <algorithm>

#include "platform/vb/Format.h"

namespace search {

bool searchButtonEnabled(bool anySetSelected, bool wordChecked, bool rateChecked, bool dateChecked,
                         bool wordTextEmpty) {
    if (!anySetSelected) return false;
    if (!wordChecked && !rateChecked && !dateChecked) return false;
    return !(wordChecked && wordTextEmpty);
}

QString counterText(int position, int recordCount) {
    return QString::number(position + 1) + QLatin1Char('/') + QString::number(recordCount);
}

bool rateAtOrAboveThreshold(std::int32_t threshold, const QString& rateText) {
    bool ok = false;
    double rate = rateText.trimmed().toDouble(&ok);
    if (!ok) rate = 0;
    return threshold <= rate;
}

SearchLayout searchLayout(int width, int height, int clientWidth, int clientHeight, int gridRows) {
    SearchLayout l;
    l.width = std::max(width, kSearchWidth);
    l.height = std::max(height, kSearchHeight);
    l.snapped = l.width != width || l.height != height;
    l.clientWidth = clientWidth + (l.width - width);
    l.clientHeight = clientHeight + (l.height - height);
    const int W = l.width;
    const int H = l.height;
    const int SW = l.clientWidth;
    const int SH = l.clientHeight;

    l.lstDatabaseWidth = W - 4995;
    l.conditionLeft = W - 4650;
    l.wordLeft = W - 3690;
    l.recordDayLeft = {W - 3690, W - 3010, W - 2550, W - 1870, W - 1170, W - 730};
    l.optPointLeft = {W - 2490, W - 1650};
    l.dashLeft = W - 2010;
    l.hitsLabelLeft = W - 5670;
    l.counterLeft = W - 5010;
    l.searchButtonLeft = W - 1650;
    l.listButtonLeft = W - 3690;
    l.detailButtonLeft = W - 2730;

    l.gridWidth = W - 315;
    l.gridHeight = H + 6375 - 8500;
    const int e = static_cast<int>(vb::roundHalfEven((W - kSearchWidth) / 3.0));
    // Header 452, each further row 391: beyond that the grid shows a vertical scroll bar and
    // the item columns give up its width.
    l.gridRowsFit = l.gridHeight - 39 >= 452 + 391 * (gridRows - 1);
    if (l.gridRowsFit)
        l.gridColWidth = {e + 2262, e + 2263, e + 2263};
    else
        l.gridColWidth = {e + 2182, e + 2183, e + 2183};

    const int d = static_cast<int>(vb::roundHalfEven((SH - 4485) / 3.0));
    l.rateLabelLeft = SW - 3400;
    l.rateBoxLeft = SW - 2600;
    l.dateLabelLeft = SW - 1580;
    l.dateBoxLeft = SW - 1050;
    l.richWidth = SW - 195;
    l.richTop[0] = 1998;
    l.itemHeight = {d, d, d};
    for (int k = 1; k <= 2; ++k) {
        const int top = l.richTop[k - 1] + d + 366;
        l.richTop[k] = top;
        l.itemLabelTop[k - 1] = top - 219;
        l.itemNameTop[k - 1] = top - 268;
    }
    l.commentLabelTop = SH - 1650;
    l.richTop[3] = SH - 1410;
    l.sourceLabelTop = SH - 810;
    l.richTop[4] = SH - 570;
    return l;
}

}  // namespace search
