#include "records/RecordDisplay.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>

#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/Twips.h"
#include "records/CurrentRecord.h"
#include "records/DelimiterList.h"
#include "records/RecordEditing.h"
#include "records/RecordLayout.h"
#include "records/RecordSlots.h"
#include "records/frmMDIChild.h"
#include "shell/MainModule.h"

namespace records {

// The rate box in the colours, face and style of its side of the set's threshold.
void paintRateBox(int slot, bool decimalComparison) {
    frmMDIChild* w = windowOfSlot(slot);
    if (!w) return;
    const shell::SetSettings& s = settingsOf(slot).settings;
    const bool above = decimalComparison ? rateAtOrAboveAtOpening(w->txtPonit->text(), s.threshold)
                                         : rateAtOrAboveWhenShown(w->txtPonit->text(), s.threshold);
    const shell::BoxStyle& style = s.boxes[above ? shell::kRateAtOrAboveBox : shell::kRateBelowBox];
    ui::setCompactColors(w->txtPonit,
                         ui::qColorFromBgr(static_cast<std::uint32_t>(style.backColor)),
                         ui::qColorFromBgr(static_cast<std::uint32_t>(style.foreColor)));
    QFont font = w->txtPonit->font();
    if (!style.fontName.isEmpty()) font.setFamily(style.fontName);
    if (style.fontSize > 0) font.setPointSizeF(style.fontSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setStrikeOut(style.strikeOut);
    font.setUnderline(style.underline);
    w->txtPonit->setFont(font);
}

void ApplyDisplaySettings(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    const shell::SetSettings& s = settingsOf(slot).settings;
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    for (int n = 0; n < shell::kRecordTextBoxCount; ++n)
        w->txtData[n]->setBackColor(
            ui::qColorFromBgr(static_cast<std::uint32_t>(s.boxes[n].backColor)));
    w->eventsEnabled = enabled;
    dao::Recordset* rs = recordsOf(slot);
    if (rs && rs->RecordCount() > 0) showRecord(slot, true);
    for (int i = 0; i < 3; ++i) w->txtItem[i]->setText(s.itemNames[i]);
    FillDelimiterCombos(slot);
}

namespace {

// The slot of the open record window of the set named `setName`; -1 when it has none.
int openSlotNamed(const QString& setName) {
    if (shell::mainModule().openWindowCount <= 0) return -1;
    const auto& table = shell::mainModule().childSettings;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].name == setName && !table[i].slotFree) return static_cast<int>(i);
    return -1;
}

}  // namespace

void ApplyOptionSettings(const QString& setName, const RenamedSet& change) {
    const int slot = openSlotNamed(setName);
    frmMDIChild* w = windowOfSlot(slot);
    if (!w) return;
    shell::ChildSettings& s = settingsOf(slot);
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;  // the window's own change handlers stay out of this
    s.name = change.name;
    s.settings.itemNames = change.itemNames;
    for (int k = 0; k < 2; ++k)
        s.settings.delimiters[k] = NormalizeDelimiterList(change.delimiters[k]);
    s.settings.comment = change.comment;
    w->setWindowTitle(s.name);
    if (QMdiSubWindow* sub = subWindowOf(w)) sub->setWindowTitle(s.name);
    for (int i = 0; i < 3; ++i) w->txtItem[i]->setText(s.settings.itemNames[i]);
    FillDelimiterCombos(slot);
    w->eventsEnabled = enabled;
}

void ApplyOptionSettings(const QString& setName, const DisplayChange& change) {
    const int slot = openSlotNamed(setName);
    frmMDIChild* w = windowOfSlot(slot);
    if (!w) return;
    shell::SetSettings& s = settingsOf(slot).settings;
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    if (change.threshold) s.threshold = *change.threshold;
    for (int box = 0; box < shell::kStyledBoxCount; ++box)
        s.boxes[box].backColor = change.backColors[box];
    s.hidingColor = change.hidingColor;
    s.use = change.use;
    for (int n = 0; n < shell::kRecordTextBoxCount; ++n)
        w->txtData[n]->setBackColor(
            ui::qColorFromBgr(static_cast<std::uint32_t>(s.boxes[n].backColor)));
    // Only the rate box's colour changes: reshowing the record would drop pending edits.
    const bool above = rateAtOrAboveAtOpening(w->txtPonit->text(), s.threshold);
    const shell::BoxStyle& rate = s.boxes[above ? shell::kRateAtOrAboveBox : shell::kRateBelowBox];
    QPalette palette = w->txtPonit->palette();
    palette.setColor(QPalette::Base, ui::qColorFromBgr(static_cast<std::uint32_t>(rate.backColor)));
    w->txtPonit->setPalette(palette);
    LayoutRecordWindow(slot);
    w->eventsEnabled = enabled;
}

void LayoutRecordWindow(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    if (!w || shell::mainModule().closing || mainWindowMinimized()) return;
    if (QMdiSubWindow* sub = subWindowOf(w); sub && sub->isMinimized()) return;
    const auto& use = settingsOf(slot).settings.use;
    const bool useItem3 = use[shell::kItem3Box], useComment = use[shell::kCommentBox],
               useSource = use[shell::kSourceBox];
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

}  // namespace records
