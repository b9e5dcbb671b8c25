#pragma once

#include <QString>

#include <cstdint>

namespace dao {
class Database;
}

// The data store routines: locating and opening the database file, and the shared lists
// and settings read from it.
namespace shell {

// A folder as kept in memory: one trailing "/" removed (the root stays "").
QString withoutTrailingSlash(const QString& folder);

// The database folder from FILE0; on first run (empty) the folder firstRunDatabaseFolder
// finds is written there and used.
QString databaseFolderFromSettings(const QString& applicationPath);

QString databasePath(const QString& folder);

// True when both name the same folder on disk (device and inode, so links and "..", and
// names differing only in case on a case-sensitive disk, are told apart correctly); folders
// that do not exist compare by their cleaned absolute paths.
bool isSameFolder(const QString& a, const QString& b);

// Creates the workspace and opens the database of the folder into the main module, bringing
// its word index up to date. A file whose tables are not laid out as the program defines
// them is refused (checkTableLayout).
void openDataStore(const QString& folder);

// Each of the program's tables (データ, データベース設定, バックアップ設定, MDI画面設定) must
// have exactly the fields the schema gives it, by name and in order: the program reads and
// writes fields by position, and a moved field would take another's data. Other tables,
// indexes and triggers are left alone. Throws dao::DaoError 3265 naming the first table that
// differs.
void checkTableLayout(const dao::Database& db);

// Highest record ID from "SELECT * FROM データ ORDER BY ID ASC" (0 when empty).
void loadHighestID();

// The one row of バックアップ設定; a Null folder means defaultBackUpFolder of the
// database folder.
void loadBackUpSettings();
// The same from another open database (the recovery dialog reads a damaged file's row).
void loadBackUpSettingsFrom(dao::Database& db);

// Reopens the shared settings recordset on "select  * from データベース設定".
void openSettingsRecordset();

// Rebuilds the question-set list from the shared settings recordset.
void rebuildDataBaseList();

// Fills open-window slot `slot` from the set's row; the shared settings recordset must be
// open on データベース設定. Grows the table when the slot is new.
void LoadChildSettings(int slot, std::int32_t dbID);

// The smallest positive dbID no set uses; appends a list entry carrying it.
std::int32_t NewDataBaseID();

// Closes every recordset and the database.
void closeDataStore();

}  // namespace shell
