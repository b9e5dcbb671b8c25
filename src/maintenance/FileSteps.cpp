#include "maintenance/FileSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "platform/lzh/FileIo.h"

namespace maintenance {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// write() may write less than asked; a full disk shows up as ENOSPC here or at fsync.
bool writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void syncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int copyFileSafely(const QString& source, const QString& target, int mode) {
    const int in = ::open(native(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = !S_ISREG(st.st_mode) ? (S_ISDIR(st.st_mode) ? EISDIR : EINVAL) : errno;
        ::close(in);
        return error;
    }

    const QFileInfo info(target);
    QByteArray work = native(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    const int out = ::mkstemp(work.data());
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }

    // mkstemp makes 0600; the copy is the same kind of file as its source.
    int error =
        ::fchmod(out, static_cast<mode_t>(mode >= 0 ? mode : st.st_mode & 07777)) == 0 ? 0 : errno;
    char buffer[1 << 16];
    while (error == 0) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || (n > 0 && !writeAll(out, buffer, n))) {
            error = errno;
            break;
        }
        if (n == 0) break;
    }
    if (error == 0 && ::fsync(out) != 0) error = errno;
    if (::close(out) != 0 && error == 0) error = errno;
    ::close(in);
    if (error == 0 && ::rename(work.constData(), native(target).constData()) != 0) error = errno;
    if (error != 0) {
        ::unlink(work.constData());
        return error;
    }
    syncFolderOf(native(target));
    return 0;
}

int renameReplacing(const QString& from, const QString& to) {
    // rename(2) replaces the target atomically: at every moment one of the two files has
    // the name.
    if (::rename(native(from).constData(), native(to).constData()) != 0) return errno;
    syncFolderOf(native(to));
    return 0;
}

int removeFile(const QString& path) {
    if (::unlink(native(path).constData()) != 0 && errno != ENOENT) return errno;
    return 0;
}

int syncFile(const QString& path) {
    return lzh::syncPath(path);
}

QString workFileName(const QString& target) {
    const QFileInfo info(target);
    QByteArray name = native(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return QString();
    ::close(fd);
    ::unlink(name.constData());
    return QFile::decodeName(name);
}

int fileMode(const QString& path) {
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

int setFileMode(const QString& path, int mode) {
    return ::chmod(native(path).constData(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

long long& simulatedFreeSpace() {
    static long long bytes = -1;
    return bytes;
}

long long freeSpaceIn(const QString& folder) {
    if (simulatedFreeSpace() >= 0) return simulatedFreeSpace();
    struct statvfs vfs {};
    if (::statvfs(native(folder.isEmpty() ? QStringLiteral("/") : folder).constData(), &vfs) != 0)
        return -1;
    return static_cast<long long>(vfs.f_bavail) * static_cast<long long>(vfs.f_frsize);
}

long long fileSize(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}

void removeStaleWorkFiles(const QString& folder) {
    // Our work files, and libzip's and the archiver's own beside them; nothing else in the
    // folder is touched.
    static const QRegularExpression workFile(QStringLiteral(
        "^\\.\\.?Kenvora(N)?\\.(mdb|lzh|zip|cab|tmp)\\.[A-Za-z0-9]{6}(\\.[A-Za-z0-9]{6})?$"));
    static const QRegularExpression restoreFolder(
        QStringLiteral("^\\.Kenvora-restore-[A-Za-z0-9]{6}$"));
    const QDir dir(folder.isEmpty() ? QStringLiteral("/") : folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (workFile.match(name).hasMatch()) removeFile(dir.filePath(name));
    }
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (restoreFolder.match(name).hasMatch()) QDir(dir.filePath(name)).removeRecursively();
    }
}

bool fileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

}  // namespace maintenance
