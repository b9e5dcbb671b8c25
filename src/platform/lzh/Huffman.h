#pragma once

#include <cstdint>

namespace lzh {

constexpr int kMaxCodeBits = 16;

// Huffman code lengths of at most 16 bits for the symbols with a frequency (n <= 512).
// Returns how many symbols are used; with fewer than two, all lengths stay 0 and the
// caller sends the format's single-symbol form.
int buildLengths(const std::uint32_t* freq, int n, std::uint8_t* len);

// Canonical codes for those lengths: shorter codes first, symbol order within a length.
void makeCodes(const std::uint8_t* len, int n, std::uint16_t* code);

}  // namespace lzh
