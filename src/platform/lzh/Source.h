#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzh {

// Random-access bytes of an archive: a file or a buffer in memory (for tests and fuzzing).
class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t size() const = 0;
    // Bytes read into `buffer` (fewer only at the end), or -1 with errno set.
    virtual std::int64_t readAt(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

class MemorySource final : public Source {
public:
    MemorySource(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::int64_t readAt(std::uint64_t offset, void* buffer, std::size_t length) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class FileSource final : public Source {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // 0 or the errno of the failed open.
    int open(const QString& path);
    std::uint64_t size() const override { return size_; }
    std::int64_t readAt(std::uint64_t offset, void* buffer, std::size_t length) override;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    // liblhasa asks for a few bytes at a time; one system call per request would cost more
    // than the decoding.
    std::vector<std::uint8_t> cache_;
    std::uint64_t cacheOffset_ = 0;
};

}  // namespace lzh
