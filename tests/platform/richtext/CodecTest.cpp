#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <random>

#include "common/TempDatabase.h"
#include "platform/richtext/Codepage.h"
#include "platform/richtext/RtfJson.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "sample/Sample.h"

using namespace richtext;

namespace {

Format fmt(double size = 10, QString font = defaultFace()) {
    Format f;
    f.font = std::move(font);
    f.size = size;
    return f;
}

Document oneParagraph(std::initializer_list<richtext::Run> runs) {
    Document d;
    d.paragraphs.push_back(Paragraph{std::vector<richtext::Run>(runs)});
    return d;
}

Document read(const char* rtf) {
    return readRtf(QByteArrayView(rtf));
}

std::string text(const Document& d) {
    return d.plainText().toStdString();
}

void expectSame(const Document& a, const Document& b) {
    ASSERT_EQ(a.paragraphs.size(), b.paragraphs.size());
    for (std::size_t i = 0; i < a.paragraphs.size(); ++i) {
        const auto& ra = a.paragraphs[i].runs;
        const auto& rb = b.paragraphs[i].runs;
        ASSERT_EQ(ra.size(), rb.size()) << "paragraph " << i;
        for (std::size_t k = 0; k < ra.size(); ++k) {
            EXPECT_EQ(ra[k].text.toStdString(), rb[k].text.toStdString());
            EXPECT_TRUE(ra[k].format == rb[k].format)
                << "paragraph " << i << " run " << k << " \"" << ra[k].text.toStdString() << "\"";
        }
    }
}

// --- writer ---------------------------------------------------------------------------------

TEST(RtfWriter, WritesRichEditStyleRtfInSevenBitAscii) {
    Format red = fmt();
    red.color = 0xFF0000;
    red.bold = true;
    const QByteArray rtf = writeRtf(oneParagraph(
        {richtext::Run{QStringLiteral("日本語"), fmt()}, richtext::Run{QStringLiteral("赤"), red},
         richtext::Run{QStringLiteral("a\\b{c}"), fmt()}}));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932")) << rtf.constData();
    // The face name in cp932 bytes, marked as a Japanese face.
    EXPECT_TRUE(rtf.contains(
        "\\fcharset128 \\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\'93\\'fa\\'96\\'7b\\'8c\\'ea"));  // 日本語 as cp932 bytes
    EXPECT_TRUE(rtf.contains("a\\\\b\\{c\\}"));
    for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(RtfWriter, WritesCharactersOutsideCp932AsUnicodeAndSurrogatePairs) {
    const QByteArray rtf = writeRtf(oneParagraph({richtext::Run{QStringLiteral("😀한é～"), fmt()}}));
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << rtf.constData();  // U+1F600
    EXPECT_TRUE(rtf.contains("\\u-10916?")) << rtf.constData();           // 한
    EXPECT_TRUE(rtf.contains("\\u233?")) << rtf.constData();              // é: not in cp932
    EXPECT_TRUE(rtf.contains("\\'81\\'60")) << rtf.constData();           // ～ is cp932 0x8160
}

TEST(RtfWriter, LatinFaceGetsAnsiCharsetAndItsJapaneseTextStaysReadable) {
    const Document doc =
        oneParagraph({richtext::Run{QStringLiteral("Arial で書く"), fmt(10, "Arial")}});
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.contains("\\fcharset0 Arial;")) << rtf.constData();
    // Other readers decode \'xx of an ANSI font as cp1252, so no cp932 bytes may appear there.
    EXPECT_FALSE(rtf.contains("\\'82")) << rtf.constData();
    expectSame(readRtf(QByteArrayView(rtf)), doc);
}

// --- round trips ----------------------------------------------------------------------------

TEST(RtfRoundTrip, EveryFormatAndSpecialCharacterSurvives) {
    Document doc;
    Format a = fmt(10.5);
    Format b = fmt(20, QStringLiteral("ＭＳ 明朝"));
    b.bold = b.italic = b.underline = b.strike = true;
    b.color = 0x008000;
    Format c = fmt(8, QStringLiteral("DejaVu Sans"));
    c.color = 0x123456;
    Format d = fmt(12, QStringLiteral("한글글꼴"));  // a face name outside cp932
    doc.paragraphs.push_back(Paragraph{{richtext::Run{QStringLiteral("普通\t表ソ能"), a},
                                        richtext::Run{QStringLiteral("太字 Bold"), b},
                                        richtext::Run{QStringLiteral("x\\{y}"), c}}});
    doc.paragraphs.push_back(
        Paragraph{{richtext::Run{QString(), b}}});  // empty, keeps its mark format
    doc.paragraphs.push_back(Paragraph{
        {richtext::Run{QStringLiteral("行1") + QChar::LineSeparator + QStringLiteral("行2"), a},
         richtext::Run{QStringLiteral("𠮷😀①ｶﾞ～é"), d}}});
    const Document back = readRtf(QByteArrayView(writeRtf(doc)));
    expectSame(back, doc);
    EXPECT_TRUE(back == doc);
}

TEST(RtfRoundTrip, RandomDocumentsReadBackIdentical) {
    std::mt19937 rng(12345);
    const QString alphabet =
        QStringLiteral("abcXYZ 019あいう漢字表ソ①～é한\\{};\t") + QChar::LineSeparator;
    const QString faces[] = {defaultFace(), QStringLiteral("Arial"), QStringLiteral("IPAMincho")};
    for (int iteration = 0; iteration < 200; ++iteration) {
        Document doc;
        const int paragraphs = 1 + static_cast<int>(rng() % 4);
        for (int p = 0; p < paragraphs; ++p) {
            Paragraph para;
            const int runs = static_cast<int>(rng() % 4);
            for (int r = 0; r < runs; ++r) {
                Format f = fmt(static_cast<double>(2 + rng() % 60) / 2, faces[rng() % 3]);
                f.bold = rng() % 2;
                f.italic = rng() % 2;
                f.underline = rng() % 2;
                f.strike = rng() % 2;
                if (rng() % 2) f.color = rng() & 0xFFFFFF;
                QString t;
                const int len = 1 + static_cast<int>(rng() % 6);
                for (int k = 0; k < len; ++k)
                    t += alphabet[static_cast<qsizetype>(rng() % alphabet.size())];
                if (rng() % 5 == 0) t += QStringLiteral("😀");
                appendText(para, t, f);
            }
            finishParagraph(para, fmt());
            doc.paragraphs.push_back(para);
        }
        const QByteArray rtf = writeRtf(doc);
        const Document back = readRtf(QByteArrayView(rtf));
        ASSERT_TRUE(back == doc) << "iteration " << iteration << "\n" << rtf.constData();
        // The same RTF held in a string reads alike.
        ASSERT_TRUE(readRtf(QStringView(QString::fromLatin1(rtf))) == doc);
    }
}

TEST(RtfRoundTrip, CorpusFilesSurviveOurWriter) {
    for (const char* name :
         {"richedit/re02_bold_italic_underline_strike.rtf", "richedit/re04_fonts.rtf",
          "richedit/re09_cp932_specials.rtf", "libreoffice/lo10_outside_cp932.rtf",
          "libreoffice/lo13_mixed_ja_locale.rtf"}) {
        QFile f(testing_support::corpusPath(QStringLiteral("rtf/") + name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const Document doc = readRtf(QByteArrayView(f.readAll()));
        expectSame(readRtf(QByteArrayView(writeRtf(doc))), doc);
    }
}

// --- reader details -------------------------------------------------------------------------

TEST(RtfReader, UnicodeFallbacksAreSkippedByCountIncludingHexEscapes) {
    EXPECT_EQ(text(read("{\\rtf1\\uc2 \\u12354\\'82\\'a0x}")), "あx");
    EXPECT_EQ(text(read("{\\rtf1\\uc1 \\u12354?\\u-10179?\\u-8704?y}")), "あ😀y");
    EXPECT_EQ(text(read("{\\rtf1\\uc0 \\u12354 z}")), "あz");
    // \uc is scoped to its group.
    EXPECT_EQ(text(read("{\\rtf1\\uc1{\\uc0 \\u12354}\\u12356?}")), "あい");
    // A skip never runs past the end of the group.
    EXPECT_EQ(text(read("{\\rtf1{\\uc5 \\u12354}end}")), "あend");
}

TEST(RtfReader, HexBytesDecodeByTheFontCharsetThenTheAnsiCodePage) {
    EXPECT_EQ(text(read("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa}")), "日");
    EXPECT_EQ(
        text(read("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 "
                  "B;}}\\f0 caf\\'e9 \\f1\\'93\\'fa\\'95\\'5c}")),
        "café 日表");
    // A character's two bytes may be split by a line end.
    EXPECT_EQ(text(read("{\\rtf1\\ansi\\ansicpg932 \\'82\r\n\\'a0}")), "あ");
}

// cp932 text decodes through a table taken from the converter, and whatever the table does
// not hold goes to the converter itself: both ways agree for every single byte and byte
// pair, alone and in a row.
TEST(RtfReader, Cp932TableDecodesAsTheConverterDoes) {
    const auto decoded = [](const QByteArray& bytes, bool converter) {
        QString out;
        (converter ? detail::decodeWithConverter : detail::decodeBytes)(
            932, bytes.constData(), static_cast<std::size_t>(bytes.size()), out);
        return out;
    };
    QByteArray run;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        const QByteArray one(1, static_cast<char>(lead));
        ASSERT_EQ(decoded(one, false), decoded(one, true)) << lead;
        for (int trail = 0; trail < 0x100; ++trail) {
            const QByteArray pair = one + static_cast<char>(trail);
            const QString text = decoded(pair, true);
            ASSERT_EQ(decoded(pair, false), text) << lead << " " << trail;
            if (text.size() == 1 && text != QChar::ReplacementCharacter) run += pair;
        }
    }
    EXPECT_GT(run.size(), 2 * 7000);  // JIS X 0208 with NEC and IBM extensions
    EXPECT_EQ(decoded(run, false), decoded(run, true));
    for (const QByteArray& odd : {QByteArray("\x82\xA0\x82"),
                                  QByteArray("\x82\xA0"
                                             "a\x1A\x82\xA0"),
                                  QByteArray("\x82\xA0\xFF\x82\xA0", 5)})
        EXPECT_EQ(decoded(odd, false), decoded(odd, true)) << odd.toHex().toStdString();
    EXPECT_EQ(decoded("\x81\x60", false), QStringLiteral("～"));  // Microsoft's table, not JIS
}

TEST(RtfReader, ParagraphsLinesAndTabs) {
    EXPECT_EQ(text(read("{\\rtf1 a\\par b\\line c\\tab d\\par}")), "a\nb\nc\td");
    EXPECT_EQ(text(read("{\\rtf1 a\\par\\par}")), "a\n");
    EXPECT_EQ(text(read("{\\rtf1 a\\par\\par b}")), "a\n\nb");
    const Document d = read("{\\rtf1 x\\line y\\par}");
    ASSERT_EQ(d.paragraphs.size(), 1u);
    EXPECT_EQ(d.paragraphs[0].runs[0].text, QStringLiteral("x") + QChar::LineSeparator + "y");
}

TEST(RtfReader, SkipsDestinationsAndBinaryData) {
    EXPECT_EQ(
        text(read("{\\rtf1{\\*\\unknown {\\b x}}{\\info{\\title t}}{\\pict\\bin4 }}{\\'7b}a}")),
        "a");
    EXPECT_EQ(text(read("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\field{\\*\\fldinst HYPERLINK "
                        "x}{\\fldrslt link}}}")),
              "link");
}

TEST(RtfReader, PlainResetsCharacterFormattingButPardDoesNot) {
    const Document d = read("{\\rtf1\\b\\i bold\\pard still\\plain plain}");
    ASSERT_EQ(d.paragraphs.size(), 1u);
    const auto& runs = d.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text.toStdString(), "boldstill");
    EXPECT_TRUE(runs[0].format.bold && runs[0].format.italic);
    EXPECT_FALSE(runs[1].format.bold || runs[1].format.italic);
    EXPECT_EQ(runs[1].format.size, 12);
}

TEST(RtfReader, AssociatedPropertiesApplyToDoubleByteRuns) {
    const Document d = read(
        "{\\rtf1{\\fonttbl{\\f0 Latin;}{\\f1 Gothic;}}{\\rtlch\\ab\\afs40 "
        "\\ltrch\\dbch\\af1\\ab\\afs30 "
        "\\u22826?}{\\loch\\fs16 x}}");
    ASSERT_EQ(d.paragraphs.size(), 1u);
    const auto& runs = d.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0].format.bold);
    EXPECT_EQ(runs[0].format.size, 15);
    EXPECT_EQ(runs[0].format.font.toStdString(), "Gothic");
    EXPECT_FALSE(runs[1].format.bold);
    EXPECT_EQ(runs[1].format.size, 8);
    EXPECT_EQ(runs[1].format.font.toStdString(), "Latin");
}

