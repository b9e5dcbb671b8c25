#include "records/RecordLayout.h"

#include "platform/vb/Format.h"

namespace records {

RecordWindowLayout layoutRecordWindow(int w, int h, bool useItem3, bool useComment,
                                      bool useSource) {
    RecordWindowLayout l;
    l.label1Left = w - 3615;
    l.txtPonitLeft = w - 2655;
    l.label2Left = w - 1815;
    l.txtRecordDayLeft = w - 1215;

    const int boxes = useItem3 ? 3 : 2;
    const double free =
        h - (useComment ? 885 : 0) - (useSource ? 840 : 0) - 105 - 405 - (useItem3 ? 780 : 390);
    l.boxHeight = static_cast<int>(vb::roundHalfEven(free / boxes));
    l.boxWidth = w - 40;

    constexpr int item1Top = 405;
    l.frame1Top = item1Top + l.boxHeight + 55;
    l.item2Top = l.frame1Top + 390;
    int bottom = l.item2Top + l.boxHeight;

    l.item3Visible = useItem3;
    if (useItem3) {
        l.frame2Top = l.item2Top + l.boxHeight + 55;
        l.item3Top = l.frame2Top + 390;
        bottom = l.item3Top + l.boxHeight;
    }
    l.commentVisible = useComment;
    if (useComment) {
        l.label6Top = bottom + 150;
        l.commentTop = bottom + 390;
    }
    l.sourceVisible = useSource;
    if (useSource) {
        l.label7Top = h - 840;
        l.sourceTop = h - 600;
    }
    return l;
}

QString recordRateText(const QString& rightText, const QString& askedText) {
    const int asked = askedText.trimmed().toInt();
    if (askedText.trimmed().isEmpty() || asked == 0) return QStringLiteral("0.0");
    const int right = rightText.trimmed().toInt();
    return vb::formatNumber(static_cast<double>(right) / asked * 100.0, QStringLiteral("###.0"));
}

bool rateAtOrAboveWhenShown(const QString& rateText, int threshold) {
    return vb::roundHalfEven(rateText.toDouble()) >= threshold;
}

bool rateAtOrAboveAtOpening(const QString& rateText, int threshold) {
    return rateText.toDouble() >= threshold;
}

}  // namespace records
