#include "records/RecordSlots.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <optional>

#include "platform/dao/DaoError.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Twips.h"
#include "records/CurrentRecord.h"
#include "records/RecordDisplay.h"
#include "records/RecordLayout.h"
#include "records/RecordMenus.h"
#include "records/RecordsState.h"
#include "records/frmMDIChild.h"
#include "shell/DataErrors.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace records {

namespace {

QString recordsStatement(std::int32_t dbID, bool newSlot) {
    // The two spellings differ in one blank; both order oldest first.
    return QStringLiteral("select  * from データ where dbID = ") + QString::number(dbID) +
           (newSlot ? QStringLiteral(" ORDER BY データ.登録日 ASC  ,データ.登録時刻 ASC")
                    : QStringLiteral(" ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC"));
}

int windowState(frmMDIChild* window) {
    QMdiSubWindow* sub = subWindowOf(window);
    if (!sub) return 0;
    if (sub->isMinimized()) return 1;
    if (sub->isMaximized()) return 2;
    return 0;
}

// The window's place as the user left it: a minimised or maximised window keeps the place
// it will come back to.
ui::TwipsRect windowRect(frmMDIChild* window) {
    QMdiSubWindow* sub = subWindowOf(window);
    if (!sub) return ui::toTwips(window->geometry());
    const bool normal = !sub->isMinimized() && !sub->isMaximized();
    return ui::toTwips(normal || !window->normalPlace.isValid() ? sub->geometry()
                                                                : window->normalPlace);
}

// Keeps the record window's normal place up to date while the user moves and sizes it.
class NormalPlaceKeeper final : public QObject {
public:
    NormalPlaceKeeper(QMdiSubWindow* sub, frmMDIChild* window)
        : QObject(sub), sub_(sub), window_(window) {
        sub->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == sub_ && (type == QEvent::Move || type == QEvent::Resize) && window_ &&
            !sub_->isMinimized() && !sub_->isMaximized() && sub_->isVisible())
            window_->normalPlace = sub_->geometry();
        return false;
    }

private:
    QMdiSubWindow* sub_;
    QPointer<frmMDIChild> window_;
};

// A record window's place and state as the user left it.
struct WindowPlace {
    ui::TwipsRect rect;
    int state = 0;
};

WindowPlace placeOf(frmMDIChild* w) {
    return {windowRect(w), windowState(w)};
}

// Writes the window's state to its set's row; no place when the window is gone.
void writeWindowState(int slot, bool stillOpen, const std::optional<WindowPlace>& place) {
    const shell::ChildSettings& s = settingsOf(slot);
    const auto row = shell::mainModule().database->OpenRecordset(
        QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
    dao::Recordset& rs = *row;
    rs.FindFirst(QStringLiteral("dbID =%1").arg(s.dbID));
    if (rs.NoMatch()) return;
    rs.Edit();
    rs.Fields(QStringLiteral("区切り12")) = s.settings.delimiters[0];
    rs.Fields(QStringLiteral("区切り23")) = s.settings.delimiters[1];
    rs.Fields(QStringLiteral("終了状態")) = stillOpen;
    if (place) {
        rs.Fields(QStringLiteral("画面X")) = place->rect.left;
        rs.Fields(QStringLiteral("画面Y")) = place->rect.top;
        rs.Fields(QStringLiteral("画面幅")) = place->rect.width;
        rs.Fields(QStringLiteral("画面縦")) = place->rect.height;
        rs.Fields(QStringLiteral("WindowState")) = place->state;
    }
    rs.Update();
}

}  // namespace

frmMDIChild* createWindow(int slot) {
    auto* window = new frmMDIChild;
    shell::mainModule().windows.at(slot) = window;
    QObject::connect(window, &QObject::destroyed, [slot, window] {
        // Only this window's own slot entry: the set may have a new window by now.
        auto& windows = shell::mainModule().windows;
        if (slot < static_cast<int>(windows.size()) && windows[slot] == window)
            windows[slot] = nullptr;
    });
    if (QMdiArea* area = recordWindowArea()) {
        QMdiSubWindow* sub = area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setMinimumSize(ui::px(kRecordWindowMinWidth), ui::px(kRecordWindowMinHeight));
        new NormalPlaceKeeper(sub, window);
        QObject::connect(area, &QMdiArea::subWindowActivated, window,
                         [window](QMdiSubWindow* active) {
                             if (active && active->widget() == window) window->Form_Activate();
                         });
        QObject::connect(window, &QObject::destroyed, area, [] { showMenusOfActiveWindow(); });
    }
    return window;
}

