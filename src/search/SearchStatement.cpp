#include "search/SearchStatement.h"

#include "platform/dao/SafeLiteral.h"
#include "shell/RecordConditions.h"

namespace search {

QStringList splitSearchWords(const QString& text) {
    QString normalized = text;
    normalized.replace(QChar(0x3000), QLatin1Char(' '));
    normalized.replace(QLatin1Char(' '), QLatin1Char(','));
    QStringList words;
    for (const QString& piece : normalized.split(QLatin1Char(',')))
        if (!piece.isEmpty()) words << piece;
    return words;
}

namespace {

QString wordCondition(const QString& word) {
    const QString pattern =
        dao::sqlLiteral(QLatin1Char('*') + dao::likeEscape(word) + QLatin1Char('*'));
    return QStringLiteral("((項目１ LIKE ") + pattern + QStringLiteral(") OR ") +
           QStringLiteral("(項目２ LIKE ") + pattern + QStringLiteral(") OR ") +
           QStringLiteral("(項目３ LIKE ") + pattern + QStringLiteral(") OR ") +
           QStringLiteral("(コメント LIKE ") + pattern + QStringLiteral(") OR ") +
           QStringLiteral("(出展 LIKE ") + pattern + QStringLiteral("))");
}

}  // namespace

QString buildSearchStatement(const SearchConditions& c) {
    QString s;
    s += QStringLiteral("SELECT  データベース設定.データベース名, ");
    s += QStringLiteral(
        "データ.項目１, データ.項目２, データ.項目３, format(データ.正解率,'##0.0') as 正解率, ");
    s += QStringLiteral("format(データ.登録日,'yyyy/mm/dd') as 登録日, ");
    s += QStringLiteral(
        "データベース設定.項目１名称, データベース設定.項目２名称, データベース設定.項目３名称, ");
    s += QStringLiteral(
        "データベース設定.項目１背景色, データベース設定.項目２背景色, "
        "データベース設定.項目３背景色, ");
    s += QStringLiteral("データベース設定.コメント背景色, データベース設定.出展背景色, ");
    s += QStringLiteral(
        "データベース設定.正解率閾値, データベース設定.正解率以上背景色, "
        "データベース設定.正解率未満背景色, ");
    s += QStringLiteral("データ.ID, データ.コメント, データ.出展, データ.項目１RTF, ");
    s += QStringLiteral(
        "データ.項目２RTF, データ.項目３RTF , データ.コメントRTF, データ.出展RTF ,データ.dbID "
        ",データ.登録時刻 ");
    s += QStringLiteral(
        "FROM データベース設定 INNER JOIN データ ON データベース設定.dbID = データ.dbID  WHERE (");
    bool first = true;
    for (std::int32_t dbID : c.dbIDs) {
        s += first ? QStringLiteral("(") : QStringLiteral("OR (");
        s += QStringLiteral("データ.dbID = ") + QString::number(dbID) + QStringLiteral(")");
        first = false;
    }
    s += QStringLiteral(") ");
    if (c.wordCondition) {
        s += QStringLiteral("AND (");
        const QStringList words = splitSearchWords(c.wordText);
        for (int i = 0; i < words.size(); ++i) {
            if (i > 0) s += QStringLiteral(" AND ");
            s += wordCondition(words[i]);
        }
        s += QStringLiteral(") ");
    }
    if (c.rateCondition) s += shell::rateConditionText(c.atOrAbove, c.rateText);
    if (c.dateCondition) s += shell::dateConditionText(c.dateTexts);
    s += QStringLiteral("ORDER BY データ.dbID ASC, データ.登録日 ASC, データ.ID ASC;");
    return s;
}

}  // namespace search
