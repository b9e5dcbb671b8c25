#include "platform/ui/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace ui {

SingleInstanceGuard::SingleInstanceGuard(const QString& lockPath) : lock_(lockPath) {
    // A running instance keeps its lock however long it runs; only a lock whose process
    // is gone counts as stale.
    lock_.setStaleLockTime(0);
}

bool SingleInstanceGuard::tryAcquire() {
    return lock_.isLocked() || lock_.tryLock(0);
}

QString SingleInstanceGuard::lockPathFor(const QString& fileName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QLatin1Char('/') + fileName;
}

}  // namespace ui
