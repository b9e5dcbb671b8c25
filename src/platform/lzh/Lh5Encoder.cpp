#include "platform/lzh/Lh5Encoder.h"

#include "platform/lzh/Huffman.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace lzh {

namespace {

constexpr int kDictSize = 8192;  // -lh5-: positions 0..8191 back
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr int kNC = 256 + kMaxMatch - kMinMatch + 1;  // literals and match lengths
constexpr int kNP = 14;                               // position bit lengths 0..13
constexpr int kNT = 19;                               // code-length codes
constexpr int kCBit = 9;
constexpr int kPBit = 4;
constexpr int kTBit = 5;

constexpr int kHashBits = 15;
constexpr int kPrevSize = 2 * kDictSize;  // twice the window, so no live slot is reused
constexpr int kBufSize = 1 << 18;
constexpr int kLookahead = kMaxMatch + kMinMatch;

// Search effort. A chain of 128 keeps 50 MB well within the time of gzip -6 and gives up
// very little against an exhaustive search in an 8 KB window.
constexpr int kMaxChain = 128;
constexpr int kGoodLength = 32;   // a match this long already: search a quarter as far
constexpr int kNiceLength = 256;  // stop searching at a match this long
constexpr int kMaxLazy = 128;     // a match this long is taken without looking a byte further
constexpr int kTooFar = 4096;     // a 3-byte match further back costs more than literals

// Huffman blocks grow a segment at a time while the data stays alike; a segment whose
// statistics differ enough starts a new block. The format allows 65535 symbols a block.
constexpr int kSegmentSymbols = 256;
constexpr int kMaxBlockSymbols = 65535;

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void put(int bits, std::uint32_t value) {
        if (bits == 0) return;
        acc_ = (acc_ << bits) | (value & ((1ull << bits) - 1));
        count_ += bits;
        if (count_ >= 32) {
            count_ -= 32;
            const auto word = static_cast<std::uint32_t>(acc_ >> count_);
            out_.push_back(static_cast<std::uint8_t>(word >> 24));
            out_.push_back(static_cast<std::uint8_t>(word >> 16));
            out_.push_back(static_cast<std::uint8_t>(word >> 8));
            out_.push_back(static_cast<std::uint8_t>(word));
        }
    }

    // Pads the last byte with zero bits.
    void flush() {
        while (count_ > 0) {
            const int take = std::min(count_, 8);
            const auto byte = static_cast<std::uint8_t>((acc_ >> (count_ - take)) << (8 - take));
            out_.push_back(byte);
            count_ -= take;
        }
        acc_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int count_ = 0;
};

int positionCode(unsigned offset) {
    return offset ? std::bit_width(offset) : 0;
}

// f * log2(f) for every frequency a block can hold.
const std::vector<float>& frequencyBits() {
    static const std::vector<float> table = [] {
        std::vector<float> t(kMaxBlockSymbols + 1);
        for (int f = 1; f <= kMaxBlockSymbols; ++f)
            t[f] = static_cast<float>(f * std::log2(double(f)));
        return t;
    }();
    return table;
}

// Estimated size in bits of a block with these frequencies (`extra` added to each): the
// entropy of its codes plus a rough cost for sending the trees.
template <std::size_t N>
double blockBits(const std::array<std::uint32_t, N>& freq,
                 const std::array<std::uint32_t, N>& extra) {
    const std::vector<float>& fl = frequencyBits();
    std::uint32_t total = 0;
    int used = 0;
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const std::uint32_t f = freq[i] + extra[i];
        if (!f) continue;
        total += f;
        ++used;
        sum += fl[f];
    }
    return total ? fl[total] - sum + 4.0 * used : 0.0;
}

}  // namespace

struct Lh5Encoder::Impl {
    Sink sink;
    std::uint64_t packed = 0;
    bool failed = false;

    // Sliding input: buf[0] is stream position `base`.
    std::vector<std::uint8_t> buf = std::vector<std::uint8_t>(kBufSize);
    std::uint32_t base = 0;
    int pos = 0;  // next position to code, relative to buf
    int end = 0;  // bytes held in buf
    std::vector<std::uint32_t> head = std::vector<std::uint32_t>(1 << kHashBits, 0);
    std::vector<std::uint32_t> prev = std::vector<std::uint32_t>(kPrevSize, 0);

    // Lazy matching: the match found at pos - 1, still undecided.
    bool matchAvailable = false;
    int prevLength = kMinMatch - 1;
    int prevDistance = 0;

