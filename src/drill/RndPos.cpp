#include "drill/RndPos.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace drill {

namespace {

// Just enough unsigned big-integer arithmetic for T x m^k, which can reach 2^133.
class BigUnsigned {
public:
    explicit BigUnsigned(std::uint64_t value) {
        limbs_.push_back(static_cast<std::uint32_t>(value));
        limbs_.push_back(static_cast<std::uint32_t>(value >> 32));
    }
    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (auto& limb : limbs_) {
            const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    void addPowerOfTwo(int exponent) {
        size_t index = static_cast<size_t>(exponent / 32);
        std::uint64_t carry = std::uint64_t{1} << (exponent % 32);
        while (carry) {
            if (index >= limbs_.size()) limbs_.push_back(0);
            const std::uint64_t sum = static_cast<std::uint64_t>(limbs_[index]) + carry;
            limbs_[index] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
            ++index;
        }
    }
    // floor(value / 2^shift), which must fit in 64 bits.
    std::uint64_t shiftedRight(int shift) const {
        std::uint64_t result = 0;
        for (int bit = 0; bit < 64; ++bit) {
            const int source = bit + shift;
            const size_t index = static_cast<size_t>(source / 32);
            if (index < limbs_.size() && (limbs_[index] >> (source % 32) & 1))
                result |= std::uint64_t{1} << bit;
        }
        return result;
    }
    // value mod 2^bits == 0 ?
    bool lowBitsZero(int bits) const {
        for (int bit = 0; bit < bits; ++bit) {
            const size_t index = static_cast<size_t>(bit / 32);
            if (index < limbs_.size() && (limbs_[index] >> (bit % 32) & 1)) return false;
        }
        return true;
    }
    bool atLeastPowerOfTwo(int exponent) const {
        for (size_t i = limbs_.size(); i-- > 0;) {
            if (limbs_[i] == 0) continue;
            const int top = static_cast<int>(i) * 32 + (31 - __builtin_clz(limbs_[i]));
            return top >= exponent;
        }
        return false;
    }

private:
    std::vector<std::uint32_t> limbs_;
};

// count x u^k with u = m / 2^24, as count x m^k over 2^(24k).
BigUnsigned scaledDraw(std::uint64_t count, std::uint32_t m, int k) {
    BigUnsigned value(count);
    for (int i = 0; i < k; ++i) value.multiply(m);
    return value;
}

}  // namespace

void RandomSingle::seedFromClock() {
    engine_.seed(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

int exponentFor(std::uint64_t count) {
    if (count < 1000000ULL) return 1;          // 1 to 6 digits
    if (count < 100000000000000ULL) return 2;  // 7 to 14 digits
    return 3;
}

std::int32_t positionForBand(std::uint64_t r) {
    // The largest i with i(i+1)/2 < r, found from the square root and then corrected.
    auto below = [](std::uint64_t i) { return i * (i + 1) / 2; };
    std::uint64_t i = static_cast<std::uint64_t>((std::sqrt(8.0 * static_cast<double>(r)) - 1) / 2);
    while (i > 0 && below(i) >= r) --i;
    while (below(i + 1) < r) ++i;
    return static_cast<std::int32_t>(i);
}

std::int32_t RndPos(bool uniform, std::int32_t n, RandomSingle& random) {
    if (n <= 1) return 0;
    const auto count = static_cast<std::uint64_t>(n);
    if (uniform) {
        const int k = exponentFor(count);
        const int shift = 24 * k;
        const BigUnsigned scaled = scaledDraw(count, random.nextMantissa(), k);
        // n x r rounded to the nearest whole number, halves to even.
        BigUnsigned half = scaled;
        half.addPowerOfTwo(shift - 1);
        std::uint64_t d = half.shiftedRight(shift);
        const bool exactHalf = !scaled.lowBitsZero(shift - 1) ? false : !scaled.lowBitsZero(shift);
        if (exactHalf && (d & 1)) --d;  // a tie went up to an odd number: take the even one
        return d == count ? 0 : static_cast<std::int32_t>(d);
    }
    const std::uint64_t total = count * (count + 1) / 2;
    const int k = exponentFor(total);
    const int shift = 24 * k;
    for (;;) {
        const BigUnsigned scaled = scaledDraw(total, random.nextMantissa(), k);
        if (!scaled.atLeastPowerOfTwo(shift)) continue;  // r < 1/T: draw again
        // T x r rounded, halves away from zero.
        BigUnsigned half = scaled;
        half.addPowerOfTwo(shift - 1);
        const std::uint64_t r = half.shiftedRight(shift);
        const std::int32_t position = positionForBand(r);
        return position < n ? position : n - 1;
    }
}

}  // namespace drill
