#pragma once

#include <QStringList>

// Each command gets its arguments after the command word and returns the exit status.
int runMkdb(const QStringList& args);
int runGen(const QStringList& args);
int runSql(const QStringList& args);
int runIndex(const QStringList& args);
int runRtf(const QStringList& args);
int runLzh(const QStringList& args);
int runImport(QStringList args);
int runExport(QStringList args);
int runBackUp(const QStringList& args);
