#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTest>

#include "common/TempDatabase.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"

using namespace richtext;

namespace {

std::string s(const QString& text) {
    return text.toStdString();
}

Format fmt(double size = 10) {
    Format f;
    f.font = defaultFace();
    f.size = size;
    return f;
}

// Opens the clipboard and drop hooks to the test.
struct PasteBox : RichTextBox {
    using RichTextBox::canInsertFromMimeData;
    using RichTextBox::createMimeDataFromSelection;
    using RichTextBox::insertFromMimeData;
};

// Counts Change signals.
struct ChangeCounter {
    explicit ChangeCounter(RichTextBox& box) {
        QObject::connect(&box, &RichTextBox::Change, [this] { ++count; });
    }
    int count = 0;
};

void select(RichTextBox& box, int start, int length) {
    box.setSelStart(start);
    box.setSelLength(length);
}

// A box holding "apple：りんご：林檎" with a different format on nearly every part.
void fillMixed(RichTextBox& box) {
    Format bold = fmt();
    bold.bold = true;
    Format red = fmt();
    red.color = 0xFF0000;
    Format big = fmt(14);
    big.italic = true;
    big.font = QStringLiteral("IPAMincho");
    Format under = fmt();
    under.underline = true;
    under.strike = true;
    Document doc;
    doc.paragraphs.push_back(Paragraph{{richtext::Run{"apple", bold}, richtext::Run{"：", fmt()},
                                        richtext::Run{"りん", red}, richtext::Run{"ご", big},
                                        richtext::Run{"：林檎", under}}});
    box.setRichText(doc);
}

QByteArray corpusFile(const QString& name) {
    QFile f(testing_support::corpusPath(QStringLiteral("rtf/") + name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RichTextBox, TextJoinsParagraphsWithNewlinesAndPositionsAgree) {
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(corpusFile("richedit/re06_groups_escapes.rtf")));
    const QString text = box.Text();
    EXPECT_EQ(s(text),
              "外側太字太字斜体赤また太字外側２\n行1\n行2\tタブの後\nパス：C:\\Data\\Kenvora.mdb "
              "{括弧}\nあい");
    const int at = text.indexOf(QStringLiteral("タブ"));
    select(box, at, 2);
    EXPECT_EQ(s(box.SelText()), "タブ");
    select(box, text.indexOf(QStringLiteral("行1")), 5);
    EXPECT_EQ(s(box.SelText()), "行1\n行2");
    // Lengths beyond the text are clamped, as are starts.
    select(box, text.size() - 2, 100);
    EXPECT_EQ(s(box.SelText()), "あい");
    box.setSelStart(1000);
    EXPECT_EQ(box.SelStart(), text.size());
    EXPECT_EQ(box.SelLength(), 0);
    // Plain text from Windows keeps CR LF between lines: one break each.
    box.setText(QStringLiteral("a\r\nb\rc\n"));
    EXPECT_EQ(s(box.Text()), "a\nb\nc\n");
}

TEST(RichTextBox, EveryCorpusFileShowsItsTextAndPassesToAnotherBoxUnchanged) {
    for (const char* name :
         {"richedit/re01_vb6_plain.rtf", "richedit/re03_colors_sizes.rtf",
          "richedit/re05_unicode_uc1.rtf", "richedit/re08_paragraphs_pard_plain.rtf",
          "libreoffice/lo03_bold_italic_underline_strike.rtf", "libreoffice/lo10_outside_cp932.rtf",
          "libreoffice/lo12_long.rtf", "libreoffice/lo13_mixed_ja_locale.rtf"}) {
        const QByteArray rtf = corpusFile(QString::fromLatin1(name));
        const Document expected = readRtf(QByteArrayView(rtf));
        RichTextBox a;
        a.setTextRTF(QString::fromLatin1(rtf));
        EXPECT_EQ(s(a.Text()), s(expected.plainText())) << name;
        EXPECT_TRUE(a.richText() == expected) << name;
        RichTextBox b;
        b.setTextRTF(a.TextRTF());
        EXPECT_TRUE(b.richText() == a.richText()) << name;
        EXPECT_EQ(b.TextRTF(), a.TextRTF()) << name;
    }
}

TEST(RichTextBox, SelectionAttributesAreEmptyWhenMixedAndApplyToTheWholeSelection) {
    RichTextBox box;
    fillMixed(box);
    select(box, 0, 3);
    EXPECT_EQ(box.SelBold(), true);
    EXPECT_EQ(box.SelFontSize(), 10.0);
    EXPECT_EQ(box.SelColor(), QColor(Qt::black));
    select(box, 5, 4);  // "：りんご"
    EXPECT_EQ(box.SelBold(), false);
    EXPECT_FALSE(box.SelColor().has_value());
    EXPECT_FALSE(box.SelFontSize().has_value());
    EXPECT_FALSE(box.SelFontName().has_value());
    EXPECT_FALSE(box.SelItalic().has_value());
    select(box, 0, 12);
    EXPECT_FALSE(box.SelBold().has_value());
    EXPECT_FALSE(box.SelUnderline().has_value());
    EXPECT_FALSE(box.SelStrikeThru().has_value());

    box.setSelBold(true);
    box.setSelItalic(true);
    box.setSelUnderline(false);
    box.setSelStrikeThru(false);
    box.setSelFontName(QStringLiteral("ＭＳ 明朝"));
    box.setSelFontSize(18);
    box.setSelColor(QColor(0, 0, 255));
    EXPECT_EQ(box.SelBold(), true);
    EXPECT_EQ(box.SelItalic(), true);
    EXPECT_EQ(box.SelUnderline(), false);
    EXPECT_EQ(box.SelStrikeThru(), false);
    EXPECT_EQ(box.SelFontName(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(box.SelFontSize(), 18.0);
    EXPECT_EQ(box.SelColor(), QColor(0, 0, 255));
    // One run now, and the RTF says so.
    const Document doc = readRtf(QStringView(box.TextRTF()));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.color, 0x0000FFu);
}

// The delimiter split: head and tail taken as selection RTF, the tail put in front of the
// target's previous content; every format of all three parts must survive.
TEST(RichTextBox, SelectionRtfMovesMixedFormattingIntact) {
    RichTextBox source;
    RichTextBox target;
    fillMixed(source);
    Format strikeBlue = fmt();
    strikeBlue.strike = true;
    strikeBlue.color = 0x0000FF;
    Document old;
    old.paragraphs.push_back(Paragraph{{richtext::Run{"x", strikeBlue}}});
    target.setRichText(old);
    const Document before = source.richText();

    const QString d = QStringLiteral("：");
    const int e = source.Text().indexOf(d) + 1;
    select(source, 0, e - 1);
    const QString head = source.SelRTF();
    select(source, e - 1 + static_cast<int>(d.size()), source.Text().size());
    const QString tail = source.SelRTF();
    const int tailLength = source.SelLength();
    select(target, 0, target.Text().size());
    const QString oldTarget = target.SelRTF();
    const int n = target.Text().size();
    source.setText(source.Text().left(e - 1));
    source.setTextRTF(head);
    select(target, 0, tailLength);
    target.setSelRTF(tail);
    select(target, tailLength, n);
    target.setSelRTF(oldTarget);

    EXPECT_EQ(s(source.Text()), "apple");
    EXPECT_EQ(s(target.Text()), "りんご：林檎x");
    const Document src = source.richText();
    ASSERT_EQ(src.paragraphs[0].runs.size(), 1u);
    EXPECT_TRUE(src.paragraphs[0].runs[0].format == before.paragraphs[0].runs[0].format);
    const Document result = target.richText();
    const auto& runs = result.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(s(runs[0].text), "りん");
    EXPECT_TRUE(runs[0].format == before.paragraphs[0].runs[2].format);
    EXPECT_EQ(s(runs[1].text), "ご");
    EXPECT_TRUE(runs[1].format == before.paragraphs[0].runs[3].format);
    EXPECT_EQ(s(runs[2].text), "：林檎");
    EXPECT_TRUE(runs[2].format == before.paragraphs[0].runs[4].format);
    EXPECT_EQ(s(runs[3].text), "x");
    EXPECT_TRUE(runs[3].format == strikeBlue);
}

TEST(RichTextBox, SelectionRtfAcrossParagraphsInsertsParagraphs) {
    RichTextBox box;
    box.setText(QStringLiteral("ab\ncd\nef"));
    select(box, 1, 4);  // "b\ncd"
    const QString rtf = box.SelRTF();
    box.setSelStart(box.Text().size());
    box.setSelRTF(rtf);
    EXPECT_EQ(s(box.Text()), "ab\ncd\nefb\ncd");
    select(box, 0, 3);  // "ab\n": ends just after a break
    const QString withBreak = box.SelRTF();
    box.setSelStart(0);
    box.setSelRTF(withBreak);
    EXPECT_EQ(s(box.Text()), "ab\nab\ncd\nefb\ncd");
    EXPECT_EQ(box.SelStart(), 3);
    // An empty RTF deletes the selection.
    select(box, 0, 3);
    box.setSelRTF(QString());
    EXPECT_EQ(s(box.Text()), "ab\ncd\nefb\ncd");
}

TEST(RichTextBox, SelTextTakesTheFormatOfTheReplacedText) {
    RichTextBox box;
    fillMixed(box);
    select(box, 0, 5);
    box.setSelText(QStringLiteral("pear\nfig"));
    EXPECT_EQ(s(box.Text()), "pear\nfig：りんご：林檎");
    EXPECT_EQ(box.SelStart(), 8);
    EXPECT_EQ(box.SelLength(), 0);
    select(box, 0, 8);
    EXPECT_EQ(box.SelBold(), true);
}

TEST(RichTextBox, DeleteAtTheCaretRemovesOneCharacterOrNothingAtTheEnd) {
    RichTextBox box;
    box.setText(QStringLiteral("あい\nう"));
    auto deleteAtCursor = [&] {
        if (box.SelStart() == box.Text().size()) return;
        if (box.SelLength() == 0) {
            box.setSelLength(1);
            if (box.SelText().isEmpty()) {
                box.setSelLength(2);
                box.setSelRTF(QString());
            }
        }
        box.setSelText(QString());
    };
    box.setSelStart(1);
    deleteAtCursor();
    EXPECT_EQ(s(box.Text()), "あ\nう");
    deleteAtCursor();  // the paragraph break
    EXPECT_EQ(s(box.Text()), "あう");
    box.setSelStart(2);
    deleteAtCursor();
    EXPECT_EQ(s(box.Text()), "あう");
}

TEST(RichTextBox, NewEmptyRecordFormatIsKeptInTheRtfAndUsedForTyping) {
    RichTextBox box;
    fillMixed(box);
    box.setSelStart(0);
    box.setSelLength(box.Text().size());
    box.setSelText(QString());
    box.setSelBold(false);
    box.setSelItalic(false);
    box.setSelStrikeThru(false);
    box.setSelUnderline(false);
    box.setSelFontName(QStringLiteral("ＭＳ Ｐゴシック"));
    box.setSelFontSize(10);
    EXPECT_EQ(box.Text(), QString());
    const QString rtf = box.TextRTF();
    const Document doc = readRtf(QStringView(rtf));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_TRUE(doc.paragraphs[0].runs[0].format == fmt(10)) << s(rtf);

    // Another box loaded with that RTF types in that format.
    RichTextBox other;
    other.setTextRTF(rtf);
    other.show();
    QTest::keyClicks(&other, QStringLiteral("abc"));
    EXPECT_EQ(s(other.Text()), "abc");
    const Document typed = other.richText();
    ASSERT_EQ(typed.paragraphs[0].runs.size(), 1u);
    EXPECT_TRUE(typed.paragraphs[0].runs[0].format == fmt(10));
}

TEST(RichTextBox, ChangeFiresOncePerProgramWriteAndForTypingButNotWhenLocked) {
    RichTextBox box;
    ChangeCounter changes(box);
    box.setText(QStringLiteral("abc"));
    EXPECT_EQ(changes.count, 1);
    box.setTextRTF(QStringLiteral("{\\rtf1 x\\par y\\par}"));
    EXPECT_EQ(changes.count, 2);
    select(box, 0, 1);
    box.setSelRTF(QStringLiteral("{\\rtf1\\b z}"));
    EXPECT_EQ(changes.count, 3);
    select(box, 0, 1);
    box.setSelBold(false);
    EXPECT_EQ(changes.count, 4);
    box.setSelStart(0);
    box.setSelBold(true);  // no selection: nothing in the text changed
    box.setSelText(QString());
    EXPECT_EQ(changes.count, 4);

    box.show();
    box.setSelStart(box.Text().size());
    QTest::keyClicks(&box, QStringLiteral("q"));
    EXPECT_EQ(changes.count, 5);
    EXPECT_EQ(s(box.Text()), "z\nyq");

    box.setLocked(true);
    EXPECT_TRUE(box.Locked());
    QTest::keyClicks(&box, QStringLiteral("w"));
    EXPECT_EQ(s(box.Text()), "z\nyq");
    EXPECT_EQ(changes.count, 5);
    box.setText(QStringLiteral("program"));  // the program still writes a locked box
    EXPECT_EQ(s(box.Text()), "program");
    EXPECT_EQ(changes.count, 6);
}

TEST(RichTextBox, EmptyRtfKeepsThePlainTextAndNonRtfIsPlainText) {
    RichTextBox box;
    box.setText(QStringLiteral("plain only"));
    box.setTextRTF(QString());
    EXPECT_EQ(s(box.Text()), "plain only");
    box.setTextRTF(QStringLiteral("not rtf\nat all"));
    EXPECT_EQ(s(box.Text()), "not rtf\nat all");
    box.setText(QString());
    box.setTextRTF(QString());
    EXPECT_EQ(box.Text(), QString());
}

TEST(RichTextBox, PasteKeepsRtfFormatsAndTakesNoHtml) {
    PasteBox from;
    fillMixed(from);
    select(from, 0, 5);
    std::unique_ptr<QMimeData> copied(from.createMimeDataFromSelection());
    ASSERT_TRUE(copied->hasFormat("text/rtf"));

    PasteBox to;
    to.setText(QStringLiteral("1"));
    to.setSelStart(1);
    to.insertFromMimeData(copied.get());
    EXPECT_EQ(s(to.Text()), "1apple");
    select(to, 1, 5);
    EXPECT_EQ(to.SelBold(), true);

    QMimeData html;
    html.setHtml(QStringLiteral("<b>bold</b><img src=x>"));
    EXPECT_FALSE(to.canInsertFromMimeData(&html));
    QMimeData image;
    image.setImageData(QImage(2, 2, QImage::Format_RGB32));
    EXPECT_FALSE(to.canInsertFromMimeData(&image));
}

TEST(RichTextBox, BackColorAndTheJapaneseFaceOnScreen) {
    RichTextBox box;
    box.setBackColor(QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(box.BackColor(), QColor(0xC0, 0xFF, 0xFF));
    // The stored face name stays; the screen shows the metric-compatible IPA font.
    EXPECT_EQ(s(box.font().family()), "ＭＳ Ｐゴシック");
    EXPECT_EQ(s(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 10)).family()), "IPAPGothic");
}

}  // namespace

// Typed or pasted control characters stay in the plain text; the RTF copy stored beside it
// must read back as the same text, or the two copies of an item disagree.
TEST(RichTextBox, ControlCharactersSurviveTheRtfCopy) {
    RichTextBox box;
    box.show();
    const QString text = QStringLiteral("a") + QChar(0x01) + QChar(0x02) + QStringLiteral("b") +
                         QChar(0x7F) + QStringLiteral("語");
    box.setText(text);
    ASSERT_EQ(box.Text(), text);
    const QString rtf = box.TextRTF();
    EXPECT_EQ(readRtf(QByteArrayView(rtf.toLatin1())).plainText(), text) << rtf.toStdString();
    RichTextBox other;
    other.setTextRTF(rtf);
    EXPECT_EQ(other.Text(), text);
}
