// Importing into and exporting from a real database file: what is stored, what is written,
// and that a failure or a cancel stores nothing.
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

#include "exchange/Exchange.h"
#include "platform/dao/SafeLiteral.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "records/RecordWindowFixture.h"
#include "records/frmMDIChild.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

using namespace exchange;

namespace {

const QString kToday = QDate::currentDate().toString("yyyy/MM/dd");

class Exchange : public RecordWindowTest {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    ImportOutcome importInto(std::int32_t dbID, const QString& path,
                             const Progress& progress = {}) {
        ImportTarget target;
        target.dbID = dbID;
        return ImportIntoDataBase(probeFile(path).settings, target, progress);
    }
    int setRows() {
        return shell::mainModule()
            .database->OpenRecordset(QStringLiteral("select * from データベース設定"))
            ->RecordCount();
    }
    QString read(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    QTemporaryDir dir;
};

TEST_F(Exchange, ImportedRecordsAreStoredExactlyAsTypedOnes) {
    addSet(1, "typed");
    addSet(2, "imported");
    addRecord(41, 9, "another set's record");
    frmMDIChild* w = openSet(1);
    typeInto(w->txtData[0], "apple");
    typeInto(w->txtData[1], "りんご");
    QTest::mouseClick(w->cmdNext, Qt::LeftButton);
    ASSERT_EQ(recordCount(1), 1);  // ID 42

    const ImportOutcome outcome = importInto(2, write("one.csv", "apple,りんご\n"));
    ASSERT_EQ(outcome.status, ImportOutcome::Status::Stored) << outcome.message.toStdString();
    EXPECT_EQ(outcome.stored, 1);
    EXPECT_EQ(shell::mainModule().highestID, 43);
    EXPECT_EQ(field(43, "dbID"), "2");
    for (const char* column :
         {"項目1", "項目2", "項目3", "コメント", "出展", "項目1RTF", "項目2RTF", "項目3RTF",
          "コメントRTF", "出展RTF", "正解回数", "出題回数", "登録日"})
        EXPECT_EQ(field(43, column), field(42, column)) << column;
    EXPECT_EQ(field(43, "登録日"), kToday);
    EXPECT_FALSE(field(43, "登録時刻").isEmpty());
}

TEST_F(Exchange, RowsWithoutItem1AreSkippedUnlessAskedOtherwise) {
    addSet(1, "set");
    const QString path = write("gaps.csv", "a,1\n,2\n\n  ,3\nb,4\n");
    const ImportOutcome skipped = importInto(1, path);
    EXPECT_EQ(skipped.stored, 2);
    EXPECT_EQ(skipped.skipped, 2);  // the blank line is no row at all

    ImportSettings keep = probeFile(path).settings;
    keep.skipEmptyItem1 = false;
    ImportTarget target;
    target.dbID = 1;
    EXPECT_EQ(ImportIntoDataBase(keep, target).stored, 4);
    EXPECT_EQ(recordCount(1), 6);
}

TEST_F(Exchange, MalformedFilesNeverStoreAnything) {
    addSet(1, "set");
    addRecord(7, 1, "kept");
    TextEncoder cp932(Encoding::Cp932);
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"quote.csv", "a,b\nc,d\ne,\"never closed\nmore\n", "3 行目 2 列目（項目２）: 引用符"},
        {"mixed.csv", QStringLiteral("犬,dog\n猫,cat\n").toUtf8() + cp932.encode(u"鳥,bird\n"),
         "3 行目: 文字コードが混在しています"},
        {"huge.csv", "a,b\nc,\"" + QByteArray(1024 * 1024, 'x') + "\"\n",
         "2 行目 2 列目（項目２）: 長すぎます"},
        {"binary.csv", QByteArray("a,b\n\0\0\0\x01\x02", 9), "テキストファイルではありません。"},
    };
    for (const auto& c : cases) {
        const QString path = write(c.name, c.bytes);
        ImportSettings settings = probeFile(path).settings;
        settings.path = path;
        if (settings.mapping.isEmpty()) settings.mapping = {0, 1};
        ImportTarget target;
        target.dbID = 1;
        const ImportOutcome outcome = ImportIntoDataBase(settings, target);
        EXPECT_EQ(outcome.status, ImportOutcome::Status::Failed) << c.name;
        EXPECT_TRUE(outcome.message.startsWith(c.message)) << outcome.message.toStdString();
        EXPECT_EQ(recordCount(1), 1) << c.name;
        EXPECT_EQ(shell::mainModule().highestID, 7) << c.name;
    }
}

