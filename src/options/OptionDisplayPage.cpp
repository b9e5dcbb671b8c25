// The display page: a set's background colours, rate threshold and use flags.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "options/frmOption.h"
#include "platform/dao/Recordset.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Color.h"
#include "platform/ui/CommonDialog.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindows.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
// A set whose hiding colour was never written shows the grey the test window uses for it.
constexpr std::uint32_t kDefaultHidingColour = 0x00C0C0C0;

const char* const kUseColumns[] = {"項目1使用", "項目2使用", "項目3使用", "コメント使用",
                                   "出展使用"};

}  // namespace

void frmOption::buildDisplayPage() {
    QFrame* page = fraDisplay;
    Label1[0] = new QLabel(QStringLiteral("設定するデータベース名"), page);
    Label1[0]->setObjectName(QStringLiteral("Label1(0)"));
    ui::place(Label1[0], 120, 240, 2415, 255);
    cmbDataBaseName[1] = new QComboBox(page);
    cmbDataBaseName[1]->setObjectName(QStringLiteral("cmbDataBaseName(1)"));
    cmbDataBaseName[1]->setEditable(true);
    cmbDataBaseName[1]->setInsertPolicy(QComboBox::NoInsert);
    ui::place(cmbDataBaseName[1], 120, 480, 3975, 300);
    Label1[0]->setBuddy(cmbDataBaseName[1]);
    ui::nameControl(cmbDataBaseName[1], Label1[0]->text());
    connect(cmbDataBaseName[1], &QComboBox::activated, this,
            [this](int) { cmbDataBaseName_Click(1); });

    fraColor = new QGroupBox(QStringLiteral("項目の背景色"), page);
    fraColor->setObjectName(QStringLiteral("fraColor"));
    ui::place(fraColor, 240, 960, 8055, 4095);

    struct At {
        int left, top, width = 720, height = 255;
    };
    const char* const captions[] = {"項目１",   "項目２", "項目３",
                                    "コメント", "出展",   "正解率",
                                    "％以上",   "％未満", "テスト時文字隠用背景色"};
    const At labels[] = {{120, 360},   {120, 840},   {120, 1320},
                         {120, 1800},  {120, 2280},  {120, 2880},
                         {1680, 2740}, {1680, 3240}, {120, 3720, 1935, 255}};
    for (int i = 0; i < 9; ++i) {
        lblColor[i] = new QLabel(QString::fromUtf8(captions[i]), fraColor);
        lblColor[i]->setObjectName(QStringLiteral("lblColor(%1)").arg(i));
        ui::place(lblColor[i], labels[i].left, labels[i].top, labels[i].width, labels[i].height);
    }
    const At swatches[] = {{840, 240},  {840, 720},   {840, 1200},  {840, 1680},
                           {840, 2160}, {2280, 2640}, {2280, 3120}, {2280, 3600}};
    const At buttons[] = {{3240, 360},  {3240, 840},  {3240, 1320}, {3240, 1800},
                          {3240, 2280}, {4680, 2760}, {4680, 3240}, {4680, 3720}};
    const int captionOf[] = {0, 1, 2, 3, 4, 6, 7, 8};
    for (int i = 0; i < 8; ++i) {
        txtItem[i] = new QLineEdit(fraColor);
        txtItem[i]->setObjectName(QStringLiteral("txtItem(%1)").arg(i));
        txtItem[i]->setReadOnly(true);
        txtItem[i]->setAutoFillBackground(true);
        txtItem[i]->installEventFilter(this);
        txtItem[i]->setAccessibleName(lblColor[captionOf[i]]->text());
        ui::place(txtItem[i], swatches[i].left, swatches[i].top, 2775, 375);
        cmdColer[i] = new QPushButton(QStringLiteral("..."), fraColor);
        cmdColer[i]->setObjectName(QStringLiteral("cmdColer(%1)").arg(i));
        cmdColer[i]->setAccessibleName(lblColor[captionOf[i]]->text());
        // The button is narrow; it is still the control the swatch hands its focus to.
        ui::place(cmdColer[i], buttons[i].left, buttons[i].top, 255, 180);
        connect(cmdColer[i], &QPushButton::clicked, this, [this, i] { cmdColer_Click(i); });
    }
    cmbPointUpper = new QComboBox(fraColor);
    cmbPointUpper->setObjectName(QStringLiteral("cmbPointUpper"));
    ui::makeValueCombo(cmbPointUpper);
    ui::makeCompact(cmbPointUpper);
    ui::place(cmbPointUpper, 840, 2880, 735, 300);
    lblColor[5]->setBuddy(cmbPointUpper);
    ui::nameControl(cmbPointUpper, QStringLiteral("正解率閾値"));
    cmbPointUpper->installEventFilter(this);
    connect(cmbPointUpper, &QComboBox::activated, this, [this](int) { cmbPointUpper_Click(); });
    connect(cmbPointUpper, &QComboBox::editTextChanged, this,
            [this](const QString&) { cmbPointUpper_Change(); });

    const char* const uses[] = {"項目１を使用する", "項目２を使用する", "項目３を使用する",
                                "コメントを使用する", "出展を使用する"};
    for (int i = 0; i < 5; ++i) {
        chkDisp[i] = new QCheckBox(QString::fromUtf8(uses[i]), fraColor);
        chkDisp[i]->setObjectName(QStringLiteral("chkDisp(%1)").arg(i));
        ui::place(chkDisp[i], 3840, 300 + 480 * i, 2415, 255);
        // toggled, not clicked: a screen reader's toggle action counts as much as a click.
        connect(chkDisp[i], &QCheckBox::toggled, this, [this, i] { chkDisp_Click(i); });
    }
}

