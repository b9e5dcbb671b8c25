// Reading and writing the exchange formats without a database: encodings, delimited rows,
// the note headers, HTML, and files made by LibreOffice Calc.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "common/QtPrinting.h"
#include "exchange/DelimitedText.h"
#include "exchange/HtmlRichText.h"
#include "exchange/ImportFile.h"
#include "exchange/TextEncoding.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

using namespace exchange;

namespace {

QString dataFile(const QString& name) {
    return QStringLiteral(KENVORA_SOURCE_DIR "/tests/exchange/data/") + name;
}

Detection detect(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return detectEncoding(buffer);
}

// All rows of `text` (UTF-8) with the separator, or the error.
struct Parsed {
    QList<QStringList> rows;
    QList<int> lines;
    std::optional<ReadError> error;
    NoteHeaders headers;
};
Parsed parse(const QByteArray& bytes, QChar separator = ',', bool notes = false) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    RowReader reader(buffer, Encoding::Utf8, separator);
    Parsed p;
    if (notes) p.headers = reader.readNoteHeaders();
    QStringList row;
    while (reader.next(row)) {
        p.rows << row;
        p.lines << reader.rowLine();
    }
    p.error = reader.error();
    return p;
}

richtext::Format base() {
    richtext::Format f;
    f.font = QStringLiteral("ＭＳ Ｐゴシック");
    f.size = 10;
    return f;
}

QString writeTemp(QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

TEST(Encodings, DetectsByteOrderMarksUtf8AndCp932) {
    const QString japanese = QStringLiteral("単語,意味\n犬,dog\n");
    EXPECT_EQ(detect("\xEF\xBB\xBF" + japanese.toUtf8()).bomLength, 3);
    EXPECT_EQ(detect(japanese.toUtf8()).encoding, Encoding::Utf8);
    TextEncoder cp932(Encoding::Cp932);
    const Detection sjis = detect(cp932.encode(japanese));
    EXPECT_EQ(sjis.encoding, Encoding::Cp932);
    EXPECT_FALSE(sjis.utf8Valid);
    TextEncoder le(Encoding::Utf16LE);
    const Detection utf16 = detect(le.byteOrderMark() + le.encode(japanese));
    EXPECT_EQ(utf16.encoding, Encoding::Utf16LE);
    EXPECT_FALSE(utf16.binary);
    TextEncoder be(Encoding::Utf16BE);
    EXPECT_EQ(detect(be.byteOrderMark() + be.encode(japanese)).encoding, Encoding::Utf16BE);
}

TEST(Encodings, BinaryDataAndUtf16WithoutBomAreNotText) {
    EXPECT_TRUE(detect(QByteArray("PK\x03\x04\x14\x00\x00\x00", 8)).binary);
    QByteArray noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 37 + 11) % 256);
    EXPECT_TRUE(detect(noise).binary);
    TextEncoder le(Encoding::Utf16LE);
    EXPECT_TRUE(detect(le.encode(QStringLiteral("abc,def\n"))).binary);
    EXPECT_FALSE(detect("plain, text\twith a tab\r\n").binary);
}

TEST(Encodings, FindsTheLineOfTheFirstBadByte) {
    TextEncoder cp932(Encoding::Cp932);
    // UTF-8 lines, then one line saved in cp932: a file of mixed encodings.
    const QByteArray mixed =
        QStringLiteral("犬,dog\n猫,cat\n").toUtf8() + cp932.encode(QStringLiteral("鳥,bird\n"));
    EXPECT_FALSE(detect(mixed).utf8Valid);
    EXPECT_EQ(detect(mixed).mixedLine, 3);
    EXPECT_FALSE(detect(cp932.encode(QStringLiteral("漢字の行\n二行目も漢字\n"))).mixedLine);
    QByteArray copy = mixed;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(firstInvalidLine(buffer, Encoding::Utf8), 3);
    QByteArray cut = "ok\nok\n\x82";  // a lead byte with nothing after it
    QBuffer cutBuffer(&cut);
    cutBuffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(firstInvalidLine(cutBuffer, Encoding::Cp932), 3);
    QByteArray clean = QStringLiteral("a\nb\n").toUtf8();
    QBuffer cleanBuffer(&clean);
    cleanBuffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(firstInvalidLine(cleanBuffer, Encoding::Utf8).has_value());
}

