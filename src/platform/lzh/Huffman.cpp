#include "platform/lzh/Huffman.h"

#include <algorithm>
#include <array>

namespace lzh {

int buildLengths(const std::uint32_t* freq, int n, std::uint8_t* len) {
    std::fill(len, len + n, 0);
    std::array<int, 512> leaves;
    int used = 0;
    for (int i = 0; i < n; ++i)
        if (freq[i]) leaves[used++] = i;
    if (used < 2) return used;
    std::stable_sort(leaves.begin(), leaves.begin() + used,
                     [&](int a, int b) { return freq[a] < freq[b]; });

    // Two-queue Huffman construction over the sorted leaves; nodes >= used are internal.
    std::array<std::uint64_t, 1024> weight;
    std::array<int, 1024> parent;
    for (int i = 0; i < used; ++i) weight[i] = freq[leaves[i]];
    int leaf = 0, internalHead = used, internalEnd = used;
    auto takeSmallest = [&]() {
        if (leaf < used && (internalHead == internalEnd || weight[leaf] <= weight[internalHead]))
            return leaf++;
        return internalHead++;
    };
    while (internalEnd < 2 * used - 1) {
        const int a = takeSmallest();
        const int b = takeSmallest();
        weight[internalEnd] = weight[a] + weight[b];
        parent[a] = parent[b] = internalEnd;
        ++internalEnd;
    }
    std::array<int, 1024> depth;
    depth[2 * used - 2] = 0;
    std::array<int, kMaxCodeBits + 1> count{};
    for (int i = 2 * used - 3; i >= 0; --i) {
        depth[i] = depth[parent[i]] + 1;
        if (i < used) ++count[std::min(depth[i], kMaxCodeBits)];
    }

    // Leaves cut back to 16 bits overfill the code space; move leaves down a level until the
    // Kraft sum is exact again.
    std::uint32_t kraft = 0;
    for (int i = 1; i <= kMaxCodeBits; ++i) kraft += count[i] << (kMaxCodeBits - i);
    while (kraft > (1u << kMaxCodeBits)) {
        --count[kMaxCodeBits];
        for (int i = kMaxCodeBits - 1; i > 0; --i) {
            if (count[i]) {
                --count[i];
                count[i + 1] += 2;
                break;
            }
        }
        --kraft;
    }

    // The rarest symbols get the longest codes.
    int k = 0;
    for (int bits = kMaxCodeBits; bits > 0; --bits)
        for (int c = count[bits]; c > 0; --c) len[leaves[k++]] = static_cast<std::uint8_t>(bits);
    return used;
}

void makeCodes(const std::uint8_t* len, int n, std::uint16_t* code) {
    std::array<int, kMaxCodeBits + 2> count{};
    for (int i = 0; i < n; ++i) ++count[len[i]];
    count[0] = 0;
    std::array<std::uint32_t, kMaxCodeBits + 2> next{};
    std::uint32_t c = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        c = (c + count[bits - 1]) << 1;
        next[bits] = c;
    }
    for (int i = 0; i < n; ++i)
        if (len[i]) code[i] = static_cast<std::uint16_t>(next[len[i]]++);
}

}  // namespace lzh
