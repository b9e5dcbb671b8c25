#include "shell/DataLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace shell {

QString userDataFolder() {
    // Not AppDataLocation: that follows the application name, which is the message boxes'
    // title "KENVORA".
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kenvora");
}

QString templateDatabase(const QString& applicationPath) {
    const QFileInfo supplied(applicationPath + QStringLiteral("/../share/kenvora/Kenvora.mdb"));
    return supplied.isFile() ? supplied.canonicalFilePath() : QString();
}

bool placeTemplateDatabase(const QString& templatePath, const QString& folder) {
    const QString target = databasePath(folder);
    if (QFileInfo(target).isFile()) return true;
    if (templatePath.isEmpty() || !QDir().mkpath(folder)) return false;

    // Copied under a temporary name and renamed, so a failed copy leaves no half database
    // and a file that appeared meanwhile is not replaced.
    QTemporaryFile partial(folder + QStringLiteral("/Kenvora.mdb.XXXXXX"));
    QFile source(templatePath);
    if (!partial.open() || !source.open(QIODevice::ReadOnly)) return false;
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty() || partial.write(block) != block.size()) return false;
    }
    if (!partial.flush()) return false;
    // The template may well be read-only; the user's copy is theirs to write.
    partial.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    partial.close();
    if (!QFile::rename(partial.fileName(), target)) return QFileInfo(target).isFile();
    partial.setAutoRemove(false);
    return true;
}

QString firstRunDatabaseFolder(const QString& applicationPath) {
    if (QFileInfo(databasePath(applicationPath)).isFile()) return applicationPath;
    const QString folder = userDataFolder();
    return placeTemplateDatabase(templateDatabase(applicationPath), folder) ? folder : QString();
}

QString defaultBackUpFolder(const QString& databaseFolder) {
    return databaseFolder + QStringLiteral("/backup");
}

bool makeBackUpFolder() {
    const BackUpSettings& b = mainModule().backUp;
    if (b.defaultFolder && !QFileInfo(b.folder).isDir()) QDir().mkpath(b.folder);
    return QFileInfo(b.folder).isDir();
}

}  // namespace shell