TEST(Encodings, DecodesSequencesSplitBetweenReadsAndCountsWhatCp932Lacks) {
    const QByteArray utf8 = QStringLiteral("日本語").toUtf8();
    TextDecoder decoder(Encoding::Utf8);
    QString out;
    for (const char c : utf8) decoder.decode(QByteArrayView(&c, 1), out);
    decoder.finish(out);
    EXPECT_EQ(out, QStringLiteral("日本語"));

    TextEncoder cp932(Encoding::Cp932);
    const QByteArray bytes = cp932.encode(QStringLiteral("①～𠮷é"));
    EXPECT_EQ(cp932.unmappable(), 2);  // 𠮷 and é
    TextDecoder back(Encoding::Cp932);
    QString text;
    const QByteArray first = bytes.left(1), rest = bytes.mid(1);  // ① split in two
    back.decode(first, text);
    back.decode(rest, text);
    back.finish(text);
    EXPECT_EQ(text, QStringLiteral("①～??"));
}

TEST(DelimitedRows, ReadsRfc4180QuotingDoubledQuotesAndLineBreaks) {
    const Parsed p = parse("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"line1\r\nline2\",,x\r\nlast,row");
    ASSERT_FALSE(p.error);
    ASSERT_EQ(p.rows.size(), 3);
    EXPECT_EQ(p.rows[0], (QStringList{"a", "b,c", "say \"hi\""}));
    EXPECT_EQ(p.rows[1], (QStringList{"line1\nline2", "", "x"}));
    EXPECT_EQ(p.rows[2], (QStringList{"last", "row"}));
    EXPECT_EQ(p.lines, (QList<int>{1, 2, 4}));
}

TEST(DelimitedRows, TabSeparatedWithQuotedLineBreaksAndStrayQuotes) {
    const Parsed p = parse("犬\t\"い\nぬ\"\t5\"6\n猫\tねこ\n", '\t');
    ASSERT_FALSE(p.error);
    ASSERT_EQ(p.rows.size(), 2);
    EXPECT_EQ(p.rows[0], (QStringList{"犬", "い\nぬ", "5\"6"}));
    EXPECT_EQ(p.lines[1], 3);
}

TEST(DelimitedRows, AnUnterminatedQuoteNamesItsLineAndField) {
    const Parsed p = parse("a,b\nc,\"open\nstill open\nand more\n");
    ASSERT_TRUE(p.error);
    EXPECT_EQ(p.error->line, 2);
    EXPECT_EQ(p.error->column, 2);
    EXPECT_EQ(p.error->text(), QStringLiteral("2 行目 2 列目: 引用符（\"）が閉じていません。"));
    EXPECT_EQ(p.rows.size(), 1);
}

TEST(DelimitedRows, AFieldOverTheLimitIsRefusedInsteadOfHeldWhole) {
    const QByteArray huge = "a,\"" + QByteArray(1024 * 1024, 'x') + "\"\n";
    const Parsed p = parse("ok,row\n" + huge);
    ASSERT_TRUE(p.error);
    EXPECT_EQ(p.error->line, 2);
    EXPECT_EQ(p.error->column, 2);
    const Parsed fits = parse("a," + QByteArray(kMaxFieldLength, 'y') + "\n");
    EXPECT_FALSE(fits.error);
}

TEST(DelimitedRows, WritesQuotesOnlyWhereNeededAndReadsThemBack) {
    QString out;
    const QStringList fields{"plain", "with,comma", "say \"x\"", "two\nlines", ""};
    appendDelimitedRow(fields, ',', "\r\n", out);
    EXPECT_EQ(out, "plain,\"with,comma\",\"say \"\"x\"\"\",\"two\nlines\",\r\n");
    const Parsed p = parse(out.toUtf8());
    ASSERT_EQ(p.rows.size(), 1);
    EXPECT_EQ(p.rows[0], fields);
}

TEST(NoteFormat, HeaderLinesSetSeparatorHtmlColumnsAndMetadata) {
    const Parsed p = parse(
        "#separator:Semicolon\n#html:true\n#columns:Front;Back;Deck\n#deck column:3\n"
        "<b>犬</b>;dog;Animals\n#not a header, a row\n",
        '\t', true);
    ASSERT_FALSE(p.error);
    EXPECT_TRUE(p.headers.present);
    EXPECT_EQ(p.headers.separator, QChar(';'));
    EXPECT_EQ(p.headers.html, true);
    EXPECT_EQ(p.headers.columns(';'), (QStringList{"Front", "Back", "Deck"}));
    EXPECT_EQ(p.headers.metadataColumns, QList<int>{2});
    ASSERT_EQ(p.rows.size(), 2);
    EXPECT_EQ(p.rows[0], (QStringList{"<b>犬</b>", "dog", "Animals"}));
    EXPECT_EQ(p.lines[0], 5);
    EXPECT_EQ(p.rows[1], QStringList{"#not a header, a row"});

    EXPECT_EQ(separatorFromName("tab"), QChar('\t'));
    EXPECT_EQ(separatorFromName("Pipe"), QChar('|'));
    EXPECT_FALSE(parse("#1 best,row\n", ',', true).headers.present);
}

