#include "platform/lzh/Writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/lzh/Crc16.h"
#include "platform/lzh/Errors.h"
#include "platform/lzh/Lh5Encoder.h"

namespace lzh {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr char kOsId = 'w';  // names are cp932, as Windows archivers expect

void put16(QByteArray& b, unsigned v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

class InputFile {
public:
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    int open(const QString& path) {
        fd_ = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return errno;
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return errno;
        if (!S_ISREG(st.st_mode)) return EISDIR;
        size_ = static_cast<std::uint64_t>(st.st_size);
        modified_ = st.st_mtim.tv_sec;
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
        return 0;
    }
    // Bytes read, 0 at the end, -1 on error.
    ssize_t read(std::uint8_t* buffer, std::size_t size) {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0 || errno != EINTR) return n;
        }
    }
    int rewind() { return ::lseek(fd_, 0, SEEK_SET) < 0 ? errno : 0; }
    std::uint64_t size() const { return size_; }
    std::int64_t modified() const { return modified_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::int64_t modified_ = 0;
};

// Reads the file from where it stands to its end through take(data, size), which returns 0
// to go on, -1 to stop early or a result code; keeps the CRC and length of what was read.
template <typename Take>
int readThrough(InputFile& in, std::vector<std::uint8_t>& buffer, std::uint16_t& crc,
                std::uint64_t& total, Take take) {
    crc = 0;
    total = 0;
    for (;;) {
        const ssize_t n = in.read(buffer.data(), buffer.size());
        if (n < 0) return ErrorCannotRead;
        if (n == 0) return Ok;
        crc = crc16(crc, buffer.data(), static_cast<std::size_t>(n));
        total += static_cast<std::uint64_t>(n);
        // Level-2 sizes are 32 bits.
        if (total >= 0xFFFFFFFFull) return ErrorFileOpen;
        if (const int rc = take(buffer.data(), static_cast<std::size_t>(n)))
            return rc < 0 ? Ok : rc;
    }
}

}  // namespace

QByteArray level2Header(const QByteArray& method, std::uint64_t packedSize,
                        std::uint64_t originalSize, std::int64_t modified, std::uint16_t crc,
                        const QByteArray& name) {
    QByteArray h;
    put16(h, 0);  // total length, below
    h.append(method.left(5));
    put32(h, static_cast<std::uint32_t>(packedSize));
    put32(h, static_cast<std::uint32_t>(originalSize));
    put32(h, static_cast<std::uint32_t>(modified));
    h.append(char(0x20));  // attribute: archive
    h.append(char(2));     // header level
    put16(h, crc);
    h.append(kOsId);
    put16(h, 5);  // common header: its CRC, below
    h.append(char(0x00));
    const int crcAt = static_cast<int>(h.size());
    put16(h, 0);
    put16(h, static_cast<unsigned>(3 + name.size()));
    h.append(char(0x01));
    h.append(name);
    put16(h, 0);
    // A header whose length ends in a zero byte would read as the end of the archive.
    if ((h.size() & 0xFF) == 0) h.append(char(0));
    h[0] = char(h.size() & 0xFF);
    h[1] = char((h.size() >> 8) & 0xFF);
    const std::uint16_t headerCrc = crc16(0, h.constData(), static_cast<std::size_t>(h.size()));
    h[crcAt] = char(headerCrc & 0xFF);
    h[crcAt + 1] = char(headerCrc >> 8);
    return h;
}

int Writer::write(const void* data, std::size_t size) {
    const int error = out_.write(data, size);
    return error ? resultFromErrno(error, ErrorCannotWrite) : Ok;
}

int Writer::copy(Source& from, const Entry& entry) {
    std::vector<std::uint8_t> buffer(kChunk);
    std::uint64_t at = entry.headerOffset;
    while (at < entry.endOffset()) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entry.endOffset() - at));
        if (from.readAt(at, buffer.data(), n) != static_cast<std::int64_t>(n))
            return ErrorCannotRead;
        if (const int rc = write(buffer.data(), n)) return rc;
        at += n;
    }
    return Ok;
}

int Writer::add(const QString& path, const QByteArray& storedName) {
    if (storedName.isEmpty() || storedName.size() > 60000) return ErrorLongFileName;
    InputFile in;
    if (const int error = in.open(path)) return error == ENOENT ? ErrorNotFindFile : ErrorFileOpen;
    // Level-2 sizes are 32 bits.
    if (in.size() >= 0xFFFFFFFFull) return ErrorFileOpen;

    const std::uint64_t headerOffset = out_.position();
    const QByteArray placeholder = level2Header("-lh5-", 0, 0, 0, 0, storedName);
    if (const int rc = write(placeholder.constData(), static_cast<std::size_t>(placeholder.size())))
        return rc;
    const std::uint64_t dataOffset = out_.position();

    // Packed data that grows past the original is not worth keeping: stop and store instead.
    int writeError = 0;
    bool tooBig = false;
    Lh5Encoder encoder([&](const std::uint8_t* p, std::size_t n) {
        if (out_.position() + n - dataOffset >= std::max<std::uint64_t>(in.size(), 1)) {
            tooBig = true;
            return false;
        }
        writeError = out_.write(p, n);
        return writeError == 0;
    });

    std::vector<std::uint8_t> buffer(kChunk);
    std::uint16_t crc = 0;
    std::uint64_t total = 0;
    if (const int rc = readThrough(
            in, buffer, crc, total,
            [&](const std::uint8_t* p, std::size_t n) { return encoder.write(p, n) ? 0 : -1; }))
        return rc;
    if (!tooBig && !writeError) encoder.finish();
    if (writeError) return resultFromErrno(writeError, ErrorCannotWrite);

    QByteArray method = "-lh5-";
    if (tooBig || out_.position() - dataOffset >= total) {
        method = "-lh0-";
        if (const int error = out_.truncate(dataOffset))
            return resultFromErrno(error, ErrorCannotWrite);
        if (in.rewind() != 0) return ErrorCannotRead;
        if (const int rc =
                readThrough(in, buffer, crc, total,
                            [&](const std::uint8_t* p, std::size_t n) { return write(p, n); }))
            return rc;
    }

    const QByteArray header =
        level2Header(method, out_.position() - dataOffset, total, in.modified(), crc, storedName);
    const int error =
        out_.writeAt(headerOffset, header.constData(), static_cast<std::size_t>(header.size()));
    return error ? resultFromErrno(error, ErrorCannotWrite) : Ok;
}

int Writer::finish() {
    const char end = 0;
    return write(&end, 1);
}

}  // namespace lzh
