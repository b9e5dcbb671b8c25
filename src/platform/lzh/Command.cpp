#include "platform/lzh/Command.h"

#include <sys/stat.h>

#include <QDir>
#include <QStringEncoder>
#include <atomic>
#include <cerrno>
#include <optional>

#include "platform/lzh/Errors.h"
#include "platform/lzh/FileIo.h"
#include "platform/lzh/Reader.h"
#include "platform/lzh/Writer.h"

namespace lzh {

namespace {

std::atomic<bool> running{false};

class RunningGuard {
public:
    RunningGuard() : acquired_(!running.exchange(true)) {}
    ~RunningGuard() {
        if (acquired_) running = false;
    }
    bool acquired() const { return acquired_; }

private:
    bool acquired_;
};

struct Switches {
    bool noCompare = false;  // -c: extract even over a newer file
    bool yes = false;        // -y: answer yes to every question
};

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Member names compare as on the system the archives come from: case does not matter.
bool wildcardMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('?') ||
                                          pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
    return p == pattern.size();
}

bool hasWildcard(const QString& s) {
    return s.contains(QLatin1Char('*')) || s.contains(QLatin1Char('?'));
}

QString baseNameOf(const QString& path) {
    qsizetype i = path.size();
    while (i > 0 && !isSeparator(path[i - 1])) --i;
    return path.mid(i);
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Names go into archives in cp932, as Japanese archivers store them; a name cp932 cannot
// hold goes in as UTF-8 rather than with lost characters.
QByteArray storedNameFor(const QString& name) {
    QStringEncoder encode("windows-31j");
    QByteArray bytes = encode(name);
    if (encode.hasError() || !encode.isValid()) bytes = name.toUtf8();
    return bytes;
}

std::optional<struct stat> statOf(const QString& path) {
    struct stat st {};
    if (::stat(nativePath(path).constData(), &st) != 0) return std::nullopt;
    return st;
}

int addFiles(const QString& archive, const QStringList& files) {
    if (files.isEmpty()) return ErrorNotFileName;

    // One member per bare name; a later file of the same name wins.
    QStringList paths, names;
    for (const QString& file : files) {
        const QString name = baseNameOf(file);
        if (name.isEmpty()) return ErrorNotFindFile;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].compare(name, Qt::CaseInsensitive) == 0) {
                names.removeAt(i);
                paths.removeAt(i);
                break;
            }
        }
        const auto st = statOf(file);
        if (!st) return errno == ENOENT ? ErrorNotFindFile : ErrorFileOpen;
        if (!S_ISREG(st->st_mode)) return ErrorFileOpen;
        paths << file;
        names << name;
    }

    // The members to keep come from the archive as it is; a damaged archive is left alone.
    FileSource old;
    std::vector<Entry> entries;
    unsigned mode = defaultFileMode();
    if (const auto st = statOf(archive)) {
        if (!S_ISREG(st->st_mode)) return ErrorArcFileOpen;
        if (!(st->st_mode & S_IWUSR)) return ErrorArcReadOnly;
        mode = st->st_mode & 07777;
        // An empty file holds nothing to keep: it is written as a new archive.
        if (st->st_size > 0) {
            if (const int error = old.open(archive))
                return resultFromErrno(error, ErrorArcFileOpen);
            if (const int rc = scanArchive(old, entries)) return rc;
        }
    } else if (errno != ENOENT) {
        return resultFromErrno(errno, ErrorArcFileOpen);
    }

    TempFile work;
    if (const int error = work.create(folderOf(archive), baseNameOf(archive), mode))
        return resultFromErrno(error, ErrorTmpOpen);
    Writer writer(work);
    int kept = 0;
    for (const Entry& entry : entries) {
        const QString name = entry.name();
        const bool replaced = std::any_of(names.begin(), names.end(), [&](const QString& n) {
            return n.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (replaced) continue;
        if (const int rc = writer.copy(old, entry)) return rc;
        ++kept;
    }
    for (qsizetype i = 0; i < paths.size(); ++i)
        if (const int rc = writer.add(paths[i], storedNameFor(names[i]))) return rc;
    if (const int rc = writer.finish()) return rc;
    if (const int error = work.close()) return resultFromErrno(error, ErrorCannotWrite);

    // Read the new archive back before it replaces the old one: every header, and the data
    // of the members just packed.
    FileSource check;
    if (check.open(work.path()) != 0) return ErrorCannotWrite;
    Reader reader(check);
    int index = 0;
    const int verified = forEachEntry(
        reader, [&](const Entry&) { return index++ >= kept ? reader.read(nullptr) : Ok; });
    if (verified != Ok || index != kept + paths.size()) return ErrorCannotWrite;

    if (const int error = work.commit(archive)) return resultFromErrno(error, ErrorTmpCopy);
    return Ok;
}

int extractOne(Reader& reader, const Entry& entry, const QString& folder, const QString& name,
               const Switches& switches) {
    const QString target = joinPath(folder, name);
    unsigned mode = defaultFileMode();
    if (const auto st = statOf(target)) {
        if (!S_ISREG(st->st_mode)) return ErrorCannotWrite;
        if (!switches.noCompare && entry.modified != 0 && st->st_mtim.tv_sec > entry.modified)
            return ErrorMoreFresh;
        // Nobody to ask here: without -y an existing file is kept.
        if (!switches.yes) return ErrorAlreadyExist;
        if (!(st->st_mode & S_IWUSR)) return ErrorReadOnly;
        mode = st->st_mode & 07777;
    }

    TempFile work;
    if (const int error = work.create(folder, name, mode))
        return resultFromErrno(error, ErrorTmpOpen);
    const int rc = reader.read([&](const std::uint8_t* p, std::size_t n) {
        const int error = work.write(p, n);
        return error ? resultFromErrno(error, ErrorCannotWrite) : Ok;
    });
    if (rc) return rc;
    if (entry.modified != 0) {
        if (const int error = work.setModificationTime(entry.modified))
            return resultFromErrno(error, ErrorCannotWrite);
    }
    if (const int error = work.commit(target)) return resultFromErrno(error, ErrorCannotWrite);
    return Ok;
}

int openArchive(const QString& archive, FileSource& source) {
    const auto st = statOf(archive);
    if (!st) return errno == ENOENT ? ErrorNoArchiveFile : resultFromErrno(errno, ErrorArcFileOpen);
    if (!S_ISREG(st->st_mode)) return ErrorArcFileOpen;
    if (const int error = source.open(archive)) return resultFromErrno(error, ErrorArcFileOpen);
    return Ok;
}

int extractFiles(const QString& archive, QString folder, const QStringList& patterns,
                 const Switches& switches) {
    FileSource source;
    if (const int rc = openArchive(archive, source)) return rc;
    // The whole archive must read cleanly before anything is written.
    std::vector<Entry> entries;
    if (const int rc = scanArchive(source, entries)) return rc;

    if (folder.isEmpty()) folder = QStringLiteral(".");
    if (!QDir().mkpath(folder)) return ErrorMakeDirectory;

    // A member asked for by its exact name is written under that name, so a restore finds
    // "Kenvora.mdb" even in an archive that spells it otherwise.
    auto outputName = [&](const Entry& entry) -> std::optional<QString> {
        if (entry.isDirectory()) return std::nullopt;
        const QString full = entry.name();
        const QString base = entry.baseName();
        if (patterns.isEmpty()) return base;
        for (const QString& pattern : patterns) {
            const bool withFolder = pattern.contains(QLatin1Char('/'));
            if (!wildcardMatch(pattern, withFolder ? full : base)) continue;
            return hasWildcard(pattern) ? base : baseNameOf(pattern);
        }
        return std::nullopt;
    };
    const bool any = std::any_of(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return outputName(e).has_value(); });
    if (!any) return ErrorNotFindFile;

    Reader reader(source);
    return forEachEntry(reader, [&](const Entry& entry) {
        const auto name = outputName(entry);
        return name ? extractOne(reader, entry, folder, *name, switches) : Ok;
    });
}

