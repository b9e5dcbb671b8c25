#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "platform/lzh/FileIo.h"
#include "platform/lzh/Reader.h"

namespace lzh {

// The level-2 header of one member: sizes, Unix time, the data's CRC-16, the name, and the
// header's own CRC. Its length depends on the name only, so it can be written first and
// filled in once the data is known.
QByteArray level2Header(const QByteArray& method, std::uint64_t packedSize,
                        std::uint64_t originalSize, std::int64_t modified, std::uint16_t crc,
                        const QByteArray& name);

// Appends to an archive being built in `out`. Functions return 0 or a code of Errors.h.
class Writer {
public:
    explicit Writer(TempFile& out) : out_(out) {}

    // A member of another archive, byte for byte.
    int copy(Source& from, const Entry& entry);
    // The file at `path` as -lh5-, or as -lh0- when packing does not make it smaller.
    int add(const QString& path, const QByteArray& storedName);
    // The end-of-archive byte.
    int finish();

private:
    int write(const void* data, std::size_t size);

    TempFile& out_;
};

}  // namespace lzh
