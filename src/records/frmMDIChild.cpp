#include "records/frmMDIChild.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Color.h"
#include "platform/ui/CommonDialog.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/MakeControl.h"
#include "platform/ui/Twips.h"
#include "records/RecordMenus.h"
#include "records/RecordWindows.h"
#include "shell/MainModule.h"

namespace {

QLineEdit* displayBox(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    ui::makeCompact(box);
    return box;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption,
                    const QString& tip) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAccessibleDescription(tip);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QFrame* frame(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::NoFrame);
    return f;
}

constexpr std::array<int, 5> kRichBoxTabIndex = {10, 15, 20, 22, 24};

}  // namespace

frmMDIChild::frmMDIChild(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMDIChild"));
    setWindowTitle(QStringLiteral("新規データベース"));
    buildControls();
    setTabOrder();
    buildMenus();
    tmrSplitDisp = new QTimer(this);
    tmrSplitDisp->setObjectName(QStringLiteral("tmrSplitDisp"));
    tmrSplitDisp->setSingleShot(true);
    tmrSplitDisp->setInterval(1000);
    connect(tmrSplitDisp, &QTimer::timeout, this, &frmMDIChild::tmrSplitDisp_Timer);
    tmrSplitDisp->start();
}

frmMDIChild::~frmMDIChild() {
    // Menus shown by the main window belong to this window and go with it.
    qDeleteAll(menus_);
}

