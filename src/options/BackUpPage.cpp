#include "options/BackUpPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "options/FolderLists.h"
#include "options/FolderPicker.h"
#include "options/OptionChecks.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataLocation.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

namespace options {

BackUpPage::BackUpPage(FolderMenu* folderMenu, QWidget* parent) : OptionPage(parent) {
    setObjectName(QStringLiteral("fraMente"));
    // The rows were placed for frames whose caption sits on the top line; the style's own
    // frame starts below its caption and would run through them.
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    fraBackUp[1] = new QGroupBox(QStringLiteral("圧縮・解凍ツール"), this);
    fraBackUp[1]->setObjectName(QStringLiteral("fraBackUp(1)"));
    ui::place(fraBackUp[1], 120, 240, 8175, 495);
    const char* const arcCaptions[] = {"無し", "ＬＨＡ32", "ＺＩＰ", "ＣＡＢ"};
    const int arcLefts[] = {360, 1440, 2760, 3840};
    for (int i = 0; i < 4; ++i) {
        optArc[i] = new QRadioButton(QString::fromUtf8(arcCaptions[i]), fraBackUp[1]);
        optArc[i]->setObjectName(QStringLiteral("optArc(%1)").arg(i));
        ui::place(optArc[i], arcLefts[i], 180, 1095, 255);
        connect(optArc[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optArc_Click(i);
        });
    }

    fraSchedule = new QGroupBox(QStringLiteral("スケジュール"), this);
    fraSchedule->setObjectName(QStringLiteral("fraSchedule"));
    ui::place(fraSchedule, 120, 840, 8175, 615);
    const int comboAt[][2] = {{240, 1335}, {1920, 615}, {3000, 615}};
    const int labelLeft[] = {1680, 2640, 3720};
    const char* const labelCaptions[] = {"の", "時", "分に"};
    for (int i = 0; i < 3; ++i) {
        cmbSchedule[i] = new QComboBox(fraSchedule);
        cmbSchedule[i]->setObjectName(QStringLiteral("cmbSchedule(%1)").arg(i));
        ui::makeValueCombo(cmbSchedule[i]);
        if (i > 0) ui::makeCompact(cmbSchedule[i]);
        ui::place(cmbSchedule[i], comboAt[i][0], 240, comboAt[i][1], 300);
        connect(cmbSchedule[i], &QComboBox::activated, this,
                [this, i](int) { cmbSchedule_Click(i); });
        Label11[i] = new QLabel(QString::fromUtf8(labelCaptions[i]), fraSchedule);
        Label11[i]->setObjectName(QStringLiteral("Label11(%1)").arg(i));
        ui::place(Label11[i], labelLeft[i], 285, 375, 255);
    }
    ui::nameControl(cmbSchedule[0], QStringLiteral("スケジュールパターン"));
    ui::nameControl(cmbSchedule[1], QStringLiteral("時"));
    ui::nameControl(cmbSchedule[2], QStringLiteral("分"));
    chkNoAction = new QCheckBox(QStringLiteral("実施する"), fraSchedule);
    chkNoAction->setObjectName(QStringLiteral("chkNoAction"));
    ui::place(chkNoAction, 4200, 240, 1215, 255);
    connect(chkNoAction, &QCheckBox::toggled, this, &BackUpPage::chkNoAction_Click);

    fraBackUp[0] = new QGroupBox(QStringLiteral("バックアップ先"), this);
    fraBackUp[0]->setObjectName(QStringLiteral("fraBackUp(0)"));
    ui::place(fraBackUp[0], 120, 1560, 8175, 3855);
    chkBackUpDel =
        new QCheckBox(QStringLiteral("バックアップ先ファイルを削除後バックアップ"), fraBackUp[0]);
    chkBackUpDel->setObjectName(QStringLiteral("chkBackUpDel"));
    ui::place(chkBackUpDel, 4320, 240, 3735, 255);
    ui::fitCaption(chkBackUpDel);
    connect(chkBackUpDel, &QCheckBox::toggled, this, &BackUpPage::chkBackUpDel_Click);
    folderLabel = new QLabel(QStringLiteral("バックアップ先ディレクトリ"), fraBackUp[0]);
    folderLabel->setObjectName(QStringLiteral("Label12(0)"));
    ui::place(folderLabel, 120, 3240, 2415, 255);

    drvBackUp = new DriveListBox(fraBackUp[0]);
    drvBackUp->setObjectName(QStringLiteral("drvBackUp(0)"));
    ui::place(drvBackUp, 120, 240, 3975, 300);
    dirBackUp = new DirListBox(fraBackUp[0]);
    dirBackUp->setObjectName(QStringLiteral("dirBackUp(0)"));
    ui::place(dirBackUp, 120, 600, 7935, 2610);
    txtBackUpDir = new QLineEdit(fraBackUp[0]);
    txtBackUpDir->setObjectName(QStringLiteral("txtBackUpDir(0)"));
    ui::place(txtBackUpDir, 120, 3480, 7935, 270);
    folderLabel->setBuddy(txtBackUpDir);
    ui::nameControl(drvBackUp, QStringLiteral("ドライブ"));
    dirBackUp->setAccessibleName(QStringLiteral("ディレクトリ"));
    folder_ = new FolderControls(drvBackUp, dirBackUp, txtBackUpDir, folderMenu);
    connect(folder_, &FolderControls::changed, this, [this] {
        if (!loading()) markDirty();
    });

    const char* const arcs[] = {
        "バックアップ時圧縮しません。データベースファイルのコピーを取ります。",
        "バックアップ時ＵＮＬＨＡ３２で圧縮します。", "バックアップ時ＺＩＰで圧縮します。",
        "バックアップ時ＣＡＢで圧縮します。"};
    for (int i = 0; i < 4; ++i) setTip(optArc[i], arcs[i]);
    setTip(chkBackUpDel, "バックアップファイルを削除してからバックアップします。");
    setTip(drvBackUp, "バックアップ先のドライブを指定します。");
    setTip(dirBackUp, "バックアップ先のディレクトリを指定します。");
    setTip(txtBackUpDir, "バックアップ先ディレクトリを表示します。");
    setTip(cmbSchedule[0], "バックアップスケジュールパターンを指定します。");
    setTip(cmbSchedule[1], "バックアップ時刻の「時」を指定します。");
    setTip(cmbSchedule[2], "バックアップ時刻の「分」を指定します。");
    setTip(chkNoAction, "バックアップ作業をスケジュールに従って行います。");
}

void BackUpPage::fill() {
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    const Loading loading(this);
    runStep([&] {
        const int arc = b.lha ? 1 : b.zip ? 2 : b.cab ? 3 : 0;
        optArc[arc]->setChecked(true);
    });
    runStep([&] {
        for (QComboBox* combo : cmbSchedule) combo->clear();
        cmbSchedule[0]->addItems(schedulePatterns());
        for (int h = 0; h <= 23; ++h) cmbSchedule[1]->addItem(QString::number(h));
        for (int n = 0; n <= 55; n += 5) cmbSchedule[2]->addItem(QString::number(n));
        cmbSchedule[0]->setEditText(b.pattern);
        cmbSchedule[1]->setEditText(QString::number(b.hour));
        cmbSchedule[2]->setEditText(QString::number(b.minute));
        for (int i = 0; i < 3; ++i) scheduleAtLoad_[i] = cmbSchedule[i]->currentText();
    });
    runStep([&] { chkNoAction->setChecked(b.enabled); });
    runStep([&] {
        // The default folder is shown as the current choice, so it has to exist by now.
        shell::makeBackUpFolder();
        folder_->show(b.folder);
    });
    runStep([&] {
        chkBackUpDel->setChecked(b.deleteBefore);
        backUpDelAtLoad_ = b.deleteBefore;
    });
    markClean();
}

void BackUpPage::refresh() {
    runStep([this] { folder_->refresh(); });
}

void BackUpPage::optArc_Click(int index) {
    if (loading()) return;
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    const bool stored[] = {!(b.lha || b.zip || b.cab), b.lha, b.zip, b.cab};
    if (!stored[index]) markDirty();
}

void BackUpPage::chkBackUpDel_Click() {
    if (loading()) return;
    if (chkBackUpDel->isChecked() != backUpDelAtLoad_) markDirty();
}

void BackUpPage::chkNoAction_Click() {
    if (loading()) return;
    if (chkNoAction->isChecked() != shell::mainModule().backUp.enabled) markDirty();
}

void BackUpPage::cmbSchedule_Click(int) {
    if (loading()) return;
    for (int i = 0; i < 3; ++i)
        if (cmbSchedule[i]->currentText() != scheduleAtLoad_[i]) markDirty();
}

bool BackUpPage::apply() {
    const QString pattern = cmbSchedule[0]->currentText();
    const QString hour = cmbSchedule[1]->currentText();
    const QString minute = cmbSchedule[2]->currentText();
    const ScheduleError error = checkSchedule(pattern, hour, minute);
    if (error != ScheduleError::None) {
        cmbSchedule[error == ScheduleError::Pattern ? 0
                    : error == ScheduleError::Hour  ? 1
                                                    : 2]
            ->setFocus();
        ui::MsgBox(scheduleErrorText(error), ui::Buttons::OKOnly, QStringLiteral("KENVORA"));
        return false;
    }
    // A plain copy into the database's own folder would be the database file itself.
    const shell::MainModule& m = shell::mainModule();
    const QString databaseFolder =
        m.databaseFolder.isEmpty() ? m.applicationPath : m.databaseFolder;
    if (optArc[0]->isChecked() &&
        shell::isSameFolder(shell::withoutTrailingSlash(txtBackUpDir->text()), databaseFolder)) {
        dirBackUp->setFocus();
        shell::ShowSameFolderMessage();
        return false;
    }
    shell::BackUpSettings& b = shell::mainModule().backUp;
    std::unique_ptr<dao::Recordset> rs;
    runStep([&] {
        rs = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from バックアップ設定"), dao::dbOpenDynaset);
        rs->MoveFirst();
        rs->Edit();
    });
    auto write = [&](const char* column, const dao::Variant& value) {
        runStep([&] {
            if (rs && rs->editMode() != dao::EditMode::None)
                rs->Fields(QString::fromUtf8(column)) = value;
        });
    };
    b.pattern = pattern;
    write("パターン", b.pattern);
    b.hour = *scheduleNumber(hour, 23);
    write("開始時", static_cast<std::int16_t>(b.hour));
    b.minute = *scheduleNumber(minute, 59);
    write("開始分", static_cast<std::int16_t>(b.minute));
    b.enabled = chkNoAction->isChecked();
    write("実施", b.enabled);
    const QString folder = shell::withoutTrailingSlash(txtBackUpDir->text());
    // The default stays Null, so that it keeps following the database folder.
    b.defaultFolder = b.defaultFolder && folder == b.folder;
    b.folder = folder;
    write("フォルダ", b.defaultFolder ? dao::Variant::null() : dao::Variant(b.folder));
    b.deleteBefore = chkBackUpDel->isChecked();
    write("削除後", b.deleteBefore);
    b.lha = optArc[1]->isChecked();
    write("Lha", b.lha);
    b.zip = optArc[2]->isChecked();
    write("Zip", b.zip);
    b.cab = optArc[3]->isChecked();
    write("Cab", b.cab);
    runStep([&] {
        if (!rs) return;
        rs->Update();
        rs->Close();
    });
    if (shell::frmSplash* splash = shell::mainModule().splashForm) {
        if (b.enabled)
            splash->tmrBackUp->start();
        else
            splash->tmrBackUp->stop();
    }
    markClean();
    return true;
}

}  // namespace options
