#pragma once

#include <QString>

// The one per-user setting: the database folder, FILE0 in section DAT of
// ~/.config/KENVORA/KENVORA.ini. Users' files rely on that place and key.
namespace shell {

QString readFile0();  // empty when never written
void writeFile0(const QString& folder);

}  // namespace shell
