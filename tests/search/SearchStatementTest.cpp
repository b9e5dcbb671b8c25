// The search statement: word splitting, the worked example with safe literals, and what
// typed words match once the statement runs.
#include "platform/dao/DaoFixture.h"
#include "search/SearchStatement.h"

namespace {

TEST(SearchWords, BlanksOfBothWidthsAndCommasSeparate) {
    EXPECT_EQ(search::splitSearchWords("a　b,,c"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(search::splitSearchWords(" abc"), QStringList{"abc"});
    EXPECT_EQ(search::splitSearchWords("a  b"), (QStringList{"a", "b"}));
    EXPECT_EQ(search::splitSearchWords(" ,　"), QStringList{});
}

TEST(SearchStatement, TheWorkedExample) {
    search::SearchConditions c;
    c.dbIDs = {3, 7};
    c.wordCondition = true;
    c.wordText = "犬　猫";
    c.rateCondition = true;
    c.rateText = "80";
    const QString s = search::buildSearchStatement(c);
    EXPECT_TRUE(
        s.endsWith("WHERE ((データ.dbID = 3)OR (データ.dbID = 7)) AND (((項目１ LIKE '*犬*') OR "
                   "(項目２ LIKE '*犬*') OR "
                   "(項目３ LIKE '*犬*') OR (コメント LIKE '*犬*') OR (出展 LIKE '*犬*')) AND "
                   "((項目１ LIKE '*猫*') OR "
                   "(項目２ LIKE '*猫*') OR (項目３ LIKE '*猫*') OR (コメント LIKE '*猫*') OR "
                   "(出展 LIKE '*猫*'))) AND "
                   "(正解率 >= 80) ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;"))
        << s.toStdString();
}

class SearchRun : public DaoTest {};

TEST_F(SearchRun, TypedWordsMatchLiterallyAndResultsGroupBySet) {
    addSet(2, "b");
    addSet(1, "a");
    const QStringList texts = {"don't", "dont", "C#", "C1",  "50%",
                               "500",   "[注]", "注", "a*b", "axb"};
    for (int i = 0; i < texts.size(); ++i) addRecord(i + 1, i % 2 + 1, "x " + texts[i]);
    search::SearchConditions c;
    c.dbIDs = {2, 1};
    c.wordCondition = true;
    for (const QString word : {"don't", "C#", "50%", "[注]", "a*b"}) {
        c.wordText = word;
        EXPECT_EQ(column(search::buildSearchStatement(c), "項目1"), QStringList{"x " + word})
            << word.toStdString();
    }
    c.wordText = "x";
    const QStringList ids = column(search::buildSearchStatement(c), "dbID");
    EXPECT_EQ(ids, (QStringList{"1", "1", "1", "1", "1", "2", "2", "2", "2", "2"}));
}

}  // namespace
