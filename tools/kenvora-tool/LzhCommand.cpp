#include <QTextStream>

#include "kenvora-tool/Commands.h"

int runLzh(const QStringList&) {
    QTextStream(stderr) << "not built yet\n";
    return 2;
}
