// Validation of the set dialogs' inputs: empty rules, duplicate names, byte lengths.
#include <gtest/gtest.h>

#include "sets/DataBaseItemCheck.h"

namespace {

using sets::checkDataBaseItemText;

const QStringList kExisting = {"英単語", "Kanji"};

TEST(DataBaseItemCheck, EmptyRules) {
    for (int kind : {0, 1, 2, 3}) {
        const auto r = checkDataBaseItemText("", "", kind, kExisting);
        EXPECT_FALSE(r.valid) << kind;
        EXPECT_EQ(r.message, "データが入っていません。");
    }
    for (int kind : {4, 5, 6})
        EXPECT_TRUE(checkDataBaseItemText("", "", kind, kExisting).valid) << kind;
    EXPECT_EQ(checkDataBaseItemText("", "", 4, kExisting).normalized, "");
    EXPECT_FALSE(checkDataBaseItemText("x", "", 7, kExisting).valid);
    EXPECT_TRUE(checkDataBaseItemText("x", "", 7, kExisting).message.isEmpty());
}

TEST(DataBaseItemCheck, DuplicateNamesAndTheOldNameException) {
    auto r = checkDataBaseItemText("英単語", "", 0, kExisting);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.message, "データベース名が重複しています。");
    EXPECT_TRUE(
        checkDataBaseItemText("英単語", "英単語", 0, kExisting).valid);        // renaming to itself
    EXPECT_TRUE(checkDataBaseItemText("kanji", "", 0, kExisting).valid);       // case differs
    EXPECT_TRUE(checkDataBaseItemText("Ｋａｎｊｉ", "", 0, kExisting).valid);  // width differs
}

TEST(DataBaseItemCheck, LengthsInCp932Bytes) {
    const QString full25(25, QChar(0x6F22));  // 漢 x 25 = 50 bytes
    const QString full26(26, QChar(0x6F22));
    EXPECT_TRUE(checkDataBaseItemText(full25, "", 0, kExisting).valid);
    auto r = checkDataBaseItemText(full26, "", 0, kExisting);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.message, "データベース名が長すぎます。\n半角換算で50文字以内にしてください。");
    EXPECT_TRUE(checkDataBaseItemText(QString(50, 'a'), "", 1, kExisting).valid);
    r = checkDataBaseItemText(QString(51, 'a'), "", 3, kExisting);
    EXPECT_EQ(r.message, "項目２の名称が長すぎます。\n半角換算で50文字以内にしてください。");
    r = checkDataBaseItemText(QString(26, QChar(0x3042)), "", 5, kExisting);
    EXPECT_EQ(r.message, "項目３の名称が長すぎます。\n半角換算で50文字以内にしてください。");
    EXPECT_TRUE(checkDataBaseItemText(QString(255, ','), "", 2, kExisting).valid);
    r = checkDataBaseItemText(QString(256, ','), "", 4, kExisting);
    EXPECT_EQ(r.message,
              "区切り文字が多すぎます。\n,も含めて半角換算で255文字以内にしてください。");
    r = checkDataBaseItemText(QString(128, QChar(0x3042)), "", 6, kExisting);
    EXPECT_EQ(r.message,
              "データベース別コメントが長すぎます。\n半角換算で255文字以内にしてください。");
}

TEST(DataBaseItemCheck, DelimiterListsAreNormalised) {
    const auto r = checkDataBaseItemText("a,^@,b,^@", "", 2, kExisting);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.normalized, "a,^@,b");
}

}  // namespace
