// The word index against the plain scan: random words over random records must give exactly
// the rows jet_like gives, however the records got there.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

#include "platform/dao/Connection.h"
#include "platform/dao/DaoFixture.h"
#include "platform/dao/JetFunctions.h"
#include "platform/dao/SafeLiteral.h"
#include "platform/dao/Translator.h"
#include "platform/dao/WordIndex.h"

namespace {

const QString kConnect = "MS Access;PWD=kWf4r8nz";
const QStringList kTextFields = {"項目1", "項目2", "項目3", "コメント", "出展"};

// Characters the records and the words are made of: kanji and kana, Latin letters in both
// cases and widths, digits, blanks, the LIKE wildcards and both quotes.
const QStringList kAlphabet = {"犬", "猫", "学", "校", "い", "ぬ", "ね", "こ", "a",
                               "b",  "A",  "B",  "ａ", "Ａ", "x",  "1",  "2",  " ",
                               "/",  "*",  "?",  "#",  "[",  "]",  "'",  "\"", "-"};

QString randomText(QRandomGenerator& random, int maxLength) {
    QString text;
    const int n = random.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i) text += kAlphabet[random.bounded(kAlphabet.size())];
    return text;
}

// A search word: 1-4 characters, some of them wildcards, classes or quotes.
QString randomWord(QRandomGenerator& random) {
    QString word;
    const int n = random.bounded(1, 5);
    for (int i = 0; i < n; ++i) {
        const int kind = random.bounded(10);
        if (kind == 0 && n > 1)
            word += "?";
        else if (kind == 1 && n > 1)
            word += "*";
        else if (kind == 2)
            word += "#";
        else if (kind == 3)
            word += random.bounded(2) ? "[犬a]" : "[!猫]";
        else
            word += kAlphabet[random.bounded(kAlphabet.size())];
    }
    return word;
}

class WordIndexTest : public DaoTest {
protected:
    struct Record {
        int dbID = 0;
        QStringList texts;  // the five plain texts; a null string is Null
    };

    void SetUp() override {
        DaoTest::SetUp();
        for (int set = 1; set <= 3; ++set) addSet(set, QStringLiteral("set %1").arg(set));
    }

    void addRandomRecords(int count, QRandomGenerator& random) {
        db->BeginTrans();  // one write to the disk, not one per record
        for (int i = 0; i < count; ++i) {
            Record r;
            r.dbID = random.bounded(1, 4);
            for (int f = 0; f < 5; ++f)
                r.texts << (random.bounded(8) == 0 ? QString() : randomText(random, 8));
            const int id = nextID++;
            db->Execute(
                QStringLiteral("INSERT INTO データ (ID, dbID, 項目１, 項目２, 項目３, コメント, "
                               "出展, 登録日) VALUES (%1, %2, %3, %4, %5, %6, %7, #2024/1/1#)")
                    .arg(id)
                    .arg(r.dbID)
                    .arg(literal(r.texts[0]), literal(r.texts[1]), literal(r.texts[2]),
                         literal(r.texts[3]), literal(r.texts[4])));
        }
        db->CommitTrans();
    }

    static QString literal(const QString& text) {
        return text.isNull() ? QStringLiteral("Null") : dao::sqlLiteral(text);
    }

    // The records as the file holds them now.
    std::map<int, Record> readRecords() {
        std::map<int, Record> records;
        auto rs = open("SELECT * FROM データ");
        while (!rs->AtEOF()) {
            Record r;
            r.dbID = rs->value("dbID").toInteger();
            for (const QString& f : kTextFields) {
                const dao::Variant v = rs->value(f);
                r.texts << (v.isNull() ? QString() : v.toString());
            }
            records[rs->value("ID").toLong()] = r;
            rs->MoveNext();
        }
        return records;
    }

    // The search window's word condition for the words, and the IDs jet_like finds.
    static QString wordCondition(const QStringList& words) {
        QStringList groups;
        for (QString w : words) {
            w.replace("'", "''");
            QStringList likes;
            for (const char* f : {"項目１", "項目２", "項目３", "コメント", "出展"})
                likes << QStringLiteral("(%1 LIKE '*%2*')").arg(QString::fromUtf8(f), w);
            groups << "(" + likes.join(" OR ") + ")";
        }
        return "(" + groups.join(" AND ") + ")";
    }