int testFiles(const QString& archive) {
    FileSource source;
    if (const int rc = openArchive(archive, source)) return rc;
    return testArchive(source);
}

}  // namespace

QList<CommandWord> splitCommandLine(const QString& commandLine) {
    QList<CommandWord> words;
    qsizetype i = 0;
    const qsizetype n = commandLine.size();
    while (i < n) {
        while (i < n && commandLine[i].isSpace()) ++i;
        if (i >= n) break;
        CommandWord word;
        bool quoted = false, inQuotes = false;
        while (i < n && (inQuotes || !commandLine[i].isSpace())) {
            if (commandLine[i] == QLatin1Char('"')) {
                quoted = true;
                inQuotes = !inQuotes;
            } else {
                word.text += commandLine[i];
            }
            ++i;
        }
        word.isSwitch = !quoted && word.text.startsWith(QLatin1Char('-'));
        words << word;
    }
    return words;
}

int runCommand(const QString& commandLine) {
    RunningGuard guard;
    if (!guard.acquired()) return ErrorAlreadyRunning;

    Switches switches;
    QStringList args;
    for (const CommandWord& word : splitCommandLine(commandLine)) {
        if (!word.isSwitch) {
            args << word.text;
            continue;
        }
        const QString s = word.text.mid(1).toLower();
        if (s == QLatin1String("c")) switches.noCompare = true;
        if (s == QLatin1String("y")) switches.yes = true;
        // Other switches of the command-line archivers change nothing here.
    }
    if (args.isEmpty()) return ErrorCommandName;
    const QString command = args.takeFirst().toLower();
    if (command != QLatin1String("a") && command != QLatin1String("e") &&
        command != QLatin1String("t"))
        return ErrorCommandName;
    if (args.isEmpty() || args.first().isEmpty()) return ErrorNoArchiveName;
    const QString archive = args.takeFirst();

    if (command == QLatin1String("a")) {
        // A word ending in a separator is the folder the following relative names are in.
        QString base;
        QStringList files;
        for (const QString& arg : args) {
            if (!arg.isEmpty() && isSeparator(arg.back()))
                base = arg;
            else
                files << (base.isEmpty() || arg.startsWith(QLatin1Char('/')) ? arg
                                                                             : joinPath(base, arg));
        }
        return addFiles(archive, files);
    }
    if (command == QLatin1String("e")) {
        QString folder;
        if (!args.isEmpty() && !args.first().isEmpty() && isSeparator(args.first().back())) {
            folder = args.takeFirst();
            while (folder.size() > 1 && isSeparator(folder.back())) folder.chop(1);
        }
        return extractFiles(archive, folder, args, switches);
    }
    return testFiles(archive);
}

bool checkArchive(const QString& path) {
    FileSource source;
    if (source.open(path) != 0) return false;
    std::vector<Entry> entries;
    return scanArchive(source, entries) == Ok;
}

bool isRunning() {
    return running;
}

}  // namespace lzh
