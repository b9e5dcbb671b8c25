#include "exchange/HtmlRichText.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

#include "platform/richtext/RtfReader.h"

namespace exchange {

namespace {

using richtext::Document;
using richtext::Format;
using richtext::Paragraph;

const QHash<QString, char16_t>& namedEntities() {
    static const QHash<QString, char16_t> entities{
        {QStringLiteral("amp"), u'&'},    {QStringLiteral("lt"), u'<'},
        {QStringLiteral("gt"), u'>'},     {QStringLiteral("quot"), u'"'},
        {QStringLiteral("apos"), u'\''},  {QStringLiteral("nbsp"), u' '},
        {QStringLiteral("ensp"), u' '},   {QStringLiteral("emsp"), u' '},
        {QStringLiteral("copy"), u'©'},   {QStringLiteral("reg"), u'®'},
        {QStringLiteral("hellip"), u'…'}, {QStringLiteral("mdash"), u'—'},
        {QStringLiteral("ndash"), u'–'},  {QStringLiteral("laquo"), u'«'},
        {QStringLiteral("raquo"), u'»'},  {QStringLiteral("times"), u'×'},
        {QStringLiteral("divide"), u'÷'}, {QStringLiteral("middot"), u'·'},
        {QStringLiteral("yen"), u'¥'},    {QStringLiteral("deg"), u'°'}};
    return entities;
}

// Decodes one entity starting at text[i] == '&'; returns the characters consumed (0: not an
// entity, the '&' stands for itself).
int decodeEntity(QStringView text, qsizetype i, QString& out) {
    const qsizetype semicolon = text.indexOf(u';', i + 1);
    if (semicolon < 0 || semicolon - i > 12) return 0;
    const QStringView name = text.mid(i + 1, semicolon - i - 1);
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                              ? name.mid(2).toUInt(&ok, 16)
                              : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
        const char32_t c = code;
        out += QString::fromUcs4(&c, 1);
        return static_cast<int>(semicolon - i + 1);
    }
    const auto found = namedEntities().constFind(name.toString().toLower());
    if (found == namedEntities().constEnd()) return 0;
    out += QChar(found.value());
    return static_cast<int>(semicolon - i + 1);
}

QString decodeEntities(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (const int used = decodeEntity(text, i, out)) {
                i += used - 1;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<std::uint32_t> parseCssColor(QString value) {
    value = value.trimmed().toLower();
    if (value.startsWith(u'#')) {
        if (value.size() == 4)  // #rgb
            value = QStringLiteral("#%1%1%2%2%3%3").arg(value[1]).arg(value[2]).arg(value[3]);
        return richtext::parseColorName(value);
    }
    static const QRegularExpression rgb(
        QStringLiteral(R"re(^rgba?\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*(,[^)]*)?\)$)re"));
    if (const auto m = rgb.match(value); m.hasMatch()) {
        const auto part = [&m](int n) { return std::min(m.captured(n).toUInt(), 255u); };
        return part(1) << 16 | part(2) << 8 | part(3);
    }
    static const QHash<QString, std::uint32_t> names{
        {QStringLiteral("black"), 0x000000},   {QStringLiteral("white"), 0xFFFFFF},
        {QStringLiteral("red"), 0xFF0000},     {QStringLiteral("green"), 0x008000},
        {QStringLiteral("blue"), 0x0000FF},    {QStringLiteral("yellow"), 0xFFFF00},
        {QStringLiteral("gray"), 0x808080},    {QStringLiteral("grey"), 0x808080},
        {QStringLiteral("orange"), 0xFFA500},  {QStringLiteral("purple"), 0x800080},
        {QStringLiteral("navy"), 0x000080},    {QStringLiteral("maroon"), 0x800000},
        {QStringLiteral("teal"), 0x008080},    {QStringLiteral("olive"), 0x808000},
        {QStringLiteral("lime"), 0x00FF00},    {QStringLiteral("aqua"), 0x00FFFF},
        {QStringLiteral("fuchsia"), 0xFF00FF}, {QStringLiteral("silver"), 0xC0C0C0}};
    const auto found = names.constFind(value);
    if (found != names.constEnd()) return found.value();
    return std::nullopt;
}

// One attribute's value from a tag's attribute text (quoted or bare), entities decoded.
QString attribute(QStringView attributes, QStringView name) {
    qsizetype i = 0;
    const qsizetype n = attributes.size();
    while (i < n) {
        while (i < n && (attributes[i].isSpace() || attributes[i] == u'/')) ++i;
        const qsizetype nameStart = i;
        while (i < n && !attributes[i].isSpace() && attributes[i] != u'=' && attributes[i] != u'/')
            ++i;
        const QStringView key = attributes.mid(nameStart, i - nameStart);
        while (i < n && attributes[i].isSpace()) ++i;
        QStringView value;
        if (i < n && attributes[i] == u'=') {
            ++i;
            while (i < n && attributes[i].isSpace()) ++i;
            if (i < n && (attributes[i] == u'"' || attributes[i] == u'\'')) {
                const QChar quote = attributes[i++];
                const qsizetype valueStart = i;
                while (i < n && attributes[i] != quote) ++i;
                value = attributes.mid(valueStart, i - valueStart);
                if (i < n) ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !attributes[i].isSpace()) ++i;
                value = attributes.mid(valueStart, i - valueStart);
            }
        }
        if (key.isEmpty()) {
            if (i == nameStart) ++i;  // a stray character: step over it
            continue;
        }
        if (key.compare(name, Qt::CaseInsensitive) == 0) return decodeEntities(value);
    }
    return {};
}

void applyStyle(const QString& style, Format& f) {
    for (const QString& declaration : style.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) continue;
        const QString property = declaration.left(colon).trimmed().toLower();
        const QString value = declaration.mid(colon + 1).trimmed();
        const QString lower = value.toLower();
        if (property == QLatin1String("color")) {
            if (const auto c = parseCssColor(value)) f.color = c;
        } else if (property == QLatin1String("font-weight")) {
            f.bold = lower == QLatin1String("bold") || lower == QLatin1String("bolder") ||
                     lower.toInt() >= 600;
        } else if (property == QLatin1String("font-style")) {
            f.italic = lower == QLatin1String("italic") || lower == QLatin1String("oblique");
        } else if (property == QLatin1String("text-decoration") ||
                   property == QLatin1String("text-decoration-line")) {
            if (lower.contains(QLatin1String("underline"))) f.underline = true;
            if (lower.contains(QLatin1String("line-through"))) f.strike = true;
            if (lower == QLatin1String("none")) f.underline = f.strike = false;
        } else if (property == QLatin1String("font-family")) {
            QString face = value.section(u',', 0, 0).trimmed();
            if (face.size() >= 2 && (face.front() == u'"' || face.front() == u'\''))
                face = face.mid(1, face.size() - 2);
            if (!face.isEmpty()) f.font = face;
        } else if (property == QLatin1String("font-size")) {
            bool ok = false;
            if (lower.endsWith(QLatin1String("pt"))) {
                const double pt = lower.chopped(2).toDouble(&ok);
                if (ok && pt > 0 && pt < 1000) f.size = pt;
            } else if (lower.endsWith(QLatin1String("px"))) {
                const double px = lower.chopped(2).toDouble(&ok);
                if (ok && px > 0 && px < 1000) f.size = px * 0.75;
            }
        }
    }
}

bool isBlock(const QString& tag) {
    static const QStringList blocks{
        QStringLiteral("div"),   QStringLiteral("p"),          QStringLiteral("li"),
        QStringLiteral("tr"),    QStringLiteral("h1"),         QStringLiteral("h2"),
        QStringLiteral("h3"),    QStringLiteral("h4"),         QStringLiteral("h5"),
        QStringLiteral("h6"),    QStringLiteral("ul"),         QStringLiteral("ol"),
        QStringLiteral("table"), QStringLiteral("blockquote"), QStringLiteral("pre")};
    return blocks.contains(tag);
}

bool isVoid(const QString& tag) {
    static const QStringList voids{QStringLiteral("br"),   QStringLiteral("img"),
                                   QStringLiteral("hr"),   QStringLiteral("input"),
                                   QStringLiteral("meta"), QStringLiteral("link"),
                                   QStringLiteral("wbr"),  QStringLiteral("source")};
    return voids.contains(tag);
}

class Builder {
public:
    explicit Builder(const Format& base) : base_(base) { stack_.push_back({QString(), base}); }

