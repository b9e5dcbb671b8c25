// CAB archives through libgcab: one member in one MSZIP folder.
// GLib's headers first: Qt's keyword macros would clash with names inside them.
#include <libgcab.h>

#include <QFileInfo>

#include <sys/stat.h>
#include <zlib.h>
#include <cerrno>
#include <memory>

#include "platform/lzh/Archives.h"
#include "platform/lzh/FileIo.h"

namespace archives {

namespace {

struct GObjectUnref {
    void operator()(gpointer p) const {
        if (p) g_object_unref(p);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorHolder {
    GError* error = nullptr;
    ~GErrorHolder() {
        if (error) g_error_free(error);
    }
    GError** out() { return &error; }
};

// GLib's error as ours: an errno value for file errors, else what went wrong in the CAB.
int fromGError(const GError* error, int otherwise) {
    if (!error) return otherwise;
    if (error->domain == G_IO_ERROR) {
        switch (error->code) {
            case G_IO_ERROR_NOT_FOUND:
                return ENOENT;
            case G_IO_ERROR_NO_SPACE:
                return ENOSPC;
            case G_IO_ERROR_PERMISSION_DENIED:
                return EACCES;
            case G_IO_ERROR_READ_ONLY:
                return EROFS;
            case G_IO_ERROR_IS_DIRECTORY:
                return EISDIR;
            case G_IO_ERROR_FILENAME_TOO_LONG:
                return ENAMETOOLONG;
            case G_IO_ERROR_INVALID_DATA:
                return otherwise;
            default:
                return EIO;
        }
    }
    return otherwise;
}

GFile* fileFor(const QString& path) {
    return g_file_new_for_path(lzh::nativePath(path).constData());
}

QString bareName(const char* stored) {
    const QString name = QString::fromUtf8(stored);
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return name.mid(cut + 1);
}

// The loaded cabinet, or an error code.
int loadCabinet(const QString& path, GPtr<GCabCabinet>& cabinet) {
    GPtr<GFile> file(fileFor(path));
    GErrorHolder error;
    GPtr<GFileInputStream> in(g_file_read(file.get(), nullptr, error.out()));
    if (!in) return fromGError(error.error, NotAnArchive);
    cabinet.reset(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.get(), G_INPUT_STREAM(in.get()), nullptr, error.out()))
        return fromGError(error.error, NotAnArchive);
    return 0;
}

// The member whose bare name is `name`, or null.
GCabFile* findMember(GCabCabinet* cabinet, const QString& name) {
    GPtrArray* folders = gcab_cabinet_get_folders(cabinet);
    for (guint i = 0; folders && i < folders->len; ++i) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, i));
        GSList* files = gcab_folder_get_files(folder);
        GCabFile* found = nullptr;
        for (GSList* f = files; f && !found; f = f->next) {
            auto* member = static_cast<GCabFile*>(f->data);
            if (bareName(gcab_file_get_name(member)) == name) found = member;
        }
        g_slist_free(files);
        if (found) return found;
    }
    return nullptr;
}

struct Extraction {
    GCabFile* wanted;
    QString extractName;
};

// Extracts only the wanted member, under a name we choose (never a path from the archive).
gboolean extractOnlyWanted(GCabFile* file, gpointer data) {
    auto* e = static_cast<Extraction*>(data);
    if (file != e->wanted) return FALSE;
    gcab_file_set_extract_name(file, e->extractName.toUtf8().constData());
    return TRUE;
}

