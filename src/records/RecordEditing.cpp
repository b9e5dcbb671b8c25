#include "records/RecordEditing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "platform/richtext/RichTextBox.h"
#include "platform/ui/MessageBox.h"
#include "records/DelimiterList.h"
#include "records/RecordSlots.h"
#include "records/frmMDIChild.h"
#include "shell/MainModule.h"

namespace records {

void FillDelimiterCombos(int slot) {
    frmMDIChild* w = windowOfSlot(slot);
    const shell::ChildSettings& s = settingsOf(slot);
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;
    for (int k = 0; k < 2; ++k) {
        const DelimiterEntries e = delimiterEntries(s.settings.delimiters[k]);
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
    settingsOf(slot).settings.delimiters[combo] = stored;
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
