#include <gtest/gtest.h>
#include <lhasa.h>

#include <QByteArray>
#include <cstring>
#include <vector>

#include "Support.h"
#include "platform/lzh/Crc16.h"
#include "platform/lzh/Huffman.h"
#include "platform/lzh/Lh5Encoder.h"

using namespace lzh_test;

namespace {

// Decodes -lh5- data with liblhasa, the decoder the archives are read with.
QByteArray decodeLh5(const std::vector<std::uint8_t>& packed, std::size_t length) {
    struct Input {
        const std::vector<std::uint8_t>* data;
        std::size_t at = 0;
    } input{&packed};
    auto callback = [](void* buf, std::size_t size, void* user) -> std::size_t {
        auto* in = static_cast<Input*>(user);
        const std::size_t n = std::min(size, in->data->size() - in->at);
        std::memcpy(buf, in->data->data() + in->at, n);
        in->at += n;
        return n;
    };
    char name[] = "-lh5-";
    LHADecoder* decoder = lha_decoder_new(lha_decoder_for_name(name), callback, &input, length);
    QByteArray out;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
        const std::size_t n = lha_decoder_read(decoder, buffer.data(), buffer.size());
        if (n == 0) break;
        out.append(reinterpret_cast<const char*>(buffer.data()), qsizetype(n));
    }
    lha_decoder_free(decoder);
    return out;
}

std::vector<std::uint8_t> compress(const QByteArray& data) {
    return lzh::compressLh5(data.constData(), std::size_t(data.size()));
}

// Every byte value, each used by itself once (no matches), with unused values in between
// so that the code-length runs of 1, 2, 3..18, 19 and 20+ zeros all occur.
QByteArray literalsWithGaps() {
    QByteArray out;
    const int used[] = {0, 2, 5, 9, 29, 50, 70, 71, 72, 100, 160, 255};
    for (int round = 0; round < 400; ++round)
        for (int i = 0; i < 12; ++i) out += char(used[(i * 7 + round) % 12]);
    return out;
}

}  // namespace

TEST(Crc16, MatchesTheArchiveCrc) {
    EXPECT_EQ(lzh::crc16(0, "123456789", 9), 0xBB3D);
    // The eight-byte steps agree with going byte by byte.
    const QByteArray data = randomBytes(7, 1001);
    std::uint16_t bytewise = 0;
    for (char c : data) bytewise = lzh::crc16(bytewise, &c, 1);
    EXPECT_EQ(lzh::crc16(0, data.constData(), std::size_t(data.size())), bytewise);
}

TEST(Huffman, LimitsCodesTo16BitsAndFillsTheCodeSpace) {
    // Fibonacci frequencies make an unlimited Huffman tree 24 levels deep.
    std::uint32_t freq[26];
    freq[0] = freq[1] = 1;
    for (int i = 2; i < 26; ++i) freq[i] = freq[i - 1] + freq[i - 2];
    std::uint8_t len[26];
    ASSERT_EQ(lzh::buildLengths(freq, 26, len), 26);
    std::uint64_t kraft = 0;
    for (int i = 0; i < 26; ++i) {
        EXPECT_GE(len[i], 1);
        EXPECT_LE(len[i], lzh::kMaxCodeBits);
        kraft += 1ull << (lzh::kMaxCodeBits - len[i]);
    }
    EXPECT_EQ(kraft, 1ull << lzh::kMaxCodeBits);
    EXPECT_LE(len[25], len[0]);  // the commonest symbol has the shortest code

    std::uint16_t code[26];
    lzh::makeCodes(len, 26, code);
    for (int a = 0; a < 26; ++a)
        for (int b = 0; b < 26; ++b) {
            if (a == b || len[a] > len[b]) continue;
            EXPECT_NE(code[a], code[b] >> (len[b] - len[a])) << "code " << a << " prefixes " << b;
        }
}

TEST(Huffman, OneOrNoSymbolLeavesTheSingleForm) {
    std::uint32_t freq[4] = {0, 9, 0, 0};
    std::uint8_t len[4];
    EXPECT_EQ(lzh::buildLengths(freq, 4, len), 1);
    EXPECT_EQ(len[1], 0);
}

TEST(Lh5Encoder, RoundTripsThroughLiblhasa) {
    QByteArray window = randomBytes(3, 8192);
    QByteArray pastWindow = randomBytes(4, 8193);
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"one byte", "K"},
        {"one byte value repeated", QByteArray(100000, 'a')},
        {"two literals only", "ab"},
        {"random, no matches", randomBytes(1, 200000)},
        {"matches exactly 8192 back", window + window + window},
        {"repeats just beyond the window", pastWindow + pastWindow},
        {"code-length runs", literalsWithGaps()},
        {"database-like", databaseLike(5, 700000)},
        {"repetitive", repetitive(1 << 20)},
    };
    for (const auto& c : cases) {
        const auto packed = compress(c.data);
        EXPECT_EQ(decodeLh5(packed, std::size_t(c.data.size())), c.data) << c.name;
    }
}

TEST(Lh5Encoder, CompressesWhatRepeats) {
    EXPECT_LT(compress(repetitive(1 << 20)).size(), 8000u);
    EXPECT_LT(compress(databaseLike(5, 300000)).size(), 300000u * 6 / 10);
}

TEST(Lh5Encoder, OutputDoesNotDependOnHowTheInputIsFed) {
    const QByteArray data = databaseLike(9, 600000);  // more than the input buffer holds
    const auto whole = compress(data);
    for (int chunk : {1, 7, 4093, 300000}) {
        std::vector<std::uint8_t> out;
        lzh::Lh5Encoder encoder([&](const std::uint8_t* p, std::size_t n) {
            out.insert(out.end(), p, p + n);
            return true;
        });
        for (qsizetype at = 0; at < data.size(); at += chunk)
            ASSERT_TRUE(encoder.write(data.constData() + at,
                                      std::size_t(std::min<qsizetype>(chunk, data.size() - at))));
        ASSERT_TRUE(encoder.finish());
        EXPECT_EQ(out, whole) << "chunk " << chunk;
        EXPECT_EQ(encoder.packedSize(), whole.size());
    }
}

TEST(Lh5Encoder, StopsWhenTheSinkRefuses) {
    const QByteArray data = randomBytes(2, 300000);
    int calls = 0;
    lzh::Lh5Encoder encoder([&](const std::uint8_t*, std::size_t) {
        ++calls;
        return false;
    });
    EXPECT_FALSE(encoder.write(data.constData(), std::size_t(data.size())) && encoder.finish());
    EXPECT_EQ(calls, 1);
}
