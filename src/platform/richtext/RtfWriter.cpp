#include "platform/richtext/RtfWriter.h"

#include <vector>

#include "platform/richtext/Codepage.h"

namespace richtext {

namespace {

struct FontSlot {
    QString face;
    int charset = 0;
};

class Writer {
public:
    explicit Writer(const Document& doc) : doc_(doc) {}

    QByteArray run() {
        collectTables();
        qsizetype estimate = 256;
        for (const Paragraph& p : doc_.paragraphs)
            for (const Run& r : p.runs) estimate += r.text.size() * 8 + 24;
        out_.reserve(estimate);
        out_ += "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out_ += "{\\f" + QByteArray::number(static_cast<int>(i)) + "\\fnil\\fcharset" +
                    QByteArray::number(fonts_[i].charset) + ' ';
            writeFontName(fonts_[i]);
            out_ += ";}";
        }
        out_ += "}\r\n";
        if (!colors_.empty()) {
            out_ += "{\\colortbl ;";
            for (std::uint32_t c : colors_)
                out_ += "\\red" + QByteArray::number((c >> 16) & 0xFF) + "\\green" +
                        QByteArray::number((c >> 8) & 0xFF) + "\\blue" +
                        QByteArray::number(c & 0xFF) + ';';
            out_ += "}\r\n";
        }
        out_ += "\\viewkind4\\uc1\\pard\\lang1041";
        for (const Paragraph& p : doc_.paragraphs) {
            for (const Run& r : p.runs) {
                writeFormat(r.format);
                writeText(r.text);
            }
            out_ += "\\par\r\n";
            needSpace_ = false;
        }
        out_ += "}\r\n";
        return out_;
    }

private:
    static QString faceOf(const Format& f) { return f.font.isEmpty() ? defaultFace() : f.font; }

    int fontIndex(const QString& face) {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i].face == face) return static_cast<int>(i);
        int charset = 0;
        if (isJapaneseFace(face))
            charset = 128;
        else
            for (QChar c : face)
                if (c.unicode() >= 0x80) charset = 1;  // names written as \u
        fonts_.push_back(FontSlot{face, charset});
        return static_cast<int>(fonts_.size()) - 1;
    }

    int colorIndex(const std::optional<std::uint32_t>& color) {
        if (!color) return 0;
        const std::uint32_t rgb = *color & 0xFFFFFFu;
        for (std::size_t i = 0; i < colors_.size(); ++i)
            if (colors_[i] == rgb) return static_cast<int>(i) + 1;
        colors_.push_back(rgb);
        return static_cast<int>(colors_.size());
    }

    void collectTables() {
        bool any = false;
        for (const Paragraph& p : doc_.paragraphs)
            for (const Run& r : p.runs) {
                fontIndex(faceOf(r.format));
                colorIndex(r.format.color);
                any = true;
            }
        if (!any) fontIndex(defaultFace());
    }

    void word(const char* w, int param = -1) {
        out_ += w;
        if (param >= 0) out_ += QByteArray::number(param);
        needSpace_ = true;
    }

    void writeFormat(const Format& f) {
        const int font = fontIndex(faceOf(f));
        const int size = qMax(1, qRound(f.size * 2));
        const int color = colorIndex(f.color);
        if (!started_ || font != font_) {
            // LibreOffice takes the face of Japanese characters from the associated font of
            // a \dbch run, not from \f; Word and RichEdit read \f. Both get the same face.
            word("\\f", font);
            word("\\dbch\\af", font);
        }
        if (!started_ || size != size_) word("\\fs", size);
        if (started_ ? color != color_ : color != 0) word("\\cf", color);
        if (started_ ? f.bold != bold_ : f.bold) word(f.bold ? "\\b" : "\\b0");
        if (started_ ? f.italic != italic_ : f.italic) word(f.italic ? "\\i" : "\\i0");
        if (started_ ? f.underline != underline_ : f.underline)
            word(f.underline ? "\\ul" : "\\ulnone");
        if (started_ ? f.strike != strike_ : f.strike) word(f.strike ? "\\strike" : "\\strike0");
        started_ = true;
        font_ = font;
        size_ = size;
        color_ = color;
        bold_ = f.bold;
        italic_ = f.italic;
        underline_ = f.underline;
        strike_ = f.strike;
        japanese_ = fonts_[static_cast<std::size_t>(font)].charset == 128;
    }

