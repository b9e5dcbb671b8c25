#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include "exchange/Exchange.h"
#include "kenvora-tool/Commands.h"
#include "platform/dao/DaoError.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}
QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// Takes "--name VALUE" out of the arguments.
std::optional<QString> takeOption(QStringList& args, const QString& name) {
    const qsizetype i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size()) return std::nullopt;
    const QString value = args.at(i + 1);
    args.remove(i, 2);
    return value;
}
bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

// Opens the database of --db (a folder or its Kenvora.mdb), or of the program's setting.
bool openDatabase(QStringList& args) {
    // The setting is only read (and on a first run written) when no --db is given.
    const auto given = takeOption(args, QStringLiteral("--db"));
    QString folder =
        given ? *given : shell::databaseFolderFromSettings(QCoreApplication::applicationDirPath());
    if (QFileInfo(folder).isFile()) folder = QFileInfo(folder).absolutePath();
    try {
        shell::openDataStore(folder);
        shell::loadHighestID();
        shell::openSettingsRecordset();
        shell::rebuildDataBaseList();
        shell::mainModule().settingsRecordset.reset();
    } catch (const dao::DaoError& e) {
        err() << e.number() << " " << e.description() << "\n";
        return false;
    }
    return true;
}

std::optional<std::int32_t> setNamed(const QString& name) {
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i)
        if (list[i].name == name) return list[i].dbID;
    return std::nullopt;
}

}  // namespace

int runImport(QStringList args) {
    const auto usage = [] {
        err() << "usage: kenvora-tool import FILE --set NAME|--new NAME [--db PATH]\n"
                 "       [--encoding utf-8|utf-16le|utf-16be|cp932] [--format csv|tab|note]\n"
                 "       [--header|--no-header] [--html|--no-html] [--columns 1,2,-,3,...]\n"
                 "       [--keep-empty]\n";
        return 2;
    };
    const auto setName = takeOption(args, QStringLiteral("--set"));
    const auto newName = takeOption(args, QStringLiteral("--new"));
    const auto encoding = takeOption(args, QStringLiteral("--encoding"));
    const auto format = takeOption(args, QStringLiteral("--format"));
    const auto columns = takeOption(args, QStringLiteral("--columns"));
    const bool header = takeFlag(args, QStringLiteral("--header"));
    const bool noHeader = takeFlag(args, QStringLiteral("--no-header"));
    const bool html = takeFlag(args, QStringLiteral("--html"));
    const bool noHtml = takeFlag(args, QStringLiteral("--no-html"));
    const bool keepEmpty = takeFlag(args, QStringLiteral("--keep-empty"));
    if (!openDatabase(args)) return 1;
    if (args.size() != 1 || setName.has_value() == newName.has_value()) return usage();

    std::optional<exchange::Encoding> chosenEncoding;
    if (encoding) {
        const QString e = encoding->toLower();
        if (e == "utf-8" || e == "utf8")
            chosenEncoding = exchange::Encoding::Utf8;
        else if (e == "utf-16le")
            chosenEncoding = exchange::Encoding::Utf16LE;
        else if (e == "utf-16be")
            chosenEncoding = exchange::Encoding::Utf16BE;
        else if (e == "cp932" || e == "shift_jis" || e == "sjis")
            chosenEncoding = exchange::Encoding::Cp932;
        else
            return usage();
    }
    std::optional<exchange::FileFormat> chosenFormat;
    if (format) {
        if (*format == "csv")
            chosenFormat = exchange::FileFormat::Csv;
        else if (*format == "tab")
            chosenFormat = exchange::FileFormat::Tab;
        else if (*format == "note")
            chosenFormat = exchange::FileFormat::Note;
        else
            return usage();
    }
    const exchange::FileProbe probe = exchange::probeFile(args[0], chosenEncoding, chosenFormat);
    if (!probe.error.isEmpty()) {
        err() << args[0] << ": " << probe.error << "\n";
        return 1;
    }
    exchange::ImportSettings settings = probe.settings;
    if (header) settings.headerRow = true;
    if (noHeader) settings.headerRow = false;
    if (html) settings.html = true;
    if (noHtml) settings.html = false;
    settings.skipEmptyItem1 = !keepEmpty;
    if (columns) {
        // "1,2,-,3": column n goes to item n, "c" the comment, "s" the source, "-" nowhere.
        settings.mapping.clear();
        for (const QString& c : columns->split(',')) {
            const QString t = c.trimmed().toLower();
            settings.mapping << (t == "1"   ? 0
                                 : t == "2" ? 1
                                 : t == "3" ? 2
                                 : t == "c" ? 3
                                 : t == "s" ? 4
                                            : exchange::kSkipColumn);
        }
    }

    exchange::ImportTarget target;
    if (setName) {
        const auto dbID = setNamed(*setName);
        if (!dbID) {
            err() << "no set named " << *setName << "\n";
            return 1;
        }
        target.dbID = *dbID;
    } else {
        QStringList itemNames;
        for (int t = 0; t < 3; ++t) {
            const int column = static_cast<int>(settings.mapping.indexOf(t));
            itemNames << (column >= 0 ? probe.columnNames.value(column) : QString());
        }
        QString message;
        target.newSet = exchange::newSetInputs(*newName, itemNames, &message);
        if (!target.newSet) {
            err() << message << "\n";
            return 1;
        }
    }
    const exchange::ImportOutcome outcome = exchange::ImportIntoDataBase(settings, target);
    shell::closeDataStore();
    if (outcome.status != exchange::ImportOutcome::Status::Stored) {
        err() << outcome.message << "\n";
        return 1;
    }
    out() << outcome.stored << " records stored, " << outcome.skipped << " rows skipped\n";
    return 0;
}

int runExport(QStringList args) {
    const auto usage = [] {
        err() << "usage: kenvora-tool export FILE [--set NAME] [--db PATH]\n"
                 "       [--format csv|csv-cp932|tab|note] [--counters] [--rate] [--dates]\n";
        return 2;
    };
    const auto setName = takeOption(args, QStringLiteral("--set"));
    const auto format = takeOption(args, QStringLiteral("--format"));
    exchange::ExportSettings settings;
    settings.counters = takeFlag(args, QStringLiteral("--counters"));
    settings.rate = takeFlag(args, QStringLiteral("--rate"));
    settings.dates = takeFlag(args, QStringLiteral("--dates"));
    if (!openDatabase(args)) return 1;
    if (args.size() != 1) return usage();
    const QString f = format.value_or(QStringLiteral("csv"));
    if (f == "csv")
        settings.format = exchange::ExportFormat::CsvUtf8;
    else if (f == "csv-cp932")
        settings.format = exchange::ExportFormat::CsvCp932;
    else if (f == "tab")
        settings.format = exchange::ExportFormat::Tab;
    else if (f == "note")
        settings.format = exchange::ExportFormat::Note;
    else
        return usage();
    if (setName) {
        const auto dbID = setNamed(*setName);
        if (!dbID) {
            err() << "no set named " << *setName << "\n";
            return 1;
        }
        settings.dbIDs << *dbID;
    } else {
        settings.dbIDs = exchange::allDataBaseIDs();
        settings.setColumn = true;
    }
    settings.path = args[0];
    const exchange::ExportOutcome outcome = exchange::ExportFromDataBase(settings);
    shell::closeDataStore();
    if (outcome.status != exchange::ExportOutcome::Status::Written) {
        err() << outcome.message << "\n";
        return 1;
    }
    out() << outcome.records << " records written";
    if (outcome.unmappable > 0) out() << ", " << outcome.unmappable << " characters as \"?\"";
    out() << "\n";
    return 0;
}
