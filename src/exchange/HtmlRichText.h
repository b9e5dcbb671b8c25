#pragma once

#include <QString>
#include <QStringView>

#include "platform/richtext/RichText.h"

// The HTML that flashcard programs keep in their fields, as rich text and back. Bold,
// italic, underline, strike-through, colour, face and size survive; <br> and block ends
// become paragraph breaks; every other tag is dropped and its text kept (script and style
// lose their text too).
namespace exchange {

// `base` is the format of text no tag changes: the set's face and size for the item.
richtext::Document htmlToDocument(QStringView html, const richtext::Format& base);

// Paragraphs joined by <br>; a run's differences from `base` as <b>, <i>, <u>, <s> and a
// <span style> for colour, face and size.
QString documentToHtml(const richtext::Document& document, const richtext::Format& base);

}  // namespace exchange