    const Format& format() const { return stack_.back().format; }

    void text(const QString& t) {
        if (t.isEmpty()) return;
        if (pendingBreak_ && !current_.runs.empty()) newParagraph();
        pendingBreak_ = false;
        richtext::appendText(current_, t, format());
    }
    void lineBreak() {
        pendingBreak_ = false;
        newParagraph();
    }
    void blockBoundary() { pendingBreak_ = true; }

    void open(const QString& tag, const Format& f) { stack_.push_back({tag, f}); }
    void close(const QString& tag) {
        for (auto i = stack_.size(); i > 1; --i) {
            if (stack_[i - 1].tag != tag) continue;
            stack_.resize(i - 1);
            return;
        }
    }

    Document finish() {
        richtext::finishParagraph(current_, format());
        doc_.paragraphs.push_back(std::move(current_));
        return std::move(doc_);
    }

private:
    struct Level {
        QString tag;
        Format format;
    };
    void newParagraph() {
        richtext::finishParagraph(current_, format());
        doc_.paragraphs.push_back(std::move(current_));
        current_ = Paragraph{};
    }

    Format base_;
    std::vector<Level> stack_;
    Document doc_;
    Paragraph current_;
    bool pendingBreak_ = false;
};

void appendEscaped(QStringView text, QString& out) {
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QLatin1StringView entity;
        switch (text[i].unicode()) {
            case u'&':
                entity = QLatin1StringView("&amp;");
                break;
            case u'<':
                entity = QLatin1StringView("&lt;");
                break;
            case u'>':
                entity = QLatin1StringView("&gt;");
                break;
            case u'"':
                entity = QLatin1StringView("&quot;");
                break;
            case 0x2028:
                entity = QLatin1StringView("<br>");
                break;
            default:
                continue;
        }
        out += text.mid(from, i - from);
        out += entity;
        from = i + 1;
    }
    out += text.mid(from);
}

