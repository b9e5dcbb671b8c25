// Dynaset behaviour on a real file: moves, positions, finds, edits through tables and joins.
#include <sqlite3.h>

#include "platform/dao/DaoError.h"
#include "platform/dao/DaoFixture.h"

using dao::err::NoCurrentRecord;

namespace {

class RecordsetTest : public DaoTest {
protected:
    void SetUp() override {
        DaoTest::SetUp();
        addSet(1, "英単語");
        addSet(2, "漢字");
        for (int i = 1; i <= 5; ++i) addRecord(i, 1, QStringLiteral("word%1").arg(i));
        addRecord(6, 2, "山");
    }
};

TEST_F(RecordsetTest, MovesReachBothEndsAndRaiseBeyondThem) {
    auto rs = open(
        "select  * from データ where dbID = 1 ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC");
    EXPECT_EQ(rs->RecordCount(), 5);  // the total, without MoveLast first
    EXPECT_FALSE(rs->AtBOF());
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    rs->MovePrevious();
    EXPECT_TRUE(rs->AtBOF());
    EXPECT_EQ(rs->AbsolutePosition(), -1);
    EXPECT_DAO_ERROR(rs->Fields("ID").Value(), NoCurrentRecord);
    EXPECT_DAO_ERROR(rs->MovePrevious(), NoCurrentRecord);
    rs->MoveNext();  // from BOF back onto the first record
    EXPECT_EQ(rs->value("ID").toLong(), 1);
    rs->MoveLast();
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    rs->MoveNext();
    EXPECT_TRUE(rs->AtEOF());
    EXPECT_DAO_ERROR(rs->MoveNext(), NoCurrentRecord);
    rs->MovePrevious();
    EXPECT_EQ(rs->value("ID").toLong(), 5);
}

TEST_F(RecordsetTest, MoveAndAbsolutePosition) {
    auto rs = open("SELECT * FROM データ ORDER BY ID ASC");
    rs->Move(3);
    EXPECT_EQ(rs->value("ID").toLong(), 4);
    rs->Move(-2);
    EXPECT_EQ(rs->value("ID").toLong(), 2);
    rs->Move(10);
    EXPECT_TRUE(rs->AtEOF());
    rs->SetAbsolutePosition(5);
    EXPECT_EQ(rs->value("ID").toLong(), 6);
    EXPECT_DAO_ERROR(rs->SetAbsolutePosition(6), dao::err::InvalidArgument);
    rs->MoveFirst();
    rs->Move(-1);
    EXPECT_TRUE(rs->AtBOF());
}

TEST_F(RecordsetTest, EmptyResultIsBothBofAndEof) {
    auto rs = open("select  * from データ where dbID = 9");
    EXPECT_TRUE(rs->AtBOF());
    EXPECT_TRUE(rs->AtEOF());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_DAO_ERROR(rs->MoveFirst(), NoCurrentRecord);
    EXPECT_DAO_ERROR(rs->Edit(), NoCurrentRecord);
}

TEST_F(RecordsetTest, AddNewJoinsTheEndOfTheKeysetAndKeepsTheCurrentRecord) {
    auto rs = open(
        "select  * from データ where dbID = 2 ORDER BY データ.登録日 ASC  ,データ.登録時刻 ASC");
    rs->AddNew();
    rs->Fields("ID") = 7;
    rs->Fields("dbID") = 2;
    rs->Fields(2) = "川";
    rs->Fields("登録日") = "2020/01/02";  // text into a date, as the record window writes it
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->value("ID").toLong(), 6);  // still on the record before AddNew
    rs->MoveLast();
    EXPECT_EQ(rs->value("ID").toLong(), 7);
    EXPECT_EQ(rs->value("項目1").toString(), "川");
    EXPECT_EQ(rs->value("正解率").toDouble(), 0.0);  // the column default
    EXPECT_EQ(rs->value("正解回数").toLong(), 0);
}