    // Symbols of the current block, then of the segment being collected, and the
    // frequencies of each.
    std::vector<std::uint16_t> symbols;
    std::vector<std::uint16_t> offsets;  // distance - 1, for each match symbol
    std::size_t blockSymbols = 0;
    std::array<std::uint32_t, kNC> cFreq{};
    std::array<std::uint32_t, kNP> pFreq{};
    std::array<std::uint32_t, kNC> segmentC{};
    std::array<std::uint32_t, kNP> segmentP{};

    std::vector<std::uint8_t> out;
    BitWriter bits{out};

    explicit Impl(Sink s) : sink(std::move(s)) {
        symbols.reserve(kMaxBlockSymbols + kSegmentSymbols);
        offsets.reserve(kMaxBlockSymbols + kSegmentSymbols);
        out.reserve(1 << 16);
    }

    static std::uint32_t hashAt(const std::uint8_t* p) {
        const std::uint32_t v = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    // Links position `at` (relative) into its hash chain; returns the previous chain head.
    std::uint32_t insert(int at) {
        const std::uint32_t h = hashAt(&buf[at]);
        const std::uint32_t abs = base + static_cast<std::uint32_t>(at);
        const std::uint32_t old = head[h];
        prev[abs & (kPrevSize - 1)] = old;
        head[h] = abs;
        return old;
    }

    static int matchLength(const std::uint8_t* a, const std::uint8_t* b, int max) {
        int n = 0;
        while (n + 8 <= max) {
            std::uint64_t x, y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) return n + (std::countr_zero(x ^ y) >> 3);
            n += 8;
        }
        while (n < max && a[n] == b[n]) ++n;
        return n;
    }

    // Longest match for buf[pos] among the chain starting at `candidate`, better than
    // `best`. Returns its length (or `best`) and sets `distance`.
    int longestMatch(std::uint32_t candidate, int best, int& distance) {
        const int maxLength = std::min(kMaxMatch, end - pos);
        if (best >= maxLength) return best;
        const std::uint8_t* s = &buf[pos];
        const std::uint32_t abs = base + static_cast<std::uint32_t>(pos);
        const std::uint32_t limit = abs > kDictSize ? abs - kDictSize : 0;
        const int nice = std::min(kNiceLength, maxLength);
        int chain = best >= kGoodLength ? kMaxChain / 4 : kMaxChain;
        while (candidate >= limit && candidate < abs && chain-- > 0) {
            const std::uint8_t* m = &buf[candidate - base];
            if (m[best] == s[best] && m[0] == s[0] && m[1] == s[1]) {
                const int length = matchLength(s, m, maxLength);
                if (length > best) {
                    best = length;
                    distance = static_cast<int>(abs - candidate);
                    if (length >= nice) break;
                }
            }
            const std::uint32_t next = prev[candidate & (kPrevSize - 1)];
            if (next >= candidate) break;
            candidate = next;
        }
        return best;
    }

    void literal(std::uint8_t c) {
        symbols.push_back(c);
        offsets.push_back(0);
        ++segmentC[c];
        if (symbols.size() - blockSymbols == kSegmentSymbols) endSegment();
    }

    void match(int length, int distance) {
        const auto code = static_cast<std::uint16_t>(length - kMinMatch + 256);
        const auto offset = static_cast<std::uint16_t>(distance - 1);
        symbols.push_back(code);
        offsets.push_back(offset);
        ++segmentC[code];
        ++segmentP[positionCode(offset)];
        if (symbols.size() - blockSymbols == kSegmentSymbols) endSegment();
    }

    // Adds the collected segment to the block, or sends the block first when the segment
    // is better coded with trees of its own.
    void endSegment() {
        const std::size_t segment = symbols.size() - blockSymbols;
        if (segment == 0) return;
        if (blockSymbols > 0) {
            bool split = blockSymbols + segment > kMaxBlockSymbols;
            if (!split) {
                static const std::array<std::uint32_t, kNC> noC{};
                static const std::array<std::uint32_t, kNP> noP{};
                const double apart = blockBits(cFreq, noC) + blockBits(pFreq, noP) +
                                     blockBits(segmentC, noC) + blockBits(segmentP, noP);
                const double together = blockBits(cFreq, segmentC) + blockBits(pFreq, segmentP);
                split = apart < together;
            }
            if (split) sendBlock();
        }
        for (int i = 0; i < kNC; ++i) cFreq[i] += segmentC[i];
        for (int i = 0; i < kNP; ++i) pFreq[i] += segmentP[i];
        segmentC.fill(0);
        segmentP.fill(0);
        blockSymbols += segment;
    }

