// ZIP archives through libzip: one member, Deflate.
#include <zip.h>

#include <QFileInfo>

#include <sys/stat.h>
#include <zlib.h>
#include <cerrno>
#include <memory>
#include <vector>

#include "platform/lzh/Archives.h"
#include "platform/lzh/FileIo.h"

namespace archives {

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// libzip's error as ours: the system's errno where there is one.
int fromZipError(zip_error_t* error) {
    if (zip_error_system_type(error) == ZIP_ET_SYS && zip_error_code_system(error) != 0)
        return zip_error_code_system(error);
    switch (zip_error_code_zip(error)) {
        case ZIP_ER_NOENT:
            return ENOENT;
        case ZIP_ER_MEMORY:
            return ENOMEM;
        case ZIP_ER_CRC:
        case ZIP_ER_ZLIB:
        case ZIP_ER_COMPRESSED_DATA:
            return DamagedMember;
        default:
            return NotAnArchive;
    }
}

int openError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const int result = fromZipError(&error);
    zip_error_fini(&error);
    return result;
}

QString bareName(const char* stored) {
    const QString name = QString::fromUtf8(stored);
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return name.mid(cut + 1);
}

// The index of the first file member whose bare name is `name`, or -1.
zip_int64_t findMember(zip_t* z, const QString& name) {
    const zip_int64_t count = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* stored = zip_get_name(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (stored && !QString::fromUtf8(stored).endsWith(QLatin1Char('/')) &&
            bareName(stored) == name)
            return i;
    }
    return -1;
}

// Reads member `index` to the end, feeding `sink`; libzip checks the stored CRC at the end
// and we check it again against the data we saw.
template <typename Sink>
int readMember(zip_t* z, zip_int64_t index, Sink&& sink, unsigned long& crc, long long& size) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, static_cast<zip_uint64_t>(index), 0, &st) != 0)
        return fromZipError(zip_get_error(z));
    std::unique_ptr<zip_file_t, ZipFileCloser> f(
        zip_fopen_index(z, static_cast<zip_uint64_t>(index), 0));
    if (!f) return fromZipError(zip_get_error(z));
    std::vector<unsigned char> buffer(1 << 18);
    crc = crc32(0L, Z_NULL, 0);
    size = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(f.get(), buffer.data(), buffer.size());
        if (n < 0) return fromZipError(zip_file_get_error(f.get()));
        if (n == 0) break;
        crc = crc32(crc, buffer.data(), static_cast<uInt>(n));
        size += n;
        if (const int error = sink(buffer.data(), static_cast<std::size_t>(n))) return error;
    }
    if ((st.valid & ZIP_STAT_CRC) && st.crc != crc) return DamagedMember;
    if ((st.valid & ZIP_STAT_SIZE) && static_cast<long long>(st.size) != size) return DamagedMember;
    return 0;
}

int verifyZip(const QString& path, const QString& name, unsigned long crc, long long size) {
    int code = 0;
    ZipHandle z(zip_open(lzh::nativePath(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!z) return openError(code);
    const zip_int64_t index = findMember(z.get(), name);
    if (index < 0) return MemberMissing;
    unsigned long readCrc = 0;
    long long readSize = 0;
    if (const int error = readMember(
            z.get(), index, [](const void*, std::size_t) { return 0; }, readCrc, readSize))
        return error;
    return readCrc == crc && readSize == size ? 0 : DamagedMember;
}

}  // namespace

int packZip(const QString& archive, const QString& file, unsigned mode) {
    struct stat st {};
    if (::stat(lzh::nativePath(file).constData(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    long long size = 0;
    int error = 0;
    const unsigned long crc = fileCrc32(file, error, &size);
    if (error) return error;

    const QFileInfo target(archive);
    lzh::TempFile work;
    if ((error = work.create(target.absolutePath(), target.fileName(), mode))) return error;
    if ((error = work.close())) return error;

    const QString name = QFileInfo(file).fileName();
    {
        int code = 0;
        ZipHandle z(
            zip_open(lzh::nativePath(work.path()).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
        if (!z) return openError(code);
        zip_source_t* source = zip_source_file(z.get(), lzh::nativePath(file).constData(), 0, -1);
        if (!source) return fromZipError(zip_get_error(z.get()));
        const zip_int64_t index =
            zip_file_add(z.get(), name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fromZipError(zip_get_error(z.get()));
        }
        zip_set_file_compression(z.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
        zip_file_set_mtime(z.get(), static_cast<zip_uint64_t>(index), st.st_mtime, 0);
        // zip_close writes the archive and puts it over the work file.
        if (zip_close(z.get()) != 0) return fromZipError(zip_get_error(z.get()));
        (void)z.release();
    }
    if ((error = verifyZip(work.path(), name, crc, size))) return error;
    if (::chmod(lzh::nativePath(work.path()).constData(), static_cast<mode_t>(mode)) != 0)
        return errno;
    if ((error = lzh::syncPath(work.path()))) return error;
    return work.commit(archive);
}

int unpackZip(const QString& archive, const QString& name, const QString& target) {
    int code = 0;
    ZipHandle z(zip_open(lzh::nativePath(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!z) return openError(code);
    const zip_int64_t index = findMember(z.get(), name);
    if (index < 0) return MemberMissing;

    const QFileInfo info(target);
    lzh::TempFile work;
    if (const int error = work.create(info.absolutePath(), info.fileName(), lzh::defaultFileMode()))
        return error;
    unsigned long crc = 0;
    long long size = 0;
    if (const int error = readMember(
            z.get(), index, [&](const void* data, std::size_t n) { return work.write(data, n); },
            crc, size))
        return error;
    return work.commit(target);
}

}  // namespace archives