std::uint32_t frmOption::itemColor(int index) const {
    return ui::bgrFromQColor(txtItem.at(index)->palette().color(QPalette::Base));
}

void frmOption::setItemColor(int index, std::uint32_t bgr) {
    QPalette palette = txtItem.at(index)->palette();
    palette.setColor(QPalette::Base, ui::qColorFromBgr(bgr));
    txtItem.at(index)->setPalette(palette);
}

void frmOption::fillDisplayPage() {
    const bool wasLoading = loading_;
    loading_ = true;
    step([this] {
        if (noSetChosen(1) || !rs_) {
            // The dialog's start: white empty swatches, no flags, nothing to apply.
            if (cmbPointUpper->count() == 0)
                for (int p = 100; p >= 0; p -= 5) cmbPointUpper->addItem(QString::number(p));
            // No set, no threshold: the list's first entry would read as one.
            cmbPointUpper->setCurrentIndex(-1);
            cmbPointUpper->setEditText(QString());
            for (int i = 0; i < 8; ++i) {
                txtItem[i]->clear();
                setItemColor(i, kWhite);
            }
            for (QCheckBox* box : chkDisp) box->setCheckState(Qt::Unchecked);
            markClean(1);
            return;
        }
        if (!findChosenSet(1)) return;
        for (int box = 0; box < shell::kStyledBoxCount; ++box)
            setItemColor(box,
                         static_cast<std::uint32_t>(
                             rs_->Fields(shell::settingsColumn::backColor(box)).Value().toLong()));
        const dao::Variant hiding = rs_->value(QStringLiteral("文字隠用背景色"));
        setItemColor(7, hiding.isNull() ? kDefaultHidingColour
                                        : static_cast<std::uint32_t>(hiding.toLong()));
        cmbPointUpper->setEditText(rs_->value(QStringLiteral("正解率閾値")).displayText());
        pointUpperAtLoad_ = cmbPointUpper->currentText();
        for (int i = 0; i < 5; ++i) {
            const dao::Variant use = rs_->value(QString::fromUtf8(kUseColumns[i]));
            chkDisp[i]->setCheckState(!use.isNull() && use.toBool() ? Qt::Checked : Qt::Unchecked);
        }
        markClean(1);
    });
    loading_ = wasLoading;
}

