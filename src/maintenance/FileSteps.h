#pragma once

#include <QString>

// File steps of backup, restore and compaction. Each reports failure as an errno value (0 on
// success) so that callers can show the system's text for it.
namespace maintenance {

// Copies source to target through a work file in the target's folder, synced and renamed
// over the target only when complete: a failure never leaves half a copy under the name.
// The copy gets permission bits `mode`, or the source's when it is negative.
int copyFileSafely(const QString& source, const QString& target, int mode = -1);

// A free name for a work file beside `target` (".NAME.XXXXXX"), nothing made under it; empty
// with errno set when the folder cannot take one.
QString workFileName(const QString& target);

// A file's permission bits, or -1 when it is not there.
int fileMode(const QString& path);
// Sets a file's permission bits.
int setFileMode(const QString& path, int mode);

// Bytes a writer may still use in the folder; -1 when unknown. Tests may stand in a small
// medium through simulatedFreeSpace().
long long freeSpaceIn(const QString& folder);
long long& simulatedFreeSpace();
// The size of a file, 0 when it is not there.
long long fileSize(const QString& path);

// Removes what an interrupted backup, restore or archiver run left in the folder: hidden work
// files (".Kenvora.mdb.XXXXXX", ".Kenvora.lzh.XXXXXX", ...) and restore work folders
// (".Kenvora-restore-XXXXXX").
void removeStaleWorkFiles(const QString& folder);

// Renames from over to, replacing an existing file in one step.
int renameReplacing(const QString& from, const QString& to);

// Removes a file; a file that is not there counts as removed.
int removeFile(const QString& path);

// Flushes a file's contents to the disk.
int syncFile(const QString& path);

bool fileExists(const QString& path);

}  // namespace maintenance
