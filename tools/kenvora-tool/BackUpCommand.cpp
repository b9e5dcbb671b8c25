#include <QFileInfo>
#include <QTextStream>

#include "kenvora-tool/Commands.h"
#include "maintenance/Maintenance.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

// backup DATABASE-FOLDER BACKUP-FOLDER [plain|lzh|zip|cab] [--delete-before]: backs the
// folder's Kenvora.mdb up the way the program does at exit, and prints every message the
// program would have shown.
int runBackUp(const QStringList& args) {
    const QStringList forms = {QStringLiteral("plain"), QStringLiteral("lzh"),
                               QStringLiteral("zip"), QStringLiteral("cab")};
    const qsizetype form = args.size() >= 3 ? forms.indexOf(args[2]) : 0;
    if (args.size() < 2 || form < 0) {
        QTextStream(stderr) << "usage: kenvora-tool backup DATABASE-FOLDER BACKUP-FOLDER "
                               "[plain|lzh|zip|cab] [--delete-before]\n";
        return 2;
    }
    shell::MainModule& m = shell::mainModule();
    m.databaseFolder = shell::withoutTrailingSlash(QFileInfo(args[0]).absoluteFilePath());
    m.applicationPath = m.databaseFolder;
    m.backUp.folder = shell::withoutTrailingSlash(QFileInfo(args[1]).absoluteFilePath());
    m.backUp.lha = form == 1;
    m.backUp.zip = form == 2;
    m.backUp.cab = form == 3;
    m.backUp.deleteBefore = args.contains(QStringLiteral("--delete-before"));
    m.backUp.loaded = true;

    ui::ScopedScriptedDialogs boxes;
    maintenance::BackUpDataBase();
    for (const ui::ShownDialog& box : boxes->shown())
        QTextStream(stderr) << box.title << ": " << box.text << '\n';
    return boxes->shown().empty() ? 0 : 1;
}
