#include <QCoreApplication>

#include "maintenance/FileSteps.h"
#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace maintenance {

namespace {

constexpr int kRenumberAbove = 10000;

// A large file whose IDs run far beyond its record count gets them renumbered 1, 2, 3, ...
// in ID order, so the IDs of new records stay small.
void renumberRecordIDs(dao::Database& db) {
    auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM データ ORDER BY ID ASC"),
                               dao::dbOpenDynaset);
    if (rs->RecordCount() == 0) {
        rs->Close();
        return;
    }
    rs->MoveLast();
    const long long n = rs->RecordCount();
    const long long lastID = rs->value(QStringLiteral("ID")).toLong();
    if (n > kRenumberAbove && lastID > 2 * n) {
        // One transaction: all records renumbered or none, and one write to the disk
        // instead of one per record.
        db.BeginTrans();
        try {
            rs->MoveFirst();
            std::int32_t id = 1;
            while (!rs->AtEOF()) {
                rs->Edit();
                rs->Fields(QStringLiteral("ID")) = id++;
                rs->Update();
                rs->MoveNext();
            }
            db.CommitTrans();
        } catch (...) {
            db.Rollback();
            throw;
        }
    }
    rs->Close();
}

// The backup settings are one row that start-up reads; a file without it could never start,
// so the repair puts the supplied defaults back.
void addMissingDefaultRows(const QString& path) {
    auto db = dao::OpenDatabase(path, false, false, QString::fromLatin1(shell::kConnectString));
    auto rs =
        db->OpenRecordset(QStringLiteral("select  * from バックアップ設定"), dao::dbOpenDynaset);
    const bool missing = rs->RecordCount() == 0;
    rs->Close();
    if (missing)
        db->Execute(QStringLiteral(
            "INSERT INTO バックアップ設定 (パターン, 開始時, 開始分, 実施, 削除後, Lha, Zip, Cab) "
            "VALUES ('　　　毎日', 0, 0, False, False, False, False, False)"));
    db->Close();
}

}  // namespace

void OptimizeDataBase(bool withBackUp) {
    shell::MainModule& m = shell::mainModule();
    const QString folder = databaseFolder();
    const QString file = folder + QStringLiteral("/Kenvora.mdb");
    const QString compacted = folder + QStringLiteral("/KenvoraN.mdb");

    if (m.database && m.database->isOpen()) {
        try {
            renumberRecordIDs(*m.database);
        } catch (...) {
            shell::closeDataStore();
            throw;
        }
    }
    shell::closeDataStore();

    if (fileExists(compacted)) {
        if (const int error = removeFile(compacted)) showSystemError(error);
    }

    dao::CompactDatabase(file, compacted, QStringLiteral(";LANGID=0x0411;CP=932;COUNTRY=0"), 32,
                         QStringLiteral(";PWD=") + QString::fromLatin1(shell::kDatabasePassword) +
                             QStringLiteral(";"));

    // The old file is replaced only by a compacted file that is on the disk and opens as
    // our database; until then it stays where it is.
    try {
        addMissingDefaultRows(compacted);
        checkOpensAsKenvoraDatabase(compacted);
    } catch (...) {
        removeFile(compacted);
        throw;
    }
    // The compacted file is the same kind of file as the one it replaces.
    const int mode = fileMode(file);
    int error = mode >= 0 ? setFileMode(compacted, mode) : 0;
    if (error == 0) error = syncFile(compacted);
    if (error == 0) error = renameReplacing(compacted, file);
    if (error != 0) {
        removeFile(compacted);
        showSystemError(error);
        return;
    }

    if (withBackUp) BackUpDataBase();
}

}  // namespace maintenance