    static std::vector<int> scan(const std::map<int, Record>& records, const QStringList& words,
                                 const std::vector<int>& sets) {
        std::vector<int> ids;
        for (const auto& [id, r] : records) {
            if (std::find(sets.begin(), sets.end(), r.dbID) == sets.end()) continue;
            bool all = true;
            for (const QString& w : words) {
                bool any = false;
                for (const QString& t : r.texts)
                    if (!t.isNull() && dao::jetLike(t, "*" + w + "*")) any = true;
                all = all && any;
            }
            if (all) ids.push_back(id);
        }
        return ids;
    }

    // The IDs in the statement's order, or sorted.
    std::vector<int> searchWindowStatement(const QStringList& words, const std::vector<int>& sets,
                                           bool sorted = true) {
        QStringList chosen;
        for (int s : sets) chosen << QStringLiteral("(データ.dbID = %1)").arg(s);
        const QString sql =
            "SELECT  データベース設定.データベース名, データ.項目１, データ.ID FROM "
            "データベース設定 "
            "INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (" +
            chosen.join("OR ") + ") AND " + wordCondition(words) +
            " ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;";
        std::vector<int> ids;
        auto rs = open(sql);
        while (!rs->AtEOF()) {
            ids.push_back(rs->value("ID").toLong());
            rs->MoveNext();
        }
        if (sorted) std::sort(ids.begin(), ids.end());
        return ids;
    }

    int countStatement(const QStringList& words) {
        auto rs = open("SELECT count(*) FROM データ WHERE " + wordCondition(words));
        return rs->Fields(0).Value().toLong();
    }

    // Random words, one or two at a time, give exactly the scan's rows through the search
    // window's statement and through a count.
    void expectSameAsScan(int searches, quint32 seed) {
        QRandomGenerator random(seed);
        const auto records = readRecords();
        for (int i = 0; i < searches; ++i) {
            QStringList words{randomWord(random)};
            if (random.bounded(4) == 0) words << randomWord(random);
            const std::vector<int> sets =
                random.bounded(3) == 0 ? std::vector<int>{2} : std::vector<int>{1, 2, 3};
            const std::vector<int> expected = scan(records, words, sets);
            ASSERT_EQ(searchWindowStatement(words, sets), expected)
                << words.join(" ").toStdString();
            if (sets.size() == 3) {
                ASSERT_EQ(countStatement(words), static_cast<int>(expected.size()))
                    << words.join(" ").toStdString();
            }
        }
    }

    // Runs raw SQL on the file through a second connection, as the sqlite3 shell would.
    void rawSql(const QString& sql) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(file.path().toUtf8().constData(), &raw), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, &message);
        const QString text = message ? QString::fromUtf8(message) : QString();
        sqlite3_free(message);
        sqlite3_close(raw);
        ASSERT_EQ(rc, SQLITE_OK) << text.toStdString();
    }

    int nextID = 1;
};

TEST(WordIndexKeys, PairsOfFoldedCharactersAndTextEnds) {
    using dao::wordindex::keysOf;
    const auto key = [](char32_t a, char32_t b) { return (std::uint64_t{a} << 21) | b; };
    // Capitals fold to small letters in their own width; each text ends with its own key.
    const auto keys = keysOf({"犬Ａb", "", "C"});
    const std::vector<std::uint64_t> expected = {key(U'c', 0), key(U'犬', U'ａ'), key(U'ａ', U'b'),
                                                 key(U'b', 0)};
    EXPECT_EQ(keys.size(), expected.size());
    for (auto k : expected) EXPECT_NE(std::find(keys.begin(), keys.end(), k), keys.end());
    // A repeated pair is filed once.
    EXPECT_EQ(keysOf({"ababab"}).size(), 3u);
}

