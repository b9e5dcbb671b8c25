#include <QCoreApplication>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "maintenance/Unlha.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataLocation.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace maintenance {

namespace {

const QString kTitle = QStringLiteral("バックアップ");

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

}  // namespace

void BackUpDataBase() {
    const shell::BackUpSettings& settings = shell::mainModule().backUp;
    const QString source = databaseFolder() + QStringLiteral("/Kenvora.mdb");
    const QString folder = backUpFolder();
    const QString temporary = folder + QStringLiteral("/Kenvora.tmp");
    // A failure here shows as the copy's own error below.
    shell::makeBackUpFolder();

    // There is no ZIP or CAB archiver: rather than end the program as if a backup had been
    // made, say so and make the plain copy that restore also looks for in that case.
    if (!settings.lha && (settings.zip || settings.cab)) {
        ui::MsgBox(QStringLiteral("ZIP形式とCAB形式のバックアップはできません。\n"
                                  "圧縮せずにKenvora.mdbとしてバックアップします。"),
                   ui::Buttons::OKOnly, kTitle);
    }
    const QString target =
        folder + (settings.lha ? QStringLiteral("/Kenvora.lzh") : QStringLiteral("/Kenvora.mdb"));

    // A busy archiver stops the backup before the previous one is moved aside, so that
    // restore still finds it under its name.
    if (settings.lha && UnlhaIsRunning()) {
        ui::MsgBox(QStringLiteral("バックアップに失敗しました。\nUNLHA32.DLLが起動中です。"),
                   ui::Buttons::OKOnly, kTitle);
        return;
    }

    if (fileExists(target) && !settings.deleteBefore) {
        if (const int error = renameReplacing(target, temporary)) showSystemError(error);
    }
    QCoreApplication::processEvents();

    bool failed = false;
    if (settings.lha) {
        const int code =
            UnlhaCommand(shell::mainModule().mdiForm,
                         QStringLiteral("a ") + quoted(target) + QLatin1Char(' ') + quoted(source));
        if (code != 0) {
            UnlhaErrorMessage(code);
            failed = true;
        }
    } else if (const int error = copyFileSafely(source, target)) {
        ui::MsgBox(QStringLiteral("バックアップに失敗しました。\n") + SystemErrorText(error),
                   ui::Buttons::OKOnly, QString::fromLatin1(shell::kApplicationTitle));
        failed = true;
    }

    if (!settings.deleteBefore) {
        // A failed copy or archive leaves nothing under the target name, so the previous
        // backup goes back; one still in place is never replaced by an older Kenvora.tmp.
        if (failed && fileExists(temporary) && !fileExists(target)) {
            if (const int error = renameReplacing(temporary, target)) showSystemError(error);
        }
        if (fileExists(temporary)) {
            if (const int error = removeFile(temporary)) showSystemError(error);
        }
    }
}

}  // namespace maintenance
