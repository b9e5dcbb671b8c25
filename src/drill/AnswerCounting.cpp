#include "drill/AnswerCounting.h"

#include "platform/vb/Format.h"

namespace drill {

AnswerCounts countAnswer(std::int32_t right, std::int32_t asked, bool correct) {
    if (asked >= 32767) {
        right /= 2;
        asked /= 2;
    }
    AnswerCounts result;
    const std::int32_t newRight = correct ? right + 1 : right;
    const std::int32_t newAsked = asked + 1;
    result.right = static_cast<std::int16_t>(newRight);
    result.asked = static_cast<std::int16_t>(newAsked);
    result.rate = static_cast<float>(static_cast<double>(newRight) / newAsked * 100.0);
    return result;
}

QString rateText(double rate) {
    return vb::formatNumber(rate, QStringLiteral("##0.0"));
}

bool rateAtOrAboveThreshold(std::int32_t threshold, const QString& shownRate) {
    return threshold <= shownRate.toDouble();
}

}  // namespace drill