TEST(Html, FormattingBecomesRichTextAndOtherTagsAreDropped) {
    const richtext::Document doc = htmlToDocument(
        QStringLiteral("<div>A <b>bold</b> <i>it</i> <u>un</u> <font color=\"#ff0000\">red</font>"
                       "<br><span style=\"color: rgb(0, 0, 255); font-weight: bold\">blue</span>"
                       "<img src=\"x.png\"><a href=\"#\">link</a>&amp;&lt;&#x41;&nbsp;x</div>"
                       "<script>alert(1)</script><div>next</div>"),
        base());
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.plainText(), QStringLiteral("A bold it un red\nbluelink&<A x\nnext"));
    const auto& runs = doc.paragraphs[0].runs;
    const auto runWith = [&runs](const QString& text) {
        for (const auto& r : runs)
            if (r.text == text) return r.format;
        ADD_FAILURE() << "no run " << text.toStdString();
        return richtext::Format{};
    };
    EXPECT_TRUE(runWith("bold").bold);
    EXPECT_TRUE(runWith("it").italic);
    EXPECT_TRUE(runWith("un").underline);
    EXPECT_EQ(runWith("red").color, 0xFF0000u);
    EXPECT_EQ(runWith("A ").font, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(runWith("A ").size, 10);
    const auto& blue = doc.paragraphs[1].runs.front();
    EXPECT_EQ(blue.text, "blue");
    EXPECT_EQ(blue.format.color, 0x0000FFu);
    EXPECT_TRUE(blue.format.bold);
}

TEST(Html, UnbalancedAndHostileMarkupNeverLosesText) {
    EXPECT_EQ(htmlToDocument(u"<b>open <i>never closed", base()).plainText(), "open never closed");
    EXPECT_EQ(htmlToDocument(u"a < b > c", base()).plainText(), "a < b > c");
    EXPECT_EQ(htmlToDocument(u"</b></i>text<!-- note -->", base()).plainText(), "text");
    EXPECT_EQ(htmlToDocument(u"&bogus; &#0; &#xZZ;", base()).plainText(), "&bogus; &#0; &#xZZ;");
    EXPECT_EQ(htmlToDocument(u"", base()).paragraphs.size(), 1u);
    EXPECT_EQ(htmlToDocument(u"<style>b{}</style>x", base()).plainText(), "x");
    // Attributes quoted either way or not at all, in any case, with entities.
    const auto colorOf = [](const char16_t* html) {
        return htmlToDocument(html, base()).paragraphs[0].runs[0].format.color;
    };
    EXPECT_EQ(colorOf(u"<font size=3 color='red'>x</font>"), 0xFF0000u);
    EXPECT_EQ(colorOf(u"<font COLOR=blue>x</font>"), 0x0000FFu);
    EXPECT_EQ(colorOf(u"<span title=\"a style=x\" style=\"color:&#x23;00ff00\">x</span>"),
              0x00FF00u);
    EXPECT_EQ(colorOf(u"<span data-x = 'y' / style = \"color:#123\">x</span>"), 0x112233u);
}

TEST(Html, RichTextToHtmlAndBackKeepsEveryFormat) {
    richtext::Document doc;
    richtext::Paragraph first, second;
    richtext::Format bold = base(), red = base(), face = base();
    bold.bold = bold.italic = true;
    red.color = 0xC00000;
    red.underline = red.strike = true;
    face.font = QStringLiteral("Arial");
    face.size = 14.5;
    richtext::appendText(first, u"plain <&> ", base());
    richtext::appendText(first, u"bold", bold);
    richtext::appendText(second, u"red", red);
    richtext::appendText(second, u" line\nbreak", face);
    richtext::finishParagraph(first, base());
    richtext::finishParagraph(second, base());
    doc.paragraphs = {first, second};
    const QString html = documentToHtml(doc, base());
    EXPECT_TRUE(html.contains("<b><i>bold</i></b>"));
    EXPECT_TRUE(html.contains("&lt;&amp;&gt;"));
    EXPECT_EQ(htmlToDocument(html, base()).paragraphs[0], doc.paragraphs[0]);
    // A line break inside a paragraph comes back as a paragraph break: the same text.
    EXPECT_EQ(htmlToDocument(html, base()).plainText(), doc.plainText());
}