void frmMDIChild::buildControls() {
    Label3 = ui::make<QLabel>(this, QStringLiteral("Label3"), QStringLiteral("項目1"));
    ui::place(Label3, 240, 170, 495, 255);
    txtItem[0] = displayBox(this, QStringLiteral("txtItem(0)"), QStringLiteral("項目１"));
    ui::place(txtItem[0], 720, 120, 1935, 270);
    cmdStartRecord = button(this, QStringLiteral("cmdStartRecord(0)"), QStringLiteral("<<"),
                            QStringLiteral("最初へ移動します。"));
    ui::place(cmdStartRecord, 2760, 120, 375, 255);
    cmdBack = button(this, QStringLiteral("cmdBack(1)"), QStringLiteral("＜"),
                     QStringLiteral("ひとつ前へ移動します。"));
    ui::place(cmdBack, 3200, 120, 450, 255);
    cmdNext = button(this, QStringLiteral("cmdNext(2)"), QStringLiteral("＞"),
                     QStringLiteral("ひとつ次へ移動します。"));
    ui::place(cmdNext, 3700, 120, 450, 255);
    cmdEndRecord = button(this, QStringLiteral("cmdEndRecord(3)"), QStringLiteral(">>"),
                          QStringLiteral("最後へ移動します。"));
    ui::place(cmdEndRecord, 4200, 120, 375, 255);
    Label1 = ui::make<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("正解率（％）"));
    ui::place(Label1, 4680, 170, 975, 255);
    txtPonit = displayBox(this, QStringLiteral("txtPonit"));
    ui::place(txtPonit, 5640, 120, 735, 270);
    txtPonit->setAlignment(Qt::AlignRight);
    Label2 = ui::make<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("登録日"));
    ui::place(Label2, 6480, 170, 615, 255);
    txtRecordDay = displayBox(this, QStringLiteral("txtRecordDay"));
    ui::place(txtRecordDay, 7080, 120, 1095, 270);

    for (int i = 0; i < 5; ++i) {
        txtData[i] = new richtext::RichTextBox(this);
        txtData[i]->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        connect(txtData[i], &richtext::RichTextBox::Change, this, [this, i] { txtData_Change(i); });
    }
    ui::place(txtData[0], 20, 405, 8255, 1530);

    Frame1 = frame(this, "Frame1");
    ui::place(Frame1, 120, 1990, 6975, 320);
    Label4 = ui::make<QLabel>(Frame1, QStringLiteral("Label4"), QStringLiteral("項目２"));
    ui::place(Label4, 0, 80, 495, 255);
    txtItem[1] = displayBox(Frame1, QStringLiteral("txtItem(1)"), QStringLiteral("項目２"));
    ui::place(txtItem[1], 600, 20, 2055, 270);
    Frame2 = frame(this, "Frame2");
    ui::place(Frame2, 120, 3910, 6975, 320);
    Label5 = ui::make<QLabel>(Frame2, QStringLiteral("Label5"), QStringLiteral("項目３"));
    ui::place(Label5, 0, 80, 495, 255);
    txtItem[2] = displayBox(Frame2, QStringLiteral("txtItem(2)"), QStringLiteral("項目３"));
    ui::place(txtItem[2], 600, 20, 2055, 270);

    const std::array<QFrame*, 2> frames = {Frame1, Frame2};
    for (int k = 0; k < 2; ++k) {
        cmbSplit[k] = new QComboBox(frames[k]);
        cmbSplit[k]->setObjectName(QStringLiteral("cmbSplit(%1)").arg(k));
        cmbSplit[k]->setEditable(true);
        cmbSplit[k]->setInsertPolicy(QComboBox::NoInsert);
        cmbSplit[k]->setProperty("Tag", QStringLiteral("-1"));
        const QString tip =
            QStringLiteral("区切り文字%1を選択します。").arg(QChar(k == 0 ? u'１' : u'２'));
        cmbSplit[k]->setToolTip(tip);
        ui::nameControl(cmbSplit[k], QStringLiteral("区切り文字%1").arg(k + 1));
        ui::place(cmbSplit[k], 3000, 0, 2295, 300);
        cmbSplit[k]->installEventFilter(this);
        cmbSplit[k]->lineEdit()->installEventFilter(this);
        connect(cmbSplit[k], qOverload<int>(&QComboBox::activated), this,
                [this, k] { cmbSplit_Click(k); });
        cmdSplit[k] =
            button(frames[k], QStringLiteral("cmdSplit(%1)").arg(k),
                   QStringLiteral("区切り%1").arg(QChar(k == 0 ? u'１' : u'２')),
                   QStringLiteral("区切り文字%1で分割します。").arg(QChar(k == 0 ? u'１' : u'２')));
        ui::place(cmdSplit[k], 5400, 20, 855, 255);
        connect(cmdSplit[k], &QPushButton::clicked, this, [this, k] { cmdSplit_Click(k); });
    }
    cmdSelTextDel = button(Frame1, QStringLiteral("cmdSelTextDel(0)"), QString(),
                           QStringLiteral("選択されているか、カーソル位置の文字を削除します。"));
    cmdSelTextDel->setText(QStringLiteral("×"));
    cmdSelTextDel->setAccessibleName(QStringLiteral("削除"));
    ui::place(cmdSelTextDel, 6360, 20, 255, 255);
    connect(cmdSelTextDel, &QPushButton::clicked, this, &frmMDIChild::cmdSelTextDel_Click);

    ui::place(txtData[1], 20, 2325, 8255, 1530);
    ui::place(txtData[2], 15, 4200, 8250, 1530);
    Label6 = ui::make<QLabel>(this, QStringLiteral("Label6"), QStringLiteral("コメント"));
    ui::place(Label6, 120, 5880, 1095, 255);
    ui::place(txtData[3], 20, 6120, 8255, 495);
    Label7 = ui::make<QLabel>(this, QStringLiteral("Label7"), QStringLiteral("出展"));
    ui::place(Label7, 120, 6720, 375, 255);
    ui::place(txtData[4], 20, 6960, 8255, 495);

    txtTruAns = new QLineEdit(this);
    txtTruAns->setObjectName(QStringLiteral("txtTruAns"));
    ui::place(txtTruAns, -10000, 0, 150, 270);
    ui::makeFocusSink(txtTruAns);
    txtTestCount = new QLineEdit(this);
    txtTestCount->setObjectName(QStringLiteral("txtTestCount"));
    ui::place(txtTestCount, 0, 0, 150, 270);
    txtTestCount->hide();

    // Rich boxes are named after their captions for screen readers.
    const std::array<QString, 5> names = {QStringLiteral("項目１"), QStringLiteral("項目２"),
                                          QStringLiteral("項目３"), QStringLiteral("コメント"),
                                          QStringLiteral("出展")};
    for (int i = 0; i < 5; ++i) txtData[i]->setAccessibleName(names[i]);
    txtPonit->setAccessibleName(QStringLiteral("正解率（％）"));
    txtRecordDay->setAccessibleName(QStringLiteral("登録日"));
    const std::array<QString, 3> itemTips = {QStringLiteral("項目１の名称を表示します。"),
                                             QStringLiteral("項目２の名称を表示します。"),
                                             QStringLiteral("項目３の名称を表示します。")};
    for (int i = 0; i < 3; ++i) {
        txtItem[i]->setToolTip(itemTips[i]);
        txtItem[i]->setAccessibleName(QStringLiteral("項目%1の名称").arg(i + 1));
    }
    txtPonit->setToolTip(QStringLiteral("正解率を表示します。"));
    txtRecordDay->setToolTip(QStringLiteral("登録日を表示します。"));

    // Display-only boxes never keep the focus.
    for (QLineEdit* box : {txtItem[0], txtItem[1], txtItem[2], txtPonit, txtRecordDay}) {
        box->installEventFilter(this);
        ui::makeDisplayOnly(box);
    }
    for (auto* box : txtData) box->installEventFilter(this);

    connect(cmdStartRecord, &QPushButton::clicked, this, [this] { cmdMove_Click(0); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdMove_Click(1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { cmdMove_Click(2); });
    connect(cmdEndRecord, &QPushButton::clicked, this, [this] { cmdMove_Click(3); });
}

void frmMDIChild::setTabOrder() {
    // Tab indexes: 1 item name, 2-5 navigation, 7 rate, 9 date, 10 item 1, 12-14 item 2 row,
    // 15 item 2, 17-19 item 3 row, 20 item 3, 22 comment, 24 source, 25-27 hidden and delete.
    const QList<QWidget*> order = {
        txtItem[0],   cmdStartRecord, cmdBack,      cmdNext,     cmdEndRecord, txtPonit,
        txtRecordDay, txtData[0],     txtItem[1],   cmbSplit[0], cmdSplit[0],  txtData[1],
        txtItem[2],   cmbSplit[1],    cmdSplit[1],  txtData[2],  txtData[3],   txtData[4],
        txtTestCount, txtTruAns,      cmdSelTextDel};
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMDIChild::buildMenus() {
    menus_ = records::buildRecordWindowMenus(this);
}

int frmMDIChild::tabIndexOf(const QWidget* control) const {
    for (int i = 0; i < 5; ++i)
        if (control == txtData[i]) return kRichBoxTabIndex[i];
    return -1;
}

QWidget* frmMDIChild::activeControl() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus)) {
        // A combo's line edit stands for the combo.
        for (QComboBox* combo : cmbSplit)
            if (focus == combo->lineEdit()) return combo;
        return focus;
    }
    return lastEditor_;
}

