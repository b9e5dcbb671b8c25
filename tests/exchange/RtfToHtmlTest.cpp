// The export's one-pass RTF to HTML converter against the way it used to go, through the
// rich text document: the same bytes for files written by other programs, for damaged
// files, for generated records and for input made to hit the corners of the reader.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

#include <random>

#include "common/QtPrinting.h"
#include "common/TempDatabase.h"
#include "exchange/HtmlRichText.h"
#include "platform/richtext/RtfJson.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "sample/Sample.h"

using namespace exchange;
using richtext::Format;

namespace {

std::vector<Format> bases() {
    Format gothic;
    gothic.font = richtext::defaultFace();
    gothic.size = 10;
    Format arial;  // a set whose item is bold blue Arial 12
    arial.font = QStringLiteral("Arial");
    arial.bold = true;
    arial.color = 0x0000FF;
    return {gothic, arial, Format()};
}

QString throughDocument(const QString& rtf, const Format& base) {
    return documentToHtml(richtext::readRtf(QStringView(rtf)), base);
}

// Compares both ways for every base; the converter is reused, as an export reuses it.
void expectSameHtml(RtfToHtml& converter, const QString& rtf, const std::string& what) {
    for (const Format& base : bases()) {
        QString out = QStringLiteral("kept\t");
        converter.append(rtf, base, out);
        ASSERT_EQ(out, QStringLiteral("kept\t") + throughDocument(rtf, base)) << what;
    }
}

QStringList corpusRtfFiles() {
    QStringList files;
    QDirIterator it(testing_support::corpusPath(QStringLiteral("rtf")), {QStringLiteral("*.rtf")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

TEST(RtfToHtml, CorpusFilesGiveTheSameHtmlAsTheDocument) {
    const QStringList files = corpusRtfFiles();
    ASSERT_GE(files.size(), 10);
    RtfToHtml converter;
    for (const QString& path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        // The database holds RTF as a string; bytes above ASCII stand for themselves there.
        const QString rtf = QString::fromLatin1(f.readAll());
        expectSameHtml(converter, rtf, path.toStdString());
    }
}

// Random formats over texts with everything HTML escapes, line and paragraph breaks, tabs,
// characters outside cp932 and outside the BMP.
richtext::Document randomDocument(std::mt19937& rng) {
    static const QString pieces[] = {
        QStringLiteral("日本語"), QStringLiteral("abc"), QStringLiteral("<&>\""),
        QStringLiteral("\n"),     QStringLiteral("\t"),  QString(QChar(QChar::LineSeparator)),
        QStringLiteral("①ｶﾅ"),    QStringLiteral("😀"),   QStringLiteral("é"),
        QStringLiteral(" "),      QStringLiteral("\n\n")};
    static const QString faces[] = {richtext::defaultFace(), QStringLiteral("Arial"),
                                    QStringLiteral("ＭＳ 明朝"), QString()};
    QString text;
    std::vector<Format> formats;
    const int count = static_cast<int>(rng() % 12);
    for (int i = 0; i < count; ++i) {
        const QString& piece = pieces[rng() % std::size(pieces)];
        Format f;
        f.bold = rng() % 3 == 0;
        f.italic = rng() % 4 == 0;
        f.underline = rng() % 5 == 0;
        f.strike = rng() % 7 == 0;
        f.font = faces[rng() % std::size(faces)];
        f.size = rng() % 2 ? 10 : 12.5;
        if (rng() % 3 == 0) f.color = rng() % 2 ? 0xFF0000 : 0x0000FF;
        text += piece;
        formats.insert(formats.end(), static_cast<std::size_t>(piece.size()), f);
    }
    return richtext::documentFromFormattedText(text, formats);
}

TEST(RtfToHtml, GeneratedRecordsGiveTheSameHtmlAsTheDocument) {
    RtfToHtml converter;
    const QString texts[] = {QString(), QStringLiteral("犬"), QStringLiteral("経験を積む"),
                             QStringLiteral("a <b> & \"c\"\nnext line"),
                             QStringLiteral("tab\there 😀 ①")};
    for (const QString& text : texts)
        for (std::uint32_t seed = 0; seed < 40; ++seed)
            expectSameHtml(converter, richtext::sampleRecordRtf(text, seed),
                           text.toStdString() + " seed " + std::to_string(seed));
    std::mt19937 rng(16);
    for (int i = 0; i < 400; ++i) {
        const richtext::Document doc = randomDocument(rng);
        expectSameHtml(converter, richtext::writeRtfString(doc), "document " + std::to_string(i));
    }
}

// Where the reader's findings and the document's canonical form part ways: runs of one
// format split by keys that differ, characters the model drops or turns into line breaks,
// paragraphs without text, text after the last \par, input that is not RTF.
TEST(RtfToHtml, CornersOfTheReaderGiveTheSameHtml) {
    const char* const cases[] = {
        "",
        "plain text\r\nsecond line\rthird\n",
        "\xEF\xBB\xBF"
        "bom first",
        "{\\rtf1 a\\par}",
        "{\\rtf1 a\\par b}",
        "{\\rtf1 \\par\\par}",
        "{\\rtf1 \\par\\par x}",
        "{\\rtf1 a\\line b\\line}",
        "{\\rtf1{\\fonttbl{\\f0 Same;}{\\f1 Same;}}\\f0 x\\f1 y\\f0\\b z\\b0}",
        "{\\rtf1{\\colortbl;;\\red255\\green0\\blue0;}x\\cf1 y\\cf2 z\\cf0 w}",
        "{\\rtf1 \\b a\\b0\\'0d\\b b\\b0}",
        "{\\rtf1 a\\u13?\\u10?b\\u8233?c\\u0?d\\u8232?e}",
        "{\\rtf1 \\b\\'0d\\b0 a}",
        "{\\rtf1 \\b\\'0d\\par\\b0 a}",
        "{\\rtf1 lone \\u-10240?high and \\u-9216?low}",
        "{\\rtf1 \\ansicpg932{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 \\'82\\'a0\\'82}",
        "{\\rtf1 \\fs0 tiny \\fs2000000000 huge}",
        "{\\rtf1 {\\b bold {\\i both}} plain}\\par after the root",
        "{\\rtf1 \\dbch\\ab\\afs40 db \\hich\\ab0 hi}",
        "{\\rtf1 {\\*\\unknown skipped} {\\fldinst x}{\\fldrslt shown}}",
        "{\\rtf1 unclosed {\\b group",
        "{\\rtf1 <tag> & \"quote\"\\tab\\emdash\\~}",
    };
    RtfToHtml converter;
    for (const char* rtf : cases) expectSameHtml(converter, QString::fromLatin1(rtf), rtf);
}

// Damaged records: generated RTF with bytes cut, doubled and replaced by RTF's own
// characters, in many places.
TEST(RtfToHtml, DamagedRecordsGiveTheSameHtml) {
    RtfToHtml converter;
    std::mt19937 rng(2026);
    const char tokens[] = "{}\\'0d\\par\\line\\b\\u\\f1\\cf2;?- 9";
    for (int i = 0; i < 1500; ++i) {
        QString rtf = richtext::writeRtfString(randomDocument(rng));
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits && !rtf.isEmpty(); ++e) {
            const auto at = static_cast<qsizetype>(rng() % static_cast<std::uint32_t>(rtf.size()));
            switch (rng() % 3) {
                case 0:
                    rtf.remove(at, 1 + static_cast<qsizetype>(rng() % 8));
                    break;
                case 1:
                    rtf.insert(at, QChar(tokens[rng() % (sizeof tokens - 1)]));
                    break;
                default:
                    rtf.insert(at, rtf.mid(at, 1 + static_cast<qsizetype>(rng() % 20)));
            }
        }
        expectSameHtml(converter, rtf, rtf.toStdString());
    }
}

}  // namespace
