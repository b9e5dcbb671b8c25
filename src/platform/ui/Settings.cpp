#include "platform/ui/Settings.h"

#include <QSettings>

namespace ui {

namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KENVORA"),
                     QStringLiteral("KENVORA"));
}

const QString kKey = QStringLiteral("DAT/FILE0");

}  // namespace

QString readFile0() {
    return store().value(kKey).toString();
}

void writeFile0(const QString& folder) {
    QSettings settings = store();
    settings.setValue(kKey, folder);
    settings.sync();
}

}  // namespace ui
