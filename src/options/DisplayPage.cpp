#include "options/DisplayPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "platform/dao/Recordset.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Color.h"
#include "platform/ui/CommonDialog.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindows.h"
#include "shell/MainModule.h"
#include "shell/SetSettings.h"
#include "shell/frmMDI.h"

namespace options {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
// A set whose hiding colour was never written shows the grey the test window uses for it.
constexpr std::uint32_t kDefaultHidingColour = 0x00C0C0C0;

const char* const kUseColumns[] = {"項目1使用", "項目2使用", "項目3使用", "コメント使用",
                                   "出展使用"};

}  // namespace

DisplayPage::DisplayPage(SetRows& rows, QWidget* parent) : OptionPage(parent), rows_(rows) {
    setObjectName(QStringLiteral("fraDisplay"));
    chooseLabel = new QLabel(QStringLiteral("設定するデータベース名"), this);
    chooseLabel->setObjectName(QStringLiteral("Label1(0)"));
    ui::place(chooseLabel, 120, 240, 2415, 255);
    cmbDataBaseName = new QComboBox(this);
    cmbDataBaseName->setObjectName(QStringLiteral("cmbDataBaseName(1)"));
    cmbDataBaseName->setEditable(true);
    cmbDataBaseName->setInsertPolicy(QComboBox::NoInsert);
    ui::place(cmbDataBaseName, 120, 480, 3975, 300);
    chooseLabel->setBuddy(cmbDataBaseName);
    ui::nameControl(cmbDataBaseName, chooseLabel->text());
    connect(cmbDataBaseName, &QComboBox::activated, this, [this](int) { cmbDataBaseName_Click(); });

    fraColor = new QGroupBox(QStringLiteral("項目の背景色"), this);
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

    setTip(cmbDataBaseName, "データベースを選択します。");
    const char* const colours[] = {"項目１の背景色を設定します。", "項目２の背景色を設定します。",
                                   "項目３の背景色を設定します。", "コメントの背景色を設定します。",
                                   "出展の背景色を設定します。",   "正解率の背景色を設定します。",
                                   "正解率の背景色を設定します。", "文字隠し色を設定します。"};
    for (int i = 0; i < 8; ++i) setTip(cmdColer[i], colours[i]);
    setTip(cmbPointUpper, "正解率表示の背景色を変える正解率を選択します。");
    const char* const useTips[] = {"項目１を表示します。", "項目２を表示します。",
                                   "項目３を表示します。", "コメントを表示します。",
                                   "出展を表示します。"};
    for (int i = 0; i < 5; ++i) setTip(chkDisp[i], useTips[i]);
}

std::uint32_t DisplayPage::itemColor(int index) const {
    return ui::bgrFromQColor(txtItem.at(index)->palette().color(QPalette::Base));
}

void DisplayPage::setItemColor(int index, std::uint32_t bgr) {
    QPalette palette = txtItem.at(index)->palette();
    palette.setColor(QPalette::Base, ui::qColorFromBgr(bgr));
    txtItem.at(index)->setPalette(palette);
}

void DisplayPage::fill() {
    runStep([this] { fillSetCombo(cmbDataBaseName); });
    showChosenSet();
}

void DisplayPage::cmbDataBaseName_Click() {
    showChosenSet();
}

void DisplayPage::showChosenSet() {
    const Loading loading(this);
    runStep([this] {
        if (noSetChosen(cmbDataBaseName) || !rows_) {
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
            markClean();
            return;
        }
        if (!rows_.findChosenSet(cmbDataBaseName)) return;
        for (int box = 0; box < shell::kStyledBoxCount; ++box)
            setItemColor(
                box, static_cast<std::uint32_t>(
                         rows_->Fields(shell::settingsColumn::backColor(box)).Value().toLong()));
        const dao::Variant hiding = rows_->value(QStringLiteral("文字隠用背景色"));
        setItemColor(7, hiding.isNull() ? kDefaultHidingColour
                                        : static_cast<std::uint32_t>(hiding.toLong()));
        cmbPointUpper->setEditText(rows_->value(QStringLiteral("正解率閾値")).displayText());
        pointUpperAtLoad_ = cmbPointUpper->currentText();
        for (int i = 0; i < 5; ++i) {
            const dao::Variant use = rows_->value(QString::fromUtf8(kUseColumns[i]));
            chkDisp[i]->setCheckState(!use.isNull() && use.toBool() ? Qt::Checked : Qt::Unchecked);
        }
        markClean();
    });
}

