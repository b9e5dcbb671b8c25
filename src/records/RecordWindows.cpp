#include "records/RecordWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTime>
#include <QTimer>

#include <optional>

#include "platform/dao/DaoError.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Format.h"
#include "records/DelimiterList.h"
#include "records/RecordLayout.h"
#include "records/RecordMenus.h"
#include "records/RecordsState.h"
#include "records/frmMDIChild.h"
#include "shell/DataErrors.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace records {

namespace {

shell::MainModule& m() {
    return shell::mainModule();
}
shell::ChildSettings& settingsOf(int slot) {
    return m().childSettings.at(slot);
}
dao::Recordset* recordsOf(int slot) {
    auto& list = m().recordsets;
    return slot < static_cast<int>(list.size()) ? list[slot].get() : nullptr;
}

QString recordsStatement(std::int32_t dbID, bool newSlot) {
    // The two spellings differ in one blank; both order oldest first.
    return QStringLiteral("select  * from データ where dbID = ") + QString::number(dbID) +
           (newSlot ? QStringLiteral(" ORDER BY データ.登録日 ASC  ,データ.登録時刻 ASC")
                    : QStringLiteral(" ORDER BY データ.登録日 ASC ,データ.登録時刻 ASC"));
}

void openRecords(int slot, bool newSlot) {
    m().recordsets.at(slot) = m().database->OpenRecordset(
        recordsStatement(settingsOf(slot).dbID, newSlot), dao::dbOpenDynaset);
}

QMdiSubWindow* subWindowOf(frmMDIChild* window) {
    return window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
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

frmMDIChild* createWindow(int slot) {
    auto* window = new frmMDIChild;
    m().windows.at(slot) = window;
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

// Writes item n's plain text and RTF into positions 2 + n and 7 + n.
void writeBoxes(dao::Recordset& rs, frmMDIChild* w) {
    for (int n = 0; n < 5; ++n) {
        rs.Fields(2 + n) = w->txtData[n]->Text();
        rs.Fields(7 + n) = w->txtData[n]->TextRTF();
    }
}

bool hasText(frmMDIChild* w) {
    for (auto* box : w->txtData)
        if (!box->Text().isEmpty()) return true;
    return false;
}

QString today() {
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}
QString now() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

// The rate box in the colours, face and style of its side of the set's threshold.
void paintRateBox(int slot, bool decimalComparison) {
    frmMDIChild* w = windowOfSlot(slot);
    if (!w) return;
    const shell::ChildSettings& s = settingsOf(slot);
    const int threshold = s.numeric[0];
    const bool above = decimalComparison ? rateAtOrAboveAtOpening(w->txtPonit->text(), threshold)
                                         : rateAtOrAboveWhenShown(w->txtPonit->text(), threshold);
    // Numeric 6/7 back colours, 13/14 text colours, 20/21 sizes; text 10/11 fonts;
    // Yes/No 11/12 bold, 18/19 italic, 25/26 strike-through, 32/33 underline.
    const int k = above ? 0 : 1;
    ui::setCompactColors(w->txtPonit,
                         ui::qColorFromBgr(static_cast<std::uint32_t>(s.numeric[6 + k])),
                         ui::qColorFromBgr(static_cast<std::uint32_t>(s.numeric[13 + k])));
    QFont font = w->txtPonit->font();
    if (!s.text[10 + k].isEmpty()) font.setFamily(s.text[10 + k]);
    if (s.numeric[20 + k] > 0) font.setPointSizeF(s.numeric[20 + k]);
    font.setBold(s.yesNo[11 + k]);
    font.setItalic(s.yesNo[18 + k]);
    font.setStrikeOut(s.yesNo[25 + k]);
    font.setUnderline(s.yesNo[32 + k]);
    w->txtPonit->setFont(font);
}

// The display steps shared by opening and ShowCurrentRecord.
void showRecord(int slot, bool decimalComparison) {
    frmMDIChild* w = windowOfSlot(slot);
    dao::Recordset* rs = recordsOf(slot);
    if (!w || !rs || rs->RecordCount() == 0 || rs->AbsolutePosition() < 0) return;
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;  // filling the boxes is not an edit
    w->txtTruAns->setText(rs->value(QStringLiteral("正解回数")).displayText());
    w->txtTestCount->setText(rs->value(QStringLiteral("出題回数")).displayText());
    w->txtPonit->setText(recordRateText(w->txtTruAns->text(), w->txtTestCount->text()));
    for (int n = 0; n < 5; ++n) {
        w->txtData[n]->setText(rs->Fields(2 + n).Value().displayText());
        w->txtData[n]->setTextRTF(rs->Fields(7 + n).Value().displayText());
    }
    const dao::Variant day = rs->value(QStringLiteral("登録日"));
    w->txtRecordDay->setText(
        day.isNull() ? QString()
                     : vb::formatDate(day.toDateTime().date, QStringLiteral("yyyy/mm/dd")));

    paintRateBox(slot, decimalComparison);
    w->eventsEnabled = enabled;
    settingsOf(slot).recordChanged = false;
}

// New empty record contents.
void clearToNewRecord(frmMDIChild* w) {
    for (auto* box : w->txtData) {
        box->setSelStart(0);
        box->setSelLength(box->Text().size());
        box->setSelText(QString());
        box->setSelBold(false);
        box->setSelItalic(false);
        box->setSelStrikeThru(false);
        box->setSelUnderline(false);
        box->setSelFontName(QStringLiteral("ＭＳ Ｐゴシック"));
        box->setSelFontSize(10);
    }
    w->txtRecordDay->setText(QString());
    w->txtPonit->setText(QStringLiteral("0.0"));
}

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
    const auto row = m().database->OpenRecordset(QStringLiteral("select  * from データベース設定"),
                                                 dao::dbOpenDynaset);
    dao::Recordset& rs = *row;
    rs.FindFirst(QStringLiteral("dbID =%1").arg(s.dbID));
    if (rs.NoMatch()) return;
    rs.Edit();
    rs.Fields(QStringLiteral("区切り12")) = s.text[0];
    rs.Fields(QStringLiteral("区切り23")) = s.text[1];
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
    auto& windows = m().windows;
    return slot >= 0 && slot < static_cast<int>(windows.size()) ? windows[slot] : nullptr;
}

int FindWindowSlot(std::int32_t dbID) {
    shell::MainModule& mm = m();
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
    shell::MainModule& mm = m();
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
    w->Tag = QString::number(slot);
    w->setWindowTitle(s.name);
    if (QMdiSubWindow* sub = subWindowOf(w)) sub->setWindowTitle(s.name);
    ApplyDisplaySettings(slot);

    QMdiSubWindow* sub = subWindowOf(w);
    QWidget* shown = sub ? static_cast<QWidget*>(sub) : w;
    // The stored place first, so that a maximised or minimised window comes back to it.
    const QRect place = ui::toPixels({s.numeric[22], s.numeric[23], s.numeric[24], s.numeric[25]});
    shown->setGeometry(place);
    w->normalPlace = place;
    const int state = s.numeric[26];
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

void ApplyDisplaySettings(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    const shell::ChildSettings& s = settingsOf(slot);
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    for (int n = 0; n < 5; ++n)
        w->txtData[n]->setBackColor(
            ui::qColorFromBgr(static_cast<std::uint32_t>(s.numeric[n + 1])));
    w->eventsEnabled = enabled;
    dao::Recordset* rs = recordsOf(slot);
    if (rs && rs->RecordCount() > 0) showRecord(slot, true);
    for (int i = 0; i < 3; ++i) w->txtItem[i]->setText(s.text[2 + i]);
    FillDelimiterCombos(slot);
}

void LayoutRecordWindow(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    if (!w || m().closing || mainWindowMinimized()) return;
    if (QMdiSubWindow* sub = subWindowOf(w); sub && sub->isMinimized()) return;
    const shell::ChildSettings& s = settingsOf(slot);
    const bool useItem3 = s.yesNo[3], useComment = s.yesNo[4], useSource = s.yesNo[5];
    const RecordWindowLayout l = layoutRecordWindow(ui::twips(w->width()), ui::twips(w->height()),
                                                    useItem3, useComment, useSource);
    auto left = [](QWidget* c) { return ui::twips(c->x()); };
    auto top = [](QWidget* c) { return ui::twips(c->y()); };
    ui::place(w->Label1, l.label1Left, top(w->Label1), 975, 255);
    ui::place(w->txtPonit, l.txtPonitLeft, top(w->txtPonit), 735, 270);
    ui::place(w->Label2, l.label2Left, top(w->Label2), 615, 255);
    ui::place(w->txtRecordDay, l.txtRecordDayLeft, top(w->txtRecordDay), 1095, 270);
    ui::place(w->txtData[0], left(w->txtData[0]), 405, l.boxWidth, l.boxHeight);
    ui::place(w->Frame1, left(w->Frame1), l.frame1Top, 6975, 320);
    ui::place(w->txtData[1], left(w->txtData[1]), l.item2Top, l.boxWidth, l.boxHeight);
    w->Frame2->setVisible(l.item3Visible);
    w->txtData[2]->setVisible(l.item3Visible);
    if (l.item3Visible) {
        ui::place(w->Frame2, left(w->Frame2), l.frame2Top, 6975, 320);
        ui::place(w->txtData[2], left(w->txtData[2]), l.item3Top, l.boxWidth, l.boxHeight);
    }
    w->Label6->setVisible(l.commentVisible);
    w->txtData[3]->setVisible(l.commentVisible);
    if (l.commentVisible) {
        ui::place(w->Label6, left(w->Label6), l.label6Top, 1095, 255);
        ui::place(w->txtData[3], left(w->txtData[3]), l.commentTop, l.boxWidth, 495);
    }
    w->Label7->setVisible(l.sourceVisible);
    w->txtData[4]->setVisible(l.sourceVisible);
    if (l.sourceVisible) {
        ui::place(w->Label7, left(w->Label7), l.label7Top, 375, 255);
        ui::place(w->txtData[4], left(w->txtData[4]), l.sourceTop, l.boxWidth, 495);
    }
}

void ActivateRecordWindow(int slot) {
    shell::ChildSettings& s = settingsOf(slot);
    frmMDIChild* w = windowOfSlot(slot);
    if (s.activated || !w) return;
    dao::Recordset* rs = recordsOf(slot);
    if (rs && rs->RecordCount() == 0) NewRecord(slot);
    s.shownPosition = rs ? rs->AbsolutePosition() : -1;
    w->eventsEnabled = true;
    s.activated = true;
}

void RecordTextChanged(int slot, int box) {
    shell::ChildSettings& s = settingsOf(slot);
    s.recordChanged = true;
    dao::Recordset* rs = recordsOf(slot);
    if (rs && rs->RecordCount() == 0) s.newRecord = true;
    if ((box == 0 || box == 1) && mainWindowMinimized()) SplitAtDelimiter(slot, box);
}

void ShowCurrentRecord(int slot) {
    if (!windowOfSlot(slot)) createWindow(slot);
    dao::Recordset* rs = recordsOf(slot);
    if (!rs || rs->RecordCount() == 0) return;
    showRecord(slot, false);
}

void SaveCurrentRecord(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    dao::Recordset* rs = recordsOf(slot);
    shell::ChildSettings& s = settingsOf(slot);
    if (!w || !rs) return;
    const bool text = hasText(w);
    if (s.newRecord) {
        if (!text) {
            // An empty new record is never stored: the record that was current comes back.
            s.newRecord = false;
            ShowCurrentRecord(slot);
            return;
        }
        if (rs->RecordCount() > 0) rs->MoveLast();
        rs->AddNew();
        shell::MainModule& mm = m();
        rs->Fields(QStringLiteral("ID")) = mm.highestID + 1;
        rs->Fields(QStringLiteral("dbID")) = static_cast<int>(s.dbID);
        writeBoxes(*rs, w);
        rs->Fields(QStringLiteral("登録日")) = today();
        rs->Fields(QStringLiteral("登録時刻")) = now();
        rs->Fields(QStringLiteral("正解回数")) = 0;
        rs->Fields(QStringLiteral("出題回数")) = 0;
        rs->Update();
        ++mm.highestID;  // only once the record is really stored
        rs->MoveLast();
        s.shownPosition = rs->AbsolutePosition();
        s.recordChanged = false;
        s.newRecord = false;
        showRecord(slot, false);
        return;
    }
    if (rs->RecordCount() == 0 || rs->AbsolutePosition() < 0) return;
    if (s.recordChanged && text) {
        rs->Edit();
        writeBoxes(*rs, w);
        rs->Fields(QStringLiteral("登録日")) = today();
        rs->Update();
    } else if (s.recordChanged) {
        const ui::Answer answer =
            ui::MsgBox(QStringLiteral("データがありません。このデータを削除しますか？"),
                       ui::Buttons::OKCancel, QStringLiteral("データチェック"));
        if (answer == ui::Answer::OK) {
            rs->Delete();
            if (rs->RecordCount() > 0) {
                if (!rs->AtEOF()) rs->MoveNext();
                if (rs->AtEOF()) rs->MovePrevious();
            }
        } else {
            rs->Edit();
            writeBoxes(*rs, w);
            rs->Fields(QStringLiteral("登録日")) = today();
            rs->Fields(QStringLiteral("登録時刻")) = now();
            rs->Update();
        }
    }
    s.recordChanged = false;
}

void SaveAllRecordWindows() {
    shell::MainModule& mm = m();
    for (int slot = 0; slot < static_cast<int>(mm.childSettings.size()); ++slot) {
        const shell::ChildSettings& s = mm.childSettings[slot];
        if (!s.slotFree && s.recordChanged && windowOfSlot(slot)) SaveCurrentRecord(slot);
    }
}

void MoveRecord(int slot, int button) {
    try {
        shell::ChildSettings& s = settingsOf(slot);
        if (s.recordChanged) SaveCurrentRecord(slot);
        dao::Recordset* rs = recordsOf(slot);
        if (rs && rs->RecordCount() > 0) {
            switch (button) {
                case 0:
                    rs->MoveFirst();
                    if (rs->AtBOF()) rs->MoveNext();
                    break;
                case 1:
                    if (!rs->AtBOF()) rs->MovePrevious();
                    if (rs->AtBOF()) rs->MoveNext();
                    break;
                case 2:
                    if (!rs->AtEOF()) rs->MoveNext();
                    if (rs->AtEOF()) rs->MoveLast();
                    break;
                default:
                    if (!rs->AtEOF()) rs->MoveLast();
                    if (rs->AtEOF()) rs->MovePrevious();
                    break;
            }
            // An empty new record on screen is not the recordset's position: show it again.
            if (rs->AbsolutePosition() != s.shownPosition || s.newRecord) ShowCurrentRecord(slot);
            s.shownPosition = rs->AbsolutePosition();
        }
        s.newRecord = false;
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

void NewRecord(int slot) {
    shell::ChildSettings& s = settingsOf(slot);
    if (s.recordChanged) SaveCurrentRecord(slot);
    s.newRecord = true;
    if (frmMDIChild* w = windowOfSlot(slot)) {
        clearToNewRecord(w);
        paintRateBox(slot, false);
    }
}

void DeleteRecord(int slot) {
    dao::Recordset* rs = recordsOf(slot);
    shell::ChildSettings& s = settingsOf(slot);
    if (!rs || rs->RecordCount() == 0) {
        ui::MsgBox(QStringLiteral("データがありません。"), ui::Buttons::OKOnly,
                   QStringLiteral("このデータ削除"));
        return;
    }
    if (ui::MsgBox(QStringLiteral("このデータ１件を削除します。よろしいですか？"),
                   ui::Buttons::OKCancel, QStringLiteral("このデータ削除")) != ui::Answer::OK)
        return;
    try {
        if (s.newRecord) {
            // The window shows an empty new record, never stored: deleting it drops it, and
            // the stored record it replaced on screen is left alone.
            s.newRecord = false;
            ShowCurrentRecord(slot);
            return;
        }
        rs->Delete();
        s.recordChanged = false;
        if (rs->RecordCount() == 0) {
            NewRecord(slot);
            return;
        }
        rs->MoveNext();
        if (rs->AtEOF()) rs->MovePrevious();
        ShowCurrentRecord(slot);
        s.shownPosition = rs->AbsolutePosition();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

bool CloseRecordWindow(int slot) {
    shell::MainModule& mm = m();
    shell::ChildSettings& s = settingsOf(slot);
    frmMDIChild* w = windowOfSlot(slot);
    if (!mm.closing) {
        try {
            // Typed text is saved before the window goes, not lost with it.
            if (s.recordChanged) SaveCurrentRecord(slot);
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

void RefreshRecordWindows() {
    shell::MainModule& mm = m();
    for (size_t e = 2; e < mm.dataBaseList.size(); ++e) {
        if (!mm.dataBaseList[e].changed) continue;
        for (int slot = 0; slot < static_cast<int>(mm.childSettings.size()); ++slot) {
            shell::ChildSettings& s = mm.childSettings[slot];
            if (s.dbID != mm.dataBaseList[e].dbID || s.slotFree) continue;
            dao::Recordset* old = recordsOf(slot);
            const int position = old ? old->AbsolutePosition() : 0;
            openRecords(slot, false);
            dao::Recordset* rs = recordsOf(slot);
            if (rs->RecordCount() == 0) {
                NewRecord(slot);
            } else {
                rs->MoveFirst();
                rs->Move(std::max(position, 0));
                if (rs->AtEOF()) rs->MoveLast();
                ShowCurrentRecord(slot);
                s.shownPosition = rs->AbsolutePosition();
            }
            break;
        }
    }
}

void FillDelimiterCombos(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    const shell::ChildSettings& s = settingsOf(slot);
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    for (int k = 0; k < 2; ++k) {
        const DelimiterEntries e = delimiterEntries(s.text[k]);
        w->cmbSplit[k]->clear();
        w->cmbSplit[k]->addItems(e.entries);
        w->cmbSplit[k]->setProperty("Tag", QString::number(e.markerPosition));
    }
    for (int k = 0; k < 2; ++k)
        w->cmbSplit[k]->setEditText(w->cmbSplit[k]->count() > 0 ? w->cmbSplit[k]->itemText(0)
                                                                : QString());
    w->eventsEnabled = enabled;
}

void MoveDelimiterToTop(int slot, int combo, int index) {
    frmMDIChild* w = windowOfSlot(slot);
    QComboBox* box = w->cmbSplit[combo];
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    QString stored;
    const DelimiterEntries moved = moveDelimiterToTop(entries, index, &stored);
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    box->clear();
    box->addItems(moved.entries);
    box->setProperty("Tag", QString::number(moved.markerPosition));
    w->eventsEnabled = enabled;
    settingsOf(slot).text[combo] = stored;
    w->tmrSplitDisp->start();
}

void SplitAtDelimiter(int slot, int k) {
    frmMDIChild* w = windowOfSlot(slot);
    if (!w || k < 0 || k > 1) return;
    richtext::RichTextBox* source = w->txtData[k];
    richtext::RichTextBox* target = w->txtData[k + 1];
    const QString d = w->cmbSplit[k]->currentText();
    if (d.isEmpty()) return;
    const QString text = source->Text();
    const int e = text.indexOf(d);  // 0-based; -1 when absent
    if (e < 0) {
        if (!mainWindowMinimized())
            ui::MsgBox(QStringLiteral("区切り文字が見つかりません。"), ui::Buttons::OKOnly,
                       QStringLiteral("区切り文字サーチ"));
        return;
    }
    source->setSelStart(0);
    source->setSelLength(e);
    const QString head = source->SelRTF();
    const int tailStart = e + static_cast<int>(d.size());
    source->setSelStart(tailStart);
    source->setSelLength(static_cast<int>(text.size()) - tailStart);
    const QString tail = source->SelRTF();
    const int tailLength = source->SelLength();
    target->setSelStart(0);
    target->setSelLength(static_cast<int>(target->Text().size()));
    const QString oldTarget = target->SelRTF();
    const int n = target->SelLength();

    source->setText(text.left(e));
    source->setTextRTF(head);
    target->setSelStart(0);
    target->setSelLength(tailLength);
    target->setSelRTF(tail);
    target->setSelStart(tailLength);
    target->setSelLength(n);
    target->setSelRTF(oldTarget);
}

void DeleteAtCursor(richtext::RichTextBox* box) {
    if (!box) return;
    if (box->SelStart() == static_cast<int>(box->Text().size()) && box->SelLength() == 0) return;
    if (box->SelLength() == 0) {
        box->setSelLength(1);
        if (box->SelText().isEmpty()) {
            box->setSelLength(2);
            box->setSelRTF(QString());
            return;
        }
    }
    box->setSelText(QString());
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
    shell::MainModule& mm = m();
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
    shell::MainModule& mm = m();
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
            if (s.recordChanged) SaveCurrentRecord(slot);
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
    m().settingsRecordset->FindFirst(QStringLiteral("dbID=%1").arg(dbID));
    const int slot = FindWindowSlot(dbID);
    m().settingsRecordset.reset();
    settingsOf(slot).name = caption;
    OpenRecordWindow(slot);
}

void runReportingErrors(const std::function<void()>& command) {
    try {
        command();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

QString selectedText(QWidget* control) {
    if (auto* rich = qobject_cast<richtext::RichTextBox*>(control)) return rich->SelText();
    if (auto* line = qobject_cast<QLineEdit*>(control)) return line->selectedText();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->lineEdit() ? combo->lineEdit()->selectedText() : QString();
    return {};
}

void replaceSelectedText(QWidget* control, const QString& text) {
    if (auto* rich = qobject_cast<richtext::RichTextBox*>(control)) {
        if (!rich->Locked()) rich->setSelText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (!line->isReadOnly()) line->insert(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->lineEdit()) combo->lineEdit()->insert(text);
    }
}

}  // namespace records
