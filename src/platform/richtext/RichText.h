#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

// The rich text model that sits between RTF and the screen: paragraphs of runs, each run
// with the character formatting the program uses. No widgets, no RTF here.
namespace richtext {

// The face new records start with; also what an empty face name stands for when written.
QString defaultFace();

struct Format {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    QString font;                        // face name as the font table spells it
    double size = 12;                    // points (RTF's own default is 12)
    std::optional<std::uint32_t> color;  // 0xRRGGBB; empty: automatic (window text)

    friend bool operator==(const Format&, const Format&) = default;
};

// Run text never holds '\n' or '\r': a paragraph break is a new Paragraph. A line break
// inside a paragraph (RTF \line) is U+2028; a tab is '\t'.
struct Run {
    QString text;
    Format format;

    friend bool operator==(const Run&, const Run&) = default;
};

// Canonical form, which the reader, the control and appendText() keep: a paragraph has at
// least one run; an empty paragraph has exactly one run with empty text, whose format is
// that of the paragraph mark (what typing there would get); otherwise no run is empty and
// neighbouring runs differ in format.
struct Paragraph {
    std::vector<Run> runs;

    bool isEmpty() const;
    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

struct Document {
    std::vector<Paragraph> paragraphs;

    // Paragraphs joined by "\n", line breaks as "\n": positions agree with the control's.
    QString plainText() const;
    bool isEmpty() const { return paragraphs.empty(); }

    // One paragraph per line ("\n", "\r\n" or a lone "\r" ends one; "" is one empty
    // paragraph), all in one format.
    static Document fromPlainText(const QString& text, const Format& format);

    friend bool operator==(const Document&, const Document&) = default;
};

// Appends text to a paragraph, merging with its last run when the format is the same.
// Turns '\n' (and U+2029) into U+2028 so the paragraph stays one paragraph; drops '\r' and
// the other control characters except '\t', which no text box shows.
void appendText(Paragraph& paragraph, QStringView text, const Format& format);

// Closes a paragraph for the canonical form: an empty one gets its mark's format.
void finishParagraph(Paragraph& paragraph, const Format& markFormat);

// "#rrggbb", lower case, as the corpus and the tool print colours.
QString colorName(std::uint32_t rgb);
std::optional<std::uint32_t> parseColorName(const QString& text);

}  // namespace richtext
