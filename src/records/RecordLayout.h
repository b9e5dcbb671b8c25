#pragma once

#include <QString>

// The record window's arithmetic: where its parts go for a client size and the set's use
// flags, the minimum size, and the rate box text and colouring. All values are twips.
namespace records {

constexpr int kRecordWindowMinWidth = 8415;
constexpr int kRecordWindowMinHeight = 8250;

struct RecordWindowLayout {
    // Right-anchored header.
    int label1Left = 0, txtPonitLeft = 0, label2Left = 0, txtRecordDayLeft = 0;
    // Every large box is this wide; items 1 to 3 are boxHeight high.
    int boxWidth = 0, boxHeight = 0;
    int frame1Top = 0, item2Top = 0;
    bool item3Visible = true;
    int frame2Top = 0, item3Top = 0;
    bool commentVisible = true;
    int label6Top = 0, commentTop = 0;
    bool sourceVisible = true;
    int label7Top = 0, sourceTop = 0;
};

// scaleWidth and scaleHeight are the window's inner size.
RecordWindowLayout layoutRecordWindow(int scaleWidth, int scaleHeight, bool useItem3,
                                      bool useComment, bool useSource);

// The rate box text from the counters' texts: "0.0" when never asked, else "###.0"
// (50 -> "50.0", 0 of 5 -> ".0").
QString recordRateText(const QString& rightText, const QString& askedText);

// Whether the rate box takes the at-or-above settings. Showing a record compares the rate
// text rounded to an integer (halves to even); opening the window compares it as a decimal.
bool rateAtOrAboveWhenShown(const QString& rateText, int threshold);
bool rateAtOrAboveAtOpening(const QString& rateText, int threshold);

}  // namespace records
