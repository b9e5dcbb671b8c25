#pragma once

#include <QString>

#include "shell/MainModule.h"

// What compaction, backup and restore share.
namespace maintenance {

// The database folder, or the application path when none is set; no trailing "/".
QString databaseFolder();
// The backup folder of the backup settings.
QString backUpFolder();

// The system's text for an errno value in a box titled with the application title.
void showSystemError(int error);

// The words for a file step's or an archive's failure: an errno value or a code of
// platform/lzh/Archives.h.
QString fileErrorText(int error);

// The backup's form by the settings (LZH first, as the options page offers one at a time)
// and its file name in the backup folder.
enum class BackUpForm { Plain, Lzh, Zip, Cab };
BackUpForm backUpForm(const shell::BackUpSettings& settings);
QString backUpFileName(BackUpForm form);

// What an interrupted backup left in the backup folder: a previous backup still under
// Kenvora.tmp goes back under its own name (told by its content) unless a backup of that
// form is in place; stale work files go.
void recoverInterruptedBackUp(const QString& folder);

// Opens a file as our database (password, tables) and closes it again; throws the data
// access error that refuses it.
void checkOpensAsKenvoraDatabase(const QString& path);

}  // namespace maintenance