TEST(RtfReader, HostileInputStaysBoundedAndKeepsText) {
    // Far deeper than any real file, never closed.
    QByteArray deep = "{\\rtf1 start";
    for (int i = 0; i < 200000; ++i) deep += "{\\b x";
    const Document d = readRtf(QByteArrayView(deep));
    EXPECT_EQ(d.plainText().size(), 5 + 200000);
    // \bin longer than the data, parameters far beyond 32 bits, a huge \uc.
    EXPECT_EQ(text(read("{\\rtf1 a\\fs99999999999999999999 b\\bin999999999999 zz")), "ab");
    EXPECT_EQ(text(read("{\\rtf1 a{\\uc2147483647 \\u12354 skipped}b\\u-99999?c\\u55357?d}")),
              "aあbc\uFFFDd");
    // Broken hex escapes are dropped; what follows them is read as text.
    EXPECT_EQ(text(read("{\\rtf1 a\\'zz\\'4x\\'")), "azzx");
}

TEST(RtfReader, StringInputTakesCharactersAboveAsciiAsText) {
    EXPECT_EQ(readRtf(QStringView(QStringLiteral("{\\rtf1 生の文字\\par}"))).plainText(),
              QStringLiteral("生の文字"));
}

TEST(RtfReader, NonRtfIsPlainTextAndTrailingBytesAreIgnored) {
    EXPECT_EQ(text(read("ただのテキスト\nline")), "ただのテキスト\nline");
    EXPECT_EQ(text(read("{\\rtf1 in}out{\\rtf1 again}")), "in");
    EXPECT_TRUE(read("").isEmpty());
}

