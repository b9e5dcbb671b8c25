// kenvora-tool export then import: a generated set comes back with the same texts and
// formatting, and the tool refuses what the dialog refuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "common/TempDatabase.h"
#include "platform/dao/Database.h"
#include "platform/richtext/RtfReader.h"
#include "shell/DataStoreConstants.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun tool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KENVORA_TOOL), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

std::unique_ptr<dao::Database> open(const QString& path) {
    return dao::OpenDatabase(
        path, false, false,
        QStringLiteral("MS Access;PWD=") + QString::fromLatin1(shell::kDatabasePassword));
}

TEST(ToolRoundTrip, AGeneratedSetExportedAndImportedKeepsTextsAndFormatting) {
    testing_support::TempDatabase source, target;
    ASSERT_EQ(tool({"gen", source.path(), "--sets", "2", "--records", "300"}).exitCode, 0);
    QTemporaryDir dir;
    const QString file = dir.filePath("set.txt");
    const ToolRun exported =
        tool({"export", file, "--set", "英単語", "--format", "note", "--db", source.folder()});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const ToolRun imported = tool({"import", file, "--new", "コピー", "--db", target.folder()});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith("150 records stored")) << imported.out.toStdString();

    // Importing again under the same name is refused by the set-name check.
    const ToolRun again = tool({"import", file, "--new", "コピー", "--db", target.folder()});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("データベース名が重複しています。")));

    auto a = open(source.path());
    auto b = open(target.path());
    const auto original = a->OpenRecordset(
        "select * from データ where dbID = 1 ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC");
    const auto copy = b->OpenRecordset("select * from データ ORDER BY ID");
    ASSERT_EQ(copy->RecordCount(), original->RecordCount());
    int formatted = 0;
    for (original->MoveFirst(), copy->MoveFirst(); !original->AtEOF();
         original->MoveNext(), copy->MoveNext()) {
        for (int t = 0; t < 5; ++t) {
            EXPECT_EQ(copy->Fields(2 + t).Value().displayText(),
                      original->Fields(2 + t).Value().displayText());
            const auto before =
                richtext::readRtf(QStringView(original->Fields(7 + t).Value().displayText()));
            EXPECT_EQ(richtext::readRtf(QStringView(copy->Fields(7 + t).Value().displayText())),
                      before);
            formatted += before.paragraphs.size() > 1 || before.paragraphs[0].runs.size() > 1;
        }
    }
    EXPECT_GT(formatted, 50);  // the generated records do carry formatting
}

}  // namespace

namespace {

// A file whose word index must be built from scratch: the tool builds it without the
// progress dialog a command line has no window for.
TEST(ToolRoundTrip, ExportOfAFileWithoutItsWordIndexBuildsItQuietly) {
    testing_support::TempDatabase source;
    ASSERT_EQ(tool({"gen", source.path(), "--sets", "1", "--records", "20000"}).exitCode, 0);
    ASSERT_EQ(tool({"index", source.path(), "--drop"}).exitCode, 0);
    QTemporaryDir dir;
    const ToolRun exported = tool({"export", dir.filePath("all.csv"), "--db", source.folder()});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("all.csv")));
    EXPECT_TRUE(open(source.path())->HasWordIndex());
}

}  // namespace
