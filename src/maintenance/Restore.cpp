#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "maintenance/Unlha.h"
#include "platform/dao/DaoError.h"
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
QString locateBackUp(bool lha) {
    const QString name = lha ? QStringLiteral("Kenvora.lzh") : QStringLiteral("Kenvora.mdb");
    const QString path = backUpFolder() + QLatin1Char('/') + name;
    if (fileExists(path)) return path;

    ui::CommonDialog own;
    shell::frmMDI* mdi = shell::mainModule().mdiForm;
    ui::CommonDialog& dialog = mdi ? mdi->CommonDialog1 : own;
    for (int attempt = 0; attempt < kFileChoices; ++attempt) {
        dialog.DialogTitle = QStringLiteral("バックアップファイルが見つかりません");
        dialog.Filter = lha ? QStringLiteral("(*.lzh)|*.lzh") : QStringLiteral("(*.mdb)|*.mdb");
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

// Puts the backup's Kenvora.mdb into `staging`; false after showing why not.
bool unpackBackUp(const QString& backUp, bool lha, const QString& staging) {
    if (lha) {
        if (UnlhaIsRunning()) {
            ui::MsgBox(QStringLiteral("UNLHA32.DLLが起動中のため解凍できません。"),
                       ui::Buttons::OKOnly, kRestoreTitle);
            return false;
        }
        if (!UnlhaIsArchive(quoted(backUp))) {
            showUnsuitableBackUp();
            return false;
        }
        const int code = UnlhaCommand(shell::mainModule().mdiForm,
                                      QStringLiteral("e ") + quoted(backUp) + QLatin1Char(' ') +
                                          quoted(staging + QLatin1Char('/')) +
                                          QStringLiteral(" Kenvora.mdb -c -y"));
        if (code != 0) {
            UnlhaErrorMessage(code);
            return false;
        }
        return true;
    }
    if (copyFileSafely(backUp, staging + QStringLiteral("/Kenvora.mdb")) != 0) {
        ui::MsgBox(QStringLiteral("データベースのコピーに失敗しました。"), ui::Buttons::OKOnly,
                   kRestoreTitle);
        return false;
    }
    return true;
}

}  // namespace

void RestoreDataBase() {
    // There is no ZIP or CAB archiver; backup makes a plain copy instead, so that is what a
    // restore looks for with those settings.
    const bool lha = shell::mainModule().backUp.lha;
    const QString backUp = locateBackUp(lha);
    if (backUp.isEmpty()) return;

    // The backup is unpacked beside the database file and checked there, so a damaged or
    // foreign backup never replaces the database, and the replacement is one rename.
    const QString folder = databaseFolder();
    QTemporaryDir staging(folder + QStringLiteral("/.Kenvora-restore-XXXXXX"));
    if (!staging.isValid()) {
        ui::MsgBox(QStringLiteral("データベースのコピーに失敗しました。\n") + staging.errorString(),
                   ui::Buttons::OKOnly, kRestoreTitle);
        return;
    }
    if (!unpackBackUp(backUp, lha, staging.path())) return;
    const QString candidate = staging.path() + QStringLiteral("/Kenvora.mdb");
    try {
        checkOpensAsKenvoraDatabase(candidate);
    } catch (const dao::DaoError&) {
        showUnsuitableBackUp();
        return;
    }

    shell::closeDataStore();
    int error = syncFile(candidate);
    if (error == 0) error = renameReplacing(candidate, folder + QStringLiteral("/Kenvora.mdb"));
    if (error != 0) {
        ui::MsgBox(
            QStringLiteral("データベースのコピーに失敗しました。\n") + SystemErrorText(error),
            ui::Buttons::OKOnly, kRestoreTitle);
    }
    // The restored file, or the old one when it could not be put in place.
    shell::openDataStore(folder);
}

}  // namespace maintenance
