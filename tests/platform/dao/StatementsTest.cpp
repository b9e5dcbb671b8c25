// The statements the program builds, run with Jet's meaning on a real file, including the
// worked examples of the search, the test and the rate statistics.
#include "platform/dao/DaoError.h"
#include "platform/dao/DaoFixture.h"

namespace {

const QString kSearchSelect =
    "SELECT  データベース設定.データベース名, "
    "データ.項目１, データ.項目２, データ.項目３, format(データ.正解率,'##0.0') as 正解率, "
    "format(データ.登録日,'yyyy/mm/dd') as 登録日, "
    "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, "
    "データベース設定.項目１背景色, データベース設定.項目２背景色, データベース設定.項目３背景色, "
    "データベース設定.コメント背景色, データベース設定.出展背景色, "
    "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
    "データベース設定.正解率未満背景色, "
    "データ.ID, データ.コメント, データ.出展, データ.項目１RTF, "
    "データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF ,データ.dbID "
    ",データ.登録時刻 "
    "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (";

const QString kTestSelect =
    "SELECT  データベース設定.データベース名, "
    "データ.項目１, データ.項目２, データ.項目３, データ.正解回数, データ.出題回数, データ.正解率, "
    "format(データ.登録日,'yyyy/mm/dd') as 登録日, データ.dbID, "
    "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, "
    "データベース設定.文字隠用背景色, データベース設定.項目１背景色, "
    "データベース設定.項目２背景色, "
    "データベース設定.項目３背景色, データベース設定.コメント背景色, "
    "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
    "データベース設定.正解率未満背景色, "
    "データ.ID, データ.コメント, データ.出展, データ.項目１RTF, データ.登録時刻, "
    "データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF "
    "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (";

QString statisticsStatement(int dbID) {
    return "SELECT format(MIN(データ.正解率),'##0.0'), format(MAX(データ.正解率),'##0.0'), "
           "FORMAT(IIF(SUM(データ.出題回数)=0, 0 , SUM(データ.正解回数) / "
           "SUM(データ.出題回数))*100,'##0.0') AS 平均, "
           "COUNT(データ.正解率), SUM(データ.出題回数) FROM データ WHERE データ.dbID = " +
           QString::number(dbID);
}

QString neverAskedStatement(int dbID) {
    return "SELECT COUNT(データ.出題回数) FROM データ WHERE データ.dbID = " +
           QString::number(dbID) + " AND データ.出題回数 = 0";
}

QStringList rowTexts(dao::Recordset& rs) {
    QStringList cells;
    for (int i = 0; i < rs.FieldCount(); ++i) cells << rs.Fields(i).Value().displayText();
    return cells;
}

class StatementsTest : public DaoTest {};

TEST_F(StatementsTest, SearchExampleFindsRecordsWithBothWordsAtOrAboveTheRate) {
    addSet(3, "動物");
    addSet(5, "other");
    addSet(7, "ペット");
    addRecord(10, 3, "犬と猫", "", "", 9, 10, 90, "2024/07/05");
    addRecord(11, 3, "犬", "", "猫の本", 8, 10, 80, "2023/01/01");  // words in different fields
    addRecord(12, 3, "犬と猫", "", "", 1, 10, 10, "2023/01/01");    // rate too low
    addRecord(13, 7, "猫", "", "", 1, 1, 100, "2022/05/05", "08:00:00", "", "犬の図鑑");
    addRecord(14, 7, "犬", "", "", 1, 1, 100, "2022/05/05");      // only one word
    addRecord(15, 5, "犬と猫", "", "", 1, 1, 100, "2022/05/05");  // set not chosen
    addRecord(16, 3, "ｲﾇ猫", "", "", 1, 1, 100, "2022/05/05", "08:00:00", "犬");
    const QString statement =
        kSearchSelect +
        "(データ.dbID = 3)OR (データ.dbID = 7)) AND (((項目１ LIKE '*犬*') OR (項目２ LIKE '*犬*') "
        "OR "
        "(項目３ LIKE '*犬*') OR (コメント LIKE '*犬*') OR (出展 LIKE '*犬*')) AND ((項目１ LIKE "
        "'*猫*') OR "
        "(項目２ LIKE '*猫*') OR (項目３ LIKE '*猫*') OR (コメント LIKE '*猫*') OR (出展 LIKE "
        "'*猫*'))) AND "
        "(正解率 >= 80) ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;";
    auto rs = open(statement);
    EXPECT_EQ(rs->FieldCount(), 27);
    QStringList ids;
    while (!rs->AtEOF()) {
        ids << rs->value("ID").toString();
        rs->MoveNext();
    }
    // Grouped by set, oldest first, ties by ID.
    EXPECT_EQ(ids, (QStringList{"16", "11", "10", "13"}));
    rs->MoveFirst();
    rs->Move(2);
    EXPECT_EQ(rs->value("正解率").toString(), "90.0");
    EXPECT_EQ(rs->value("登録日").toString(), "2024/07/05");
    EXPECT_EQ(rs->value("項目1名称").toString(), "単語");
    EXPECT_EQ(rs->value("項目1RTF").toString(), "{\\rtf1 x}");
    EXPECT_EQ(rs->value("データベース名").toString(), "動物");
    // The detail view writes the plain and rich texts back through the join.
    rs->Edit();
    rs->Fields("項目1") = "犬と猫たち";
    rs->Fields("項目1RTF") = "{\\rtf1 y}";
    rs->Update();
    EXPECT_EQ(column("select * from データ where ID = 10", "項目1"), QStringList{"犬と猫たち"});
}

TEST_F(StatementsTest, SearchDateConditionAcceptsBothLiteralForms) {
    addSet(1, "a");
    addRecord(1, 1, "x", "", "", 0, 0, 0, "2024/07/05");
    addRecord(2, 1, "x", "", "", 0, 0, 0, "2024/07/06");
    for (const QString& bounds : {QStringLiteral("#2024/07/05#) AND (登録日 <= #2024/07/05#"),
                                  QStringLiteral("#2024/7/5#) AND (登録日 <= #2024/7/5#")}) {
        auto rs = open(kSearchSelect + "(データ.dbID = 1)) AND ((登録日 >= " + bounds +
                       ")) ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;");
        EXPECT_EQ(rs->RecordCount(), 1) << bounds.toStdString();
    }
}

TEST_F(StatementsTest, SearchErrorsAreJetErrors) {
    addSet(1, "a");
    const QString head = kSearchSelect + "(データ.dbID = 1)) ";
    const QString order = "ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;";
    // An apostrophe in a word typed unescaped breaks the statement.
    EXPECT_DAO_ERROR(open(head + "AND (((項目１ LIKE '*don't*'))) " + order),
                     dao::err::SyntaxInExpression);
    // A rate text that is not a number.
    EXPECT_DAO_ERROR(open(head + "AND (正解率 >= abc) " + order), dao::err::TooFewParameters);
    EXPECT_DAO_ERROR(open(head + "AND (正解率 >= 5a) " + order), dao::err::SyntaxInExpression);
    EXPECT_DAO_ERROR(open(head + "AND (正解率 >= ) " + order), dao::err::SyntaxInExpression);
    // No words left: "AND (" directly followed by ") ".
    EXPECT_DAO_ERROR(open(head + "AND () " + order), dao::err::SyntaxInExpression);
    EXPECT_DAO_ERROR(open(head + "AND ((登録日 >= #2019/2/30#)) " + order),
                     dao::err::SyntaxInExpression);
}

TEST_F(StatementsTest, TestExampleSelectsByRateAndDateInRateOrder) {
    addSet(3, "a");
    addSet(7, "b");
    addRecord(1, 3, "in-85", "", "", 0, 0, 85, "2010/06/01", "10:00:00");
    addRecord(2, 7, "in-80", "", "", 0, 0, 80, "2000/01/01", "09:00:00");  // both bounds inclusive
    addRecord(3, 7, "in-100", "", "", 0, 0, 100, "2019/12/31", "23:59:59");
    addRecord(4, 3, "late", "", "", 0, 0, 90, "2020/01/01");
    addRecord(5, 3, "low", "", "", 0, 0, 79.9, "2010/01/01");
    addRecord(6, 3, "no-rate", "", "", 0, 0, -1, "2010/01/01");  // Null rate never qualifies
    addRecord(7, 3, "tie-80", "", "", 0, 0, 80, "2001/01/01", "08:00:00");
    const QString statement =
        kTestSelect +
        "(データ.dbID = 3) OR (データ.dbID = 7)) AND (正解率 >= 80) AND ((登録日 >= "
        "#2000/1/1#) AND (登録日 <= #2019/12/31#)) ORDER BY 正解率 ASC, 登録時刻 ASC ";
    auto rs = open(statement);
    EXPECT_EQ(rs->FieldCount(), 29);
    QStringList items;
    while (!rs->AtEOF()) {
        items << rs->value("項目1").toString();
        rs->MoveNext();
    }
    EXPECT_EQ(items, (QStringList{"tie-80", "in-80", "in-85", "in-100"}));
    rs->MoveFirst();
    EXPECT_EQ(rs->value("登録日").toString(), "2001/01/01");
    EXPECT_EQ(rs->value("文字隠用背景色").toLong(), 0xC0C0C0);  // the column default
    // Counting an answer writes the counters and the rate through the join.
    rs->Edit();
    rs->Fields("正解回数") = rs->value("正解回数").toLong() + 1;
    rs->Fields("出題回数") = rs->value("出題回数").toLong() + 1;
    rs->Fields("正解率") = 100.0f;
    rs->Update();
    EXPECT_EQ(column("select * from データ where ID = 7", "出題回数"), QStringList{"1"});

    auto below = open(kTestSelect +
                      "(データ.dbID = 3)) AND (正解率 <= 0) ORDER BY 正解率 DESC, 登録時刻 DESC ");
    EXPECT_EQ(below->RecordCount(), 0);
    auto random = open(kTestSelect + "(データ.dbID = 3)) ORDER BY 正解率 DESC, 出題回数 DESC ");
    EXPECT_EQ(random->RecordCount(), 5);
}

TEST_F(StatementsTest, StatisticsExampleAndEmptySet) {
    addSet(5, "a");
    addSet(6, "empty");
    addSet(8, "ratio");
    addRecord(1, 5, "a", "", "", 3, 4, 75);
    addRecord(2, 5, "b", "", "", 1, 2, 50);
    addRecord(3, 5, "c", "", "", 0, 0, 0);
    auto rs = open(statisticsStatement(5));
    EXPECT_EQ(rowTexts(*rs), (QStringList{"0.0", "75.0", "66.7", "3", "6"}));
    EXPECT_EQ(rowTexts(*open(neverAskedStatement(5))), QStringList{"1"});

    EXPECT_EQ(rowTexts(*open(statisticsStatement(6))), (QStringList{"", "", "", "0", ""}));
    EXPECT_TRUE(open(statisticsStatement(6))->Fields(4).Value().isNull());
    EXPECT_EQ(rowTexts(*open(neverAskedStatement(6))), QStringList{"0"});

    // An average of sums, not of rates; 100 keeps its decimal.
    addRecord(4, 8, "x", "", "", 1, 1, 100);
    addRecord(5, 8, "y", "", "", 0, 9, 0);
    EXPECT_EQ(rowTexts(*open(statisticsStatement(8))),
              (QStringList{"0.0", "100.0", "10.0", "2", "10"}));
}

TEST_F(StatementsTest, TheSimpleStatementsOfStartUpDeletionAndOptions) {
    addSet(1, "a");
    addSet(2, "b");
    addRecord(3, 1, "x");
    addRecord(9, 1, "y");
    auto ids = open("SELECT * FROM データ ORDER BY ID ASC");
    ids->MoveLast();
    EXPECT_EQ(ids->value("ID").toLong(), 9);
    EXPECT_EQ(open("select  * from バックアップ設定")->RecordCount(), 1);
    EXPECT_EQ(open("select * from バックアップ設定")->value("パターン").toString(), "　　　毎日");
    EXPECT_EQ(open("select  * from MDI画面設定")->RecordCount(), 0);
    EXPECT_EQ(
        open("select  * from データ where dbID = 1 ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC")
            ->RecordCount(),
        2);
    EXPECT_EQ(open("select  * from データ where dbID=1")->RecordCount(), 2);
    EXPECT_EQ(db->Execute("DELETE FROM データ WHERE dbID = 1"), 2);

    auto mdi = open("select  * from MDI画面設定");
    mdi->AddNew();
    mdi->Fields("画面X") = 1234.5;
    mdi->Fields("WindowState") = 2;
    mdi->Update();
    EXPECT_EQ(column("select  * from MDI画面設定", "画面X"), QStringList{"1234.5"});
}

}  // namespace
