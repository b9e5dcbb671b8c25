#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

#include "platform/richtext/RichText.h"

namespace richtext {

// {"text": ..., "runs": [{"text", "bold", "italic", "underline", "strike", "color", "size",
// "font"}]}: the runs cover the text in order, neighbouring runs of equal format merged; a
// paragraph break belongs to the run before it. "color" ("#rrggbb") is left out for
// automatic colour.
QJsonObject toJson(const Document& doc);

// Reads that form back. A run may carry "offset_utf16" (or "offset") to place itself, as the
// corpus expectations do; attributes a run leaves out, and text no run covers, take `base`.
// Every "\n" of the text is a paragraph break. Nothing when the runs do not match the text.
std::optional<Document> fromJson(const QJsonObject& json, const Format& base,
                                 QString* error = nullptr);

// A document from text with one format per UTF-16 unit ('\n' ends a paragraph; its format
// becomes that of the paragraph mark).
Document documentFromFormattedText(const QString& text, const std::vector<Format>& formats);

}  // namespace richtext
