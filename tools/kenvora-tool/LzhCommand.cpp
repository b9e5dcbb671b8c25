#include <QTextStream>

#include "kenvora-tool/Commands.h"
#include "maintenance/Unlha.h"

// lzh "COMMAND LINE": runs one archiver command line as backup and restore do and prints the
// result code in hex (0x0000 for success), with the code's message on stderr.
int runLzh(const QStringList& args) {
    if (args.isEmpty()) {
        QTextStream(stderr) << "usage: kenvora-tool lzh \"COMMAND LINE\"\n";
        return 2;
    }
    const int code = UnlhaCommand(nullptr, args.join(QLatin1Char(' ')));
    QTextStream(stdout) << QString::asprintf("0x%04X\n", code);
    const QString text = UnlhaErrorText(code);
    if (!text.isEmpty()) QTextStream(stderr) << text << '\n';
    return code == 0 ? 0 : 1;
}
