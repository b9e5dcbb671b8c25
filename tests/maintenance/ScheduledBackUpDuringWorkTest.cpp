// The schedule falls due while the user works in the drill or the search window, opened
// from a record window's menu: their loops and the menu's handler are on the stack.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "drill/frmJustAnswerRate.h"
#include "drill/frmTest.h"
#include "maintenance/BackUpSchedule.h"
#include "maintenance/Maintenance.h"
#include "records/RecordWindowFixture.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "search/frmSearch.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"

namespace {

class ScheduledBackUpDuringWork : public RecordWindowTest {
protected:
    void SetUp() override {
        RecordWindowTest::SetUp();
        shell::FeatureHooks& hooks = shell::featureHooks();
        saved = hooks;
        hooks.test = [] { drill::ShowTestWindow(); };
        hooks.search = [] { search::ShowSearchWindow(); };
        hooks.saveRecordWindowsAtShutdown = [] { records::CloseRecordWindowsForExit(); };
        hooks.openRecordWindowsAtStartUp = [] { records::ReopenRecordWindows(); };
        hooks.findWindowSlot = [](std::int32_t dbID) { return records::FindWindowSlot(dbID); };
        hooks.openRecordWindow = [](int slot) { records::OpenRecordWindow(slot); };

        addSet(1, "英単語");
        addRecord(1, 1, "one");
        addRecord(2, 1, "two");
        shell::BackUpSettings& b = shell::mainModule().backUp;
        b.folder = backUpDir.path();
        b.pattern = "　　　毎日";
        b.enabled = true;
    }
    void TearDown() override {
        RecordWindowTest::TearDown();
        shell::featureHooks() = saved;
    }

    // The schedule's time is now; the countdown is answered ＯＫ as soon as it shows.
    void tickNow() {
        shell::BackUpSettings& b = shell::mainModule().backUp;
        // Not in the last moments of a minute: the tick must see the minute set here.
        if (QTime::currentTime().second() >= 58) QTest::qWait(2500);
        const QTime now = QTime::currentTime();
        b.hour = now.hour();
        b.minute = now.minute();
        QTimer::singleShot(50, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "frmOptimizeCheck" && w->isVisible())
                    QTest::mouseClick(w->findChild<QPushButton*>("cmdOptimizeCheck(0)"),
                                      Qt::LeftButton);
        });
        maintenance::BackUpTimerTick();
    }

    static QWidget* shownWindow(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
        return nullptr;
    }

    // The record window's menu holding the command, and the command.
    static std::pair<QMenu*, QAction*> menuCommand(frmMDIChild* window, const QString& caption) {
        for (QMenu* menu : window->menus())
            for (QAction* action : menu->actions())
                if (action->text() == caption) return {menu, action};
        return {nullptr, nullptr};
    }

    // Opens a window from the record window's menu and, inside its loop, lets `work` run and
    // the schedule fall due; then waits until the backup is made and the record window back.
    void backUpDuring(const QString& command, const char* windowName,
                      const std::function<void(QWidget*)>& work) {
        frmMDIChild* window = openSet(1);
        ASSERT_TRUE(window);
        QPointer<frmMDIChild> recordWindow(window);
        const auto [menu, action] = menuCommand(window, command);
        ASSERT_TRUE(action);

        bool ranInsideTheLoop = false;
        bool backUpMadeBeforeTheLoopReturned = true;
        bool recordWindowAliveAfterTheTick = false;
        QTimer::singleShot(100, [&] {
            QWidget* shown = shownWindow(windowName);
            ASSERT_TRUE(shown);
            ranInsideTheLoop = true;
            work(shown);
            tickNow();
            backUpMadeBeforeTheLoopReturned = QFile::exists(backUpDir.filePath("Kenvora.mdb"));
            recordWindowAliveAfterTheTick = !recordWindow.isNull();
        });
        // Chosen with the mouse from the open menu: the menu's own handler stays on the stack
        // until the window it opened has returned.
        QTimer::singleShot(0, menu, [menu = menu, action = action] {
            menu->popup(QPoint(0, 0));
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        });
        // A failing check must not leave the window's loop running for ever.
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [windowName] {
            if (QWidget* w = shownWindow(windowName)) w->close();
        });
        rescue.start(15000);

        const bool done = QTest::qWaitFor(
            [&] {
                return QFile::exists(backUpDir.filePath("Kenvora.mdb")) &&
                       shell::mainModule().openWindowCount >= 1 && recordWindow.isNull();
            },
            20000);
        EXPECT_TRUE(done);
        EXPECT_TRUE(ranInsideTheLoop);
        EXPECT_FALSE(backUpMadeBeforeTheLoopReturned);
        EXPECT_TRUE(recordWindowAliveAfterTheTick);
        EXPECT_FALSE(shownWindow(windowName));
        EXPECT_TRUE(boxes->shown().empty()) << boxes->shownTexts().join("|").toStdString();
        // The record window came back, on a reopened database.
        ASSERT_TRUE(shell::mainModule().database && shell::mainModule().database->isOpen());
        ASSERT_GE(shell::mainModule().windows.size(), 1u);
        EXPECT_TRUE(shell::mainModule().windows[0]);
    }

    QTemporaryDir backUpDir;
    shell::FeatureHooks saved;
};

}  // namespace

TEST_F(ScheduledBackUpDuringWork, DuringADrillWithOneAnswerGiven) {
    backUpDuring("出題(&Q)", "frmTest", [this](QWidget* shown) {
        auto* test = static_cast<frmTest*>(shown);
        test->lstDatabase->item(0)->setSelected(true);
        QTest::mouseClick(test->chkTest[0], Qt::LeftButton);
        test->cmbPoints->setEditText("0");
        QTest::mouseClick(test->cmdTest[0], Qt::LeftButton);
        QTest::mouseClick(test->cmdTest[3], Qt::LeftButton);  // 正　解
        EXPECT_EQ(field(1, "正解回数"), "1");
    });
    // The answer given before the backup is in the backed-up file too.
    EXPECT_EQ(field(1, "正解回数"), "1");
}

TEST_F(ScheduledBackUpDuringWork, WhileTheSearchWindowIsOpen) {
    backUpDuring("検索(&S)...", "frmSearch", [](QWidget*) {});
}
