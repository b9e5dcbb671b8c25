#include "maintenance/MaintenanceFixture.h"

#include <QDir>
#include <QFile>

#include "maintenance/BackUpSchedule.h"
#include "platform/dao/Database.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

void MaintenanceTest::SetUp() {
    shell::resetMainModule();
    maintenance::resetScheduleState();
    shell::MainModule& m = shell::mainModule();
    m.applicationPath = file.folder();
    shell::openDataStore(file.folder());
    m.backUp.folder = backUpDir.path();
    m.backUp.loaded = true;  // as start-up leaves them
}

void MaintenanceTest::TearDown() {
    shell::closeDataStore();
    shell::resetMainModule();
    maintenance::resetScheduleState();
}

void MaintenanceTest::execute(const QString& path, const QString& sql) {
    auto db = dao::OpenDatabase(path, false, false, QString::fromLatin1(shell::kConnectString));
    db->Execute(sql);
    db->Close();
}

QString MaintenanceTest::scalar(const QString& path, const QString& sql) {
    auto db = dao::OpenDatabase(path, false, true, QString::fromLatin1(shell::kConnectString));
    auto rs = db->OpenRecordset(sql, dao::dbOpenSnapshot);
    const QString value = rs->RecordCount() > 0 ? rs->Fields(0).Value().displayText() : QString();
    rs->Close();
    db->Close();
    return value;
}

void MaintenanceTest::makeDatabaseCopy(const QString& target, const QString& setName) {
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(testing_support::templateDatabasePath(), target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    execute(target,
            "INSERT INTO データベース設定 (dbID, データベース名) VALUES (7, '" + setName + "')");
}

QByteArray MaintenanceTest::read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void MaintenanceTest::write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QStringList MaintenanceTest::filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}
