#pragma once

#include <QFont>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/richtext/RichText.h"

// Between the rich text model and QTextDocument.
namespace richtext {

QTextCharFormat toCharFormat(const Format& format);

// What the format shows; properties it leaves unset come from the document's default font.
Format fromCharFormat(const QTextCharFormat& format, const QFont& defaultFont);

// The model of the characters [start, end) of a document. A block break inside the range
// starts a new paragraph; a range that ends just after a break ends with an empty one.
Document documentRange(const QTextDocument& document, int start, int end);

// Inserts a model at the cursor: the first paragraph joins the block at the cursor, each
// further one starts a new block. The cursor ends after the inserted text.
void insertDocument(QTextCursor& cursor, const Document& doc);

// Inserts plain text ("\n", "\r\n" or "\r" between paragraphs) in one format.
void insertPlainText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format);

}  // namespace richtext