void frmOption::cmdColer_Click(int index) {
    if (noSetChosen(1)) {
        cmbDataBaseName[1]->setFocus();
        ui::MsgBox(QStringLiteral("データベースを選択してください。"), ui::Buttons::OKOnly,
                   QStringLiteral("表示設定"));
        return;
    }
    ui::CommonDialog own;
    ui::CommonDialog& dialog =
        shell::mainModule().mdiForm ? shell::mainModule().mdiForm->CommonDialog1 : own;
    dialog.Color = itemColor(index);
    dialog.Flags = 3;
    if (!dialog.ShowColor() || !dialog.Color) return;
    if (*dialog.Color != itemColor(index)) markDirty(1);
    setItemColor(index, *dialog.Color);
}

void frmOption::chkDisp_Click(int index) {
    // Filling the page sets the boxes too; that is no user's change.
    if (undoingDisp_ || loading_) return;
    if (noSetChosen(1)) {
        undoingDisp_ = true;
        chkDisp[index]->setCheckState(Qt::Unchecked);
        undoingDisp_ = false;
        cmbDataBaseName[1]->setFocus();
        ui::MsgBox(QStringLiteral("データベースを選択してください。"), ui::Buttons::OKOnly,
                   QStringLiteral("表示設定"));
        return;
    }
    markDirty(1);
}

void frmOption::cmbPointUpper_Click() {
    if (loading_) return;
    if (cmbPointUpper->currentText() != pointUpperAtLoad_) markDirty(1);
}

void frmOption::cmbPointUpper_Change() {
    if (loading_ || !noSetChosen(1)) return;
    cmbDataBaseName[1]->setFocus();
    ui::MsgBox(QStringLiteral("データベースを選択してください。"), ui::Buttons::OKOnly,
               QStringLiteral("色設定"));
}

void frmOption::cmbPointUpper_GotFocus() {
    cmbPointUpper_Change();
}

void frmOption::txtItem_GotFocus(int index) {
    cmdColer[index]->setFocus();
}

records::DisplayChange frmOption::displayChange() const {
    records::DisplayChange change;
    bool ok = false;
    const double threshold = cmbPointUpper->currentText().trimmed().toDouble(&ok);
    if (ok) change.threshold = static_cast<std::int32_t>(std::lround(threshold));
    for (int box = 0; box < shell::kStyledBoxCount; ++box)
        change.backColors[box] = static_cast<std::int32_t>(itemColor(box));
    change.hidingColor = static_cast<std::int32_t>(itemColor(7));
    for (int box = 0; box < shell::kRecordTextBoxCount; ++box)
        change.use[box] = chkDisp[box]->checkState() == Qt::Checked;
    return change;
}

void frmOption::applyDisplayPage() {
    if (!rs_ || !findChosenSet(1)) return;
    // A value the row refuses (a threshold that is no number) is reported; the others are
    // still written.
    bool editing = false;
    step([&] {
        rs_->Edit();
        editing = true;
    });
    if (editing) {
        for (int box = 0; box < shell::kStyledBoxCount; ++box)
            step([&] {
                rs_->Fields(shell::settingsColumn::backColor(box)) =
                    static_cast<std::int32_t>(itemColor(box));
            });
        step([&] {
            rs_->Fields(QStringLiteral("文字隠用背景色")) = static_cast<std::int32_t>(itemColor(7));
        });
        step([&] { rs_->Fields(QStringLiteral("正解率閾値")) = cmbPointUpper->currentText(); });
        for (int i = 0; i < 5; ++i)
            step([&] {
                rs_->Fields(QString::fromUtf8(kUseColumns[i])) =
                    chkDisp[i]->checkState() == Qt::Checked;
            });
        step([&] {
            try {
                rs_->Update();
            } catch (...) {
                rs_->CancelUpdate();
                throw;
            }
        });
    }
    step([this] {
        records::ApplyOptionSettings(cmbDataBaseName[1]->currentText(), displayChange());
    });
    markClean(1);
    cmdOK->setFocus();
}
