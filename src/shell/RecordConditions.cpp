#include "shell/RecordConditions.h"

#include <QRegularExpression>

#include "platform/ui/MessageBox.h"

namespace shell {

bool isRateBound(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+(\\.\\d*)?|\\.\\d+)\\s*$"));
    return number.match(text).hasMatch();
}

QString rateConditionText(bool atOrAbove, const QString& rateText) {
    return QStringLiteral("AND (正解率 ") +
           (atOrAbove ? QStringLiteral(">= ") : QStringLiteral("<= ")) + rateText +
           QStringLiteral(") ");
}

QString dateConditionText(const std::array<QString, 6>& d) {
    return QStringLiteral("AND ((登録日 >= #") + d[0] + "/" + d[1] + "/" + d[2] +
           QStringLiteral("#) AND ") + QStringLiteral("(登録日 <= #") + d[3] + "/" + d[4] + "/" +
           d[5] + QStringLiteral("#)) ");
}

bool CheckRateBound(const QString& text) {
    if (isRateBound(text)) return true;
    ui::MsgBox(QStringLiteral("正解率の設定が不正です。"), ui::Buttons::OKOnly);
    return false;
}

}  // namespace shell
