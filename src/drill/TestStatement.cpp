#include "drill/TestStatement.h"

#include "shell/RecordConditions.h"

namespace drill {

QString testOrderBy(bool random, bool ascending) {
    if (random) return QStringLiteral("ORDER BY 正解率 DESC, 出題回数 DESC ");
    if (ascending) return QStringLiteral("ORDER BY 正解率 ASC, 登録時刻 ASC ");
    return QStringLiteral("ORDER BY 正解率 DESC, 登録時刻 DESC ");
}

QString buildTestStatement(const TestConditions& c) {
    QString s;
    s += QStringLiteral("SELECT  データベース設定.データベース名, ");
    s += QStringLiteral(
        "データ.項目１, データ.項目２, データ.項目３, データ.正解回数, データ.出題回数, "
        "データ.正解率, ");
    s += QStringLiteral("format(データ.登録日,'yyyy/mm/dd') as 登録日, データ.dbID, ");
    s += QStringLiteral(
        "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, ");
    s += QStringLiteral(
        "データベース設定.文字隠用背景色, データベース設定.項目１背景色, "
        "データベース設定.項目２背景色, ");
    s += QStringLiteral("データベース設定.項目３背景色, データベース設定.コメント背景色, ");
    s += QStringLiteral(
        "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
        "データベース設定.正解率未満背景色, ");
    s += QStringLiteral(
        "データ.ID, データ.コメント, データ.出展, データ.項目１RTF, データ.登録時刻, ");
    s += QStringLiteral("データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF ");
    s += QStringLiteral(
        "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (");
    bool first = true;
    for (std::int32_t dbID : c.dbIDs) {
        s += first ? QStringLiteral("(") : QStringLiteral(" OR (");
        s += QStringLiteral("データ.dbID = ") + QString::number(dbID) + QStringLiteral(")");
        first = false;
    }
    s += QStringLiteral(") ");
    if (c.rateCondition) s += shell::rateConditionText(c.atOrAbove, c.rateText);
    if (c.dateCondition) s += shell::dateConditionText(c.dateTexts);
    s += testOrderBy(c.random, c.ascending);
    return s;
}

}  // namespace drill
