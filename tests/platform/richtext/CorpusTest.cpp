#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/TempDatabase.h"
#include "platform/richtext/RtfReader.h"

using namespace richtext;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QJsonObject readJson(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

QStringList corpusFiles(const QString& folder) {
    QDir dir(testing_support::corpusPath(QStringLiteral("rtf/") + folder));
    QStringList out;
    for (const QString& name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        out << folder + QLatin1Char('/') + name;
    return out;
}

// The format of every UTF-16 unit of the plain text (paragraph breaks get none).
std::vector<const Format*> formatsPerUnit(const Document& doc) {
    std::vector<const Format*> out;
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        if (i > 0) out.push_back(nullptr);
        for (const Run& r : doc.paragraphs[i].runs)
            for (qsizetype k = 0; k < r.text.size(); ++k) out.push_back(&r.format);
    }
    return out;
}

class RtfCorpus : public ::testing::TestWithParam<QString> {};

TEST_P(RtfCorpus, TextAndRunsMatchTheExpectation) {
    const QString path = testing_support::corpusPath(QStringLiteral("rtf/") + GetParam());
    const QJsonObject expect =
        readJson(QString(path).replace(QStringLiteral(".rtf"), QStringLiteral(".expect.json")));
    ASSERT_FALSE(expect.isEmpty());
    const Document doc = readRtf(QByteArrayView(readFile(path)));
    const QString text = doc.plainText();
    EXPECT_EQ(text.toStdString(), expect.value("text").toString().toStdString());
    const auto formats = formatsPerUnit(doc);
    ASSERT_EQ(formats.size(), static_cast<std::size_t>(text.size()));
    for (const QJsonValue& v : expect.value("runs").toArray()) {
        const QJsonObject run = v.toObject();
        const QString runText = run.value("text").toString();
        const qsizetype at = run.value("offset_utf16").toInteger();
        ASSERT_EQ(text.mid(at, runText.size()).toStdString(), runText.toStdString());
        for (qsizetype k = at; k < at + runText.size(); ++k) {
            const Format* f = formats[static_cast<std::size_t>(k)];
            if (!f) continue;
            const std::string where = runText.toStdString() + " @" + std::to_string(k);
            EXPECT_EQ(f->bold, run.value("bold").toBool()) << where;
            EXPECT_EQ(f->italic, run.value("italic").toBool()) << where;
            EXPECT_EQ(f->underline, run.value("underline").toBool()) << where;
            EXPECT_EQ(f->strike, run.value("strike").toBool()) << where;
            if (run.contains("color")) {
                ASSERT_TRUE(f->color.has_value()) << where;
                EXPECT_EQ(colorName(*f->color).toStdString(),
                          run.value("color").toString().toStdString())
                    << where;
            }
            if (run.contains("size")) {
                EXPECT_DOUBLE_EQ(f->size, run.value("size").toDouble()) << where;
            }
            if (run.contains("font")) {
                EXPECT_EQ(f->font.toStdString(), run.value("font").toString().toStdString())
                    << where;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LibreOffice, RtfCorpus, ::testing::ValuesIn(corpusFiles("libreoffice")));
INSTANTIATE_TEST_SUITE_P(RichEdit, RtfCorpus, ::testing::ValuesIn(corpusFiles("richedit")));

class MalformedRtf : public ::testing::TestWithParam<QString> {};

// A damaged file reads without crashing or hanging and keeps the text that is readable.
TEST_P(MalformedRtf, KeepsTheReadableText) {
    const QString path = testing_support::corpusPath(QStringLiteral("rtf/") + GetParam());
    const QJsonObject expect =
        readJson(QString(path).replace(QStringLiteral(".rtf"), QStringLiteral(".expect.json")));
    const QByteArray data = readFile(path);
    const QString text = readRtf(QByteArrayView(data)).plainText();
    for (const QJsonValue& v : expect.value("text_should_contain").toArray())
        EXPECT_TRUE(text.contains(v.toString()))
            << v.toString().toStdString() << " in " << text.toStdString();
    if (expect.contains("text_should_equal")) {
        EXPECT_EQ(text.toStdString(), expect.value("text_should_equal").toString().toStdString());
    }
    // The same bytes held in a string (as the database keeps RTF) read alike.
    EXPECT_EQ(readRtf(QStringView(QString::fromLatin1(data))).plainText().size() > 0,
              !text.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedRtf, ::testing::ValuesIn(corpusFiles("malformed")));

}  // namespace
