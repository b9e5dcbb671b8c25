#pragma once

#include <QString>
#include <QStringView>

#include <memory>

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

// RTF straight to the HTML that documentToHtml(readRtf(rtf), base) gives, without building
// the document: an export turns every record's RTF into HTML. Keeps its buffers from one
// call to the next; one per thread.
class RtfToHtml {
public:
    RtfToHtml();
    ~RtfToHtml();
    RtfToHtml(const RtfToHtml&) = delete;
    RtfToHtml& operator=(const RtfToHtml&) = delete;

    void append(QStringView rtf, const richtext::Format& base, QString& out);

private:
    class Sink;
    std::unique_ptr<Sink> sink_;
};

}  // namespace exchange
