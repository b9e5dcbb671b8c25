#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

#include "common/TempDatabase.h"

// The real program on the test's X display (see on-desktop.sh): its own database folder,
// settings and runtime folder; driven with xdotool; its database read with kenvora-tool.
class DesktopSession {
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // The database, before the start or after the end.
    void generate(int sets, int records);
    void sql(const QString& statement);
    // Rows of a SELECT, each a list of its columns as kenvora-tool prints them.
    std::vector<QStringList> rows(const QString& statement);
    // What kenvora-tool prints for a statement, whole (values may hold line breaks).
    QString output(const QString& statement);

    void start();
    // True once the main window is up.
    bool waitForMainWindow(std::chrono::milliseconds timeout);
    // True once a visible window's title matches (a regular expression, as xdotool takes it).
    bool waitForWindow(const QString& title, std::chrono::milliseconds timeout);
    // The main window's title: "KENVORA - [set]" while a maximised record window is in front.
    QString mainWindowTitle();
    // The focus to the main window, the way its window manager gives it.
    void focusMainWindow();
    void keys(const QStringList& keys);
    bool waitForExit(std::chrono::milliseconds timeout);
    // ファイル › 終了(&X) with keys; again when they went nowhere (the focus arriving late).
    bool exitByMenu();
    QString mainWindowId();

private:
    QString xdotool(const QStringList& args);
    QStringList visibleWindows(const QString& title);
    QString tool(const QStringList& args);

    testing_support::TempDatabase file_;
    QTemporaryDir home_;
    QProcess program_;
};
