#pragma once

#include <QString>

#include <cstdint>

// Counting one answer into a record's counters and rate.
namespace drill {

struct AnswerCounts {
    std::int16_t right = 0;  // 正解回数
    std::int16_t asked = 0;  // 出題回数
    float rate = 0;          // 正解率, in percent
};

// Right: (c + 1) / (a + 1) x 100; wrong: c / (a + 1) x 100, kept as a Single. The counters
// are 16-bit: when 出題回数 would pass 32767 both are halved (rounding down) first, so the
// stored values stay valid and the rate keeps its meaning.
AnswerCounts countAnswer(std::int32_t right, std::int32_t asked, bool correct);

// The rate box text: "##0.0" (0.0, 66.7, 100.0).
QString rateText(double rate);

// Whether the rate box takes the at-or-above colour: the threshold is compared with the
// value shown (the rate rounded to one decimal, read back), so 79.96 counts as 80.0.
bool rateAtOrAboveThreshold(std::int32_t threshold, const QString& shownRate);

}  // namespace drill
