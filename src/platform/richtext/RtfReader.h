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

// What the reader finds, in reading order, for a caller that wants no Document: text with
// its format and the ends of paragraphs with the format of their mark. Calls in a row may
// carry the same format, and text may still hold '\r', '\n', U+2029 and NUL, which
// appendText() turns into the model's form; text after the last paragraph end is a last
// paragraph without a mark. Put through appendText() and finishParagraph(), it is exactly
// the Document that readRtf() returns.
class RtfSink {
public:
    virtual void text(QStringView text, const Format& format) = 0;
    virtual void endParagraph(const Format& markFormat) = 0;

protected:
    RtfSink() = default;
    RtfSink(const RtfSink&) = default;
    RtfSink& operator=(const RtfSink&) = default;
    ~RtfSink() = default;
};

void readRtf(QByteArrayView rtf, RtfSink& sink);
void readRtf(QStringView rtf, RtfSink& sink);

}  // namespace richtext