    // Codes buf[pos..end); with `flushing` false, stops where a full lookahead is missing.
    void compress(bool flushing) {
        for (;;) {
            const int available = end - pos;
            if (available <= 0 || (!flushing && available < kLookahead)) return;

            int length = kMinMatch - 1;
            int distance = 0;
            if (available >= kMinMatch) {
                const std::uint32_t candidate = insert(pos);
                if (prevLength < kMaxLazy) {
                    // Only a longer match than the pending one can change the choice.
                    length = longestMatch(candidate, std::max(prevLength, kMinMatch - 1), distance);
                    if (length == kMinMatch && distance > kTooFar) length = kMinMatch - 1;
                }
            }

            if (prevLength >= kMinMatch && length <= prevLength) {
                // The match from pos - 1 wins; index the positions it covers.
                match(prevLength, prevDistance);
                const int stop = pos - 1 + prevLength;
                for (int at = pos + 1; at < stop; ++at)
                    if (end - at >= kMinMatch) insert(at);
                pos = stop;
                matchAvailable = false;
                prevLength = kMinMatch - 1;
            } else {
                if (matchAvailable) literal(buf[pos - 1]);
                matchAvailable = true;
                prevLength = length;
                prevDistance = distance;
                ++pos;
            }
            if (failed) return;
        }
    }

    // Moves the last window's worth of input to the front of the buffer.
    void slide() {
        const int keep = std::max(0, pos - kDictSize - 1);
        if (keep == 0) return;
        std::memmove(buf.data(), buf.data() + keep, static_cast<std::size_t>(end - keep));
        base += static_cast<std::uint32_t>(keep);
        pos -= keep;
        end -= keep;
    }

    // Codes the block: symbols[0, blockSymbols) with the frequencies in cFreq and pFreq.
    void sendBlock() {
        if (blockSymbols == 0) return;
        std::array<std::uint8_t, kNC> cLen;
        std::array<std::uint16_t, kNC> cCode{};
        std::array<std::uint8_t, kNP> pLen;
        std::array<std::uint16_t, kNP> pCode{};

        bits.put(16, static_cast<std::uint32_t>(blockSymbols));

        const int cUsed = buildLengths(cFreq.data(), kNC, cLen.data());
        if (cUsed >= 2) {
            makeCodes(cLen.data(), kNC, cCode.data());
            writeCodeLengths(cLen.data());
        } else {
            const int only = static_cast<int>(
                std::find_if(cFreq.begin(), cFreq.end(), [](auto f) { return f != 0; }) -
                cFreq.begin());
            bits.put(kTBit, 0);
            bits.put(kTBit, 0);
            bits.put(kCBit, 0);
            bits.put(kCBit, static_cast<std::uint32_t>(only));
        }

        const int pUsed = buildLengths(pFreq.data(), kNP, pLen.data());
        if (pUsed >= 2) {
            makeCodes(pLen.data(), kNP, pCode.data());
            writePtLengths(pLen.data(), kNP, kPBit, -1);
        } else {
            int only = 0;
            for (int i = 0; i < kNP; ++i)
                if (pFreq[i]) only = i;
            bits.put(kPBit, 0);
            bits.put(kPBit, static_cast<std::uint32_t>(only));
        }

        for (std::size_t i = 0; i < blockSymbols; ++i) {
            const int c = symbols[i];
            bits.put(cLen[c], cCode[c]);
            if (c >= 256) {
                const unsigned offset = offsets[i];
                const int pc = positionCode(offset);
                bits.put(pLen[pc], pCode[pc]);
                if (pc > 1) bits.put(pc - 1, offset);
            }
        }

        symbols.erase(symbols.begin(), symbols.begin() + static_cast<std::ptrdiff_t>(blockSymbols));
        offsets.erase(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(blockSymbols));
        blockSymbols = 0;
        cFreq.fill(0);
        pFreq.fill(0);
        drain(false);
    }

