#include "maintenance/FileSteps.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

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

int copyFileSafely(const QString& source, const QString& target) {
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

    int error = 0;
    char buffer[1 << 16];
    for (;;) {
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
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return error;
}

bool fileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

}  // namespace maintenance
