// The layer's own keyset sort against SQLite's ORDER BY: the same keys in the same order,
// ties, Nulls, mixed types and outer joins included.
#include <sqlite3.h>
#include <QRandomGenerator>

#include <cstring>

#include "platform/dao/Connection.h"
#include "platform/dao/DaoFixture.h"
#include "platform/dao/JetFunctions.h"
#include "platform/dao/KeysetOrder.h"
#include "platform/dao/Translator.h"

namespace {

class KeysetOrderTest : public DaoTest {
protected:
    void SetUp() override {
        DaoTest::SetUp();
        // Set rows in another order than their dbIDs, so that ties between sets follow the
        // settings table's storage order, not the dbID.
        for (int set : {3, 1, 4, 2}) addSet(set, QStringLiteral("set %1").arg(set));
        ASSERT_EQ(sqlite3_open(file.path().toUtf8().constData(), &raw), SQLITE_OK);
        dao::registerJetFunctions(raw);
        fill();
        schema.load(raw);
    }
    void TearDown() override {
        sqlite3_close(raw);
        DaoTest::TearDown();
    }

    // Records with many equal rates, counts and times, some Null; the time column (numeric
    // affinity) also holds integers, reals, text and blobs; dbID 9 has no set.
    void fill() {
        QRandomGenerator random(17);
        const char* rates[] = {"0", "100", "50", "33.3333358764648", "66.6666717529297", "NULL"};
        const char* times[] = {"'12:00:00'",
                               "'09:30:00'",
                               "'23:59:59'",
                               "NULL",
                               "12",
                               "12.0",
                               "-3.5",
                               "x'00ff'",
                               "''",
                               "'１２'",
                               "12.1",
                               "11.9",
                               "'12:00:00.5'",
                               "CAST(x'31320033' AS TEXT)",
                               "9007199254740993",
                               "1e300"};
        const int sets[] = {1, 2, 3, 4, 9};
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        for (int id = 1; id <= 1500; ++id) {
            const QString sql =
                QStringLiteral(
                    "INSERT INTO データ (ID, dbID, 項目1, 正解回数, 出題回数, 正解率, 登録日, "
                    "登録時刻) VALUES (%1, %2, '%3', %4, %5, %6, '2024-01-%7', %8)")
                    .arg(id)
                    .arg(sets[random.bounded(5)])
                    .arg(QChar(0x3042 + random.bounded(4)))
                    .arg(random.bounded(3))
                    .arg(random.bounded(4))
                    .arg(QString::fromLatin1(rates[random.bounded(6)]))
                    .arg(random.bounded(1, 4), 2, 10, QChar('0'))
                    .arg(QString::fromUtf8(times[random.bounded(16)]));
            ASSERT_EQ(sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr),
                      SQLITE_OK)
                << sqlite3_errmsg(raw);
        }
        // Rowids beyond 32 bits and below zero: the keys no longer fit side by side.
        for (const char* rowid : {"5000000000", "-7"})
            ASSERT_EQ(sqlite3_exec(raw,
                                   QStringLiteral("INSERT INTO データ (rowid, ID, dbID, 正解率, "
                                                  "登録時刻) VALUES (%1, 2000%2, 2, 0, '12:00:00')")
                                       .arg(QString::fromLatin1(rowid))
                                       .arg(std::strlen(rowid))
                                       .toUtf8()
                                       .constData(),
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    }

    std::vector<std::int64_t> sqliteOrder(const QString& sql) {
        dao::Prepared q(raw, sql);
        const int keys = sqlite3_column_count(q.get());
        std::vector<std::int64_t> out;
        while (sqlite3_step(q.get()) == SQLITE_ROW)
            for (int k = 0; k < keys; ++k)
                out.push_back(sqlite3_column_type(q.get(), k) == SQLITE_NULL
                                  ? dao::keysetorder::kNoRow
                                  : sqlite3_column_int64(q.get(), k));
        return out;
    }

    // The keys in SQLite's order and in the layer's, for a statement the layer may sort.
    void expectSameOrder(const QString& jetSql) {
        SCOPED_TRACE(jetSql.toStdString());
        const dao::jet::CompiledSelect select =
            dao::jet::compileSelect(dao::jet::parseStatement(jetSql), schema);
        ASSERT_FALSE(select.unorderedKeysetSql.isEmpty());
        const std::vector<std::int64_t> expected = sqliteOrder(select.keysetSql);
        ASSERT_GT(expected.size(), 100U);
        dao::Prepared q(raw, select.unorderedKeysetSql);
        EXPECT_EQ(dao::keysetorder::readSorted(raw, q.get(), static_cast<int>(select.tables.size()),
                                               select.orderDescending),
                  expected);
    }

    sqlite3* raw = nullptr;
    dao::Schema schema;
};

const QString kTestColumns =
    "SELECT  データベース設定.データベース名, データ.項目１, データ.正解率, データ.ID "
    "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE "
    "((データ.dbID = 1) OR (データ.dbID = 2) OR (データ.dbID = 3) OR (データ.dbID = 4)) ";

TEST_F(KeysetOrderTest, TestOrdersMatchSqliteTiesAndNullsIncluded) {
    expectSameOrder(kTestColumns + "ORDER BY 正解率 ASC, 登録時刻 ASC ");
    expectSameOrder(kTestColumns + "ORDER BY 正解率 DESC, 登録時刻 DESC ");
    expectSameOrder(kTestColumns + "ORDER BY 正解率 DESC, 出題回数 DESC ");
    expectSameOrder(kTestColumns + "AND (正解率 >= 0) ORDER BY 正解率 ASC, 登録時刻 ASC ");
}

TEST_F(KeysetOrderTest, MixedTypesExpressionsAndOuterJoinsMatchSqlite) {
    expectSameOrder("SELECT * FROM データ ORDER BY 登録時刻, ID DESC");
    expectSameOrder("SELECT * FROM データ ORDER BY 登録時刻 DESC");
    expectSameOrder("SELECT * FROM データ ORDER BY 項目1 DESC, 正解率");
    expectSameOrder(
        "SELECT データ.ID FROM データ ORDER BY format(登録日,'yyyy/mm/dd') DESC, "
        "正解回数 / 出題回数, 出題回数 & 項目1");
    expectSameOrder(
        "SELECT データ.ID, データベース設定.データベース名 FROM データ LEFT JOIN データベース設定 "
        "ON データ.dbID = データベース設定.dbID ORDER BY データベース設定.データベース名 DESC, "
        "正解率");
    expectSameOrder("SELECT * FROM データ, データベース設定 WHERE データ.ID < 40 ORDER BY 正解率");
}

TEST_F(KeysetOrderTest, TopAndCustomCollationsAreLeftToSqlite) {
    EXPECT_TRUE(dao::jet::compileSelect(
                    dao::jet::parseStatement("SELECT TOP 5 * FROM データ ORDER BY 正解率"), schema)
                    .unorderedKeysetSql.isEmpty());
    ASSERT_EQ(sqlite3_exec(raw, "CREATE TABLE folded (name TEXT COLLATE NOCASE)", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    schema.load(raw);
    EXPECT_TRUE(dao::jet::compileSelect(
                    dao::jet::parseStatement("SELECT * FROM folded ORDER BY name"), schema)
                    .unorderedKeysetSql.isEmpty());
}

// Rows shaped to reach every way the layer orders them: long falling stretches (a run per row:
// merged up to 4,096 runs, sorted at once beyond), short rising runs with equal values across
// them, and values whose prefixes stop being enough (long texts, texts with a zero byte, large
// integers, keys beyond 32 bits) only after thousands of rows that compared by prefix alone.
class KeysetShapesTest : public KeysetOrderTest {
protected:
    void SetUp() override {
        KeysetOrderTest::SetUp();
        const char* sql =
            "CREATE TABLE shaped (n INTEGER, v, w, tag INTEGER);"
            "CREATE TABLE tags (k INTEGER, label TEXT);"
            "INSERT INTO tags VALUES (0, 'zero'), (1, 'one'), (2, 'two');"
            "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 9000) "
            "INSERT INTO shaped (rowid, n, v, w, tag) SELECT n, n, "
            "  CASE WHEN n <= 5000 THEN 5000 - n ELSE n % 7 END, "
            "  CASE WHEN n <= 6000 THEN CASE n % 8 WHEN 0 THEN 'x' WHEN 1 THEN n % 9 - 4.5 "
            "    WHEN 2 THEN NULL WHEN 3 THEN 9007199254740992 WHEN 4 THEN 9007199254740996.0 "
            "    WHEN 5 THEN -9007199254740996.0 ELSE 'abcdefgh' END "
            "  ELSE CASE n % 8 WHEN 0 THEN 'abcdefgh' || (n % 3) WHEN 1 THEN 9007199254740993 "
            "    WHEN 2 THEN 9007199254740995 WHEN 3 THEN -9007199254740995 "
            "    WHEN 4 THEN 9007199254740992.0 WHEN 5 THEN 'ab' || char(0) || 'c' "
            "    WHEN 6 THEN x'6162' ELSE 'abcdefgh' END END, "
            "  n % 3 FROM r;"
            "INSERT INTO shaped (rowid, n, v, w, tag) VALUES (5000000000, 9001, 3, 'x', 1);";
        ASSERT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(raw);
        schema.load(raw);
    }
};

TEST_F(KeysetShapesTest, ManyRunsOneRowRunsAndEqualValuesAcrossRunsMatchSqlite) {
    // 4,000 runs of one row each: merged.
    expectSameOrder("SELECT * FROM shaped WHERE n <= 4000 ORDER BY v");
    // Over 5,000 runs: sorted at once.
    expectSameOrder("SELECT * FROM shaped ORDER BY v");
    // Runs of seven rising values, each value in every run: ties go by rowid.
    expectSameOrder("SELECT * FROM shaped WHERE n > 5000 ORDER BY v");
    expectSameOrder("SELECT * FROM shaped WHERE n > 5000 ORDER BY v DESC");
    // One falling stretch read against a descending order: a single run.
    expectSameOrder("SELECT * FROM shaped WHERE n <= 5000 ORDER BY v DESC, w DESC");
    // No rows at all.
    const dao::jet::CompiledSelect none = dao::jet::compileSelect(
        dao::jet::parseStatement("SELECT * FROM shaped WHERE n < 0 ORDER BY v"), schema);
    dao::Prepared q(raw, none.unorderedKeysetSql);
    EXPECT_TRUE(dao::keysetorder::readSorted(raw, q.get(), 1, none.orderDescending).empty());
}

TEST_F(KeysetShapesTest, ValuesBeyondTheirPrefixesAfterManyRowsMatchSqlite) {
    expectSameOrder("SELECT * FROM shaped ORDER BY w, v DESC");
    expectSameOrder("SELECT * FROM shaped ORDER BY w DESC, n");
    expectSameOrder("SELECT * FROM shaped ORDER BY v, w DESC, n DESC");
    // Two tables: the rowid beyond 32 bits comes last, after 9,000 pairs of keys packed.
    expectSameOrder(
        "SELECT shaped.n, tags.label FROM shaped INNER JOIN tags ON shaped.tag = tags.k "
        "ORDER BY tags.label, shaped.v");
    expectSameOrder(
        "SELECT shaped.n, tags.label FROM shaped INNER JOIN tags ON shaped.tag = tags.k "
        "ORDER BY shaped.w DESC");
}

// From 100,000 rows on, two threads merge the two halves of the runs, split at the middle row
// of the longest run: each half must hold exactly the rows that sort before (after) it, ties
// and rows compared by their values included.
TEST_F(KeysetOrderTest, LargeKeysetsMergedInTwoHalvesMatchSqlite) {
    const char* sql =
        "CREATE TABLE big (n INTEGER, v, w);"
        "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 160000) "
        "INSERT INTO big (rowid, n, v, w) SELECT n, n, n % 50000 / 3, "
        "  CASE WHEN n % 5 = 0 THEN 'a longer text ' || (n % 4) ELSE n % 3 END FROM r;";
    ASSERT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    schema.load(raw);
    // Four runs of unequal length with equal values in each, and across them.
    expectSameOrder("SELECT * FROM big ORDER BY v");
    expectSameOrder("SELECT * FROM big ORDER BY v, w DESC");
    // One run: the halves come from it alone.
    expectSameOrder("SELECT * FROM big ORDER BY n");
    // Thousands of runs: sorted at once.
    expectSameOrder("SELECT * FROM big WHERE n > 20000 ORDER BY v DESC, w");
}

// Through a recordset: the test statement over every set is sorted by the layer (SQLite
// would sort it) and reads the same records in the same order as SQLite's ORDER BY.
TEST_F(KeysetOrderTest, RecordsetOfTheTestStatementReadsSqlitesOrder) {
    const QString sql = kTestColumns + "ORDER BY 正解率 DESC, 出題回数 DESC ";
    const dao::jet::CompiledSelect select =
        dao::jet::compileSelect(dao::jet::parseStatement(sql), schema);
    EXPECT_TRUE(dao::keysetorder::sqliteWouldSort(raw, select.keysetSql.toUtf8().constData()));
    const std::vector<std::int64_t> expected = sqliteOrder(select.keysetSql);
    std::vector<std::int64_t> ids;
    auto rs = open(sql);
    while (!rs->AtEOF()) {
        ids.push_back(rs->value("ID").toLong());
        rs->MoveNext();
    }
    std::vector<std::int64_t> expectedIds;
    for (size_t i = 1; i < expected.size(); i += 2) {
        dao::Prepared id(raw,
                         QStringLiteral("SELECT ID FROM データ WHERE rowid = %1").arg(expected[i]));
        ASSERT_EQ(sqlite3_step(id.get()), SQLITE_ROW);
        expectedIds.push_back(sqlite3_column_int64(id.get(), 0));
    }
    EXPECT_EQ(ids, expectedIds);
}

// ORs of equalities on one field become an IN list, which SQLite can seek with; the rows are
// the ones the ORs select, Nulls and mixed types included.
TEST_F(KeysetOrderTest, OrsOfEqualitiesSelectTheSameRowsAsAnInList) {
    const auto count = [this](const QString& where) {
        dao::Prepared q(raw, "SELECT count(*) FROM データ WHERE " + where);
        EXPECT_EQ(sqlite3_step(q.get()), SQLITE_ROW);
        return sqlite3_column_int(q.get(), 0);
    };
    const QStringList conditions = {
        "(登録時刻 = 12) OR (登録時刻 = '12:00:00') OR (登録時刻 = 12.1)",
        "NOT ((正解率 = 0) OR (正解率 = 100))",
        "((dbID = 1) OR (dbID = 9)) AND ((正解回数 = '1') OR (正解回数 = 2))",
    };
    for (const QString& condition : conditions) {
        const int expected = count(condition);
        EXPECT_GT(expected, 0) << condition.toStdString();
        EXPECT_EQ(open("SELECT * FROM データ WHERE " + condition)->RecordCount(), expected)
            << condition.toStdString();
    }
    const dao::jet::CompiledSelect select = dao::jet::compileSelect(
        dao::jet::parseStatement("SELECT * FROM データ WHERE (dbID = 1) OR (dbID = 2)"), schema);
    EXPECT_TRUE(select.keysetSql.contains("IN (1, 2)")) << select.keysetSql.toStdString();
}

// A statement over a list of sets reads in two halves, over two connections at once: each
// row comes from exactly one half. Lists of other values stay whole. Inside a transaction
// only this connection can see the changes, so it reads alone.
TEST_F(KeysetOrderTest, AListOfSetsSplitsIntoHalvesThatTogetherReadEachRowOnce) {
    const auto keys = [this](const QString& sql) {
        std::vector<std::int64_t> out = sqliteOrder(sql);
        std::sort(out.begin(), out.end());
        return out;
    };
    const auto compile = [this](const QString& where) {
        return dao::jet::compileSelect(
            dao::jet::parseStatement("SELECT * FROM データ WHERE " + where + " ORDER BY 正解率"),
            schema);
    };
    for (const QString& where : {
             QStringLiteral("((dbID = 1) OR (dbID = 2) OR (dbID = 3) OR (dbID = 4))"),
             QStringLiteral("(正解率 >= 50) AND ((dbID = 4) OR (dbID = 1) OR (dbID = 4))"),
             QStringLiteral("((dbID = 9) OR (dbID = 2)) AND ((正解回数 = 1) OR (正解回数 = 2))"),
         }) {
        SCOPED_TRACE(where.toStdString());
        const dao::jet::CompiledSelect select = compile(where);
        ASSERT_EQ(select.unorderedKeysetHalves.size(), 2);
        std::vector<std::int64_t> both = sqliteOrder(select.unorderedKeysetHalves[0]);
        const std::vector<std::int64_t> second = sqliteOrder(select.unorderedKeysetHalves[1]);
        EXPECT_FALSE(both.empty());
        EXPECT_FALSE(second.empty());
        both.insert(both.end(), second.begin(), second.end());
        std::sort(both.begin(), both.end());
        EXPECT_EQ(both, keys(select.unorderedKeysetSql));
    }
    for (const QString& where : {QStringLiteral("((dbID = 1) OR (dbID = 1.0))"),
                                 QStringLiteral("((dbID = 1) OR (dbID = '2'))"),
                                 QStringLiteral("(NOT ((dbID = 1) OR (dbID = 2)))"),
                                 QStringLiteral("((dbID = 1) OR (正解回数 = 2))")})
        EXPECT_TRUE(compile(where).unorderedKeysetHalves.isEmpty()) << where.toStdString();

    const QString sql = kTestColumns + "ORDER BY 正解率 ASC, 登録時刻 ASC ";
    const int before = open(sql)->RecordCount();
    db->BeginTrans();
    addRecord(90001, 4, "新");
    EXPECT_EQ(open(sql)->RecordCount(), before + 1);
    db->Rollback();
    EXPECT_EQ(open(sql)->RecordCount(), before);
}

// Rows read over two connections at once sort as if one had read them all, whichever part
// had to keep its values (texts longer than their prefix, integers beyond 2^53) or its keys
// (numbers that do not pack side by side): one part has them all, the other none.
TEST_F(KeysetOrderTest, PartsReadOverTwoConnectionsSortAsOne) {
    // 2^53 + 3 reads as the double 2^53 + 4, which is exactly the real of row 3; "abcdefghZ"
    // and "abcdefgh" share their eight-byte prefix; rows 1 and 8 tie but for their keys.
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE parts (k INTEGER PRIMARY KEY, k2 INTEGER, v, needy);"
                           "INSERT INTO parts VALUES (0, 1, 'zzzzzzzzzzz', 1), "
                           "(1, 5000000000, 'q', 1), (2, 1, 'abcdefghZ', 1), "
                           "(9, 1, 9007199254740995, 1), (3, 1, 9007199254740996.0, 0), "
                           "(4, 1, 'abcdefgh', 0), (5, 1, 'abcdefgi', 0), "
                           "(6, 2, 9007199254740994.0, 0), (7, 3, 'a', 0), (8, 4, 'q', 0)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3* second = nullptr;
    ASSERT_EQ(sqlite3_open(file.path().toUtf8().constData(), &second), SQLITE_OK);
    const std::vector<std::int64_t> expected =
        sqliteOrder("SELECT k, k2 FROM parts ORDER BY v, k2 % 2, k, k2");
    for (const bool needyFirst : {true, false}) {
        SCOPED_TRACE(needyFirst ? "needy part first" : "needy part second");
        const QString select = "SELECT k, k2, v, k2 % 2 FROM parts WHERE needy = ";
        dao::Prepared mine(raw, select + (needyFirst ? "1" : "0"));
        dao::Prepared theirs(second, select + (needyFirst ? "0" : "1"));
        EXPECT_EQ(dao::keysetorder::readSorted({{raw, mine.get()}, {second, theirs.get()}}, 2,
                                               {false, false}),
                  expected);
    }
    sqlite3_close(second);
}

}  // namespace
