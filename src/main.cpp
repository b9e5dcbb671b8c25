#include <QCoreApplication>
#include <QTextStream>

#include "platform/dao/DaoError.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

// Until the main window exists, the program opens the database beside it and reports what
// it holds.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KENVORA"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KENVORA_VERSION));
    QTextStream out(stdout);
    try {
        shell::MainModule& m = shell::mainModule();
        m.applicationPath = QCoreApplication::applicationDirPath();
        shell::openDataStore(m.applicationPath);
        shell::loadHighestID();
        shell::loadBackUpSettings();
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        auto records = m.database->OpenRecordset(QStringLiteral("SELECT COUNT(*) FROM データ"));
        out << "Kenvora " << KENVORA_VERSION << ": " << shell::databasePath(m.databaseFolder) << "\n"
            << "問題集 (question sets): " << (m.dataBaseList.size() - 2) << "\n"
            << "レコード (records): " << records->Fields(0).Value().toLong() << "\n";
        shell::closeDataStore();
        return 0;
    } catch (const dao::DaoError& e) {
        QTextStream(stderr) << e.number() << " " << e.description() << "\n";
        return 1;
    }
}
