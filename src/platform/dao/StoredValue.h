#pragma once

#include "platform/dao/Schema.h"
#include "platform/dao/Variant.h"

struct sqlite3_stmt;

// How Jet values are kept in the file: dates "YYYY-MM-DD", times "HH:MM:SS", Yes/No 1 and 0,
// Single as REAL rounded through a 32-bit float, texts as UTF-8.
namespace dao {

// Converts a value for a field of the given type, raising Jet's errors for a value that does
// not fit (6 overflow, 13 type mismatch, 3163 text too long). The result is what is stored.
Variant coerceForField(const Variant& value, JetType type, int textLimit);

// Binds an already coerced value.
void bindStored(sqlite3_stmt* stmt, int index, const Variant& value, JetType type);

// Reads a column as the field type says; Unknown takes the type from the stored value.
Variant readStored(sqlite3_stmt* stmt, int column, JetType type);

}  // namespace dao
