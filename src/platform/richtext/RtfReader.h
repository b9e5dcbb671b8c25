#pragma once

#include <QByteArrayView>
#include <QStringView>

#include "platform/richtext/RichText.h"

namespace richtext {

// True when the data starts, after blanks, with "{\rtf".
bool looksLikeRtf(QByteArrayView data);
bool looksLikeRtf(QStringView text);

// Reads RTF as RichEdit, Word and LibreOffice write it. It never fails: from damaged input
// (truncated, unbalanced, hostile) it keeps the text it can read, with bounded memory and
// no recursion. Input that is not RTF at all is taken as plain text (UTF-8, or cp932 when
// it is not valid UTF-8). Bytes after the root group are ignored.
Document readRtf(QByteArrayView rtf);

// The same for RTF held in a string, as the database keeps it: characters above ASCII are
// taken as text as they are (an RTF string only has them when a writer left text
// unescaped).
Document readRtf(QStringView rtf);

}  // namespace richtext
