#include "test/CheckRecordDay.h"

#include <QDate>
#include <QStringList>

#include "platform/ui/MessageBox.h"
#include "platform/vb/Format.h"
#include "shell/DataStoreConstants.h"

namespace drill {

namespace {

bool validGroup(const QString& year, const QString& month, const QString& day) {
    return vb::parseDate(year + QLatin1Char('/') + month + QLatin1Char('/') + day).has_value();
}

}  // namespace

bool CheckRecordDay(const std::array<QString, 6>& d) {
    for (int group = 0; group < 2; ++group) {
        const int first = group * 3;
        if (validGroup(d[first], d[first + 1], d[first + 2])) continue;
        ui::MsgBox((group == 0 ? QStringLiteral("開始日") : QStringLiteral("終了日")) + QStringLiteral("の設定が不正です。"),
                   ui::Buttons::OKOnly, QString::fromLatin1(shell::kApplicationTitle));
        return false;
    }
    return true;
}

QStringList recordDayYears() {
    QStringList years;
    for (int year = 2000; year <= QDate::currentDate().year(); ++year) years << QString::number(year);
    return years;
}

}  // namespace drill