// --- JSON and samples -----------------------------------------------------------------------

TEST(RtfJson, MergesEqualRunsAndReadsBack) {
    Format b = fmt();
    b.bold = true;
    Document doc;
    doc.paragraphs.push_back(Paragraph{{richtext::Run{"ab", fmt()}, richtext::Run{"cd", b}}});
    doc.paragraphs.push_back(Paragraph{{richtext::Run{"ef", b}}});
    const QJsonObject json = toJson(doc);
    EXPECT_EQ(json.value("text").toString().toStdString(), "abcd\nef");
    const QJsonArray runs = json.value("runs").toArray();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[1].toObject().value("text").toString().toStdString(), "cd\nef");
    EXPECT_FALSE(runs[0].toObject().contains("color"));
    const auto back = fromJson(json, fmt());
    ASSERT_TRUE(back.has_value());
    expectSame(*back, doc);
}

TEST(RtfJson, CorpusExpectationWrittenAsRtfKeepsItsFacts) {
    QFile f(testing_support::corpusPath("rtf/libreoffice/lo13_mixed_ja_locale.expect.json"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject expect = QJsonDocument::fromJson(f.readAll()).object();
    const auto doc = fromJson(expect, fmt());
    ASSERT_TRUE(doc.has_value());
    const Document back = readRtf(QByteArrayView(writeRtf(*doc)));
    EXPECT_EQ(back.plainText(), expect.value("text").toString());
    const QJsonObject json = toJson(back);
    // "林檎" is bold red 10.5 pt IPAMincho in the expectation.
    bool found = false;
    for (const QJsonValue& v : json.value("runs").toArray()) {
        const QJsonObject r = v.toObject();
        if (r.value("text").toString() != QStringLiteral("林檎")) continue;
        found = true;
        EXPECT_TRUE(r.value("bold").toBool());
        EXPECT_EQ(r.value("color").toString().toStdString(), "#ff0000");
        EXPECT_EQ(r.value("size").toDouble(), 10.5);
        EXPECT_EQ(r.value("font").toString().toStdString(), "IPAMincho");
    }
    EXPECT_TRUE(found);
    QJsonObject bad = expect;
    bad.insert("text", "other");
    EXPECT_FALSE(fromJson(bad, fmt()).has_value());
}

TEST(SampleRecordRtf, IsDeterministicReadableAndFormatted) {
    const QString text = QStringLiteral("apple：りんご：林檎 😀");
    EXPECT_EQ(sampleRecordRtf(text, 7), sampleRecordRtf(text, 7));
    int formatted = 0;
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        const Document d = readRtf(QStringView(sampleRecordRtf(text, seed)));
        ASSERT_EQ(d.plainText(), text);
        if (d.paragraphs[0].runs.size() > 1) ++formatted;
        EXPECT_EQ(d.paragraphs[0].runs[0].format.font, defaultFace());
    }
    EXPECT_GT(formatted, 5);
    EXPECT_EQ(readRtf(QStringView(sampleRecordRtf(QString(), 1))).plainText(), QString());
}

}  // namespace