TEST(CalcFiles, LibreOfficeUtf8AndShiftJisCsvReadTheSame) {
    const FileProbe utf8 = probeFile(dataFile("calc_utf8.csv"));
    const FileProbe sjis = probeFile(dataFile("calc_sjis.csv"));
    ASSERT_TRUE(utf8.error.isEmpty());
    ASSERT_TRUE(sjis.error.isEmpty());
    EXPECT_EQ(utf8.settings.encoding, Encoding::Utf8);
    EXPECT_EQ(sjis.settings.encoding, Encoding::Cp932);
    EXPECT_FALSE(utf8.problem);
    EXPECT_FALSE(sjis.problem);
    for (const FileProbe* p : {&utf8, &sjis}) {
        EXPECT_EQ(p->settings.format, FileFormat::Csv);
        EXPECT_TRUE(p->settings.headerRow);
        EXPECT_EQ(p->columnNames, (QStringList{"単語", "読み", "意味", "コメント", "出展"}));
        // 単語 -> item 1, 読み -> item 3, 意味 -> item 2, then comment and source.
        EXPECT_EQ(p->settings.mapping, (QList<int>{0, 2, 1, 3, 4}));
    }
    EXPECT_EQ(utf8.previewRows, sjis.previewRows);
    ASSERT_GE(utf8.previewRows.size(), 6);
    EXPECT_EQ(utf8.previewRows[3][2], "sea\nocean");
    EXPECT_EQ(sjis.previewRows[5][0], QStringLiteral("①②③"));
    EXPECT_EQ(sjis.previewRows[5][3], QStringLiteral("～ー－"));
    EXPECT_EQ(sjis.previewRows[6][0], QStringLiteral("ｶﾀｶﾅ"));

    ImportReader reader(sjis.settings);
    ASSERT_TRUE(reader.open());
    ImportRow row;
    int rows = 0;
    while (reader.next(row)) ++rows;
    EXPECT_FALSE(reader.error());
    EXPECT_EQ(rows, 7);
}

TEST(CalcFiles, ProbeGuessesFormatsAndRefusesWhatIsNotText) {
    QTemporaryDir dir;
    const FileProbe note = probeFile(writeTemp(
        dir, "deck.txt", "#separator:tab\n#html:true\n#tags column:3\nfront\tback\ttag1\n"));
    EXPECT_EQ(note.settings.format, FileFormat::Note);
    EXPECT_TRUE(note.settings.html);
    EXPECT_FALSE(note.settings.headerRow);
    EXPECT_EQ(note.settings.mapping, (QList<int>{0, 1, kSkipColumn}));

    const FileProbe tab = probeFile(writeTemp(dir, "list.tsv", "犬\tdog\n猫\tcat\n"));
    EXPECT_EQ(tab.settings.format, FileFormat::Tab);
    EXPECT_FALSE(tab.settings.headerRow);
    EXPECT_EQ(tab.previewRows.size(), 2);

    TextEncoder utf16(Encoding::Utf16LE);
    const QString utf16Path =
        writeTemp(dir, "utf16.txt",
                  utf16.byteOrderMark() + utf16.encode(u"単語\t意味\r\n犬\t\"い\r\nぬ\"\r\n"));
    const FileProbe wide = probeFile(utf16Path);
    EXPECT_TRUE(wide.error.isEmpty());
    EXPECT_EQ(wide.settings.encoding, Encoding::Utf16LE);
    EXPECT_TRUE(wide.settings.headerRow);
    ASSERT_EQ(wide.previewRows.size(), 1);
    EXPECT_EQ(wide.previewRows[0], (QStringList{"犬", "い\nぬ"}));

    const FileProbe empty = probeFile(writeTemp(dir, "empty.csv", ""));
    EXPECT_TRUE(empty.error.isEmpty());
    EXPECT_EQ(empty.columnCount, 0);
    EXPECT_TRUE(empty.previewRows.isEmpty());

    const FileProbe binary =
        probeFile(writeTemp(dir, "x.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)));
    EXPECT_EQ(binary.error, QStringLiteral("テキストファイルではありません。"));
    EXPECT_FALSE(probeFile(dir.filePath("missing.csv")).error.isEmpty());
}

}  // namespace
