#pragma once

#include <QString>

struct sqlite3;

namespace dao {

// Registers the Jet functions the translated SQL calls: jet_like, jet_format, jet_concat,
// jet_cstr.
void registerJetFunctions(sqlite3* db);

// Jet's LIKE: * any run, ? one character, # one digit, [list] and [!list] with ranges.
// Latin letters match regardless of case, in both widths.
bool jetLike(const QString& value, const QString& pattern);

}  // namespace dao
