#include "shell/ApplicationIcon.h"

#include <QDirIterator>

namespace shell {

QIcon applicationIcon() {
    QIcon icon;
    // One file per size, ":/icons/<n>x<n>/apps/kenvora.png", as the icon theme lays them out.
    QDirIterator sizes(QStringLiteral(":/icons"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (sizes.hasNext()) icon.addFile(sizes.next() + QStringLiteral("/apps/kenvora.png"));
    return icon;
}

}  // namespace shell