shell::ChildSettings& settingsOf(int slot) {
    return shell::mainModule().childSettings.at(slot);
}

dao::Recordset* recordsOf(int slot) {
    auto& list = shell::mainModule().recordsets;
    return slot < static_cast<int>(list.size()) ? list[slot].get() : nullptr;
}

void openRecords(int slot, bool newSlot) {
    shell::mainModule().recordsets.at(slot) = shell::mainModule().database->OpenRecordset(
        recordsStatement(settingsOf(slot).dbID, newSlot), dao::dbOpenDynaset);
}

QMdiSubWindow* subWindowOf(frmMDIChild* window) {
    return window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

void setRecordWindowArea(QMdiArea* area) {
    recordsState().area = area;
    if (area)
        QObject::connect(area, &QMdiArea::subWindowActivated, area,
                         [] { showMenusOfActiveWindow(); });
}
QMdiArea* recordWindowArea() {
    return recordsState().area;
}

bool mainWindowMinimized() {
    if (shell::mainModule().dropMode) return true;
    QWidget* main = recordWindowArea() ? recordWindowArea()->window() : nullptr;
    return main && main->isMinimized();
}

frmMDIChild* windowOfSlot(int slot) {
    auto& windows = shell::mainModule().windows;
    return slot >= 0 && slot < static_cast<int>(windows.size()) ? windows[slot] : nullptr;
}

int FindWindowSlot(std::int32_t dbID) {
    shell::MainModule& mm = shell::mainModule();
    int slot = 0;
    if (mm.openWindowCount != -1) {
        for (int i = 0; i < static_cast<int>(mm.childSettings.size()); ++i) {
            shell::ChildSettings& s = mm.childSettings[i];
            if (s.dbID != dbID) continue;
            if (s.slotFree) {
                shell::LoadChildSettings(i, dbID);
                openRecords(i, false);
                return i;
            }
            frmMDIChild* w = windowOfSlot(i);
            if (!w) w = createWindow(i);
            if (QMdiSubWindow* sub = subWindowOf(w)) sub->show();
            return i;
        }
        slot = static_cast<int>(mm.childSettings.size());
    }
    const int size = slot + 1;
    if (static_cast<int>(mm.windows.size()) < size) mm.windows.resize(size, nullptr);
    if (static_cast<int>(mm.recordsets.size()) < size) mm.recordsets.resize(size);
    if (static_cast<int>(mm.childSettings.size()) < size) mm.childSettings.resize(size);
    shell::LoadChildSettings(slot, dbID);
    openRecords(slot, true);
    return slot;
}

void OpenRecordWindow(int slot) {
    shell::MainModule& mm = shell::mainModule();
    shell::ChildSettings& s = settingsOf(slot);
    if (mm.openWindowCount < 1) {
        mm.openWindowCount = 1;
    } else if (!s.activated || s.slotFree) {
        ++mm.openWindowCount;
    } else if (frmMDIChild* open = windowOfSlot(slot)) {
        if (QMdiSubWindow* sub = subWindowOf(open); sub && recordWindowArea())
            recordWindowArea()->setActiveSubWindow(sub);
        open->setFocus();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmMDIChild* w = windowOfSlot(slot);
    if (!w) w = createWindow(slot);
    w->setSlot(slot);
    w->setWindowTitle(s.name);
    if (QMdiSubWindow* sub = subWindowOf(w)) sub->setWindowTitle(s.name);
    ApplyDisplaySettings(slot);

    QMdiSubWindow* sub = subWindowOf(w);
    QWidget* shown = sub ? static_cast<QWidget*>(sub) : w;
    // The stored place first, so that a maximised or minimised window comes back to it.
    const QRect place = ui::toPixels(s.settings.windowRect);
    shown->setGeometry(place);
    w->normalPlace = place;
    const int state = s.settings.windowState;
    if (state == 2) {
        shown->showMaximized();
    } else if (state == 1) {
        shown->showMinimized();
    } else {
        shown->show();
    }
    LayoutRecordWindow(slot);
    QApplication::restoreOverrideCursor();
}

bool CloseRecordWindow(int slot) {
    shell::MainModule& mm = shell::mainModule();
    shell::ChildSettings& s = settingsOf(slot);
    frmMDIChild* w = windowOfSlot(slot);
    if (!mm.closing) {
        try {
            // Typed text is saved before the window goes, not lost with it.
            if (w && w->recordChanged) SaveCurrentRecord(slot);
            if (mm.recordsets.at(slot)) mm.recordsets[slot]->Close();
            mm.recordsets[slot].reset();
            --mm.openWindowCount;
            s.activated = false;
            std::optional<WindowPlace> place;
            if (w) place = placeOf(w);
            writeWindowState(slot, false, place);
        } catch (const dao::DaoError& e) {
            shell::ReportDataError(e);
        }
    }
    s.slotFree = true;
    s.activated = false;
    if (w) w->eventsEnabled = false;
    // The window is on its way out; reopening the set makes a new one.
    mm.windows.at(slot) = nullptr;
    return true;
}

namespace {

// The window in front takes the focus now: a window manager may activate the main window
// only later, and Qt then gives the focus to the first box of the first window, which
// would bring that one to the front (and maximise it in place of the maximised one).
void focusFrontWindow() {
    QMdiArea* area = recordWindowArea();
    if (!area) return;
    QMdiSubWindow* front = area->activeSubWindow();
    const QList<QMdiSubWindow*> stack = area->subWindowList(QMdiArea::StackingOrder);
    if (!front && !stack.isEmpty()) front = stack.back();
    auto* w = front ? qobject_cast<frmMDIChild*>(front->widget()) : nullptr;
    if (!w) return;
    area->setActiveSubWindow(front);
    w->txtData[0]->setFocus();
}

}  // namespace

void ReopenRecordWindows() {
    shell::MainModule& mm = shell::mainModule();
    shell::openSettingsRecordset();
    std::vector<std::pair<std::int32_t, bool>> toOpen;  // dbID, maximised
    {
        dao::Recordset& rs = *mm.settingsRecordset;
        if (rs.RecordCount() == 0) return;
        rs.MoveFirst();
        while (!rs.AtEOF()) {
            if (rs.value(QStringLiteral("終了状態")).toBool())
                toOpen.emplace_back(rs.value(QStringLiteral("dbID")).toLong(),
                                    rs.value(QStringLiteral("WindowState")).toLong() == 2);
            rs.MoveNext();
        }
    }
    // The maximised window opens last so that it ends up in front. Maximising one MDI
    // window maximises every window, so several rows may say so: all of them come back,
    // the last one in front.
    std::int32_t maximised = -1;
    for (const auto& [dbID, isMax] : toOpen) {
        if (isMax) {
            if (maximised >= 0) OpenRecordWindow(FindWindowSlot(maximised));
            maximised = dbID;
            continue;
        }
        OpenRecordWindow(FindWindowSlot(dbID));
    }
    QApplication::processEvents();
    if (maximised >= 0) {
        shell::openSettingsRecordset();
        mm.settingsRecordset->FindFirst(QStringLiteral("dbID =%1").arg(maximised));
        OpenRecordWindow(FindWindowSlot(maximised));
    }
    mm.settingsRecordset.reset();
    focusFrontWindow();
}

void CloseRecordWindowsForExit() {
    shell::MainModule& mm = shell::mainModule();
    if (mm.openWindowCount < 1) return;
    // Every place is noted before any window closes: closing the front maximised window
    // makes the MDI area maximise the next one.
    std::vector<std::optional<WindowPlace>> places(mm.childSettings.size());
    for (int slot = 0; slot < static_cast<int>(mm.childSettings.size()); ++slot) {
        frmMDIChild* w = windowOfSlot(slot);
        if (!mm.childSettings[slot].slotFree && w) places[slot] = placeOf(w);
    }
    for (int slot = 0; slot < static_cast<int>(mm.childSettings.size()); ++slot) {
        shell::ChildSettings& s = mm.childSettings[slot];
        frmMDIChild* w = windowOfSlot(slot);
        if (s.slotFree || !w) continue;
        try {
            if (w->recordChanged) SaveCurrentRecord(slot);
            writeWindowState(slot, true, places[slot]);
        } catch (const dao::DaoError& e) {
            shell::ReportDataError(e);
        }
        s.slotFree = true;
        w->eventsEnabled = false;
        mm.windows.at(slot) = nullptr;
        if (QMdiSubWindow* sub = subWindowOf(w))
            sub->close();
        else
            w->close();
        QApplication::processEvents();
        if (mm.recordsets.at(slot)) mm.recordsets[slot]->Close();
        mm.recordsets[slot].reset();
    }
}

void OpenDataBaseFromMenu(std::int32_t dbID, const QString& caption) {
    shell::openSettingsRecordset();
    shell::mainModule().settingsRecordset->FindFirst(QStringLiteral("dbID=%1").arg(dbID));
    const int slot = FindWindowSlot(dbID);
    shell::mainModule().settingsRecordset.reset();
    settingsOf(slot).name = caption;
    OpenRecordWindow(slot);
}

}  // namespace records
