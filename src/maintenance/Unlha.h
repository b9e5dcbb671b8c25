#pragma once

#include <QString>

class QWidget;

// The archiver's entry points as backup and restore call them. The archiver is built in
// (platform/lzh) and answers the same command lines with the same result codes.

// Runs an archiver command line ("a ..." to pack, "e ... -c -y" to unpack); 0 or an error
// code. `owner` is the window the archiver would report to; it shows nothing of its own.
int UnlhaCommand(QWidget* owner, const QString& commandLine);
// True while a command runs.
bool UnlhaIsRunning();
// The basic archive check: every header is sound. The path may come in double quotes.
bool UnlhaIsArchive(const QString& path);
// The built-in archiver is always there.
bool UnlhaIsPresent();

// The message for a result code, empty for 0 and for codes without one.
QString UnlhaErrorText(int code);
// Shows "バックアップ失敗" and the code's message (title "バックアップ", OK) through the dialog
// service of platform/ui; nothing for 0 and for codes without a message.
void UnlhaErrorMessage(int code);

// The system's text for an errno value; empty when the system has none.
QString SystemErrorText(int errorCode);
// Where the system keeps its libraries. The archiver does not live there: see UnlhaIsPresent.
QString SystemDirectory();