QString sizeText(double size) {
    return QString::number(size, 'g', 6) + QLatin1String("pt");
}

// One run: its differences from `base` as a <span style> and <b>, <i>, <u>, <s>.
void appendRunHtml(QStringView text, const Format& f, const Format& base, QString& out) {
    const bool color = f.color && f.color != base.color;
    const bool face = !f.font.isEmpty() && f.font != base.font;
    const bool size = f.size != base.size;
    const bool span = color || face || size;
    if (span) {
        out += QLatin1String("<span style=\"");
        const char* separator = "";
        if (color) {
            out += QLatin1String("color:") + richtext::colorName(*f.color);
            separator = ";";
        }
        if (face) {
            out += QLatin1String(separator) + QLatin1String("font-family:");
            appendEscaped(f.font, out);
            separator = ";";
        }
        if (size) out += QLatin1String(separator) + QLatin1String("font-size:") + sizeText(f.size);
        out += QLatin1String("\">");
    }
    const bool b = f.bold && !base.bold, i = f.italic && !base.italic,
               u = f.underline && !base.underline, st = f.strike && !base.strike;
    if (b) out += QLatin1String("<b>");
    if (i) out += QLatin1String("<i>");
    if (u) out += QLatin1String("<u>");
    if (st) out += QLatin1String("<s>");
    appendEscaped(text, out);
    if (st) out += QLatin1String("</s>");
    if (u) out += QLatin1String("</u>");
    if (i) out += QLatin1String("</i>");
    if (b) out += QLatin1String("</b>");
    if (span) out += QLatin1String("</span>");
}

}  // namespace

Document htmlToDocument(QStringView html, const Format& base) {
    Builder b(base);
    QString text;
    const auto flush = [&] {
        b.text(decodeEntities(text));
        text.clear();
    };
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html[i];
        if (c == u'\r' || c == u'\n') {
            // A line break typed into the field rather than written as <br>.
            flush();
            if (c == u'\r' && i + 1 < html.size() && html[i + 1] == u'\n') ++i;
            b.lineBreak();
            continue;
        }
        if (c != u'<') {
            text += c;
            continue;
        }
        if (html.mid(i, 4) == QLatin1String("<!--")) {
            const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
            i = end < 0 ? html.size() : end + 2;
            continue;
        }
        const qsizetype end = html.indexOf(u'>', i + 1);
        const bool looksLikeTag =
            end > i + 1 && (html[i + 1].isLetter() || html[i + 1] == u'/' || html[i + 1] == u'!');
        if (!looksLikeTag) {
            text += c;  // a lone "<" is text
            continue;
        }
        flush();
        const QString inside = html.mid(i + 1, end - i - 1).toString();
        i = end;
        const bool closing = inside.startsWith(u'/');
        const QString body = closing ? inside.mid(1) : inside;
        qsizetype nameEnd = 0;
        while (nameEnd < body.size() && (body[nameEnd].isLetterOrNumber())) ++nameEnd;
        const QString tag = body.left(nameEnd).toLower();
        const QString attributes = body.mid(nameEnd);
        if (tag.isEmpty()) continue;
        if (tag == QLatin1String("br")) {
            b.lineBreak();
            continue;
        }
        if (!closing && (tag == QLatin1String("script") || tag == QLatin1String("style"))) {
            const qsizetype close =
                html.indexOf(QStringLiteral("</%1").arg(tag), i + 1, Qt::CaseInsensitive);
            const qsizetype closeEnd = close < 0 ? -1 : html.indexOf(u'>', close);
            i = closeEnd < 0 ? html.size() : closeEnd;
            continue;
        }
        if (isBlock(tag)) b.blockBoundary();
        if (closing) {
            b.close(tag);
            continue;
        }
        if (isVoid(tag) || attributes.trimmed().endsWith(u'/')) continue;
        Format f = b.format();
        if (tag == QLatin1String("b") || tag == QLatin1String("strong")) f.bold = true;
        if (tag == QLatin1String("i") || tag == QLatin1String("em")) f.italic = true;
        if (tag == QLatin1String("u") || tag == QLatin1String("ins")) f.underline = true;
        if (tag == QLatin1String("s") || tag == QLatin1String("strike") ||
            tag == QLatin1String("del"))
            f.strike = true;
        if (tag == QLatin1String("font")) {
            if (const auto color = parseCssColor(attribute(attributes, u"color"))) f.color = color;
            const QString face = attribute(attributes, u"face");
            if (!face.isEmpty()) f.font = face.section(u',', 0, 0).trimmed();
        }
        applyStyle(attribute(attributes, u"style"), f);
        b.open(tag, f);
    }
    flush();
    return b.finish();
}

