#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lzh {

// Compresses a stream with the -lh5- method: LZSS over an 8 KB window (hash chains, one step
// of lazy matching) and the format's block-wise static Huffman coding. Streams stay below
// 4 GB, as the sizes in LZH headers do.
class Lh5Encoder {
public:
    // Receives the compressed bytes; returning false stops the encoder.
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

    explicit Lh5Encoder(Sink sink);
    ~Lh5Encoder();
    Lh5Encoder(const Lh5Encoder&) = delete;
    Lh5Encoder& operator=(const Lh5Encoder&) = delete;

    // False once the sink has refused data.
    bool write(const void* data, std::size_t size);
    bool finish();
    std::uint64_t packedSize() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Whole-buffer convenience for tests and small payloads.
std::vector<std::uint8_t> compressLh5(const void* data, std::size_t size);

}  // namespace lzh
