#include "sets/DataBaseItemCheck.h"

#include "platform/ui/MessageBox.h"
#include "platform/vb/Format.h"
#include "records/DelimiterList.h"
#include "shell/MainModule.h"

namespace sets {

namespace {

const QString kEmpty = QStringLiteral("データが入っていません。");

ItemCheck invalid(const QString& message) {
    return {false, QString(), message};
}
ItemCheck valid(const QString& normalized = QStringLiteral("OK")) {
    return {true, normalized, QString()};
}

}  // namespace

ItemCheck checkDataBaseItemText(const QString& text, const QString& oldName, int kind,
                                const QStringList& existingNames) {
    const int length = vb::halfWidthLength(text);
    switch (kind) {
        case 0:
            if (text.isEmpty()) return invalid(kEmpty);
            // Exact comparison: names differing in case or width are different names.
            if (existingNames.contains(text, Qt::CaseSensitive) && text != oldName)
                return invalid(QStringLiteral("データベース名が重複しています。"));
            if (length > 50)
                return invalid(QStringLiteral(
                    "データベース名が長すぎます。\n半角換算で50文字以内にしてください。"));
            return valid();
        case 1:
        case 3:
        case 5: {
            if (text.isEmpty() && kind != 5) return invalid(kEmpty);
            if (length > 50) {
                const QString item = kind == 1   ? QStringLiteral("項目１")
                                     : kind == 3 ? QStringLiteral("項目２")
                                                 : QStringLiteral("項目３");
                return invalid(
                    item +
                    QStringLiteral("の名称が長すぎます。\n半角換算で50文字以内にしてください。"));
            }
            return valid();
        }
        case 2:
        case 4:
            if (text.isEmpty() && kind == 2) return invalid(kEmpty);
            if (length > 255)
                return invalid(QStringLiteral(
                    "区切り文字が多すぎます。\n,も含めて半角換算で255文字以内にしてください。"));
            return valid(records::NormalizeDelimiterList(text));
        case 6:
            if (length > 255)
                return invalid(QStringLiteral(
                    "データベース別コメントが長すぎます。\n半角換算で255文字以内にしてください。"));
            return valid();
        default:
            return invalid(QString());
    }
}

std::optional<QString> CheckDataBaseItem(const QString& text, const QString& oldName, int kind) {
    QStringList names;
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) names << list[i].name;
    const ItemCheck check = checkDataBaseItemText(text, oldName, kind, names);
    if (check.valid) return check.normalized;
    if (!check.message.isEmpty())
        ui::MsgBox(check.message, ui::Buttons::OKOnly, QStringLiteral("データベース"));
    return std::nullopt;
}

}  // namespace sets
