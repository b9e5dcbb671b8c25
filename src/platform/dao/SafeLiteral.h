#pragma once

#include <QString>

// Putting a user's text into a Jet statement: it never becomes SQL text of its own.
namespace dao {

// The text as a Jet string literal, quotes doubled: don't -> 'don''t'.
QString sqlLiteral(const QString& text);

// The text made safe inside a LIKE pattern: the wildcards * ? # and the bracket [ match
// themselves (C# -> C[#]). Quote the finished pattern with sqlLiteral.
QString likeEscape(const QString& text);

}  // namespace dao
