#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// A folder in the temporary location holding a Kenvora.mdb filled by kenvora-tool gen; made
// once and reused by later runs. The benchmark target defines KENVORA_TOOL and
// KENVORA_TEMPLATE_DB.
namespace benchdata {

inline QString generatedFolder(const QString& name, int sets, int records) {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/" + name;
    const QString path = folder + "/Kenvora.mdb";
    if (QFile::exists(path)) return folder;
    QDir().mkpath(folder);
    QFile::copy(KENVORA_TEMPLATE_DB, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QProcess::execute(KENVORA_TOOL, {"gen", path, "--sets", QString::number(sets), "--records",
                                     QString::number(records)});
    return folder;
}

}  // namespace benchdata
