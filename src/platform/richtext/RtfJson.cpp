#include "platform/richtext/RtfJson.h"

#include <QJsonArray>

namespace richtext {

namespace {

QJsonObject runJson(const QString& text, const Format& f) {
    QJsonObject o;
    o.insert(QStringLiteral("text"), text);
    o.insert(QStringLiteral("bold"), f.bold);
    o.insert(QStringLiteral("italic"), f.italic);
    o.insert(QStringLiteral("underline"), f.underline);
    o.insert(QStringLiteral("strike"), f.strike);
    if (f.color) o.insert(QStringLiteral("color"), colorName(*f.color));
    o.insert(QStringLiteral("size"), f.size);
    o.insert(QStringLiteral("font"), f.font);
    return o;
}

}  // namespace

QJsonObject toJson(const Document& doc) {
    std::vector<std::pair<QString, Format>> runs;
    auto add = [&](const QString& text, const Format& f) {
        if (text.isEmpty()) return;
        if (!runs.empty() && runs.back().second == f)
            runs.back().first += text;
        else
            runs.emplace_back(text, f);
    };
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        const Paragraph& p = doc.paragraphs[i];
        for (const Run& r : p.runs) {
            QString text = r.text;
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            add(text, r.format);
        }
        if (i + 1 < doc.paragraphs.size() && !p.runs.empty())
            add(QStringLiteral("\n"), p.runs.back().format);
    }
    QJsonArray array;
    for (const auto& [text, f] : runs) array.append(runJson(text, f));
    QJsonObject o;
    o.insert(QStringLiteral("text"), doc.plainText());
    o.insert(QStringLiteral("runs"), array);
    return o;
}

std::optional<Document> fromJson(const QJsonObject& json, const Format& base, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<Document> {
        if (error) *error = message;
        return std::nullopt;
    };
    const QString text = json.value(QStringLiteral("text")).toString();
    std::vector<Format> formats(static_cast<std::size_t>(text.size()), base);
    qsizetype next = 0;
    const QJsonArray runs = json.value(QStringLiteral("runs")).toArray();
    for (const QJsonValue& v : runs) {
        const QJsonObject r = v.toObject();
        const QString runText = r.value(QStringLiteral("text")).toString();
        qsizetype at = next;
        if (r.contains(QStringLiteral("offset_utf16")))
            at = r.value(QStringLiteral("offset_utf16")).toInteger();
        else if (r.contains(QStringLiteral("offset")))
            at = r.value(QStringLiteral("offset")).toInteger();
        if (at < 0 || at + runText.size() > text.size() ||
            QStringView(text).mid(at, runText.size()) != runText)
            return fail(
                QStringLiteral("run \"%1\" does not match the text at %2").arg(runText).arg(at));
        Format f = base;
        auto flag = [&](const char* key, bool& target) {
            const QJsonValue value = r.value(QLatin1StringView(key));
            if (value.isBool()) target = value.toBool();
        };
        flag("bold", f.bold);
        flag("italic", f.italic);
        flag("underline", f.underline);
        flag("strike", f.strike);
        if (r.value(QStringLiteral("size")).isDouble())
            f.size = r.value(QStringLiteral("size")).toDouble();
        if (r.value(QStringLiteral("font")).isString())
            f.font = r.value(QStringLiteral("font")).toString();
        const QJsonValue color = r.value(QStringLiteral("color"));
        if (color.isString()) {
            f.color = parseColorName(color.toString());
            if (!f.color) return fail(QStringLiteral("bad colour %1").arg(color.toString()));
        }
        for (qsizetype k = at; k < at + runText.size(); ++k)
            formats[static_cast<std::size_t>(k)] = f;
        next = at + runText.size();
    }
    return documentFromFormattedText(text, formats);
}

Document documentFromFormattedText(const QString& text, const std::vector<Format>& formats) {
    Document doc;
    Paragraph current;
    const qsizetype n = qMin<qsizetype>(text.size(), static_cast<qsizetype>(formats.size()));
    if (n == 0) return doc;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        const bool end = i == n;
        if (!end && text[i] != QLatin1Char('\n') &&
            (i == start ||
             formats[static_cast<std::size_t>(i)] == formats[static_cast<std::size_t>(i - 1)]))
            continue;
        if (i > start)
            appendText(current, QStringView(text).mid(start, i - start),
                       formats[static_cast<std::size_t>(start)]);
        if (end || text[i] == QLatin1Char('\n')) {
            if (end && n > 0 && text[n - 1] != QLatin1Char('\n') && current.runs.empty()) break;
            const Format& mark = !end    ? formats[static_cast<std::size_t>(i)]
                                 : n > 0 ? formats[static_cast<std::size_t>(n - 1)]
                                         : Format();
            finishParagraph(current, mark);
            doc.paragraphs.push_back(std::move(current));
            current = Paragraph();
            start = i + 1;
        } else {
            start = i;
        }
    }
    return doc;
}

}  // namespace richtext
