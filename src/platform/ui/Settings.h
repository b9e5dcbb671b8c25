#pragma once

#include <QString>

// Per-user settings in an INI file in the user's configuration folder,
// <folder>/<organization>/<application>.ini; the program names the file and its keys.
// Nothing else reads or writes QSettings.
namespace ui {

struct SettingsFile {
    QString organization;
    QString application;
};

// Empty when never written.
QString readSetting(const SettingsFile& file, const QString& key);
// Written to disk before it returns.
void writeSetting(const SettingsFile& file, const QString& key, const QString& value);

}  // namespace ui