void DisplayPage::askForSet(const char* title) {
    cmbDataBaseName->setFocus();
    ui::MsgBox(QStringLiteral("データベースを選択してください。"), ui::Buttons::OKOnly,
               QString::fromUtf8(title));
}

void DisplayPage::cmdColer_Click(int index) {
    if (noSetChosen(cmbDataBaseName)) {
        askForSet("表示設定");
        return;
    }
    ui::CommonDialog own;
    ui::CommonDialog& dialog =
        shell::mainModule().mdiForm ? shell::mainModule().mdiForm->CommonDialog1 : own;
    dialog.Color = itemColor(index);
    dialog.Flags = 3;
    if (!dialog.ShowColor() || !dialog.Color) return;
    if (*dialog.Color != itemColor(index)) markDirty();
    setItemColor(index, *dialog.Color);
}

void DisplayPage::chkDisp_Click(int index) {
    // Filling the page sets the boxes too; that is no user's change.
    if (undoingDisp_ || loading()) return;
    if (noSetChosen(cmbDataBaseName)) {
        undoingDisp_ = true;
        chkDisp[index]->setCheckState(Qt::Unchecked);
        undoingDisp_ = false;
        askForSet("表示設定");
        return;
    }
    markDirty();
}

void DisplayPage::cmbPointUpper_Click() {
    if (loading()) return;
    if (cmbPointUpper->currentText() != pointUpperAtLoad_) markDirty();
}

void DisplayPage::cmbPointUpper_Change() {
    if (loading() || !noSetChosen(cmbDataBaseName)) return;
    askForSet("色設定");
}

void DisplayPage::cmbPointUpper_GotFocus() {
    cmbPointUpper_Change();
}

void DisplayPage::txtItem_GotFocus(int index) {
    cmdColer[index]->setFocus();
}

bool DisplayPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 8; ++i)
            if (watched == txtItem[i]) txtItem_GotFocus(i);
        if (watched == cmbPointUpper) cmbPointUpper_GotFocus();
    }
    return OptionPage::eventFilter(watched, event);
}

records::DisplayChange DisplayPage::displayChange() const {
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

bool DisplayPage::apply() {
    if (!rows_ || !rows_.findChosenSet(cmbDataBaseName)) return false;
    // A value the row refuses (a threshold that is no number) is reported; the others are
    // still written.
    bool editing = false;
    runStep([&] {
        rows_->Edit();
        editing = true;
    });
    if (editing) {
        for (int box = 0; box < shell::kStyledBoxCount; ++box)
            runStep([&] {
                rows_->Fields(shell::settingsColumn::backColor(box)) =
                    static_cast<std::int32_t>(itemColor(box));
            });
        runStep([&] {
            rows_->Fields(QStringLiteral("文字隠用背景色")) =
                static_cast<std::int32_t>(itemColor(7));
        });
        runStep(
            [&] { rows_->Fields(QStringLiteral("正解率閾値")) = cmbPointUpper->currentText(); });
        for (int i = 0; i < 5; ++i)
            runStep([&] {
                rows_->Fields(QString::fromUtf8(kUseColumns[i])) =
                    chkDisp[i]->checkState() == Qt::Checked;
            });
        runStep([&] {
            try {
                rows_->Update();
            } catch (...) {
                rows_->CancelUpdate();
                throw;
            }
        });
    }
    runStep(
        [this] { records::ApplyOptionSettings(cmbDataBaseName->currentText(), displayChange()); });
    markClean();
    return true;
}

}  // namespace options
