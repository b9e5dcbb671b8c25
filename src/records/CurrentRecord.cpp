#include "records/CurrentRecord.h"

#include <QDate>
#include <QLineEdit>
#include <QTime>

#include "platform/dao/DaoError.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/MessageBox.h"
#include "platform/vb/Format.h"
#include "records/RecordDisplay.h"
#include "records/RecordEditing.h"
#include "records/RecordLayout.h"
#include "records/RecordSlots.h"
#include "records/frmMDIChild.h"
#include "shell/DataErrors.h"
#include "shell/MainModule.h"
#include "shell/RecordColumns.h"

namespace records {

namespace {

// Writes the five boxes' plain text and RTF.
void writeBoxes(dao::Recordset& rs, frmMDIChild* w) {
    shell::RecordTexts texts;
    for (std::size_t n = 0; n < texts.size(); ++n)
        texts[n] = shell::RecordText{w->txtData[n]->Text(), w->txtData[n]->TextRTF()};
    shell::writeRecordTexts(rs, texts);
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

// The slot's window has an edit not yet written back.
bool editedIn(int slot) {
    const frmMDIChild* w = windowOfSlot(slot);
    return w && w->recordChanged;
}

}  // namespace

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
    for (std::size_t n = 0; n < shell::kRecordTextColumns.size(); ++n) {
        const shell::RecordTextColumn& column = shell::kRecordTextColumns[n];
        w->txtData[n]->setText(rs->Fields(column.textPosition).Value().displayText());
        w->txtData[n]->setTextRTF(rs->Fields(column.rtfPosition).Value().displayText());
    }
    const dao::Variant day = rs->value(QStringLiteral("登録日"));
    w->txtRecordDay->setText(
        day.isNull() ? QString()
                     : vb::formatDate(day.toDateTime().date, QStringLiteral("yyyy/mm/dd")));

    paintRateBox(slot, decimalComparison);
    w->eventsEnabled = enabled;
    w->recordChanged = false;
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
    if (frmMDIChild* w = windowOfSlot(slot)) w->recordChanged = true;
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
        shell::MainModule& mm = shell::mainModule();
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
        w->recordChanged = false;
        s.newRecord = false;
        showRecord(slot, false);
        return;
    }
    if (rs->RecordCount() == 0 || rs->AbsolutePosition() < 0) return;
    if (w->recordChanged && text) {
        rs->Edit();
        writeBoxes(*rs, w);
        rs->Fields(QStringLiteral("登録日")) = today();
        rs->Update();
    } else if (w->recordChanged) {
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
    w->recordChanged = false;
}

void SaveAllRecordWindows() {
    shell::MainModule& mm = shell::mainModule();
    for (int slot = 0; slot < static_cast<int>(mm.childSettings.size()); ++slot) {
        const frmMDIChild* w = windowOfSlot(slot);
        if (!mm.childSettings[slot].slotFree && w && w->recordChanged) SaveCurrentRecord(slot);
    }
}

void MoveRecord(int slot, int button) {
    try {
        shell::ChildSettings& s = settingsOf(slot);
        if (editedIn(slot)) SaveCurrentRecord(slot);
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
    if (editedIn(slot)) SaveCurrentRecord(slot);
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
        if (frmMDIChild* w = windowOfSlot(slot)) w->recordChanged = false;
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

void RefreshRecordWindows() {
    shell::MainModule& mm = shell::mainModule();
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

void runReportingErrors(const std::function<void()>& command) {
    try {
        command();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

}  // namespace records
