#include "platform/lzh/Archives.h"

#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/lzh/FileIo.h"

namespace archives {

Format detectFormat(const QString& path) {
    const int fd = ::open(lzh::nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Format::Unknown;
    unsigned char head[16] = {};
    ssize_t n;
    do {
        n = ::read(fd, head, sizeof head);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return Format::Zip;
    if (n >= 4 && std::memcmp(head, "MSCF", 4) == 0) return Format::Cab;
    if (n == 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return Format::SQLite;
    // An LZH header starts with its size and checksum, then the method "-lh5-".
    if (n >= 7 && head[2] == '-' && head[3] == 'l' && (head[4] == 'h' || head[4] == 'z') &&
        head[6] == '-')
        return Format::Lzh;
    return Format::Unknown;
}

unsigned long fileCrc32(const QString& path, int& error, long long* size) {
    error = 0;
    const int fd = ::open(lzh::nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return 0;
    }
    std::vector<unsigned char> buffer(1 << 18);
    uLong crc = crc32(0L, Z_NULL, 0);
    long long total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0) break;
        crc = crc32(crc, buffer.data(), static_cast<uInt>(n));
        total += n;
    }
    ::close(fd);
    if (size) *size = total;
    return crc;
}

}  // namespace archives
