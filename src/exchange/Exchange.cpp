#include "exchange/Exchange.h"

#include "exchange/frmExport.h"
#include "exchange/frmImport.h"
#include "records/RecordWindows.h"
#include "sets/DataBaseItemCheck.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace exchange {

namespace {

// New sets from a file do not split typed text until the user gives delimiters.
const QString kNoSplit = QStringLiteral("^@");

QStringList setNames() {
    QStringList names;
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) names << list[i].name;
    return names;
}

void dropListEntry(std::int32_t dbID) {
    auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) {
        if (list[i].dbID != dbID) continue;
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

}  // namespace

std::optional<sets::NewDataBaseInputs> newSetInputs(const QString& name,
                                                    const QStringList& itemNames,
                                                    QString* message) {
    const sets::ItemCheck check = sets::checkDataBaseItemText(name, QString(), 0, setNames());
    if (!check.valid) {
        if (message) *message = check.message;
        return std::nullopt;
    }
    sets::NewDataBaseInputs in;
    in[0] = name;
    const int kinds[] = {1, 3, 5};
    for (int k = 0; k < 3; ++k) {
        const QString given = k < itemNames.size() ? itemNames[k].trimmed() : QString();
        const bool usable =
            !given.isEmpty() && sets::checkDataBaseItemText(given, QString(), kinds[k], {}).valid;
        in[kinds[k]] = usable ? given : targetCaption(k);
    }
    in[2] = sets::checkDataBaseItemText(kNoSplit, QString(), 2, {}).normalized;
    in[4] = sets::checkDataBaseItemText(kNoSplit, QString(), 4, {}).normalized;
    return in;
}

ImportOutcome ImportIntoDataBase(const ImportSettings& settings, ImportTarget& target,
                                 const Progress& progress) {
    shell::MainModule& m = shell::mainModule();
    records::SaveAllRecordWindows();
    std::int32_t made = -1;
    const auto prepare = [&]() -> std::int32_t {
        if (!target.newSet) return target.dbID;
        made = sets::AddDataBaseRow(*target.newSet);
        return made;
    };
    ImportOutcome outcome = importRecords(*m.database, settings, prepare, m.highestID, progress);
    if (outcome.status == ImportOutcome::Status::Stored) {
        if (made >= 0) target.dbID = made;
    } else if (made >= 0) {
        dropListEntry(made);  // its row went with the transaction
    }
    return outcome;
}

void ShowImportedRecords(const ImportTarget& target) {
    shell::MainModule& m = shell::mainModule();
    if (target.newSet) {
        sets::OpenNewDataBaseWindow(target.dbID);
        return;
    }
    for (size_t i = 2; i < m.dataBaseList.size(); ++i)
        m.dataBaseList[i].changed = m.dataBaseList[i].dbID == target.dbID;
    records::RefreshRecordWindows();
    for (size_t i = 2; i < m.dataBaseList.size(); ++i) m.dataBaseList[i].changed = false;
}

ExportOutcome ExportFromDataBase(const ExportSettings& settings, const Progress& progress) {
    records::SaveAllRecordWindows();
    return exportRecords(*shell::mainModule().database, settings, progress);
}

QList<std::int32_t> allDataBaseIDs() {
    QList<std::int32_t> ids;
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) ids << list[i].dbID;
    return ids;
}

void ShowImportDialog(std::int32_t dbID) {
    frmImport dialog(shell::mainModule().mdiForm, dbID);
    if (dialog.chooseFile()) dialog.exec();
}

void ShowExportDialog(std::int32_t dbID) {
    frmExport dialog(shell::mainModule().mdiForm, dbID);
    dialog.exec();
}

}  // namespace exchange
