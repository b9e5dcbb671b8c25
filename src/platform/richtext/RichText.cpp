#include "platform/richtext/RichText.h"

namespace richtext {

QString defaultFace() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}

bool Paragraph::isEmpty() const {
    for (const Run& run : runs)
        if (!run.text.isEmpty()) return false;
    return true;
}

QString Document::plainText() const {
    QString out;
    qsizetype length = 0;
    for (const Paragraph& p : paragraphs)
        for (const Run& r : p.runs) length += r.text.size() + 1;
    out.reserve(length);
    bool first = true;
    for (const Paragraph& p : paragraphs) {
        if (!first) out += QLatin1Char('\n');
        first = false;
        for (const Run& r : p.runs) {
            const qsizetype start = out.size();
            out += r.text;
            for (qsizetype i = start; i < out.size(); ++i)
                if (out[i] == QChar::LineSeparator) out[i] = QLatin1Char('\n');
        }
    }
    return out;
}

Document Document::fromPlainText(const QString& text, const Format& format) {
    Document doc;
    Paragraph current;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        const bool end = i == n;
        if (!end && text[i] != QLatin1Char('\n') && text[i] != QLatin1Char('\r') &&
            text[i] != QChar::ParagraphSeparator)
            continue;
        appendText(current, QStringView(text).mid(start, i - start), format);
        finishParagraph(current, format);
        doc.paragraphs.push_back(std::move(current));
        current = Paragraph();
        if (!end && text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    return doc;
}

void appendText(Paragraph& paragraph, QStringView text, const Format& format) {
    if (text.isEmpty()) return;
    if (paragraph.runs.size() == 1 && paragraph.runs.front().text.isEmpty()) paragraph.runs.clear();
    if (paragraph.runs.empty() || !(paragraph.runs.back().format == format))
        paragraph.runs.push_back(Run{QString(), format});
    QString& target = paragraph.runs.back().text;
    const qsizetype start = target.size();
    target.append(text);
    for (qsizetype i = start; i < target.size();) {
        const QChar c = target[i];
        // A CR is half of a line break; other control characters are text the user typed or
        // pasted and stay, so the RTF copy reads back as the plain one.
        const bool control = c == QLatin1Char('\r') || c.unicode() == 0;
        if (control) {
            target.remove(i, 1);
        } else {
            if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator)
                target[i] = QChar::LineSeparator;
            ++i;
        }
    }
    if (target.isEmpty()) paragraph.runs.pop_back();
}

void finishParagraph(Paragraph& paragraph, const Format& markFormat) {
    if (paragraph.runs.empty()) paragraph.runs.push_back(Run{QString(), markFormat});
}

QString colorName(std::uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

std::optional<std::uint32_t> parseColorName(const QString& text) {
    if (text.size() != 7 || text[0] != QLatin1Char('#')) return std::nullopt;
    bool ok = false;
    const uint value = QStringView(text).mid(1).toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace richtext
