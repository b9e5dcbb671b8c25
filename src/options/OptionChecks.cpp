#include "options/OptionChecks.h"

#include <cmath>

namespace options {

const QStringList& schedulePatterns() {
    static const QStringList patterns = {
        QStringLiteral("　　　毎日"), QStringLiteral("毎週日曜日"), QStringLiteral("毎週月曜日"),
        QStringLiteral("毎週火曜日"), QStringLiteral("毎週水曜日"), QStringLiteral("毎週木曜日"),
        QStringLiteral("毎週金曜日"), QStringLiteral("毎週土曜日")};
    return patterns;
}

std::optional<int> scheduleNumber(const QString& text, int max) {
    if (text.size() > 2) return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value < 0 || value > max || value != std::floor(value)) return std::nullopt;
    return static_cast<int>(value);
}

ScheduleError checkSchedule(const QString& pattern, const QString& hour, const QString& minute) {
    if (!schedulePatterns().contains(pattern)) return ScheduleError::Pattern;
    if (!scheduleNumber(hour, 23)) return ScheduleError::Hour;
    if (!scheduleNumber(minute, 59)) return ScheduleError::Minute;
    return ScheduleError::None;
}

QString scheduleErrorText(ScheduleError error) {
    switch (error) {
        case ScheduleError::Pattern:
            return QStringLiteral("スケジュールパターンの設定が正しくありません。");
        case ScheduleError::Hour:
            return QStringLiteral("スケジュールの時間設定が正しくありません。");
        case ScheduleError::Minute:
            return QStringLiteral("スケジュールの分設定が正しくありません。");
        case ScheduleError::None:
            break;
    }
    return {};
}

QString newDirectoryPath(const QString& base, const QString& answer) {
    const QString b = base.endsWith('/') ? base : base + '/';
    return b + (answer.startsWith('/') ? answer.mid(1) : answer);
}

QString parentFolder(const QString& folder) {
    const qsizetype slash = folder.lastIndexOf('/');
    return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

}  // namespace options
