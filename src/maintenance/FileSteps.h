#pragma once

#include <QString>

// File steps of backup, restore and compaction. Each reports failure as an errno value (0 on
// success) so that callers can show the system's text for it.
namespace maintenance {

// Copies source to target through a work file in the target's folder, synced and renamed
// over the target only when complete: a failure never leaves half a copy under the name.
int copyFileSafely(const QString& source, const QString& target);

// Renames from over to, replacing an existing file in one step.
int renameReplacing(const QString& from, const QString& to);

// Removes a file; a file that is not there counts as removed.
int removeFile(const QString& path);

// Flushes a file's contents to the disk.
int syncFile(const QString& path);

bool fileExists(const QString& path);

}  // namespace maintenance
