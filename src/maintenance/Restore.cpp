#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "maintenance/Unlha.h"
#include "platform/dao/DaoError.h"
#include "platform/lzh/Archives.h"
#include "platform/ui/CommonDialog.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace maintenance {

namespace {

constexpr int kFileChoices = 3;
const QString kRestoreTitle = QStringLiteral("データベース復旧");

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

void showUnsuitableBackUp() {
    ui::MsgBox(QStringLiteral("バックアップファイルが不適切です。\n"
                              "ファイルが壊れているか本ソフトで作成したファイルではありません。"),
               ui::Buttons::OKOnly, QStringLiteral("バックアップ"));
}

// The backup file, or the one the user chooses when it is missing; empty after three
// failed choices.
QString locateBackUp(BackUpForm form) {
    const QString name = backUpFileName(form);
    const QString extension = name.section(QLatin1Char('.'), -1);
    const QString path = backUpFolder() + QLatin1Char('/') + name;
    // In the database's own folder, "Kenvora.mdb" is the database itself, not a backup of it.
    const bool isTheDatabase =
        form == BackUpForm::Plain && shell::isSameFolder(backUpFolder(), databaseFolder());
    if (fileExists(path) && !isTheDatabase) return path;

    ui::CommonDialog own;
    shell::frmMDI* mdi = shell::mainModule().mdiForm;
    ui::CommonDialog& dialog = mdi ? mdi->CommonDialog1 : own;
    for (int attempt = 0; attempt < kFileChoices; ++attempt) {
        dialog.DialogTitle = QStringLiteral("バックアップファイルが見つかりません");
        dialog.Filter = QStringLiteral("(*.%1)|*.%1").arg(extension);
        dialog.InitDir = QDir::currentPath();
        dialog.FileName = name;
        dialog.Flags = 0x81800;
        if (!dialog.ShowOpen()) continue;
        const QFileInfo chosen(dialog.FileName);
        if (chosen.isFile()) return chosen.absoluteFilePath();
    }
    ui::MsgBox(QStringLiteral("バックアップファイルが見つかりません。"), ui::Buttons::OKOnly,
               QStringLiteral("データベースエラー"));
    return QString();
}

bool unpackLzh(const QString& backUp, const QString& staging) {
    if (UnlhaIsRunning()) {
        ui::MsgBox(QStringLiteral("UNLHA32.DLLが起動中のため解凍できません。"), ui::Buttons::OKOnly,
                   kRestoreTitle);
        return false;
    }
    if (!UnlhaIsArchive(quoted(backUp))) {
        showUnsuitableBackUp();
        return false;
    }
    const int code =
        UnlhaCommand(shell::mainModule().mdiForm,
                     QStringLiteral("e ") + quoted(backUp) + QLatin1Char(' ') +
                         quoted(staging + QLatin1Char('/')) + QStringLiteral(" Kenvora.mdb -c -y"));
    if (code != 0) {
        UnlhaErrorMessage(code);
        return false;
    }
    return true;
}

// Puts the backup's Kenvora.mdb into `staging`; false after showing why not. What the file
// holds decides how it is read, not its name or the setting: a backup chosen in the dialog
// or made under other settings is read all the same.
bool unpackBackUp(const QString& backUp, const QString& staging) {
    const QString target = staging + QStringLiteral("/Kenvora.mdb");
    int error = 0;
    switch (archives::detectFormat(backUp)) {
        case archives::Format::Lzh:
            return unpackLzh(backUp, staging);
        case archives::Format::Zip:
            error = archives::unpackZip(backUp, QStringLiteral("Kenvora.mdb"), target);
            break;
        case archives::Format::Cab:
            error = archives::unpackCab(backUp, QStringLiteral("Kenvora.mdb"), target);
            break;
        case archives::Format::SQLite:
            error = copyFileSafely(backUp, target);
            break;
        case archives::Format::Unknown:
            error = archives::NotAnArchive;
            break;
    }
    if (error == archives::NotAnArchive || error == archives::DamagedMember ||
        error == archives::MemberMissing) {
        showUnsuitableBackUp();
        return false;
    }
    if (error != 0) {
        ui::MsgBox(QStringLiteral("データベースのコピーに失敗しました。\n") + fileErrorText(error),
                   ui::Buttons::OKOnly, kRestoreTitle);
        return false;
    }
    return true;
}

}  // namespace

void RestoreDataBase() {
    const QString folder = databaseFolder();
    // What an interrupted backup or restore left: the previous backup under Kenvora.tmp is
    // what a restore wants most.
    recoverInterruptedBackUp(backUpFolder());
    removeStaleWorkFiles(folder);
    const QString backUp = locateBackUp(backUpForm(shell::mainModule().backUp));
    if (backUp.isEmpty()) return;

    // The backup is unpacked beside the database file and checked there, so a damaged or
    // foreign backup never replaces the database, and the replacement is one rename.
    QTemporaryDir staging(folder + QStringLiteral("/.Kenvora-restore-XXXXXX"));
    if (!staging.isValid()) {
        ui::MsgBox(QStringLiteral("データベースのコピーに失敗しました。\n") + staging.errorString(),
                   ui::Buttons::OKOnly, kRestoreTitle);
        return;
    }
    if (!unpackBackUp(backUp, staging.path())) return;
    const QString candidate = staging.path() + QStringLiteral("/Kenvora.mdb");
    try {
        checkOpensAsKenvoraDatabase(candidate);
    } catch (const dao::DaoError&) {
        showUnsuitableBackUp();
        return;
    }

    // The restored file is the same kind of file as the one it replaces.
    const QString live = folder + QStringLiteral("/Kenvora.mdb");
    const int liveMode = fileMode(live);
    int error = setFileMode(candidate, liveMode >= 0 ? liveMode : 0644);
    shell::closeDataStore();
    if (error == 0) error = syncFile(candidate);
    if (error == 0) error = renameReplacing(candidate, live);
    if (error != 0) {
        ui::MsgBox(QStringLiteral("データベースのコピーに失敗しました。\n") + fileErrorText(error),
                   ui::Buttons::OKOnly, kRestoreTitle);
    }
    // The restored file, or the old one when it could not be put in place.
    shell::openDataStore(folder);
}

}  // namespace maintenance
