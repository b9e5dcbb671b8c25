#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running: a lock file in the user's runtime
// folder, held for as long as the guard lives. A lock left by a crashed run is taken over.
namespace ui {

class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& lockPath);
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // False when another running instance holds the lock.
    bool tryAcquire();
    bool acquired() const { return lock_.isLocked(); }

    // "<runtime folder>/<fileName>" (the temporary folder when there is no runtime folder).
    static QString lockPathFor(const QString& fileName);

private:
    QLockFile lock_;
};

}  // namespace ui