QString documentToHtml(const Document& document, const Format& base) {
    QString out;
    bool firstParagraph = true;
    for (const Paragraph& p : document.paragraphs) {
        if (!firstParagraph) out += QLatin1String("<br>");
        firstParagraph = false;
        for (const richtext::Run& run : p.runs)
            if (!run.text.isEmpty()) appendRunHtml(run.text, run.format, base, out);
    }
    return out;
}

// The reader's findings are merged into runs as appendText() would merge them, so each run
// gets the same tags as in documentToHtml(); a paragraph is counted once it has text or
// its end, as the Document counts it.
class RtfToHtml::Sink final : public richtext::RtfSink {
public:
    void start(const Format& base, QString& out) {
        base_ = &base;
        out_ = &out;
        run_.resize(0);  // keeps the buffer
        paragraphs_ = 0;
        inParagraph_ = false;
    }
    void text(QStringView text, const Format& format) override {
        // What appendText() keeps: no CR or NUL, and '\n' and U+2029 as line breaks.
        const auto special = [](QChar c) {
            return c == QLatin1Char('\r') || c.unicode() == 0 || c == QLatin1Char('\n') ||
                   c == QChar::ParagraphSeparator;
        };
        const bool clean = std::none_of(text.begin(), text.end(), special);
        const bool kept = clean || std::any_of(text.begin(), text.end(), [](QChar c) {
                              return c != QLatin1Char('\r') && c.unicode() != 0;
                          });
        if (!kept) return;
        if (!run_.isEmpty() && !(format == runFormat_)) flushRun();
        if (run_.isEmpty()) runFormat_ = format;
        if (clean) {
            run_ += text;
            return;
        }
        for (const QChar c : text) {
            if (c == QLatin1Char('\r') || c.unicode() == 0) continue;
            run_ += special(c) ? QChar(QChar::LineSeparator) : c;
        }
    }
    void endParagraph(const Format&) override {
        flushRun();
        beginParagraph();
        ++paragraphs_;
        inParagraph_ = false;
    }
    void finish() { flushRun(); }

private:
    void beginParagraph() {
        if (inParagraph_) return;
        if (paragraphs_ > 0) *out_ += QLatin1String("<br>");
        inParagraph_ = true;
    }
    void flushRun() {
        if (run_.isEmpty()) return;
        beginParagraph();
        appendRunHtml(run_, runFormat_, *base_, *out_);
        run_.resize(0);  // keeps the buffer
    }

    const Format* base_ = nullptr;
    QString* out_ = nullptr;
    QString run_;
    Format runFormat_;
    int paragraphs_ = 0;
    bool inParagraph_ = false;
};

RtfToHtml::RtfToHtml() : sink_(std::make_unique<Sink>()) {}
RtfToHtml::~RtfToHtml() = default;

void RtfToHtml::append(QStringView rtf, const Format& base, QString& out) {
    sink_->start(base, out);
    richtext::readRtf(rtf, *sink_);
    sink_->finish();
}

}  // namespace exchange
