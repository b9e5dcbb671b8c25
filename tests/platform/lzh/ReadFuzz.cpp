// libFuzzer target: arbitrary bytes as an archive, through every step of reading one.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/lzh/Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lzh::MemorySource source(data, size);
    lzh::Reader reader(source);
    for (int member = 0; member < 256; ++member) {
        lzh::Entry entry;
        bool atEnd = false;
        if (reader.next(entry, atEnd) != 0 || atEnd) break;
        (void)entry.name();
        // A few bytes may claim gigabytes; what they really unpack to is enough to check.
        std::uint64_t total = 0;
        reader.read([&](const std::uint8_t*, std::size_t n) {
            total += n;
            return total > (64u << 20) ? 1 : 0;
        });
    }
    std::vector<lzh::Entry> entries;
    lzh::scanArchive(source, entries);
    return 0;
}
