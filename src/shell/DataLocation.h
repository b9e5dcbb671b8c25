#pragma once

#include <QString>

// Where the database and its backups live. A build or a portable copy keeps Kenvora.mdb
// beside the program; an installed program keeps it in the user's data folder, made from
// the template the package installs.
namespace shell {

// The user's data folder for Kenvora ($XDG_DATA_HOME/Kenvora, normally
// ~/.local/share/Kenvora).
QString userDataFolder();

// The supplied database an install carries (<prefix>/share/kenvora/Kenvora.mdb beside
// <prefix>/bin), or empty when there is none.
QString templateDatabase(const QString& applicationPath);

// Copies `templatePath` into `folder` as Kenvora.mdb unless a Kenvora.mdb is already there;
// an existing file is never replaced. True when the folder holds the database afterwards.
bool placeTemplateDatabase(const QString& templatePath, const QString& folder);

// The database folder for a first run (FILE0 empty): the application path when it holds
// Kenvora.mdb, otherwise the user's data folder with the template placed in it. Empty when
// neither gives a database; the user then locates the file.
QString firstRunDatabaseFolder(const QString& applicationPath);

// The backup folder when the stored one is Null: "backup" inside the database folder.
QString defaultBackUpFolder(const QString& databaseFolder);

// Makes the default backup folder on first use; an explicit folder is left as it stands.
// True when the backup folder is there afterwards.
bool makeBackUpFolder();

}  // namespace shell
