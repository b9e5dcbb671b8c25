#include "platform/lzh/Reader.h"

#include <lhasa.h>

#include <QStringDecoder>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/lzh/Crc16.h"
#include "platform/lzh/Errors.h"

namespace lzh {

namespace {

constexpr std::size_t kReadChunk = 1 << 16;

unsigned le16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}

// "??-lh?-" and the like: what the first header of an archive must start with.
bool looksLikeHeader(const std::uint8_t* p, std::size_t size) {
    return size >= 7 && p[2] == '-' && p[6] == '-' && p[3] >= 0x20 && p[4] >= 0x20 &&
           p[5] >= 0x20 && p[3] < 0x7F && p[4] < 0x7F && p[5] < 0x7F;
}

// True when one component of a stored path is "..". Separators: '/', '\\' and the 0xFF of
// directory extended headers.
bool climbsOut(const std::uint8_t* p, std::size_t size) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || p[i] == '/' || p[i] == '\\' || p[i] == 0xFF) {
            if (i - start == 2 && p[start] == '.' && p[start + 1] == '.') return true;
            start = i + 1;
        }
    }
    return false;
}

// Calls visit(type, data, size) for each extended header of the chain whose first size
// field is at raw[offset]. Returns the offset just past the chain's closing zero size, or 0
// when the chain runs past the bytes given.
template <typename Visit>
std::size_t forEachExtendedHeader(const std::uint8_t* raw, std::size_t rawSize, std::size_t offset,
                                  int sizeField, Visit visit) {
    while (offset + sizeField <= rawSize) {
        const std::size_t length =
            sizeField == 4 ? (le16(raw + offset) | (std::size_t(le16(raw + offset + 2)) << 16))
                           : le16(raw + offset);
        if (length == 0) return offset + sizeField;
        if (length < std::size_t(sizeField) + 1 || offset + length > rawSize) return 0;
        visit(raw[offset + sizeField], raw + offset + sizeField + 1, length - sizeField - 1);
        offset += length;
    }
    return 0;
}

bool storedPathClimbsOut(const LHAFileHeader* h) {
    const std::uint8_t* raw = h->raw_data;
    const std::size_t size = h->raw_data_len;
    bool bad = false;
    auto visit = [&](int type, const std::uint8_t* data, std::size_t length) {
        if (type == 0x01 || type == 0x02) bad = bad || climbsOut(data, length);
    };
    switch (h->header_level) {
        case 0:
        case 1:
            if (size < 22 || 22u + raw[21] > size) return true;
            if (climbsOut(raw + 22, raw[21])) return true;
            if (h->header_level == 1) forEachExtendedHeader(raw, size, raw[0], 2, visit);
            break;
        case 2:
            forEachExtendedHeader(raw, size, 24, 2, visit);
            break;
        default:
            forEachExtendedHeader(raw, size, 28, 4, visit);
            break;
    }
    return bad;
}

// Whether the header raw[0, size) carries a header CRC (extended header 0x00) that does not
// match it.
bool headerCrcWrong(const std::uint8_t* raw, std::size_t size, std::size_t chainStart) {
    bool wrong = false;
    forEachExtendedHeader(raw, size, chainStart, 2,
                          [&](int type, const std::uint8_t* data, std::size_t length) {
                              if (type != 0x00 || length < 2) return;
                              std::vector<std::uint8_t> copy(raw, raw + size);
                              const std::size_t at = static_cast<std::size_t>(data - raw);
                              copy[at] = copy[at + 1] = 0;
                              wrong = crc16(0, copy.data(), copy.size()) != le16(data);
                          });
    return wrong;
}

// liblhasa reports a broken header as the end of the archive. Look at the bytes again to tell
// a cut-off archive from a wrong checksum or CRC and from a header that makes no sense.
int classifyHeader(Source& source, std::uint64_t start) {
    const std::uint64_t available = source.size() - start;
    std::vector<std::uint8_t> b(
        static_cast<std::size_t>(std::min<std::uint64_t>(available, 1 << 20)));
    if (source.readAt(start, b.data(), b.size()) != static_cast<std::int64_t>(b.size()))
        return ErrorCannotRead;
    const bool toTheEnd = b.size() == available;
    if (b.size() < 22) return ErrorEof;
    const int level = b[20];
    if (level == 0 || level == 1) {
        const std::size_t length = b[0] + 2u;
        if (length > b.size()) return ErrorEof;
        unsigned sum = 0;
        for (std::size_t i = 2; i < length; ++i) sum += b[i];
        if ((sum & 0xFF) != b[1]) return ErrorHeaderCrc;
        if (level == 0) return ErrorHeaderBroken;
        // Level 1: the extended headers follow the base header.
        const std::size_t end =
            forEachExtendedHeader(b.data(), b.size(), length - 2, 2, [](int, auto, auto) {});
        if (end == 0) return toTheEnd ? ErrorEof : ErrorHeaderBroken;
        return headerCrcWrong(b.data(), end, length - 2) ? ErrorHeaderCrc : ErrorHeaderBroken;
    }
    if (level == 2) {
        const std::size_t length = le16(b.data());
        if (length > b.size()) return ErrorEof;
        if (length < 26) return ErrorHeaderBroken;
        return headerCrcWrong(b.data(), length, 24) ? ErrorHeaderCrc : ErrorHeaderBroken;
    }
    return ErrorHeaderBroken;
}