TEST_F(RecordsetTest, RowsAddedOneAfterAnotherKeepOnlyTheirOwnValues) {
    // The insert is prepared once and reused: a row that sets fewer fields than the one
    // before must not inherit its values, and a failed row must not spoil the next.
    auto rs = open("select  * from データ where dbID = 3");
    rs->AddNew();
    rs->Fields("ID") = 20;
    rs->Fields("dbID") = 3;
    rs->Fields("項目2") = "first";
    rs->Fields("正解回数") = 5;
    rs->Update();
    rs->AddNew();
    rs->Fields("ID") = 21;
    rs->Fields("dbID") = 3;
    rs->Update();
    rs->AddNew();
    rs->Fields("ID") = 20;  // taken: refused
    rs->Fields("dbID") = 3;
    EXPECT_THROW(rs->Update(), dao::DaoError);
    rs->CancelUpdate();
    rs->AddNew();
    rs->Fields("ID") = 22;
    rs->Fields("dbID") = 3;
    rs->Fields("項目2") = "third";
    rs->Update();
    EXPECT_EQ(column("select * from データ where dbID = 3 ORDER BY ID", "項目2"),
              (QStringList{"first", "<Null>", "third"}));
    EXPECT_EQ(column("select * from データ where dbID = 3 ORDER BY ID", "正解回数"),
              (QStringList{"5", "0", "0"}));
}

TEST_F(RecordsetTest, DeleteThenMoveNextReachesTheFollowingRow) {
    auto rs = open("select * from データ where dbID=1");
    rs->Move(1);
    rs->Delete();
    EXPECT_DAO_ERROR(rs->Fields("ID").Value(), dao::err::RecordDeleted);
    rs->MoveNext();
    EXPECT_EQ(rs->value("ID").toLong(), 3);
    EXPECT_EQ(rs->RecordCount(), 4);
    // Deleting every row the way the set deletion walks them.
    rs->MoveFirst();
    while (!rs->AtEOF()) {
        rs->Delete();
        rs->MoveNext();
    }
    EXPECT_EQ(open("select * from データ where dbID=1")->RecordCount(), 0);
    EXPECT_EQ(open("select * from データ where dbID=2")->RecordCount(), 1);
}

TEST_F(RecordsetTest, FindFirstAndFindNextWithBothSpellingsOfTheCriterion) {
    auto rs = open("select  * from データベース設定");
    rs->FindFirst("dbID =2");
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->value("データベース名").toString(), "漢字");
    rs->FindFirst("dbID=1");
    EXPECT_EQ(rs->value("データベース名").toString(), "英単語");
    rs->FindFirst("dbID = 9");
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->value("データベース名").toString(), "英単語");  // a failed find does not move

    rs->MoveFirst();
    rs->Edit();
    rs->Fields("終了状態") = true;
    rs->Update();
    rs->MoveLast();
    rs->Edit();
    rs->Fields("終了状態") = true;
    rs->Update();
    QStringList found;
    rs->FindFirst("終了状態 =True");
    while (!rs->NoMatch()) {
        found << rs->value("データベース名").toString();
        rs->FindNext("終了状態 =True");
    }
    EXPECT_EQ(found, (QStringList{"英単語", "漢字"}));
    EXPECT_DAO_ERROR(rs->FindFirst("dbID =="), dao::err::SyntaxInCriteria);
}

TEST_F(RecordsetTest, FieldsAreFoundByNameWithoutRegardToWidthAndByPosition) {
    auto rs = open("SELECT データ.項目１, データ.項目１RTF FROM データ WHERE データ.ID = 1");
    EXPECT_EQ(rs->value("項目1").toString(), "word1");
    EXPECT_EQ(rs->value("項目１").toString(), "word1");
    EXPECT_EQ(rs->Fields(1).Name(), "項目1RTF");
    EXPECT_DAO_ERROR(rs->value("項目2"), dao::err::ItemNotFound);
}

TEST_F(RecordsetTest, EditThroughAJoinWritesTheBaseTables) {
    auto rs = open(
        "SELECT  データベース設定.データベース名, データ.項目１, format(データ.正解率,'##0.0') as "
        "正解率 "
        "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  "
        "WHERE (データ.dbID = 2) ");
    ASSERT_EQ(rs->RecordCount(), 1);
    rs->Edit();
    rs->Fields("項目1") = "大山";
    rs->Fields("データベース名") = "漢字２";
    EXPECT_DAO_ERROR(rs->Fields("正解率") = "50", dao::err::FieldNotUpdatable);
    rs->Update();
    EXPECT_EQ(column("select * from データ where ID = 6", "項目1"), QStringList{"大山"});
    EXPECT_EQ(column("select * from データベース設定 where dbID = 2", "データベース名"),
              QStringList{"漢字２"});
    EXPECT_EQ(rs->value("項目1").toString(), "大山");
}

