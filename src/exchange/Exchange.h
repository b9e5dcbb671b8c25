#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "exchange/RecordExport.h"
#include "exchange/RecordImport.h"
#include "sets/DataBaseSets.h"

// Import and export on the program's open database: the menu commands, and what the tool
// and the dialogs share.
namespace exchange {

// Where imported records go: an existing set, or a new one made with the usual checks.
struct ImportTarget {
    std::int32_t dbID = -1;
    std::optional<sets::NewDataBaseInputs> newSet;
};

// The inputs of a new set named `name`, its item names taken from the columns that go to
// items 1-3 when they make valid names. Nothing, with the failed check's message, when the
// name is not a valid new set name.
std::optional<sets::NewDataBaseInputs> newSetInputs(const QString& name,
                                                    const QStringList& itemNames, QString* message);

// Saves pending edits of the record windows, then stores the file's rows in one
// transaction (a new set's row included). On success `target.dbID` is the set's.
ImportOutcome ImportIntoDataBase(const ImportSettings& settings, ImportTarget& target,
                                 const Progress& progress = {});

// After a successful import: the new set's window opens, or the set's open window re-reads
// its records.
void ShowImportedRecords(const ImportTarget& target);

// Saves pending edits of the record windows, then writes the file.
ExportOutcome ExportFromDataBase(const ExportSettings& settings, const Progress& progress = {});

// The sets of the question-set list, in list order.
QList<std::int32_t> allDataBaseIDs();

// The menu commands; `dbID` is the set of the record window the command came from (-1 from
// the main window).
void ShowImportDialog(std::int32_t dbID);
void ShowExportDialog(std::int32_t dbID);

}  // namespace exchange
