#pragma once

#include <cstdint>
#include <deque>

#include "drill/RndPos.h"

namespace testing_support {

// Hands out chosen random values u = m / 2^24, in order.
class ScriptedRandom : public drill::RandomSingle {
public:
    explicit ScriptedRandom(std::deque<double> values)
        : RandomSingle(1), values_(std::move(values)) {}
    std::uint32_t nextMantissa() override {
        const double u = values_.front();
        values_.pop_front();
        return static_cast<std::uint32_t>(u * 16777216.0);
    }
    size_t left() const { return values_.size(); }

private:
    std::deque<double> values_;
};

}  // namespace testing_support
