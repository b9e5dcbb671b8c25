#pragma once

namespace shell {

// Why the shell closes the feature windows: at exit every one of them goes; before a backup
// only those that hold the database open or edit its records.
enum class ClosingFor { Exit, BackUp };

// Asks the feature windows to close. They are found by their object names, so that the shell
// needs none of their headers. Returns how many of the closed windows were modal: their event
// loops return only once control is back in them.
int closeFeatureWindows(ClosingFor reason);

}  // namespace shell