TEST_F(Exchange, CancelRollsBackRowsAlreadyWritten) {
    addSet(1, "set");
    QByteArray rows;
    for (int i = 0; i < 2000; ++i) rows += "word" + QByteArray::number(i) + ",sense\n";
    const QString path = write("many.csv", rows);
    int calls = 0;
    const ImportOutcome outcome = importInto(1, path, [&calls](qint64 done, qint64 total) {
        EXPECT_LE(done, total);
        return ++calls < 3;  // the user cancels at the third report
    });
    EXPECT_EQ(outcome.status, ImportOutcome::Status::Cancelled);
    EXPECT_EQ(recordCount(1), 0);
    EXPECT_EQ(shell::mainModule().highestID, 0);
    EXPECT_EQ(importInto(1, path).stored, 2000);
}

TEST_F(Exchange, ANewSetPassesTheUsualChecksAndGoesWithAFailedImport) {
    addSet(1, "既存");
    QString message;
    EXPECT_FALSE(newSetInputs("既存", {}, &message));
    EXPECT_EQ(message, QStringLiteral("データベース名が重複しています。"));
    EXPECT_FALSE(newSetInputs("", {}, &message));
    EXPECT_EQ(message, QStringLiteral("データが入っていません。"));
    EXPECT_FALSE(newSetInputs(QString(26, QChar(u'あ')), {}, &message));
    EXPECT_TRUE(message.startsWith(QStringLiteral("データベース名が長すぎます。")));
    const auto inputs =
        newSetInputs(QString(25, QChar(u'あ')), {"単語", "", QString(51, 'x')}, &message);
    ASSERT_TRUE(inputs);
    EXPECT_EQ((*inputs)[1], "単語");
    EXPECT_EQ((*inputs)[3], QStringLiteral("項目２"));
    EXPECT_EQ((*inputs)[5], QStringLiteral("項目３"));  // too long a name is not taken

    ImportTarget failing;
    failing.newSet = newSetInputs("新しい", {}, &message);
    const QString bad = write("bad.csv", "a\n\"b\n");
    ImportSettings settings = probeFile(bad).settings;
    EXPECT_EQ(ImportIntoDataBase(settings, failing).status, ImportOutcome::Status::Failed);
    EXPECT_EQ(setRows(), 1);
    EXPECT_EQ(shell::mainModule().dataBaseList.size(), 3u);

    ImportTarget target;
    target.newSet = newSetInputs("新しい", {"単語", "意味"}, &message);
    const QString good = write("good.csv", "単語,意味\n犬,dog\n");
    ASSERT_EQ(ImportIntoDataBase(probeFile(good).settings, target).stored, 1);
    EXPECT_EQ(target.dbID, 2);
    EXPECT_EQ(setRows(), 2);
    EXPECT_EQ(shell::mainModule().dataBaseList.back().name, "新しい");
    auto row = shell::mainModule().database->OpenRecordset(
        "select * from データベース設定 where dbID = 2");
    EXPECT_EQ(row->value("項目1名称").displayText(), "単語");
    EXPECT_EQ(row->value("項目2名称").displayText(), "意味");
    EXPECT_EQ(row->value("区切り12").displayText(), "^@");
    EXPECT_EQ(recordCount(2), 1);
}

// A record with formatting in every item, as the record window would store it.
void addRichRecord(int id, int dbID, const std::array<richtext::Document, 5>& docs) {
    QString sql = QStringLiteral(
                      "INSERT INTO データ (ID, dbID, 項目１, 項目２, 項目３, コメント, 出展, "
                      "項目１RTF, 項目２RTF, 項目３RTF, コメントRTF, 出展RTF, 正解回数, "
                      "出題回数, 正解率, 登録日, 登録時刻) VALUES (%1, %2")
                      .arg(id)
                      .arg(dbID);
    for (const auto& d : docs) sql += ", " + dao::sqlLiteral(d.plainText());
    for (const auto& d : docs) sql += ", " + dao::sqlLiteral(richtext::writeRtfString(d));
    sql += QStringLiteral(", 2, 3, 66.7, #2024/05/06#, #07:08:09#)");
    shell::mainModule().database->Execute(sql);
    shell::loadHighestID();
}