    // The code lengths of the literal/length tree, themselves Huffman coded, with runs of
    // unused symbols folded into codes 0..2.
    void writeCodeLengths(const std::uint8_t* cLen) {
        int n = kNC;
        while (n > 0 && cLen[n - 1] == 0) --n;

        std::array<std::uint32_t, kNT> tFreq{};
        forEachLengthRun(cLen, n, [&](int code, int) { ++tFreq[code]; });

        std::array<std::uint8_t, kNT> tLen;
        std::array<std::uint16_t, kNT> tCode{};
        const int tUsed = buildLengths(tFreq.data(), kNT, tLen.data());
        if (tUsed >= 2) {
            makeCodes(tLen.data(), kNT, tCode.data());
            writePtLengths(tLen.data(), kNT, kTBit, 3);
        } else {
            int only = 0;
            for (int i = 0; i < kNT; ++i)
                if (tFreq[i]) only = i;
            bits.put(kTBit, 0);
            bits.put(kTBit, static_cast<std::uint32_t>(only));
        }

        bits.put(kCBit, static_cast<std::uint32_t>(n));
        forEachLengthRun(cLen, n, [&](int code, int extra) {
            bits.put(tLen[code], tCode[code]);
            if (code == 1) bits.put(4, static_cast<std::uint32_t>(extra));
            if (code == 2) bits.put(kCBit, static_cast<std::uint32_t>(extra));
        });
    }

    // Calls emit(code, extra) for each code of the code-length alphabet: 0 one unused
    // symbol, 1 3..18 unused (extra = count - 3), 2 20 or more (extra = count - 20),
    // k + 2 a length of k.
    template <typename Emit>
    static void forEachLengthRun(const std::uint8_t* cLen, int n, Emit emit) {
        int i = 0;
        while (i < n) {
            const int k = cLen[i++];
            if (k != 0) {
                emit(k + 2, 0);
                continue;
            }
            int count = 1;
            while (i < n && cLen[i] == 0) {
                ++i;
                ++count;
            }
            if (count <= 2) {
                for (int j = 0; j < count; ++j) emit(0, 0);
            } else if (count <= 18) {
                emit(1, count - 3);
            } else if (count == 19) {
                emit(0, 0);
                emit(1, 15);
            } else {
                emit(2, count - 20);
            }
        }
    }

    // Lengths of the small trees: 3 bits up to 6, longer ones as 7 plus a unary tail. After
    // the `special`-th length a 2-bit count skips up to three zero lengths.
    void writePtLengths(const std::uint8_t* len, int n, int countBits, int special) {
        while (n > 0 && len[n - 1] == 0) --n;
        bits.put(countBits, static_cast<std::uint32_t>(n));
        int i = 0;
        while (i < n) {
            const int k = len[i++];
            if (k <= 6)
                bits.put(3, static_cast<std::uint32_t>(k));
            else
                bits.put(k - 3, 0xFFFEu);
            if (i == special) {
                int skip = 0;
                while (i < 6 && i < n && len[i] == 0) {
                    ++i;
                    ++skip;
                }
                bits.put(2, static_cast<std::uint32_t>(skip));
            }
        }
    }

    void drain(bool all) {
        if (out.empty() || (!all && out.size() < (1 << 15))) return;
        if (!failed && !sink(out.data(), out.size())) failed = true;
        packed += out.size();
        out.clear();
    }
};

Lh5Encoder::Lh5Encoder(Sink sink) : d(std::make_unique<Impl>(std::move(sink))) {}
Lh5Encoder::~Lh5Encoder() = default;

bool Lh5Encoder::write(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0 && !d->failed) {
        if (d->end == kBufSize) d->slide();
        const std::size_t room = static_cast<std::size_t>(kBufSize - d->end);
        const std::size_t take = std::min(room, size);
        std::memcpy(d->buf.data() + d->end, p, take);
        d->end += static_cast<int>(take);
        p += take;
        size -= take;
        d->compress(false);
    }
    return !d->failed;
}

bool Lh5Encoder::finish() {
    d->compress(true);
    if (d->matchAvailable) {
        d->literal(d->buf[d->pos - 1]);
        d->matchAvailable = false;
    }
    d->endSegment();
    d->sendBlock();
    d->bits.flush();
    d->drain(true);
    return !d->failed;
}

std::uint64_t Lh5Encoder::packedSize() const {
    return d->packed + d->out.size();
}

std::vector<std::uint8_t> compressLh5(const void* data, std::size_t size) {
    std::vector<std::uint8_t> result;
    Lh5Encoder encoder([&](const std::uint8_t* p, std::size_t n) {
        result.insert(result.end(), p, p + n);
        return true;
    });
    encoder.write(data, size);
    encoder.finish();
    return result;
}

}  // namespace lzh
