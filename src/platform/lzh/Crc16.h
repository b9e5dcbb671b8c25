#pragma once

#include <cstddef>
#include <cstdint>

namespace lzh {

// The CRC-16 of LZH archives (polynomial 0xA001, reflected, starting at 0), for member data
// and for level-2 header CRCs.
std::uint16_t crc16(std::uint16_t crc, const void* data, std::size_t size);

}  // namespace lzh
