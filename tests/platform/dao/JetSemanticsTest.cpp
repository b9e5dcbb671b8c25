// Jet's meaning of the SQL pieces: LIKE, dates, format, IIF, division, Null, widths, and
// the safe literal helpers.
#include <sqlite3.h>

#include "platform/dao/DaoError.h"
#include "platform/dao/DaoFixture.h"
#include "platform/dao/JetFunctions.h"
#include "platform/dao/SafeLiteral.h"

namespace {

TEST(JetLike, Wildcards) {
    using dao::jetLike;
    EXPECT_TRUE(jetLike("犬と猫", "*猫"));
    EXPECT_TRUE(jetLike("犬と猫", "犬*"));
    EXPECT_FALSE(jetLike("犬と猫", "猫*"));
    EXPECT_TRUE(jetLike("abc", "a?c"));
    EXPECT_FALSE(jetLike("ac", "a?c"));
    EXPECT_TRUE(jetLike("漢字1", "漢字#"));
    EXPECT_FALSE(jetLike("漢字a", "漢字#"));
    EXPECT_TRUE(jetLike("b", "[a-c]"));
    EXPECT_FALSE(jetLike("d", "[a-c]"));
    EXPECT_TRUE(jetLike("d", "[!a-c]"));
    EXPECT_TRUE(jetLike("x*y", "x[*]y"));
    EXPECT_FALSE(jetLike("xzy", "x[*]y"));
    EXPECT_TRUE(jetLike("", "*"));
    EXPECT_TRUE(jetLike("aXbXc", "*X*X*"));
    EXPECT_FALSE(jetLike(QString(200, 'a'), QString(30, QChar('*')) + "b"));  // no blow-up
    EXPECT_TRUE(jetLike("[注]", "[[]注]"));
    EXPECT_TRUE(jetLike("a[b", "a[b"));  // an unclosed bracket stands for itself
}

TEST(JetLike, LatinLettersIgnoreCaseInBothWidths) {
    using dao::jetLike;
    EXPECT_TRUE(jetLike("Hello World", "*hello*"));
    EXPECT_TRUE(jetLike("ＡＢＣ", "*ａｂｃ*"));
    EXPECT_TRUE(jetLike("ａｂｃ", "Ａ?Ｃ"));
    EXPECT_TRUE(jetLike("Q", "[p-r]"));
    EXPECT_FALSE(jetLike("あ", "ア"));
}

TEST(SafeLiteral, QuotesAndWildcards) {
    EXPECT_EQ(dao::sqlLiteral("don't"), "'don''t'");
    EXPECT_EQ(dao::likeEscape("C#"), "C[#]");
    EXPECT_EQ(dao::likeEscape("a*b?"), "a[*]b[?]");
    EXPECT_EQ(dao::likeEscape("[注]"), "[[]注]");
    EXPECT_EQ(dao::likeEscape("50%"), "50%");
}

class JetSemantics : public DaoTest {
protected:
    void SetUp() override {
        DaoTest::SetUp();
        addSet(1, "a");
    }
};

TEST_F(JetSemantics, TypedWordsThroughTheSafeLiteralMatchLiterally) {
    const QStringList texts = {"don't", "dont", "C#",  "C1",  "50%", "500",
                               "[注]",  "注",   "a*b", "axb", "ab"};
    for (int i = 0; i < texts.size(); ++i) addRecord(i + 1, 1, "x " + texts[i] + " y");
    for (const QString word : {"don't", "C#", "50%", "[注]", "a*b"}) {
        const QString pattern = dao::sqlLiteral("*" + dao::likeEscape(word) + "*");
        const QStringList found =
            column("select * from データ where 項目１ LIKE " + pattern, "項目1");
        EXPECT_EQ(found, QStringList{"x " + word + " y"}) << word.toStdString();
    }
}

TEST_F(JetSemantics, WidthBlindNamesInSqlAndInFields) {
    addRecord(1, 1, "one", "two", "three");
    auto rs = open("SELECT 項目１, [項目2], データ.項目３ FROM データ WHERE データ.ＩＤ = 1");
    EXPECT_EQ(rs->value("項目1").toString(), "one");
    EXPECT_EQ(rs->value("項目２").toString(), "two");
    EXPECT_EQ(rs->value("項目3").toString(), "three");
    EXPECT_DAO_ERROR(open("SELECT * FROM 存在しない"), dao::err::TableNotFound);
    EXPECT_DAO_ERROR(open("SELECT dbID FROM データベース設定 INNER JOIN データ ON "
                          "データベース設定.dbID = データ.dbID"),
                     dao::err::AmbiguousField);
}

TEST_F(JetSemantics, NullComparisonsAreUnknown) {
    addRecord(1, 1, "rated", "", "", 0, 0, 50);
    addRecord(2, 1, "unrated", "", "", 0, 0, -1);
    EXPECT_EQ(column("select * from データ where 正解率 >= 0", "項目1"), QStringList{"rated"});
    EXPECT_EQ(column("select * from データ where NOT (正解率 >= 0)", "項目1"), QStringList{});
    EXPECT_EQ(column("select * from データ where 正解率 Is Null", "項目1"), QStringList{"unrated"});
}

TEST_F(JetSemantics, ExpressionsFormatIifDivisionConcatenationAndBooleans) {
    addRecord(1, 1, "a", "b", "", 2, 3, 66.666666, "2024/7/5", "09:05:03");
    auto rs = open(
        "SELECT format(正解率,'##0.0') AS r, format(0,'##0.0') AS z, format(100,'##0.0') AS h, "
        "format(Null,'##0.0') AS n, format(登録日,'yyyy/mm/dd') AS d, format(登録時刻,'hh:mm') AS "
        "t, "
        "正解回数 / 出題回数 AS q, 7 \\ 2 AS i, 7 Mod 4 AS m, 項目１ & '-' & 項目２ AS c, "
        "IIF(出題回数 > 2, 'many', 'few') AS f, IIF(Null, 1, 0) AS g FROM データ");
    EXPECT_EQ(rs->value("r").toString(), "66.7");
    EXPECT_EQ(rs->value("z").toString(), "0.0");
    EXPECT_EQ(rs->value("h").toString(), "100.0");
    EXPECT_TRUE(rs->value("n").isNull());
    EXPECT_EQ(rs->value("d").toString(), "2024/07/05");
    EXPECT_EQ(rs->value("t").toString(), "09:05");
    EXPECT_NEAR(rs->value("q").toDouble(), 2.0 / 3.0, 1e-12);  // never integer division
    EXPECT_EQ(rs->value("i").toLong(), 3);
    EXPECT_EQ(rs->value("m").toLong(), 3);
    EXPECT_EQ(rs->value("c").toString(), "a-b");
    EXPECT_EQ(rs->value("f").toString(), "many");
    EXPECT_EQ(rs->value("g").toLong(), 0);
    EXPECT_EQ(column("select * from データ where 登録日 = #2024/07/05#", "ID"), QStringList{"1"});
    EXPECT_EQ(column("select * from データ where 登録日 Between #2024/1/1# And #2024/12/31#", "ID"),
              QStringList{"1"});
    EXPECT_EQ(column("select * from データ where dbID In (1, 2)", "ID"), QStringList{"1"});
    EXPECT_EQ(column("select * from データベース設定 where 終了状態 = False", "dbID"),
              QStringList{"1"});
    EXPECT_EQ(column("select * from データベース設定 where 終了状態 = True", "dbID"),
              QStringList{});
}

TEST_F(JetSemantics, StoredFormIsPlainForOtherPrograms) {
    auto rs = open("select * from データ");
    rs->AddNew();
    rs->Fields("ID") = 1;
    rs->Fields("dbID") = 1;
    rs->Fields("正解率") = 200.0 / 3.0;
    rs->Fields("登録日") = "2024/7/5";
    rs->Fields("登録時刻") = "9:05:03";
    rs->Update();
    auto sets = open("select  * from データベース設定");
    sets->Edit();
    sets->Fields("終了状態") = true;
    sets->Update();
    db->Close();

    sqlite3* raw = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(file.path().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    sqlite3_stmt* q = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(raw,
                           "SELECT 登録日, 登録時刻, typeof(正解率), 正解率, (SELECT 終了状態 FROM "
                           "データベース設定) FROM データ",
                           -1, &q, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)), "2024-07-05");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(q, 1)), "09:05:03");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(q, 2)), "real");
    EXPECT_EQ(sqlite3_column_double(q, 3), static_cast<double>(static_cast<float>(200.0 / 3.0)));
    EXPECT_EQ(sqlite3_column_int(q, 4), 1);
    sqlite3_finalize(q);
    sqlite3_close(raw);
}

TEST_F(JetSemantics, SyntaxErrorsCarryJetNumbers) {
    EXPECT_DAO_ERROR(open("SELECT * FROM"), dao::err::SyntaxInFrom);
    EXPECT_DAO_ERROR(open("SELEC * FROM データ"), dao::err::InvalidSqlStatement);
    EXPECT_DAO_ERROR(open("SELECT * FROM データ WHERE 項目１ = 'open"),
                     dao::err::SyntaxInExpression);
    EXPECT_DAO_ERROR(open("SELECT * FROM データ ORDER BY ID ASC; extra"), dao::err::SyntaxInSql);
    EXPECT_DAO_ERROR(open("SELECT Nonsense(ID) FROM データ"), dao::err::UndefinedFunction);
    EXPECT_DAO_ERROR(db->Execute("SELECT * FROM データ"), dao::err::CannotExecuteSelect);
}

}  // namespace