    void hexByte(unsigned char b) {
        static const char digits[] = "0123456789abcdef";
        out_ += "\\'";
        out_ += digits[b >> 4];
        out_ += digits[b & 0xF];
        needSpace_ = false;
    }

    void unicodeUnit(char16_t u) {
        out_ += "\\u";
        out_ += QByteArray::number(static_cast<int>(static_cast<std::int16_t>(u)));
        out_ += '?';
        needSpace_ = false;
    }

    void literal(char c) {
        if (needSpace_) out_ += ' ';
        needSpace_ = false;
        out_ += c;
    }

    void writeText(const QString& text, bool cp932Bytes) {
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (c == '\\' || c == '{' || c == '}') {
                out_ += '\\';
                out_ += static_cast<char>(c);
                needSpace_ = false;
            } else if (c == '\t') {
                word("\\tab");
            } else if (c == QChar::LineSeparator) {
                word("\\line");
            } else if (c == QChar::ParagraphSeparator || c == '\n') {
                word("\\par");
            } else if (c == '\r') {
                continue;  // half of a CR LF line break, which \par already wrote
            } else if (c < 0x20 || c == 0x7F) {
                // Other control characters are kept, so the RTF copy reads back as the plain one.
                unicodeUnit(c);
            } else if (c < 0x80) {
                literal(static_cast<char>(c));
            } else {
                unsigned char bytes[2];
                const int len =
                    cp932Bytes && !QChar::isSurrogate(c) ? detail::cp932Encode(c, bytes) : 0;
                if (len == 0) {
                    unicodeUnit(c);
                } else {
                    for (int k = 0; k < len; ++k) hexByte(bytes[k]);
                }
            }
        }
    }

    void writeText(const QString& text) { writeText(text, japanese_); }

    void writeFontName(const FontSlot& slot) {
        QString name = slot.face;
        name.remove(QLatin1Char(';'));
        // Face names never carry control characters; the reader drops them there.
        name.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
        needSpace_ = false;
        writeText(name, slot.charset == 128);
    }

    const Document& doc_;
    QByteArray out_;
    std::vector<FontSlot> fonts_;
    std::vector<std::uint32_t> colors_;
    bool needSpace_ = false;
    bool started_ = false;
    int font_ = 0;
    int size_ = 0;
    int color_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strike_ = false;
    bool japanese_ = true;
};

}  // namespace

QByteArray writeRtf(const Document& doc) {
    return Writer(doc).run();
}

QString writeRtfString(const Document& doc) {
    return QString::fromLatin1(writeRtf(doc));
}

bool isJapaneseFace(const QString& face) {
    bool ascii = true;
    for (QChar c : face)
        if (c.unicode() >= 0x80) ascii = false;
    if (!ascii) return detail::cp932Holds(face);
    static const char* const known[] = {
        "MS Gothic",    "MS PGothic",    "MS UI Gothic", "MS Mincho",        "MS PMincho",
        "Meiryo",       "Meiryo UI",     "Yu Gothic",    "Yu Gothic UI",     "Yu Mincho",
        "IPAGothic",    "IPAPGothic",    "IPAMincho",    "IPAPMincho",       "IPAexGothic",
        "IPAexMincho",  "IPAUIGothic",   "TakaoGothic",  "TakaoPGothic",     "TakaoMincho",
        "TakaoPMincho", "VL Gothic",     "VL PGothic",   "Noto Sans CJK JP", "Noto Serif CJK JP",
        "Noto Sans JP", "Noto Serif JP", "Osaka",        "HGGothicE",        "HGMinchoE"};
    for (const char* k : known)
        if (face.compare(QLatin1StringView(k), Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace richtext
