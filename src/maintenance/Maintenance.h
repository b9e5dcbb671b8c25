#pragma once

class QWidget;

// Compaction, backup, restore and the recovery dialog: what the shell's hook table calls.
namespace maintenance {

// Compacts Kenvora.mdb (renumbering the record IDs of a large file whose IDs have grown far
// beyond its record count first) and, with `withBackUp`, backs the result up. Closes the
// shared database and leaves it closed, whether or not it was open when called. A data
// access error of the compaction reaches the caller as dao::DaoError; the old file is then
// still in place.
void OptimizeDataBase(bool withBackUp);

// Copies Kenvora.mdb to the backup folder as a plain copy or into Kenvora.lzh. Reports
// failures by message boxes. Call it with the shared database closed.
void BackUpDataBase();

// Replaces Kenvora.mdb with the last backup, once the backup has been checked to open as
// our database, and reopens it as the shared database. Reports failures by message boxes.
void RestoreDataBase();

// tmrBackUp: at the scheduled day and minute, the five-second countdown (frmOptimizeCheck)
// and then the scheduled backup: record windows saved and closed, compaction, backup, the
// database and the windows reopened. Runs at most once in a minute.
void BackUpTimerTick();

// The recovery dialog frmdbErr, modal; start-up shows it after a data access error.
void ShowDatabaseErrorDialog(QWidget* owner = nullptr);

}  // namespace maintenance
