#pragma once

#include <QString>

// A database of about `targetBytes` made from the program's schema and filled with question
// sets of Japanese and English words, readings, meanings and their rich text as the Windows
// rich edit control stored it. Stands in for `kenvora-tool gen` while that is not available.
bool makeSampleDatabase(const QString& path, const QString& schemaPath, qint64 targetBytes,
                        QString* error);
