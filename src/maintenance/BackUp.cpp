#include <QCoreApplication>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "maintenance/Unlha.h"
#include "platform/lzh/Archives.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataLocation.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace maintenance {

namespace {

const QString kTitle = QStringLiteral("バックアップ");

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

void showBackUpFailed(int error) {
    ui::MsgBox(QStringLiteral("バックアップに失敗しました。\n") + fileErrorText(error),
               ui::Buttons::OKOnly);
}

// Room for the new backup beside the old one while it is written: the database's size is
// more than any of the forms needs.
bool roomForBoth(const QString& source, const QString& folder) {
    constexpr long long kMargin = 1 << 20;
    const long long free = freeSpaceIn(folder);
    return free < 0 || free >= fileSize(source) + kMargin;
}

// A fresh archive each time, like the other forms: the archiver would add to an existing
// one, and a damaged one would then refuse every backup. Packed under a work name and
// renamed over the previous archive once the archiver has checked it.
bool makeLzhBackUp(const QString& source, const QString& target, int mode) {
    const QString work = workFileName(target);
    if (work.isEmpty()) {
        showBackUpFailed(errno);
        return false;
    }
    const int code =
        UnlhaCommand(shell::mainModule().mdiForm,
                     QStringLiteral("a ") + quoted(work) + QLatin1Char(' ') + quoted(source));
    if (code != 0) {
        removeFile(work);
        UnlhaErrorMessage(code);
        return false;
    }
    int error = setFileMode(work, mode);
    if (error == 0) error = renameReplacing(work, target);
    if (error != 0) {
        removeFile(work);
        showBackUpFailed(error);
        return false;
    }
    return true;
}

// Writes the backup through a work file renamed over the target once complete and checked;
// false after showing why.
bool makeBackUp(BackUpForm form, const QString& source, const QString& target, int mode) {
    switch (form) {
        case BackUpForm::Lzh:
            return makeLzhBackUp(source, target, mode);
        case BackUpForm::Zip:
        case BackUpForm::Cab: {
            const int error = form == BackUpForm::Zip ? archives::packZip(target, source, mode)
                                                      : archives::packCab(target, source, mode);
            if (error) showBackUpFailed(error);
            return error == 0;
        }
        case BackUpForm::Plain:
            break;
    }
    const int error = copyFileSafely(source, target, mode);
    if (error) showBackUpFailed(error);
    return error == 0;
}

}  // namespace

void BackUpDataBase() {
    const shell::BackUpSettings& settings = shell::mainModule().backUp;
    const QString source = databaseFolder() + QStringLiteral("/Kenvora.mdb");
    const QString folder = backUpFolder();
    const BackUpForm form = backUpForm(settings);
    const QString target = folder + QLatin1Char('/') + backUpFileName(form);
    // A failure here shows as the copy's own error below.
    shell::makeBackUpFolder();

    // A plain copy into the database's own folder is the database file itself.
    if (form == BackUpForm::Plain && shell::isSameFolder(folder, databaseFolder())) {
        shell::ShowSameFolderMessage();
        return;
    }
    if (form == BackUpForm::Lzh && UnlhaIsRunning()) {
        ui::MsgBox(QStringLiteral("バックアップに失敗しました。\nUNLHA32.DLLが起動中です。"),
                   ui::Buttons::OKOnly, kTitle);
        return;
    }
    recoverInterruptedBackUp(folder);

    // The previous backup keeps its name until the new one has replaced it in one rename, so
    // an interruption at any moment leaves one complete backup. Only when the medium cannot
    // hold both does delete-before take the old one away first, as the user chose.
    const int previousMode = fileMode(target);
    const int sourceMode = fileMode(source);
    const int mode = previousMode >= 0 ? previousMode : sourceMode >= 0 ? sourceMode : 0644;
    if (settings.deleteBefore && fileExists(target) && !roomForBoth(source, folder)) {
        if (const int error = removeFile(target)) showSystemError(error);
    }
    QCoreApplication::processEvents();

    makeBackUp(form, source, target, mode);
}

}  // namespace maintenance
