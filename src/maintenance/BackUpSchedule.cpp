#include "maintenance/BackUpSchedule.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataBaseMenu.h"
#include "shell/DataErrors.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/FeatureHooks.h"
#include "shell/FeatureWindows.h"
#include "shell/frmMDI.h"

namespace maintenance {

constexpr int kCountdownMs = 5000;
constexpr int kUnwindPollMs = 20;

namespace {

const std::array<QString, 7> kWeeklyPatterns = {
    QStringLiteral("毎週日曜日"), QStringLiteral("毎週月曜日"), QStringLiteral("毎週火曜日"),
    QStringLiteral("毎週水曜日"), QStringLiteral("毎週木曜日"), QStringLiteral("毎週金曜日"),
    QStringLiteral("毎週土曜日")};

// Asks the windows the backup closes to close; a modal one's loop returns once control is
// back in it. Returns how many modal loops are to unwind.
int askWindowsToClose() {
    return shell::closeFeatureWindows(shell::ClosingFor::BackUp);
}

// Runs the backup once the event loop is back at `level`: no window the backup closes has its
// loop or a handler on the stack any more (a record window's menu handler runs the drill
// window's loop, for one).
void runScheduledBackUpAtLevel(int level) {
    if (QThread::currentThread()->loopLevel() > level) {
        askWindowsToClose();
        QTimer::singleShot(kUnwindPollMs, qApp, [level] { runScheduledBackUpAtLevel(level); });
        return;
    }
    scheduleState().backUpQueued = false;
    ScheduledBackUp();
}

QWidget* firstEnabledWindow() {
    if (QWidget* mdi = shell::mainModule().mdiForm; mdi && mdi->isEnabled()) return mdi;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isEnabled() && w->isVisible()) return w;
    return nullptr;
}

void reportError(const dao::DaoError& e) {
    shell::ReportDataError(e);
}

}  // namespace

int scheduleWeekday(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}

bool IsBackUpDue(const shell::BackUpSettings& settings, const QDateTime& now) {
    if (!settings.enabled) return false;
    const bool day = settings.pattern == QStringLiteral("　　　毎日") ||
                     settings.pattern == kWeeklyPatterns[scheduleWeekday(now.date()) - 1];
    return day && now.time().hour() == settings.hour && now.time().minute() == settings.minute;
}

ScheduleState& scheduleState() {
    static ScheduleState state;
    return state;
}

void resetScheduleState() {
    scheduleState() = ScheduleState{};
}

void BackUpTimerTick() {
    QDateTime& lastRun = shell::mainModule().lastScheduledBackUp;
    const QDateTime now = QDateTime::currentDateTime();
    if (!IsBackUpDue(shell::mainModule().backUp, now)) return;
    const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
    if (lastRun == minute) return;
    lastRun = minute;

    scheduleState().countdownCancelled = false;
    {
        frmOptimizeCheck countdown(firstEnabledWindow());
        countdown.exec();
    }
    QApplication::processEvents();
    if (scheduleState().countdownCancelled || scheduleState().backUpQueued) return;
    // The tick may come inside the drill's or the search window's loop, under a record
    // window's handler: the backup runs after they have returned, from a queued call.
    const int level = QThread::currentThread()->loopLevel() - askWindowsToClose();
    scheduleState().backUpQueued = true;
    QTimer::singleShot(0, qApp, [level] { runScheduledBackUpAtLevel(std::max(level, 0)); });
}

void ScheduledBackUp() {
    shell::MainModule& m = shell::mainModule();
    askWindowsToClose();

    const shell::FeatureHooks& hooks = shell::featureHooks();
    m.closing = true;
    try {
        if (m.openWindowCount > 0 && m.database && hooks.saveRecordWindowsAtShutdown) {
            shell::openSettingsRecordset();
            hooks.saveRecordWindowsAtShutdown();
        }
    } catch (const dao::DaoError& e) {
        reportError(e);
    }
    m.settingsRecordset.reset();
    QApplication::processEvents();
    // Closed windows go now, not after new ones have taken their slots.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m.closing = false;

    try {
        OptimizeDataBase(true);
    } catch (const dao::DaoError& e) {
        // The file is as it was. No backup of it: it may be what made the compaction fail,
        // and it would replace a sound backup.
        reportError(e);
    }

    // The record IDs may have been renumbered; the highest ID in memory stays above them.
    try {
        shell::openDataStore(databaseFolder());
        shell::openSettingsRecordset();
        m.openWindowCount = -1;
        m.windows.assign(1, nullptr);
        m.recordsets.clear();
        m.recordsets.resize(1);
        m.childSettings.assign(1, shell::ChildSettings{});
        m.childSettings[0].slotFree = true;
        shell::rebuildDataBaseList();
        m.settingsRecordset.reset();
        if (hooks.openRecordWindowsAtStartUp) hooks.openRecordWindowsAtStartUp();
        shell::RefreshDataBaseMenu();
    } catch (const dao::DaoError& e) {
        m.settingsRecordset.reset();
        reportError(e);
    }
}

}  // namespace maintenance

frmOptimizeCheck::frmOptimizeCheck(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOptimizeCheck"));
    setWindowTitle(QStringLiteral("バックアップ開始"));
    lblOptimezeCheck = new QLabel(this);
    lblOptimezeCheck->setObjectName(QStringLiteral("lblOptimezeCheck"));
    ui::place(lblOptimezeCheck, 240, 240, 4095, 600);
    const std::array<QString, 2> captions = {QStringLiteral("ＯＫ"), QStringLiteral("キャンセル")};
    for (int i = 0; i < 2; ++i) {
        cmdOptimizeCheck[i] = new QPushButton(captions[i], this);
        cmdOptimizeCheck[i]->setObjectName(QStringLiteral("cmdOptimizeCheck(%1)").arg(i));
        ui::place(cmdOptimizeCheck[i], 720 + i * 1680, 1080, 1215, 375);
        connect(cmdOptimizeCheck[i], &QPushButton::clicked, this,
                [this, i] { cmdOptimizeCheck_Click(i); });
    }
    tmrOptimezeCheck = new QTimer(this);
    tmrOptimezeCheck->setObjectName(QStringLiteral("tmrOptimezeCheck"));
    connect(tmrOptimezeCheck, &QTimer::timeout, this, [this] { tmrOptimezeCheck_Timer(); });
    Form_Load();
}

void frmOptimizeCheck::Form_Load() {
    constexpr int kWidth = 4575, kHeight = 1980;
    setFixedSize(ui::px(kWidth), ui::px(kHeight));
    const QPoint at = ui::centredOnScreen(ui::screenTwips(), kWidth, kHeight);
    move(ui::px(at.x()), ui::px(at.y()));
    tmrOptimezeCheck->setInterval(maintenance::kCountdownMs);
    tmrOptimezeCheck->start();
    lblOptimezeCheck->setText(
        QStringLiteral("５秒後にバックアップ作業を開始します。\nよろしいですか？"));
}

void frmOptimizeCheck::cmdOptimizeCheck_Click(int index) {
    maintenance::scheduleState().countdownCancelled = index == 1;
    tmrOptimezeCheck->stop();
    done(index == 1 ? QDialog::Rejected : QDialog::Accepted);
}

void frmOptimizeCheck::tmrOptimezeCheck_Timer() {
    // Nobody answered: the backup goes ahead.
    tmrOptimezeCheck->stop();
    done(QDialog::Accepted);
}
