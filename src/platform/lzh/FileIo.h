#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzh {

// A work file beside its target. It is removed on destruction unless it was renamed into
// place with commit(), so a failed operation never leaves half a file under the target name.
// Every function returns 0 or an errno value.
class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Makes ".NAME.XXXXXX" in `folder`, with the given permission bits.
    int create(const QString& folder, const QString& name, unsigned mode);
    QString path() const { return path_; }
    std::uint64_t position() const { return position_; }

    int write(const void* data, std::size_t size);
    int writeAt(std::uint64_t offset, const void* data, std::size_t size);
    int truncate(std::uint64_t size);
    int setModificationTime(std::int64_t unixTime);
    // Flushes, syncs to disk and closes; the file stays until commit() or destruction.
    int close();
    int commit(const QString& target);

private:
    int flush();

    int fd_ = -1;
    QString path_;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> buffer_;
};

// The bytes of a path for the system calls.
QByteArray nativePath(const QString& path);

// The permission bits a newly created file gets (0666 less the umask).
unsigned defaultFileMode();

// Flushes a file written by someone else (a library) to the disk; 0 or an errno value.
int syncPath(const QString& path);

}  // namespace lzh