TEST_F(WordIndexTest, SuppliedFileHasTheIndexAndRandomWordsFindWhatTheScanFinds) {
    ASSERT_TRUE(db->HasWordIndex());
    QRandomGenerator random(17);
    addRandomRecords(400, random);
    // Fresh records are logged, not yet filed: searches find them all the same.
    EXPECT_EQ(db->WordIndexBacklog(), 400);
    expectSameAsScan(120, 1);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    EXPECT_EQ(db->WordIndexBacklog(), 0);
    expectSameAsScan(300, 2);
}

// Many candidates are shared with a second connection and read by both at once: the rows,
// and their order, are those of one connection reading them all. Inside a transaction the
// second connection could not see the changes, so this connection reads alone.
TEST_F(WordIndexTest, CandidatesReadByTwoConnectionsGiveTheSameRowsInTheSameOrder) {
    QRandomGenerator random(23);
    addRandomRecords(600, random);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    const std::vector<int> all{1, 2, 3};
    std::vector<std::vector<int>> alone;
    for (const char* w : {"犬", "a", "学校", "ね*こ"})
        alone.push_back(searchWindowStatement({QString::fromUtf8(w)}, all, false));
    db->SetSharedReadsFrom(1);
    int i = 0;
    for (const char* w : {"犬", "a", "学校", "ね*こ"}) {
        ASSERT_FALSE(alone[i].empty()) << w;
        EXPECT_EQ(searchWindowStatement({QString::fromUtf8(w)}, all, false), alone[i++]) << w;
    }
    expectSameAsScan(150, 3);

    db->BeginTrans();
    addRecord(nextID++, 2, "犬と猫");
    const std::vector<int> found = searchWindowStatement({"犬と"}, all);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], nextID - 1);
    EXPECT_EQ(searchWindowStatement({"犬"}, all).size(), alone[0].size() + 1);
    db->Rollback();
}

TEST_F(WordIndexTest, TheIndexProposesTheCandidatesAndTheLikeDecides) {
    addRecord(1, 1, "犬小屋");
    addRecord(2, 1, "小犬", "", "", 0, 0, 0, "2024/1/1", "12:00:00", "", "DOG house");
    addRecord(3, 1, "猫");
    ASSERT_TRUE(db->UpdateWordIndex(false));
    EXPECT_EQ(countStatement({"犬"}), 2);
    EXPECT_EQ(countStatement({"dog"}), 1);
    EXPECT_EQ(countStatement({"犬小"}), 1);
    // Emptied lists leave the records unfound: the statement reads only what the index
    // proposes. Rebuilding brings them back.
    rawSql("DELETE FROM kenvora_word_index");
    EXPECT_EQ(countStatement({"犬"}), 0);
    EXPECT_EQ(countStatement({"*"}), 3);  // no plain character: read every record
    ASSERT_TRUE(db->UpdateWordIndex(true));
    EXPECT_EQ(countStatement({"犬"}), 2);
    // Half an index (a table dropped by hand) is no index: the statement reads every record.
    rawSql("DROP TABLE kenvora_word_segments");
    EXPECT_FALSE(db->HasWordIndex());
    EXPECT_EQ(countStatement({"犬"}), 2);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    EXPECT_TRUE(db->HasWordIndex());
    EXPECT_EQ(countStatement({"犬小"}), 1);
}

