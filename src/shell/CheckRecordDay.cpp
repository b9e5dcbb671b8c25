#include "shell/CheckRecordDay.h"

#include <QComboBox>
#include <QDate>
#include <QStringList>

#include <cstddef>

#include "platform/ui/MessageBox.h"
#include "platform/vb/Format.h"

namespace shell {

namespace {

bool validGroup(const QString& year, const QString& month, const QString& day) {
    return vb::parseDate(year + QLatin1Char('/') + month + QLatin1Char('/') + day).has_value();
}

}  // namespace

bool CheckRecordDay(const std::array<QString, 6>& d) {
    for (int group = 0; group < 2; ++group) {
        const int first = group * 3;
        if (validGroup(d[first], d[first + 1], d[first + 2])) continue;
        ui::MsgBox((group == 0 ? QStringLiteral("開始日") : QStringLiteral("終了日")) +
                       QStringLiteral("の設定が不正です。"),
                   ui::Buttons::OKOnly);
        return false;
    }
    return true;
}

QStringList recordDayYears() {
    QStringList years;
    for (int year = 2000; year <= QDate::currentDate().year(); ++year)
        years << QString::number(year);
    return years;
}

void fillRecordDayCombos(const std::array<QComboBox*, 6>& combos) {
    const QStringList years = recordDayYears();
    QStringList months, days;
    for (int i = 1; i <= 12; ++i) months << QString::number(i);
    for (int i = 1; i <= 31; ++i) days << QString::number(i);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    for (std::size_t g = 0; g < 2; ++g) {
        combos[g * 3]->addItems(years);
        combos[g * 3 + 1]->addItems(months);
        combos[g * 3 + 2]->addItems(days);
        combos[g * 3]->setEditText(today.left(4));
        combos[g * 3 + 1]->setEditText(today.mid(5, 2));
        combos[g * 3 + 2]->setEditText(today.right(2));
    }
}

void fillRatePoints(QComboBox* combo) {
    for (int points = 100; points >= 0; points -= 5) combo->addItem(QString::number(points));
    combo->setEditText(QStringLiteral("100"));
}

}  // namespace shell
