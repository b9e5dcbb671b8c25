#include "maintenance/MaintenanceCommon.h"

#include "maintenance/Unlha.h"
#include "platform/dao/Database.h"
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
    ui::MsgBox(SystemErrorText(error), ui::Buttons::OKOnly,
               QString::fromLatin1(shell::kApplicationTitle));
}

void checkOpensAsKenvoraDatabase(const QString& path) {
    auto db = dao::OpenDatabase(path, false, true, QString::fromLatin1(shell::kConnectString));
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