TEST_F(WordIndexTest, StaysRightThroughEveryKindOfChange) {
    QRandomGenerator random(99);
    addRandomRecords(300, random);
    ASSERT_TRUE(db->UpdateWordIndex(false));

    // Edits through a recordset, as the record window saves.
    {
        auto rs = open("SELECT * FROM データ WHERE dbID = 1 ORDER BY ID");
        for (int i = 0; i < 40 && !rs->AtEOF(); ++i, rs->MoveNext()) {
            rs->Edit();
            for (const QString& f : kTextFields) rs->Fields(f) = randomText(random, 6);
            rs->Update();
        }
    }
    expectSameAsScan(60, 3);

    // A new record through AddNew, an UPDATE and a DELETE statement.
    {
        auto rs = open("SELECT * FROM データ");
        rs->AddNew();
        rs->Fields("ID") = nextID++;
        rs->Fields("dbID") = 2;
        rs->Fields("項目1") = "新しい犬";
        rs->Update();
    }
    db->Execute("UPDATE データ SET 出展 = 'Ｂ犬' WHERE ID < 30");
    db->Execute("DELETE FROM データ WHERE ID BETWEEN 30 AND 60");
    expectSameAsScan(60, 4);

    // Deleting a set, and renumbering every ID in one transaction as compaction does.
    db->Execute("DELETE FROM データ WHERE dbID = 3");
    db->BeginTrans();
    {
        auto rs = open("SELECT * FROM データ ORDER BY ID ASC");
        int id = 1;
        while (!rs->AtEOF()) {
            rs->Edit();
            rs->Fields("ID") = id++;
            rs->Update();
            rs->MoveNext();
        }
    }
    db->CommitTrans();
    expectSameAsScan(60, 5);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    expectSameAsScan(60, 6);

    // A transaction rolled back takes its log entries with it.
    db->BeginTrans();
    db->Execute("UPDATE データ SET 項目１ = '猫猫'");
    db->Rollback();
    expectSameAsScan(40, 7);

    // Written by another program that knows nothing of the index.
    rawSql(
        "UPDATE データ SET コメント = 'xA犬' WHERE ID % 7 = 0; "
        "INSERT INTO データ (ID, dbID, 項目1) VALUES (5000, 1, 'ねこ犬');");
    expectSameAsScan(60, 8);
}

// Enough records that the commonest characters' lists are too long to be worth reading: such
// words fall back to reading every record, alone or beside a rarer word.
TEST_F(WordIndexTest, CommonWordsFallBackToReadingEveryRecord) {
    QRandomGenerator random(8);
    addRandomRecords(6000, random);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    const auto records = readRecords();
    for (const QStringList& words :
         {QStringList{"a"}, QStringList{"a", "犬猫"}, QStringList{"A b"}, QStringList{"犬猫校"},
          QStringList{"ａ", "?ぬ"}, QStringList{"1 2"}}) {
        for (const QString& w : words)
            for (const QString& piece : w.split(' ')) {
                const std::vector<int> sets{1, 2, 3};
                ASSERT_EQ(searchWindowStatement({piece}, sets), scan(records, {piece}, sets))
                    << piece.toStdString();
            }
        ASSERT_EQ(countStatement(words), static_cast<int>(scan(records, words, {1, 2, 3}).size()))
            << words.join(" ").toStdString();
    }
}

TEST_F(WordIndexTest, ManySmallFoldsAreMergedAndStayRight) {
    QRandomGenerator random(5);
    for (int round = 0; round < 12; ++round) {
        addRandomRecords(25, random);
        db->Execute(QStringLiteral("UPDATE データ SET 項目３ = '%1' WHERE ID MOD 13 = %2")
                        .arg(randomText(random, 5).replace("'", "''"))
                        .arg(round));
        ASSERT_TRUE(db->UpdateWordIndex(false));
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.path().toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(raw, "SELECT count(*) FROM kenvora_word_segments", -1, &q, nullptr);
    ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
    EXPECT_LE(sqlite3_column_int(q, 0), 9);  // merged, not one segment per fold
    sqlite3_finalize(q);
    sqlite3_close(raw);
    expectSameAsScan(150, 9);
}

TEST_F(WordIndexTest, CompactionAndRestoreKeepItRight) {
    QRandomGenerator random(23);
    addRandomRecords(250, random);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    addRandomRecords(20, random);  // logged, not filed
    db->Close();

    QTemporaryDir dir;
    const QString compacted = dir.filePath("KenvoraN.mdb");
    dao::CompactDatabase(file.path(), compacted, "", 0, ";PWD=kWf4r8nz;");
    // The compacted file, put back as a restore would put a backup in place.
    ASSERT_TRUE(QFile::remove(file.path()));
    ASSERT_TRUE(QFile::copy(compacted, file.path()));
    db = dao::OpenDatabase(file.path(), false, false, kConnect);
    EXPECT_TRUE(db->HasWordIndex());
    expectSameAsScan(150, 10);
}

TEST_F(WordIndexTest, AFileWithoutTheIndexSearchesTheSameBeforeAndAfterBuildingIt) {
    QRandomGenerator random(41);
    addRandomRecords(300, random);
    db->DropWordIndex();
    ASSERT_FALSE(db->HasWordIndex());
    EXPECT_EQ(db->WordIndexBacklog(), 300);
    expectSameAsScan(80, 11);

    // Abandoned half way: nothing is left behind.
    EXPECT_FALSE(db->UpdateWordIndex(false, [](long long done, long long) { return done == 0; }));
    EXPECT_FALSE(db->HasWordIndex());

    std::vector<std::pair<long long, long long>> reports;
    ASSERT_TRUE(db->UpdateWordIndex(false, [&](long long done, long long total) {
        reports.emplace_back(done, total);
        return true;
    }));
    EXPECT_TRUE(db->HasWordIndex());
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(300LL, 300LL));
    expectSameAsScan(150, 12);
}

