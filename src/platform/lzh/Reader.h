#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/lzh/Source.h"

namespace lzh {

struct Entry {
    QByteArray folder;    // stored folder, '/'-separated with a trailing '/', or empty
    QByteArray fileName;  // stored name bytes (cp932 in archives from Japanese systems)
    QByteArray method;    // "-lh5-" and so on
    std::uint64_t packedSize = 0;
    std::uint64_t originalSize = 0;
    std::uint16_t crc = 0;
    std::int64_t modified = 0;  // Unix time, 0 when unknown
    int headerLevel = 0;
    std::uint64_t headerOffset = 0;
    std::uint64_t dataOffset = 0;

    bool isDirectory() const { return method == "-lhd-"; }
    std::uint64_t endOffset() const { return dataOffset + packedSize; }
    // Folder and name decoded from cp932, '/'-separated.
    QString name() const;
    QString baseName() const;
};

// Walks an archive through liblhasa, adding what it leaves unsaid: where a header fails
// (liblhasa takes a bad header for the end of the archive), whether data reaches past the
// end of the file, and whether a stored path climbs out of its folder. Every function
// returns 0 or a code of Errors.h.
class Reader {
public:
    // Receives decoded data; returns 0 to go on or a result code to stop with.
    using Sink = std::function<int(const std::uint8_t* data, std::size_t size)>;

    explicit Reader(Source& source);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The next member's header; `atEnd` is set instead at the end of the archive.
    int next(Entry& entry, bool& atEnd);
    // Decodes the member last returned by next() and checks its length and CRC.
    int read(const Sink& sink);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Calls visit(entry) for each member in turn; stops at the first code that the reader or
// visit returns.
template <typename Visit>
int forEachEntry(Reader& reader, Visit visit) {
    for (;;) {
        Entry entry;
        bool atEnd = false;
        if (const int rc = reader.next(entry, atEnd)) return rc;
        if (atEnd) return 0;
        if (const int rc = visit(entry)) return rc;
    }
}

// Every header of the archive, checked; an archive without members is not an archive.
int scanArchive(Source& source, std::vector<Entry>& entries);
// scanArchive, then every member decoded and checked against its CRC.
int testArchive(Source& source);
// Whether liblhasa can decode this method.
bool isMethodSupported(const QByteArray& method);

}  // namespace lzh