// The action of this window's menus that a key press stands for, if any.
QAction* frmMDIChild::menuActionFor(const QKeyEvent* key) const {
    const QKeySequence pressed(key->keyCombination());
    for (const QMenu* menu : menus_)
        for (QAction* action : menu->actions())
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return action;
    return nullptr;
}

bool frmMDIChild::eventFilter(QObject* watched, QEvent* event) {
    const bool richBox = std::find(txtData.begin(), txtData.end(), watched) != txtData.end();
    if (richBox &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        // The rich box would cut, copy, paste and delete by itself (pasting RTF with its
        // formats); the keys run the menu's commands instead, as the menu shows them.
        auto* key = static_cast<QKeyEvent*>(event);
        if (QAction* action = menuActionFor(key)) {
            event->accept();
            if (event->type() == QEvent::KeyPress && action->isEnabled()) action->trigger();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit* box : {txtItem[0], txtItem[1], txtItem[2], txtPonit, txtRecordDay}) {
            if (watched == box) {
                // Only if the box still has it: the focus may have gone on to another
                // record window meanwhile, which this would bring to the front.
                QTimer::singleShot(0, txtTruAns, [this, box] {
                    if (box->hasFocus()) txtTruAns->setFocus();
                });
                return false;
            }
        }
        for (auto* box : txtData)
            if (watched == box) lastEditor_ = box;
    } else if (event->type() == QEvent::FocusOut) {
        for (int k = 0; k < 2; ++k) {
            if ((watched == cmbSplit[k] || watched == cmbSplit[k]->lineEdit()) &&
                !cmbSplit[k]->hasFocus())
                cmbSplit_LostFocus(k);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMDIChild::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMDIChild::closeEvent(QCloseEvent* event) {
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

void frmMDIChild::Form_Resize() {
    if (slot_ < 0) return;
    records::LayoutRecordWindow(slot());
}

bool frmMDIChild::Form_QueryUnload() {
    if (slot_ < 0) return true;
    return records::CloseRecordWindow(slot());
}

void frmMDIChild::Form_Activate() {
    if (slot_ < 0) return;
    records::runReportingErrors([this] { records::ActivateRecordWindow(slot()); });
}

void frmMDIChild::txtData_Change(int index) {
    if (!eventsEnabled || slot_ < 0) return;
    records::RecordTextChanged(slot(), index);
}

void frmMDIChild::cmdMove_Click(int button) {
    const std::array<QPushButton*, 4> buttons = {cmdStartRecord, cmdBack, cmdNext, cmdEndRecord};
    const ui::FocusReturn focusBack(buttons[button]);
    txtTruAns->setFocus();
    records::MoveRecord(slot(), button);
}

void frmMDIChild::cmbSplit_Click(int index) {
    if (!eventsEnabled || cmbSplit[index]->currentIndex() < 0) return;
    records::MoveDelimiterToTop(slot(), index, cmbSplit[index]->currentIndex());
}

void frmMDIChild::cmbSplit_LostFocus(int index) {
    if (cmbSplit[index]->count() > 0) cmbSplit[index]->setEditText(cmbSplit[index]->itemText(0));
}

void frmMDIChild::cmdSplit_Click(int index) {
    const ui::FocusReturn focusBack(cmdSplit[index]);
    txtTruAns->setFocus();
    cmbSplit_LostFocus(index);
    if (cmbSplit[index]->property("Tag").toString() != QLatin1String("0"))
        records::SplitAtDelimiter(slot(), index);
}

void frmMDIChild::cmdSelTextDel_Click() {
    records::DeleteAtCursor(txtData[0]);
}

void frmMDIChild::tmrSplitDisp_Timer() {
    shell::MainModule& m = shell::mainModule();
    if (m.firstDisplay) {
        Form_Activate();
        m.firstDisplay = false;
        return;
    }
    for (int k = 0; k < 2; ++k) cmbSplit_LostFocus(k);
}

void frmMDIChild::mnuNewRecord_Click() {
    records::NewRecord(slot());
}
void frmMDIChild::mnuDeleteRecord_Click() {
    records::DeleteRecord(slot());
}

void frmMDIChild::mnuCopy_Click() {
    QWidget* control = activeControl();
    const QString text = records::selectedText(control);
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void frmMDIChild::mnuCut_Click() {
    QWidget* control = activeControl();
    const QString text = records::selectedText(control);
    if (text.isEmpty()) return;
    QApplication::clipboard()->setText(text);
    records::replaceSelectedText(control, QString());
}

void frmMDIChild::mnuPaste_Click() {
    records::replaceSelectedText(activeControl(), QApplication::clipboard()->text());
}

void frmMDIChild::mnuDelete_Click() {
    QWidget* control = activeControl();
    if (tabIndexOf(control) < 0) return;
    records::DeleteAtCursor(static_cast<richtext::RichTextBox*>(control));
}

void frmMDIChild::mnuFont_Click() {
    QWidget* control = activeControl();
    if (tabIndexOf(control) < 0) return;
    auto* box = static_cast<richtext::RichTextBox*>(control);
    ui::CommonDialog dialog;
    dialog.Flags = 132871;
    dialog.FontBold = box->SelBold();
    dialog.FontItalic = box->SelItalic();
    dialog.FontName = box->SelFontName();
    dialog.FontSize = box->SelFontSize();
    dialog.FontStrikethru = box->SelStrikeThru();
    dialog.FontUnderline = box->SelUnderline();
    if (const auto color = box->SelColor()) dialog.Color = ui::bgrFromQColor(*color);
    const ui::CommonDialog preset = dialog;
    if (!dialog.ShowFont()) return;
    // Only what the user changed is written: rewriting an attribute the text already has
    // would still change its RTF (an automatic colour becomes an explicit black).
    const auto changed = [](const auto& before, const auto& after) {
        return after && (!before || *before != *after);
    };
    if (changed(preset.FontBold, dialog.FontBold)) box->setSelBold(*dialog.FontBold);
    if (changed(preset.FontItalic, dialog.FontItalic)) box->setSelItalic(*dialog.FontItalic);
    if (changed(preset.FontName, dialog.FontName)) box->setSelFontName(*dialog.FontName);
    if (changed(preset.FontSize, dialog.FontSize)) box->setSelFontSize(*dialog.FontSize);
    if (changed(preset.FontStrikethru, dialog.FontStrikethru))
        box->setSelStrikeThru(*dialog.FontStrikethru);
    if (changed(preset.FontUnderline, dialog.FontUnderline))
        box->setSelUnderline(*dialog.FontUnderline);
    if (changed(preset.Color, dialog.Color)) box->setSelColor(ui::qColorFromBgr(*dialog.Color));
}
