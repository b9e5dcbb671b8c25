#pragma once

#include <QString>

#include <array>
#include <cstdint>

// Creating and deleting question sets.
namespace sets {

// The seven inputs of the creation dialog, already checked: 0 name, 1 item 1,
// 2 delimiters 1, 3 item 2, 4 delimiters 2, 5 item 3, 6 comment.
using NewDataBaseInputs = std::array<QString, 7>;

// Adds the set's row with the defaults, names its list entry, opens its record window on
// an empty record and rebuilds the set menus. Returns the new dbID.
std::int32_t CreateDataBase(const NewDataBaseInputs& inputs);

// The two halves of CreateDataBase, for callers that fill the set before it is shown.
// AddDataBaseRow writes the row and appends the named list entry (removed again when the
// write fails); OpenNewDataBaseWindow opens the new set's window and rebuilds the menus.
std::int32_t AddDataBaseRow(const NewDataBaseInputs& inputs);
void OpenNewDataBaseWindow(std::int32_t dbID);

// Closes the set's window, removes its records and its row (all or nothing), its list
// entry, and rebuilds the set menus.
void DeleteDataBase(std::int32_t dbID);

}  // namespace sets
