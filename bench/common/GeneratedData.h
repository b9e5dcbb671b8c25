#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// A folder holding a Kenvora.mdb filled by kenvora-tool gen; made once and reused by later
// runs. The benchmark target defines KENVORA_TOOL and KENVORA_TEMPLATE_DB.
//
// KENVORA_BENCH_RECORDS sets the number of records (100,000 unless set), and
// KENVORA_BENCH_DATA the folder the generated files are kept in (the temporary folder unless
// set): a 1,000,000-record file is 2 GB and takes minutes to make, so it is worth keeping.
namespace benchdata {

inline int records() {
    const int n = qEnvironmentVariableIntValue("KENVORA_BENCH_RECORDS");
    return n > 0 ? n : 100000;
}

inline QString generatedFolder(const QString& name, int sets, int records) {
    const QString base = qEnvironmentVariableIsEmpty("KENVORA_BENCH_DATA")
                             ? QStandardPaths::writableLocation(QStandardPaths::TempLocation)
                             : qEnvironmentVariable("KENVORA_BENCH_DATA");
    const QString folder = base + "/" + name;
    const QString path = folder + "/Kenvora.mdb";
    if (QFile::exists(path)) return folder;
    QDir().mkpath(folder);
    QFile::copy(KENVORA_TEMPLATE_DB, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QProcess::execute(KENVORA_TOOL, {"gen", path, "--sets", QString::number(sets), "--records",
                                     QString::number(records)});
    return folder;
}

// The usual name of a generated file: "prefix-20x100000".
inline QString generatedFolder(const QString& prefix, int sets) {
    return generatedFolder(QStringLiteral("%1-%2x%3").arg(prefix).arg(sets).arg(records()), sets,
                           records());
}

}  // namespace benchdata
