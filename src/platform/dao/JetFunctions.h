#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace dao {

// Registers the Jet functions the translated SQL calls: jet_like, jet_format, jet_concat,
// jet_cstr.
void registerJetFunctions(sqlite3* db);

// Jet's LIKE: * any run, ? one character, # one digit, [list] and [!list] with ranges.
// Latin letters match regardless of case, in both widths.
bool jetLike(const QString& value, const QString& pattern);

// The case folding jet_like applies to every character of a value and of a pattern.
char32_t foldLikeChar(char32_t c);
// Decodes one code point as jet_like does: a broken sequence yields U+FFFD and moves on one
// byte, so a well-formed run inside a damaged text still decodes as itself.
char32_t nextLikeCodePoint(std::string_view utf8, size_t& i);
// The runs of plain characters (folded) that every value matching the pattern contains;
// empty when the pattern requires none ("*", "*?*").
std::vector<std::u32string> likeRequiredRuns(std::string_view pattern);

}  // namespace dao
