#pragma once

#include <cstdint>
#include <random>

// Random question positions: a uniform draw, and a draw weighted towards the end of the
// test order (low rates). Apart from the random value itself the arithmetic is exact.
namespace drill {

// Uniform single-precision values in [0, 1): u = m / 2^24 with m a 24-bit integer.
class RandomSingle {
public:
    RandomSingle() { seedFromClock(); }
    explicit RandomSingle(std::uint32_t seed) : engine_(seed) {}
    void seedFromClock();
    void seed(std::uint32_t value) { engine_.seed(value); }
    // The 24-bit numerator m of the next value.
    virtual std::uint32_t nextMantissa() { return static_cast<std::uint32_t>(engine_() >> 8); }
    virtual ~RandomSingle() = default;

private:
    std::mt19937 engine_;
};

// The exponent band of a count: 1 for 1 to 6 decimal digits, 2 for 7 to 14, 3 beyond.
int exponentFor(std::uint64_t count);

// Position 0..n-1 for a test of n records (n >= 1).
std::int32_t RndPos(bool uniform, std::int32_t n, RandomSingle& random);

// The weighted draw's band lookup: the position i whose band i(i+1)/2 + 1 .. (i+1)(i+2)/2
// holds R (1 <= R <= T).
std::int32_t positionForBand(std::uint64_t r);

}  // namespace drill
