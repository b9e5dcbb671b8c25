#pragma once

#include <QIcon>

namespace shell {

// The program's icon in every size the build renders; main() gives it to all windows.
QIcon applicationIcon();

}  // namespace shell
