#pragma once

#include <QDateTime>
#include <QDialog>

#include <array>

#include "shell/MainModule.h"

class QLabel;
class QPushButton;
class QTimer;

namespace maintenance {

// Weekday as the schedule counts it: Sunday 1 ... Saturday 7.
int scheduleWeekday(const QDate& date);

// True when the scheduled backup is due at `now`: switched on, the pattern is every day or
// names now's weekday, and now's hour and minute are the scheduled ones.
bool IsBackUpDue(const shell::BackUpSettings& settings, const QDateTime& now);

// Saves and closes the record windows, compacts and backs up, reopens the database and the
// windows that were open. Call it with no window's loop or handler on the stack: the timer
// tick queues it for when the loops it interrupted have returned.
void ScheduledBackUp();

// What the schedule keeps between timer ticks, in one place so that a test can start from
// nothing. The minute of the last run is MainModule's.
struct ScheduleState {
    bool countdownCancelled = false;  // the countdown's answer: the user cancelled
    bool backUpQueued = false;        // a backup waits for the loops it interrupted to return
};
ScheduleState& scheduleState();
void resetScheduleState();

}  // namespace maintenance

// Five seconds to cancel a scheduled backup.
class frmOptimizeCheck final : public QDialog {
    Q_OBJECT

public:
    explicit frmOptimizeCheck(QWidget* owner = nullptr);
    frmOptimizeCheck(const frmOptimizeCheck&) = delete;
    frmOptimizeCheck& operator=(const frmOptimizeCheck&) = delete;

    QLabel* lblOptimezeCheck;
    std::array<QPushButton*, 2> cmdOptimizeCheck{};
    QTimer* tmrOptimezeCheck;

    void cmdOptimizeCheck_Click(int index);
    void tmrOptimezeCheck_Timer();

private:
    void Form_Load();
};