// Extracts the member into memory and compares it with the expected size and CRC-32.
int verifyCab(const QString& path, const QString& name, unsigned long crc, long long size) {
    GPtr<GCabCabinet> cabinet;
    if (const int error = loadCabinet(path, cabinet)) return error;
    GCabFile* member = findMember(cabinet.get(), name);
    if (!member) return MemberMissing;
    Extraction e{member, name};
    GErrorHolder error;
    if (!gcab_cabinet_extract_simple(cabinet.get(), nullptr, extractOnlyWanted, &e, nullptr,
                                     error.out()))
        return fromGError(error.error, DamagedMember);
    GBytes* bytes = gcab_file_get_bytes(member);
    if (!bytes) return DamagedMember;
    gsize length = 0;
    const auto* data = static_cast<const Bytef*>(g_bytes_get_data(bytes, &length));
    uLong readCrc = crc32(0L, Z_NULL, 0);
    // zlib takes at most 4 GB a call; a CAB member is smaller.
    readCrc = crc32(readCrc, data, static_cast<uInt>(length));
    return static_cast<long long>(length) == size && readCrc == crc ? 0 : DamagedMember;
}

}  // namespace

int packCab(const QString& archive, const QString& file, unsigned mode) {
    struct stat st {};
    if (::stat(lzh::nativePath(file).constData(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (st.st_size > 0x7FFFFFFF) return TooLarge;
    long long size = 0;
    int result = 0;
    const unsigned long crc = fileCrc32(file, result, &size);
    if (result) return result;

    const QFileInfo target(archive);
    lzh::TempFile work;
    if ((result = work.create(target.absolutePath(), target.fileName(), mode))) return result;
    if ((result = work.close())) return result;

    const QString name = QFileInfo(file).fileName();
    {
        GPtr<GFile> source(fileFor(file));
        GPtr<GCabFile> member(gcab_file_new_with_file(name.toUtf8().constData(), source.get()));
        GPtr<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
        GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
        GErrorHolder error;
        if (!gcab_folder_add_file(folder.get(), member.get(), FALSE, nullptr, error.out()) ||
            !gcab_cabinet_add_folder(cabinet.get(), folder.get(), error.out()))
            return fromGError(error.error, EIO);
        GPtr<GFile> out(fileFor(work.path()));
        GPtr<GFileOutputStream> stream(
            g_file_replace(out.get(), nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, error.out()));
        if (!stream) return fromGError(error.error, EIO);
        const bool written = gcab_cabinet_write_simple(cabinet.get(), G_OUTPUT_STREAM(stream.get()),
                                                       nullptr, nullptr, nullptr, error.out());
        const bool closed = g_output_stream_close(G_OUTPUT_STREAM(stream.get()), nullptr,
                                                  written ? error.out() : nullptr);
        if (!written || !closed) return fromGError(error.error, EIO);
    }
    if ((result = verifyCab(work.path(), name, crc, size))) return result;
    if (::chmod(lzh::nativePath(work.path()).constData(), static_cast<mode_t>(mode)) != 0)
        return errno;
    if ((result = lzh::syncPath(work.path()))) return result;
    return work.commit(archive);
}

int unpackCab(const QString& archive, const QString& name, const QString& target) {
    GPtr<GCabCabinet> cabinet;
    if (const int error = loadCabinet(archive, cabinet)) return error;
    GCabFile* member = findMember(cabinet.get(), name);
    if (!member) return MemberMissing;

    const QFileInfo info(target);
    lzh::TempFile work;
    if (const int error = work.create(info.absolutePath(), info.fileName(), lzh::defaultFileMode()))
        return error;
    if (const int error = work.close()) return error;
    Extraction e{member, QFileInfo(work.path()).fileName()};
    GPtr<GFile> folder(fileFor(info.absolutePath()));
    GErrorHolder error;
    if (!gcab_cabinet_extract_simple(cabinet.get(), folder.get(), extractOnlyWanted, &e, nullptr,
                                     error.out()))
        return fromGError(error.error, DamagedMember);
    struct stat st {};
    if (::stat(lzh::nativePath(work.path()).constData(), &st) != 0) return errno;
    if (static_cast<long long>(st.st_size) != gcab_file_get_size(member)) return DamagedMember;
    if (const int result = lzh::syncPath(work.path())) return result;
    return work.commit(target);
}

}  // namespace archives