richtext::Document formatted(const QString& text, int variant) {
    richtext::Format plain;
    plain.font = richtext::defaultFace();
    plain.size = 10;
    richtext::Format special = plain;
    special.bold = variant % 2 == 0;
    special.italic = variant % 3 == 0;
    special.underline = variant % 5 == 0;
    special.color = variant % 2 ? std::optional<std::uint32_t>(0xCC0000) : std::nullopt;
    if (variant % 4 == 0) special.font = QStringLiteral("Arial");
    if (variant % 7 == 0) special.size = 14;
    richtext::Document doc;
    richtext::Paragraph p1, p2;
    richtext::appendText(p1, text, plain);
    richtext::appendText(p1, QStringLiteral(" <強調>&\t\"q\""), special);
    richtext::appendText(p2, QStringLiteral("二行目"), plain);
    richtext::finishParagraph(p1, plain);
    richtext::finishParagraph(p2, plain);
    doc.paragraphs = {p1, p2};
    return doc;
}

TEST_F(Exchange, WhatIsExportedImportsBackWithTheSameTextsAndFormatting) {
    addSet(1, "source");
    for (int i = 0; i < 30; ++i) {
        std::array<richtext::Document, 5> docs;
        for (int t = 0; t < 5; ++t)
            docs[t] = formatted(QStringLiteral("語%1-%2").arg(i).arg(t), i + t);
        addRichRecord(100 + i, 1, docs);
    }
    for (const ExportFormat format :
         {ExportFormat::Note, ExportFormat::CsvUtf8, ExportFormat::Tab, ExportFormat::CsvCp932}) {
        ExportSettings s;
        s.path = dir.filePath("out.txt");
        s.format = format;
        s.dbIDs = {1};
        const ExportOutcome written = ExportFromDataBase(s);
        ASSERT_EQ(written.status, ExportOutcome::Status::Written);
        EXPECT_EQ(written.records, 30);

        QString message;
        ImportTarget target;
        target.newSet =
            newSetInputs(QStringLiteral("copy%1").arg(static_cast<int>(format)), {}, &message);
        const FileProbe probe = probeFile(s.path);
        EXPECT_TRUE(probe.settings.headerRow || probe.settings.format == FileFormat::Note);
        ASSERT_EQ(ImportIntoDataBase(probe.settings, target).stored, 30);

        const auto original = shell::mainModule().database->OpenRecordset(
            "select * from データ where dbID = 1 ORDER BY ID");
        const auto copy = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from データ where dbID = %1 ORDER BY ID").arg(target.dbID));
        ASSERT_EQ(copy->RecordCount(), 30);
        for (original->MoveFirst(), copy->MoveFirst(); !original->AtEOF();
             original->MoveNext(), copy->MoveNext()) {
            for (int t = 0; t < 5; ++t) {
                EXPECT_EQ(copy->Fields(2 + t).Value().displayText(),
                          original->Fields(2 + t).Value().displayText());
                if (format != ExportFormat::Note) continue;  // plain text formats keep text only
                const auto a =
                    richtext::readRtf(QStringView(original->Fields(7 + t).Value().displayText()));
                const auto b =
                    richtext::readRtf(QStringView(copy->Fields(7 + t).Value().displayText()));
                EXPECT_EQ(b, a) << "format " << static_cast<int>(format) << " item " << t;
            }
        }
    }
}

TEST_F(Exchange, ExportWritesHeadersExtrasAndEncodings) {
    addSet(1, "英単語");
    addSet(2, "漢字");
    std::array<richtext::Document, 5> docs;
    richtext::Format typed;
    typed.font = richtext::defaultFace();
    typed.size = 10;
    for (int t = 0; t < 5; ++t)
        docs[t] = richtext::Document::fromPlainText(t == 0 ? "𠮷野家" : "x", typed);
    addRichRecord(1, 1, docs);
    addRecord(2, 2, "木");

    ExportSettings s;
    s.path = dir.filePath("all.csv");
    s.dbIDs = allDataBaseIDs();
    s.setColumn = s.counters = s.rate = s.dates = true;
    ASSERT_EQ(ExportFromDataBase(s).records, 2);
    QFile utf8(s.path);
    utf8.open(QIODevice::ReadOnly);
    const QByteArray bytes = utf8.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)),
              QStringLiteral("データベース,項目１,項目２,項目３,コメント,出展,正解回数,出題回数,"
                             "正解率,登録日,登録時刻\r\n"
                             "英単語,𠮷野家,x,x,x,x,2,3,66.7,2024/05/06,07:08:09\r\n"
                             "漢字,木,,,,,0,0,0.0,2024/01/01,10:00:00\r\n"));

    s.format = ExportFormat::CsvCp932;
    s.path = dir.filePath("sjis.csv");
    const ExportOutcome sjis = ExportFromDataBase(s);
    EXPECT_EQ(sjis.unmappable, 1);  // 𠮷
    EXPECT_EQ(probeFile(s.path).settings.encoding, Encoding::Cp932);

    s.format = ExportFormat::Note;
    s.path = dir.filePath("deck.txt");
    s.counters = s.rate = s.dates = false;
    ExportFromDataBase(s);
    EXPECT_TRUE(read(s.path).startsWith(
        QStringLiteral("#separator:tab\n#html:true\n#columns:"
                       "データベース\t項目１\t項目２\t項目３\tコメント\t出展\n"
                       "#deck column:1\n英単語\t𠮷野家\tx")));
    // A record stored without RTF is written from its plain text.
    EXPECT_TRUE(read(s.path).endsWith(QStringLiteral("\n漢字\t木\t\t\t\t\n")));
}

