#include "platform/richtext/TextDocumentConvert.h"

#include <QTextBlock>

namespace richtext {

QTextCharFormat toCharFormat(const Format& f) {
    QTextCharFormat cf;
    cf.setFontFamilies(QStringList{f.font.isEmpty() ? defaultFace() : f.font});
    cf.setFontPointSize(f.size > 0 ? f.size : 12);
    cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    cf.setFontItalic(f.italic);
    cf.setFontUnderline(f.underline);
    cf.setFontStrikeOut(f.strike);
    if (f.color)
        cf.setForeground(QColor::fromRgb(static_cast<QRgb>(*f.color | 0xFF000000u)));
    else
        cf.clearForeground();
    return cf;
}

Format fromCharFormat(const QTextCharFormat& cf, const QFont& defaultFont) {
    Format f;
    const QStringList families = cf.fontFamilies().toStringList();
    f.font =
        families.isEmpty() || families.front().isEmpty() ? defaultFont.family() : families.front();
    f.size = cf.fontPointSize() > 0 ? cf.fontPointSize() : defaultFont.pointSizeF();
    f.bold = cf.hasProperty(QTextFormat::FontWeight) ? cf.fontWeight() >= QFont::DemiBold
                                                     : defaultFont.bold();
    f.italic = cf.hasProperty(QTextFormat::FontItalic) ? cf.fontItalic() : defaultFont.italic();
    f.underline = cf.fontUnderline();
    f.strike =
        cf.hasProperty(QTextFormat::FontStrikeOut) ? cf.fontStrikeOut() : defaultFont.strikeOut();
    if (cf.hasProperty(QTextFormat::ForegroundBrush) && cf.foreground().style() != Qt::NoBrush)
        f.color = cf.foreground().color().rgb() & 0xFFFFFFu;
    return f;
}

Document documentRange(const QTextDocument& document, int start, int end) {
    Document out;
    const QFont defaultFont = document.defaultFont();
    QTextBlock block = document.findBlock(start);
    const QTextBlock last = document.findBlock(end);
    while (block.isValid()) {
        Paragraph p;
        std::optional<QTextCharFormat> firstFormat;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            if (!firstFormat) firstFormat = frag.charFormat();
            const int fs = frag.position();
            const int fe = fs + frag.length();
            const int s = qMax(fs, start);
            const int e = qMin(fe, end);
            if (s >= e) continue;
            appendText(p, QStringView(frag.text()).mid(s - fs, e - s),
                       fromCharFormat(frag.charFormat(), defaultFont));
        }
        // An empty block keeps its own format (what typing there gets).
        finishParagraph(
            p, fromCharFormat(block.length() > 1 && firstFormat ? *firstFormat : block.charFormat(),
                              defaultFont));
        out.paragraphs.push_back(std::move(p));
        if (block == last) break;
        block = block.next();
    }
    return out;
}

void insertDocument(QTextCursor& cursor, const Document& doc) {
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        const Paragraph& p = doc.paragraphs[i];
        const QTextCharFormat first =
            p.runs.empty() ? cursor.charFormat() : toCharFormat(p.runs.front().format);
        if (i > 0)
            cursor.insertBlock(cursor.blockFormat(), first);
        else if (cursor.block().length() == 1)
            cursor.setBlockCharFormat(first);
        for (const Run& r : p.runs)
            if (!r.text.isEmpty()) cursor.insertText(r.text, toCharFormat(r.format));
    }
}

void insertPlainText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const QStringList lines = t.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) cursor.insertBlock(cursor.blockFormat(), format);
        if (!lines[i].isEmpty()) cursor.insertText(lines[i], format);
    }
}

}  // namespace richtext