TEST_F(RecordsetTest, ValuesThatDoNotFitAreRefusedAndStoreNothing) {
    auto rs = open("select * from データ where ID = 1");
    rs->Edit();
    EXPECT_DAO_ERROR(rs->Fields("正解回数") = 32768, dao::err::Overflow);
    rs->Fields("正解回数") = 32767;
    rs->Update();
    EXPECT_EQ(rs->value("正解回数").toLong(), 32767);

    auto sets = open("select  * from データベース設定");
    sets->Edit();
    EXPECT_DAO_ERROR(sets->Fields("データベース名") = QString(26, QChar(0x3042)),
                     dao::err::FieldTooSmall);
    sets->Fields("データベース名") = QString(25, QChar(0x3042));  // 50 bytes: the limit itself
    sets->Update();
    EXPECT_EQ(sets->value("データベース名").toString().size(), 25);
    EXPECT_DAO_ERROR(rs->Fields("正解回数") = 1, dao::err::UpdateWithoutEdit);
    EXPECT_DAO_ERROR(rs->Update(), dao::err::UpdateWithoutEdit);
}

TEST_F(RecordsetTest, MovingAwayDiscardsAPendingEdit) {
    auto rs = open("SELECT * FROM データ ORDER BY ID ASC");
    rs->Edit();
    rs->Fields("項目1") = "changed";
    rs->MoveNext();
    rs->MovePrevious();
    EXPECT_EQ(rs->value("項目1").toString(), "word1");
}

TEST_F(RecordsetTest, RowsChangedElsewhereAreSeenWhenTheCursorLands) {
    auto rs = open("SELECT * FROM データ ORDER BY ID ASC");
    db->Execute("UPDATE データ SET 項目１ = 'fresh' WHERE ID = 2");
    db->Execute("DELETE FROM データ WHERE ID = 3");
    rs->MoveNext();
    EXPECT_EQ(rs->value("項目1").toString(), "fresh");
    rs->MoveNext();
    EXPECT_DAO_ERROR(rs->value("項目1"), dao::err::RecordDeleted);
}

TEST_F(RecordsetTest, AggregatesAreReadOnlySnapshots) {
    auto rs = open("SELECT COUNT(*) FROM データ");
    EXPECT_EQ(rs->Fields(0).Value().toLong(), 6);
    EXPECT_DAO_ERROR(rs->Edit(), dao::err::ReadOnly);
    EXPECT_DAO_ERROR(rs->AddNew(), dao::err::ReadOnly);
}

TEST_F(RecordsetTest, ClosedObjectsFailCleanly) {
    auto rs = open("SELECT * FROM データ");
    db->Close();
    EXPECT_DAO_ERROR(rs->MoveNext(), dao::err::ObjectClosed);
    EXPECT_DAO_ERROR(db->OpenRecordset("SELECT * FROM データ"), dao::err::ObjectClosed);
    auto other = dao::OpenDatabase(file.path(), false, false, "MS Access;PWD=kWf4r8nz");
    auto rs2 = other->OpenRecordset("SELECT * FROM データ");
    rs2->Close();
    EXPECT_DAO_ERROR(rs2->MoveFirst(), dao::err::ObjectClosed);
}

TEST_F(RecordsetTest, TransactionsCommitOrRollBackAsAWhole) {
    db->BeginTrans();
    db->Execute("DELETE FROM データ WHERE dbID = 1");
    db->Rollback();
    EXPECT_EQ(open("select * from データ where dbID=1")->RecordCount(), 5);
    db->BeginTrans();
    EXPECT_EQ(db->Execute("DELETE FROM データ WHERE dbID = 1"), 5);
    db->CommitTrans();
    EXPECT_EQ(open("select * from データ where dbID=1")->RecordCount(), 0);
    EXPECT_DAO_ERROR(db->CommitTrans(), dao::err::NotInTransaction);
}

}  // namespace
