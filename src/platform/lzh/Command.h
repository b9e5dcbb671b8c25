#pragma once

#include <QString>
#include <QStringList>

namespace lzh {

// The archiver driven by command lines, as backup and restore build them:
//   a "ARCHIVE" "FILE"...                 add files under their bare names, replacing
//                                         members of the same name, creating the archive
//   e "ARCHIVE" ["FOLDER/"] [NAME...]     extract members (by bare name, * and ? allowed)
//                                         into FOLDER; -c: even over newer files,
//                                         -y: overwrite without asking (else refused)
//   t "ARCHIVE"                           test every member
// Returns 0 or a code of Errors.h. Archives are replaced and files extracted through a work
// file in the same folder, renamed into place only when complete and checked.
int runCommand(const QString& commandLine);

// Every header of the file is sound and it holds at least one member.
bool checkArchive(const QString& path);

// True while runCommand is working.
bool isRunning();

// The command line split as the archiver reads it: blanks separate, double quotes group and
// are dropped. A switch is an unquoted word starting with '-'.
struct CommandWord {
    QString text;
    bool isSwitch = false;
};
QList<CommandWord> splitCommandLine(const QString& commandLine);

}  // namespace lzh