// A save killed before its commit leaves a hot journal; the next open rolls the records and
// their log entries back together. A committed save keeps both.
TEST_F(WordIndexTest, AKillInTheMiddleOfASaveKeepsRecordsAndIndexTogether) {
    QRandomGenerator random(77);
    addRandomRecords(200, random);
    ASSERT_TRUE(db->UpdateWordIndex(false));
    db->Close();

    const auto saveAndDie = [&](bool commit) {
        const QByteArray path = file.path().toUtf8();
        const pid_t child = fork();
        if (child == 0) {
            sqlite3* raw = nullptr;
            sqlite3_open(path.constData(), &raw);
            // A tiny cache makes the transaction spill pages into the file before its end.
            sqlite3_exec(raw,
                         "PRAGMA cache_size = 2; BEGIN; UPDATE データ SET 項目1 = 'kill犬' || ID, "
                         "項目1RTF = hex(randomblob(3000));"
                         "INSERT INTO データ (ID, dbID, 項目1) VALUES (9000, 1, '最後の犬');",
                         nullptr, nullptr, nullptr);
            if (commit) sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
            raise(SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    };

    saveAndDie(false);
    db = dao::OpenDatabase(file.path(), false, false, kConnect);
    EXPECT_EQ(countStatement({"kill犬"}), 0);
    EXPECT_EQ(countStatement({"最後"}), 0);
    expectSameAsScan(80, 13);
    db->Close();

    saveAndDie(true);
    db = dao::OpenDatabase(file.path(), false, false, kConnect);
    EXPECT_EQ(countStatement({"kill犬"}), 200);
    EXPECT_EQ(countStatement({"最後"}), 1);
    expectSameAsScan(80, 14);
}

// The candidates are read straight by rowid, not by walking a set through its dbID index.
TEST_F(WordIndexTest, ARestrictedStatementReadsItsCandidatesByRowid) {
    addRecord(1, 1, "犬小屋");
    ASSERT_TRUE(db->UpdateWordIndex(false));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.path().toUtf8().constData(), &raw), SQLITE_OK);
    dao::registerJetFunctions(raw);
    dao::Schema schema;
    schema.load(raw);
    const dao::jet::CompiledSelect select = dao::jet::compileSelect(
        dao::jet::parseStatement("SELECT * FROM データ WHERE (dbID = 1) AND " +
                                 wordCondition({"犬"}) + " ORDER BY 登録日"),
        schema);
    ASSERT_TRUE(dao::wordindex::fillCandidates(raw, select.wordCondition));
    QString plan;
    {
        dao::Prepared q(raw, "EXPLAIN QUERY PLAN " + select.indexedKeysetSql);
        while (sqlite3_step(q.get()) == SQLITE_ROW)
            plan +=
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 3))) +
                "\n";
    }
    sqlite3_close(raw);
    EXPECT_TRUE(plan.contains("INTEGER PRIMARY KEY (rowid=?)")) << plan.toStdString();
}

}  // namespace
