#include "shell/UserSettings.h"

#include "platform/ui/Settings.h"

namespace shell {

namespace {

const ui::SettingsFile kSettingsFile{QStringLiteral("KENVORA"), QStringLiteral("KENVORA")};
const QString kFile0Key = QStringLiteral("DAT/FILE0");

}  // namespace

QString readFile0() {
    return ui::readSetting(kSettingsFile, kFile0Key);
}

void writeFile0(const QString& folder) {
    ui::writeSetting(kSettingsFile, kFile0Key, folder);
}

}  // namespace shell
