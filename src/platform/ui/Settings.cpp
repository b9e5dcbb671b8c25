#include "platform/ui/Settings.h"

#include <QSettings>

namespace ui {

namespace {

QSettings store(const SettingsFile& file) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, file.organization,
                     file.application);
}

}  // namespace

QString readSetting(const SettingsFile& file, const QString& key) {
    return store(file).value(key).toString();
}

void writeSetting(const SettingsFile& file, const QString& key, const QString& value) {
    QSettings settings = store(file);
    settings.setValue(key, value);
    settings.sync();
}

}  // namespace ui