TEST_F(Exchange, ACancelledOrFailedExportLeavesThePreviousFile) {
    addSet(1, "set");
    dao::Database& db = *shell::mainModule().database;
    db.BeginTrans();
    for (int i = 1; i <= 600; ++i)
        db.Execute(
            QStringLiteral("INSERT INTO データ (ID, dbID, 項目１) VALUES (%1, 1, 'w')").arg(i));
    db.CommitTrans();
    ExportSettings s;
    s.path = write("keep.csv", "previous");
    s.dbIDs = {1};
    const ExportOutcome cancelled = ExportFromDataBase(s, [](qint64, qint64) { return false; });
    EXPECT_EQ(cancelled.status, ExportOutcome::Status::Cancelled);
    EXPECT_EQ(read(s.path), "previous");
    s.path = dir.filePath("no/such/folder/x.csv");
    const ExportOutcome failed = ExportFromDataBase(s);
    EXPECT_EQ(failed.status, ExportOutcome::Status::Failed);
    EXPECT_TRUE(failed.message.startsWith(QStringLiteral("ファイルに書き込めません。")));
}

// Many batches of rows, written by the worker threads: every record once, in the record
// window's order (by registration time, not by ID), its set beside it, in every format.
TEST_F(Exchange, AnExportOfManyBatchesKeepsEveryRecordInOrder) {
    addSet(1, "first");
    addSet(2, "second");
    dao::Database& db = *shell::mainModule().database;
    const QString item = QStringLiteral("{\\rtf1 \\b w%1\\b0  \\i i\\i0\\par}");
    QStringList expected;
    db.BeginTrans();
    for (const auto& [dbID, count] : {std::pair{1, 700}, std::pair{2, 300}}) {
        for (int n = count; n >= 1; --n) {  // stored newest first
            const int id = dbID * 1000 + n;
            db.Execute(QStringLiteral("INSERT INTO データ (ID, dbID, 項目１, 項目１RTF, 項目２RTF, "
                                      "項目３RTF, コメントRTF, 出展RTF, 登録日, 登録時刻) VALUES "
                                      "(%1, %2, 'w%1 i', %3, %3, %3, %3, %3, #2024/01/01#, #%4#)")
                           .arg(id)
                           .arg(dbID)
                           .arg(dao::sqlLiteral(item.arg(id)))
                           .arg(QTime(8, 0).addSecs(n).toString("HH:mm:ss")));
        }
        for (int n = 1; n <= count; ++n)
            expected << QStringLiteral("%1 w%2")
                            .arg(dbID == 1 ? "first" : "second")
                            .arg(dbID * 1000 + n);
    }
    db.CommitTrans();
    shell::loadHighestID();
    for (const ExportFormat format :
         {ExportFormat::Note, ExportFormat::CsvUtf8, ExportFormat::CsvCp932, ExportFormat::Tab}) {
        ExportSettings s;
        s.path = dir.filePath("many.txt");
        s.format = format;
        s.dbIDs = {1, 2};
        s.setColumn = true;
        ASSERT_EQ(ExportFromDataBase(s).records, 1000);
        QFile f(s.path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());  // cp932 of ASCII is the same bytes
        QStringList seen;
        for (const QString& line : text.split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts)) {
            static const QRegularExpression record(R"(^(first|second)[,\t][^,\t]*?(w\d+))");
            const auto m = record.match(line);
            if (m.hasMatch()) seen << m.captured(1) + ' ' + m.captured(2);
        }
        ASSERT_EQ(seen.size(), expected.size()) << "format " << static_cast<int>(format);
        for (qsizetype i = 0; i < seen.size(); ++i)
            ASSERT_EQ(seen[i], expected[i])
                << "row " << i << ", format " << static_cast<int>(format);
    }
}

}  // namespace
