#include "platform/lzh/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/lzh/Errors.h"
#include "platform/lzh/Source.h"

namespace lzh {

namespace {

constexpr std::size_t kWriteBuffer = 1 << 20;

int writeFully(int fd, const std::uint8_t* p, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

unsigned defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

int syncPath(const QString& path) {
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return error;
}

int resultFromErrno(int error, int fallback) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return ErrorDiskSpace;
        case EACCES:
        case EPERM:
            return ErrorSharing;
        case EROFS:
            return ErrorArcReadOnly;
        case ENAMETOOLONG:
            return ErrorLongFileName;
        case ENOMEM:
            return ErrorEnoughMemory;
        default:
            return fallback;
    }
}

std::int64_t MemorySource::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    if (offset >= size_) return 0;
    const std::size_t n = std::min<std::uint64_t>(length, size_ - offset);
    std::memcpy(buffer, data_ + offset, n);
    return static_cast<std::int64_t>(n);
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

int FileSource::open(const QString& path) {
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return error ? error : EINVAL;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return 0;
}

namespace {

std::int64_t preadFully(int fd, std::uint8_t* p, std::size_t length, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, p + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

constexpr std::size_t kReadCache = 1 << 18;

}  // namespace

std::int64_t FileSource::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    auto* p = static_cast<std::uint8_t*>(buffer);
    if (length >= kReadCache) return preadFully(fd_, p, length, offset);
    if (offset < cacheOffset_ || offset + length > cacheOffset_ + cache_.size()) {
        cache_.resize(kReadCache);
        const std::int64_t n = preadFully(fd_, cache_.data(), kReadCache, offset);
        if (n < 0) {
            cache_.clear();
            return -1;
        }
        cache_.resize(static_cast<std::size_t>(n));
        cacheOffset_ = offset;
    }
    const std::size_t available =
        offset >= cacheOffset_ + cache_.size()
            ? 0
            : static_cast<std::size_t>(cacheOffset_ + cache_.size() - offset);
    const std::size_t n = std::min(length, available);
    if (n) std::memcpy(p, cache_.data() + (offset - cacheOffset_), n);
    return static_cast<std::int64_t>(n);
}

TempFile::~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.isEmpty()) ::unlink(nativePath(path_).constData());
}

int TempFile::create(const QString& folder, const QString& name, unsigned mode) {
    QByteArray pattern = nativePath((folder.isEmpty() ? QString() : folder + QLatin1Char('/')) +
                                    QLatin1Char('.') + name + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    fd_ = fd;
    path_ = QFile::decodeName(pattern);
    if (::fchmod(fd_, static_cast<mode_t>(mode)) != 0) return errno;
    buffer_.reserve(kWriteBuffer);
    return 0;
}

int TempFile::flush() {
    if (buffer_.empty()) return 0;
    const int error = writeFully(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    return error;
}

int TempFile::write(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    position_ += size;
    if (buffer_.size() + size > kWriteBuffer) {
        if (const int error = flush()) return error;
        if (size >= kWriteBuffer) return writeFully(fd_, p, size);
    }
    buffer_.insert(buffer_.end(), p, p + size);
    return 0;
}

int TempFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (const int error = flush()) return error;
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int TempFile::truncate(std::uint64_t size) {
    if (const int error = flush()) return error;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return errno;
    if (::lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) return errno;
    position_ = size;
    return 0;
}

int TempFile::setModificationTime(std::int64_t unixTime) {
    if (const int error = flush()) return error;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(unixTime), 0}};
    return ::futimens(fd_, times) == 0 ? 0 : errno;
}

int TempFile::close() {
    if (fd_ < 0) return 0;
    int error = flush();
    if (!error && ::fsync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && !error) error = errno;
    fd_ = -1;
    return error;
}

int TempFile::commit(const QString& target) {
    if (const int error = close()) return error;
    const QByteArray to = nativePath(target);
    if (::rename(nativePath(path_).constData(), to.constData()) != 0) return errno;
    path_.clear();
    // The rename itself must reach the disk too, or a crash could bring the old file back.
    const int slash = to.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : to.left(slash);
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

}  // namespace lzh
