#pragma once

#include <QString>

// What compaction, backup and restore share.
namespace maintenance {

// The database folder, or the application path when none is set; no trailing "/".
QString databaseFolder();
// The backup folder of the backup settings.
QString backUpFolder();

// The system's text for an errno value in a box titled with the application title.
void showSystemError(int error);

// Opens a file as our database (password, tables) and closes it again; throws the data
// access error that refuses it.
void checkOpensAsKenvoraDatabase(const QString& path);

}  // namespace maintenance