bool isStoredMethod(const QByteArray& method) {
    return method == "-lh0-" || method == "-lz4-" || method == "-pm0-";
}

}  // namespace

QString Entry::name() const {
    QStringDecoder decode("windows-31j");
    return decode(folder + fileName);
}

QString Entry::baseName() const {
    const QString full = name();
    return full.mid(full.lastIndexOf(QLatin1Char('/')) + 1);
}

bool isMethodSupported(const QByteArray& method) {
    if (method.size() != 5) return false;
    char name[6];
    std::memcpy(name, method.constData(), 5);
    name[5] = '\0';
    return lha_decoder_for_name(name) != nullptr;
}

struct Reader::Impl {
    Source& source;
    std::uint64_t cursor = 0;
    bool readFailed = false;
    LHAInputStreamType type{};
    LHAInputStream* stream = nullptr;
    LHAReader* reader = nullptr;

    bool started = false;
    int error = 0;
    std::uint64_t nextHeader = 0;
    bool haveCurrent = false;
    bool consumed = false;
    Entry current;

    explicit Impl(Source& s) : source(s) {
        type.read = [](void* handle, void* buf, std::size_t length) -> int {
            auto* self = static_cast<Impl*>(handle);
            const std::int64_t n = self->source.readAt(self->cursor, buf, length);
            if (n < 0) {
                self->readFailed = true;
                return -1;
            }
            self->cursor += static_cast<std::uint64_t>(n);
            return static_cast<int>(n);
        };
        // Without a skip function liblhasa skips by reading, and loops for ever at the end of
        // the file; this one refuses to go past the end instead.
        type.skip = [](void* handle, std::size_t bytes) -> int {
            auto* self = static_cast<Impl*>(handle);
            if (bytes > self->source.size() - self->cursor) {
                self->cursor = self->source.size();
                return 0;
            }
            self->cursor += bytes;
            return 1;
        };
        type.close = nullptr;
        stream = lha_input_stream_new(&type, this);
        if (stream) reader = lha_reader_new(stream);
        if (reader) lha_reader_set_dir_policy(reader, LHA_READER_DIR_PLAIN);
    }

    ~Impl() {
        if (reader) lha_reader_free(reader);
        if (stream) lha_input_stream_free(stream);
    }

    int fail(int code) {
        error = code;
        haveCurrent = false;
        return code;
    }
};

Reader::Reader(Source& source) : d(std::make_unique<Impl>(source)) {}
Reader::~Reader() = default;

int Reader::next(Entry& entry, bool& atEnd) {
    atEnd = false;
    if (d->error) return d->error;
    if (!d->reader) return d->fail(ErrorEnoughMemory);
    const std::uint64_t size = d->source.size();

    if (!d->started) {
        d->started = true;
        std::array<std::uint8_t, 22> head{};
        const std::int64_t n = d->source.readAt(0, head.data(), head.size());
        if (n < 0) return d->fail(ErrorCannotRead);
        if (n == 0 || head[0] == 0) {
            atEnd = true;
            return Ok;
        }
        // liblhasa would search the first 64 KB for something like a header; an archive
        // here starts with one.
        if (!looksLikeHeader(head.data(), static_cast<std::size_t>(n)))
            return d->fail(ErrorFileStyle);
    }

    const std::uint64_t start = d->nextHeader;
    std::uint8_t first = 0;
    if (start >= size || (d->source.readAt(start, &first, 1) == 1 && first == 0)) {
        d->haveCurrent = false;
        atEnd = true;
        return Ok;
    }

    const LHAFileHeader* h = lha_reader_next_file(d->reader);
    if (d->readFailed) return d->fail(ErrorCannotRead);
    if (!h) return d->fail(classifyHeader(d->source, start));

    const std::uint64_t dataOffset = start + h->raw_data_len;
    if (d->cursor != dataOffset) return d->fail(ErrorHeaderBroken);
    if (h->compressed_length > size - dataOffset) return d->fail(ErrorEof);
    if (storedPathClimbsOut(h)) return d->fail(ErrorHeaderBroken);

    Entry e;
    if (h->path) e.folder = QByteArray(h->path);
    if (h->filename) e.fileName = QByteArray(h->filename);
    e.method = QByteArray(h->compress_method, 5);
    e.packedSize = h->compressed_length;
    e.originalSize = h->length;
    e.crc = h->crc;
    e.modified = h->timestamp;
    e.headerLevel = h->header_level;
    e.headerOffset = start;
    e.dataOffset = dataOffset;
    if (!e.isDirectory()) {
        const QByteArray base = e.fileName.mid(e.fileName.lastIndexOf('/') + 1);
        if (base.isEmpty() || base == "." || base == "..") return d->fail(ErrorHeaderBroken);
    }

    d->nextHeader = e.endOffset();
    d->current = e;
    d->haveCurrent = true;
    d->consumed = false;
    entry = e;
    return Ok;
}

