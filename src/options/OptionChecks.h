#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The options dialog's logic that needs no widget.
namespace options {

// The entries of the schedule pattern list, in list order.
const QStringList& schedulePatterns();

enum class ScheduleError { None, Pattern, Hour, Minute };

// The backup schedule as typed: the pattern must be one of the list's entries exactly; the
// hour (0-23) and minute (0-59) at most two characters and whole numbers. Text that is no
// number at all is refused like an out-of-range one.
ScheduleError checkSchedule(const QString& pattern, const QString& hour, const QString& minute);
QString scheduleErrorText(ScheduleError error);

// A schedule hour or minute as typed; nullopt when it is not a whole number in 0..max of at
// most two characters.
std::optional<int> scheduleNumber(const QString& text, int max);

// The folder a new directory named `answer` gets inside `base`: a "/" joins them, and a
// leading "/" of the answer does not lead to the root.
QString newDirectoryPath(const QString& base, const QString& answer);

// The folder that holds `folder` (the text before its last "/"; "/" for a top folder).
QString parentFolder(const QString& folder);

}  // namespace options
