#include "kenvora-tool/SampleRtf.h"

// Written by hand until the rich-text writer is wired in: \uN? for every non-ASCII character.
QString sampleRecordRtf(const QString& text, int field, int record) {
    QString body;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') body += QLatin1Char('\\') + QString(c);
        else if (u < 0x80) body += c;
        else body += QStringLiteral("\\u%1?").arg(static_cast<short>(u));
    }
    const bool bold = field == 0 && record % 3 == 0;
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                          "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20") +
           (bold ? QStringLiteral("\\b ") : QStringLiteral(" ")) + body +
           (bold ? QStringLiteral("\\b0") : QString()) + QStringLiteral("\\par}");
}
