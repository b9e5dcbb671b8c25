#include "shell/DataStore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "shell/DataLocation.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"
#include "shell/WordIndexUpdate.h"

namespace shell {

QString withoutTrailingSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
}

QString databaseFolderFromSettings(const QString& applicationPath) {
    QString folder = readFile0();
    if (folder.isEmpty()) {
        folder = firstRunDatabaseFolder(applicationPath);
        // Without a database the user locates the file, and that choice is remembered.
        if (!folder.isEmpty()) writeFile0(folder);
    }
    return withoutTrailingSlash(folder);
}

QString databasePath(const QString& folder) {
    return folder + QLatin1Char('/') + QLatin1String(kDatabaseFileName);
}

bool isSameFolder(const QString& a, const QString& b) {
    // The root is kept as "".
    const QString first = a.isEmpty() ? QStringLiteral("/") : a;
    const QString second = b.isEmpty() ? QStringLiteral("/") : b;
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(first).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(second).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QDir(first).absolutePath()) ==
           QDir::cleanPath(QDir(second).absolutePath());
}

namespace {

// Table name -> field names, read from the schema the supplied database is made from.
const std::vector<std::pair<QString, QStringList>>& definedTables() {
    static const std::vector<std::pair<QString, QStringList>> tables = [] {
        std::vector<std::pair<QString, QStringList>> result;
        QFile file(QStringLiteral(":/shell/schema.sql"));
        if (!file.open(QIODevice::ReadOnly)) return result;
        static const QRegularExpression create(QStringLiteral("^CREATE TABLE \"([^\"]+)\""));
        static const QRegularExpression field(QStringLiteral("^\\s+\"([^\"]+)\""));
        bool inTable = false;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (const auto m = create.match(line); m.hasMatch()) {
                result.push_back({m.captured(1), {}});
                inTable = true;
            } else if (line.startsWith(QLatin1Char(')'))) {
                inTable = false;
            } else if (const auto f = field.match(line); inTable && f.hasMatch()) {
                result.back().second << f.captured(1);
            }
        }
        return result;
    }();
    return tables;
}

}  // namespace

void checkTableLayout(const dao::Database& db) {
    // The program's own four tables; whatever else the schema grows (an index the data layer
    // keeps, say) is not required of older files.
    static const QStringList checked = {
        QStringLiteral("データ"), QStringLiteral("データベース設定"),
        QStringLiteral("バックアップ設定"), QStringLiteral("MDI画面設定")};
    for (const auto& [table, fields] : definedTables()) {
        if (!checked.contains(table)) continue;
        if (db.TableFieldNames(table) != fields)
            throw dao::DaoError(
                dao::err::ItemNotFound,
                QStringLiteral("テーブル '%1' のフィールド構成が正しくありません。").arg(table));
    }
}

void openDataStore(const QString& folder) {
    MainModule& m = mainModule();
    m.databaseFolder = folder;
    m.workspace = dao::CreateWorkspace(QString(), QStringLiteral("admin"), QString(), 2);
    m.database = m.workspace->OpenDatabase(databasePath(folder), false, false,
                                           QString::fromLatin1(kConnectString));
    try {
        checkTableLayout(*m.database);
    } catch (const dao::DaoError&) {
        // Nothing may be written to a file whose fields are not where the program puts them.
        closeDataStore();
        throw;
    }
    // A file without the word index (an older one, a restored backup) gets it here.
    bringWordIndexUpToDate();
}

void loadHighestID() {
    MainModule& m = mainModule();
    auto rs = m.database->OpenRecordset(QStringLiteral("SELECT * FROM データ ORDER BY ID ASC"),
                                        dao::dbOpenDynaset);
    m.highestID = 0;
    if (rs->RecordCount() > 0) {
        rs->MoveLast();
        m.highestID = rs->value(QStringLiteral("ID")).toLong();
    }
    rs->Close();
}

void loadBackUpSettings() {
    loadBackUpSettingsFrom(*mainModule().database);
}

void loadBackUpSettingsFrom(dao::Database& db) {
    MainModule& m = mainModule();
    auto rs =
        db.OpenRecordset(QStringLiteral("select  * from バックアップ設定"), dao::dbOpenDynaset);
    rs->MoveFirst();
    BackUpSettings b;
    b.pattern = rs->value(QStringLiteral("パターン")).displayText();
    b.hour = rs->value(QStringLiteral("開始時")).toInteger();
    b.minute = rs->value(QStringLiteral("開始分")).toInteger();
    b.enabled = rs->value(QStringLiteral("実施")).toBool();
    const dao::Variant folder = rs->value(QStringLiteral("フォルダ"));
    b.defaultFolder = folder.isNull();
    b.folder = withoutTrailingSlash(b.defaultFolder ? defaultBackUpFolder(m.databaseFolder)
                                                    : folder.toString());
    b.deleteBefore = rs->value(QStringLiteral("削除後")).toBool();
    b.lha = rs->value(QStringLiteral("Lha")).toBool();
    b.zip = rs->value(QStringLiteral("Zip")).toBool();
    b.cab = rs->value(QStringLiteral("Cab")).toBool();
    b.loaded = true;
    rs->Close();
    m.backUp = b;
}

void openSettingsRecordset() {
    MainModule& m = mainModule();
    m.settingsRecordset = m.database->OpenRecordset(
        QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
}

void rebuildDataBaseList() {
    MainModule& m = mainModule();
    m.dataBaseList.clear();
    m.dataBaseList.push_back({QStringLiteral("新規データベース作成"), -1, false});
    m.dataBaseList.push_back({QStringLiteral("データベースがありません"), -1, false});
    dao::Recordset& rs = *m.settingsRecordset;
    if (rs.RecordCount() == 0) return;
    rs.MoveFirst();
    while (!rs.AtEOF()) {
        m.dataBaseList.push_back({rs.value(QStringLiteral("データベース名")).displayText(),
                                  rs.value(QStringLiteral("dbID")).toLong(), false});
        rs.MoveNext();
    }
}

void LoadChildSettings(int slot, std::int32_t dbID) {
    MainModule& m = mainModule();
    dao::Recordset& rs = *m.settingsRecordset;
    rs.FindFirst(QStringLiteral("dbID =%1").arg(dbID));
    if (rs.NoMatch()) dao::raise(dao::err::NoCurrentRecord);
    if (static_cast<int>(m.childSettings.size()) <= slot) m.childSettings.resize(slot + 1);
    ChildSettings& s = m.childSettings[slot];
    s.dbID = rs.value(QStringLiteral("dbID")).toInteger();
    s.name = rs.value(QStringLiteral("データベース名")).displayText();
    s.slotFree = false;
    s.settings = readSetSettings(rs);
}

std::int32_t NewDataBaseID() {
    std::vector<DataBaseEntry>& list = mainModule().dataBaseList;
    const int upper = static_cast<int>(list.size()) - 1;
    if (upper <= 1) {
        list.resize(3);
        list[2] = {QString(), 1, false};
        return 1;
    }
    for (int candidate = 1; candidate <= upper - 1; ++candidate) {
        bool taken = false;
        for (int i = 2; i <= upper; ++i) taken = taken || list[i].dbID == candidate;
        if (!taken) {
            list.push_back({QString(), candidate, false});
            return candidate;
        }
    }
    list.push_back({QString(), upper, false});
    return upper;
}

void closeDataStore() {
    MainModule& m = mainModule();
    m.settingsRecordset.reset();
    m.recordsets.clear();
    if (m.database) m.database->Close();
    m.database.reset();
    m.workspace.reset();
}

}  // namespace shell
