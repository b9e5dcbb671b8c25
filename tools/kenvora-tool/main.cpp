#include <QCoreApplication>
#include <QTextStream>

#include "kenvora-tool/Commands.h"

namespace {

int usage() {
    QTextStream(stderr) << "usage: kenvora-tool COMMAND ...\n"
                           "  mkdb PATH                          make the supplied database\n"
                           "  gen PATH --sets K --records N      fill a database with test data\n"
                           "  sql PATH \"STATEMENT\"               run one Jet SQL statement\n"
                           "  index PATH [--rebuild | --drop]    bring the word index up to date\n"
                           "  rtf dump FILE | rtf write          RTF <-> JSON\n"
                           "  lzh \"COMMAND LINE\"                 run an archiver command line\n"
                           "  import FILE --set NAME|--new NAME  import a word list into a set\n"
                           "  export FILE [--set NAME]           export one set or all\n"
                           "  backup DBFOLDER BACKUPFOLDER [plain|lzh|zip|cab]\n"
                           "                                     back up as the program does\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return usage();
    const QString command = args.takeFirst();
    if (command == "mkdb") return runMkdb(args);
    if (command == "gen") return runGen(args);
    if (command == "sql") return runSql(args);
    if (command == "index") return runIndex(args);
    if (command == "rtf") return runRtf(args);
    if (command == "lzh") return runLzh(args);
    if (command == "import") return runImport(args);
    if (command == "export") return runExport(args);
    if (command == "backup") return runBackUp(args);
    return usage();
}
