#pragma once

#include <QString>

// The one per-user setting: the database folder, kept under KENVORA / DAT / FILE0 in an
// INI file in the user's configuration folder. Nothing else reads or writes QSettings.
namespace ui {

QString readFile0();  // empty when never written
void writeFile0(const QString& folder);

}  // namespace ui
