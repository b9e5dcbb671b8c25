#include "maintenance/MaintenanceCommon.h"

#include "maintenance/FileSteps.h"
#include "maintenance/Unlha.h"
#include "platform/dao/Database.h"
#include "platform/lzh/Archives.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace maintenance {

QString databaseFolder() {
    const shell::MainModule& m = shell::mainModule();
    return shell::withoutTrailingSlash(m.databaseFolder.isEmpty() ? m.applicationPath
                                                                  : m.databaseFolder);
}

QString backUpFolder() {
    return shell::withoutTrailingSlash(shell::mainModule().backUp.folder);
}

void showSystemError(int error) {
    ui::MsgBox(SystemErrorText(error), ui::Buttons::OKOnly);
}

QString fileErrorText(int error) {
    switch (error) {
        case archives::NotAnArchive:
            return QStringLiteral("書庫を開く事が出来ません｡");
        case archives::DamagedMember:
            return QStringLiteral("格納ファイルのチェックサムが合っていません｡");
        case archives::MemberMissing:
            return QStringLiteral("ファイルが見つかりません｡");
        case archives::TooLarge:
            return QStringLiteral("ファイルが大きすぎます。");
        default:
            return SystemErrorText(error);
    }
}

BackUpForm backUpForm(const shell::BackUpSettings& settings) {
    if (settings.lha) return BackUpForm::Lzh;
    if (settings.zip) return BackUpForm::Zip;
    if (settings.cab) return BackUpForm::Cab;
    return BackUpForm::Plain;
}

QString backUpFileName(BackUpForm form) {
    switch (form) {
        case BackUpForm::Lzh:
            return QStringLiteral("Kenvora.lzh");
        case BackUpForm::Zip:
            return QStringLiteral("Kenvora.zip");
        case BackUpForm::Cab:
            return QStringLiteral("Kenvora.cab");
        case BackUpForm::Plain:
            break;
    }
    return QStringLiteral("Kenvora.mdb");
}

void recoverInterruptedBackUp(const QString& folder) {
    removeStaleWorkFiles(folder);
    const QString temporary = folder + QStringLiteral("/Kenvora.tmp");
    if (!fileExists(temporary)) return;
    QString name;
    switch (archives::detectFormat(temporary)) {
        case archives::Format::Lzh:
            name = QStringLiteral("Kenvora.lzh");
            break;
        case archives::Format::Zip:
            name = QStringLiteral("Kenvora.zip");
            break;
        case archives::Format::Cab:
            name = QStringLiteral("Kenvora.cab");
            break;
        case archives::Format::SQLite:
            name = QStringLiteral("Kenvora.mdb");
            break;
        case archives::Format::Unknown:
            return;  // not ours to touch
    }
    const QString target = folder + QLatin1Char('/') + name;
    // A backup in place is newer than the one that was moved aside before it was made.
    const int error =
        fileExists(target) ? removeFile(temporary) : renameReplacing(temporary, target);
    if (error) showSystemError(error);
}

void checkOpensAsKenvoraDatabase(const QString& path) {
    auto db = dao::OpenDatabase(path, false, true, QString::fromLatin1(shell::kConnectString));
    shell::checkTableLayout(*db);
    // The password alone would pass an empty file made with it; the tables the program reads
    // at start-up must be there too.
    for (const char* sql : {"select  * from データベース設定", "select  * from バックアップ設定",
                            "select  * from MDI画面設定", "SELECT * FROM データ ORDER BY ID ASC"}) {
        auto rs = db->OpenRecordset(QString::fromUtf8(sql), dao::dbOpenDynaset);
        rs->Close();
    }
    db->Close();
}

}  // namespace maintenance