int Reader::read(const Sink& sink) {
    if (d->error) return d->error;
    if (!d->haveCurrent || d->consumed) return ErrorHeaderBroken;
    d->consumed = true;
    const Entry& e = d->current;
    if (e.isDirectory()) return Ok;
    if (!isMethodSupported(e.method)) return ErrorHeaderBroken;

    // The decoder reads the member's data straight from the source; liblhasa's reader only
    // walks the headers and skips over what was read here. The decoders ask for one to four
    // bytes at a time, so they are served from a buffer of our own.
    struct Input {
        Source* source;
        std::uint64_t at;  // next byte of the source to buffer
        std::uint64_t end;
        std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kReadChunk);
        std::size_t pos = 0;
        std::size_t filled = 0;
        bool failed = false;
    } input{&d->source, e.dataOffset, e.endOffset()};
    auto feed = [](void* buf, std::size_t length, void* user) -> std::size_t {
        auto* in = static_cast<Input*>(user);
        auto* out = static_cast<std::uint8_t*>(buf);
        std::size_t done = 0;
        while (done < length) {
            if (in->pos == in->filled) {
                const std::size_t want = static_cast<std::size_t>(
                    std::min<std::uint64_t>(in->buffer.size(), in->end - in->at));
                const std::int64_t got =
                    want ? in->source->readAt(in->at, in->buffer.data(), want) : 0;
                if (got < 0) in->failed = true;
                if (got <= 0) break;
                in->at += static_cast<std::uint64_t>(got);
                in->pos = 0;
                in->filled = static_cast<std::size_t>(got);
            }
            const std::size_t n = std::min(length - done, in->filled - in->pos);
            std::memcpy(out + done, in->buffer.data() + in->pos, n);
            in->pos += n;
            done += n;
        }
        return done;
    };
    char name[6];
    std::memcpy(name, e.method.constData(), 5);
    name[5] = '\0';
    LHADecoder* decoder = lha_decoder_new(lha_decoder_for_name(name), feed, &input,
                                          static_cast<std::size_t>(e.originalSize));
    if (!decoder) return ErrorEnoughMemory;
    std::unique_ptr<LHADecoder, void (*)(LHADecoder*)> owner(decoder, lha_decoder_free);

    std::vector<std::uint8_t> buffer(kReadChunk);
    for (;;) {
        const std::size_t n = lha_decoder_read(decoder, buffer.data(), buffer.size());
        if (n == 0) break;
        if (sink) {
            if (const int rc = sink(buffer.data(), n)) return rc;
        }
    }
    if (input.failed) return ErrorCannotRead;
    if (lha_decoder_get_length(decoder) != e.originalSize)
        return isStoredMethod(e.method) ? ErrorFileCrc : ErrorHuffmanCode;
    if (lha_decoder_get_crc(decoder) != e.crc) return ErrorFileCrc;
    return Ok;
}

int scanArchive(Source& source, std::vector<Entry>& entries) {
    entries.clear();
    Reader reader(source);
    if (const int rc = forEachEntry(reader, [&](const Entry& entry) {
            entries.push_back(entry);
            return Ok;
        }))
        return rc;
    return entries.empty() ? ErrorFileStyle : Ok;
}

int testArchive(Source& source) {
    Reader reader(source);
    int members = 0;
    if (const int rc = forEachEntry(reader, [&](const Entry&) {
            ++members;
            return reader.read(nullptr);
        }))
        return rc;
    return members ? Ok : ErrorFileStyle;
}

}  // namespace lzh
