// The backup page: how and where the database is backed up, and on which schedule.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "options/FolderLists.h"
#include "options/OptionChecks.h"
#include "options/frmOption.h"
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

void frmOption::buildMentePage() {
    QFrame* page = fraMente;
    // The rows were placed for frames whose caption sits on the top line; the style's own
    // frame starts below its caption and would run through them.
    page->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    fraBackUp[1] = new QGroupBox(QStringLiteral("圧縮・解凍ツール"), page);
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

    fraSchedule = new QGroupBox(QStringLiteral("スケジュール"), page);
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
    connect(chkNoAction, &QCheckBox::toggled, this, &frmOption::chkNoAction_Click);

    fraBackUp[0] = new QGroupBox(QStringLiteral("バックアップ先"), page);
    fraBackUp[0]->setObjectName(QStringLiteral("fraBackUp(0)"));
    ui::place(fraBackUp[0], 120, 1560, 8175, 3855);
    chkBackUpDel =
        new QCheckBox(QStringLiteral("バックアップ先ファイルを削除後バックアップ"), fraBackUp[0]);
    chkBackUpDel->setObjectName(QStringLiteral("chkBackUpDel"));
    ui::place(chkBackUpDel, 4320, 240, 3735, 255);
    ui::fitCaption(chkBackUpDel);
    connect(chkBackUpDel, &QCheckBox::toggled, this, &frmOption::chkBackUpDel_Click);
    Label12[0] = new QLabel(QStringLiteral("バックアップ先ディレクトリ"), fraBackUp[0]);
    Label12[0]->setObjectName(QStringLiteral("Label12(0)"));
    ui::place(Label12[0], 120, 3240, 2415, 255);

    drvBackUp[0] = new options::DriveListBox(fraBackUp[0]);
    ui::place(drvBackUp[0], 120, 240, 3975, 300);
    dirBackUp[0] = new options::DirListBox(fraBackUp[0]);
    ui::place(dirBackUp[0], 120, 600, 7935, 2610);
    txtBackUpDir[0] = new QLineEdit(fraBackUp[0]);
    ui::place(txtBackUpDir[0], 120, 3480, 7935, 270);
}

// The folder controls of both pages are wired alike.
void frmOption::buildFilePage() {
    QFrame* page = fraFile;
    Label12[1] = new QLabel(QStringLiteral("データベース保存ディレクトリ"), page);
    Label12[1]->setObjectName(QStringLiteral("Label12(1)"));
    ui::place(Label12[1], 120, 240, 2415, 255);
    Label12[2] = new QLabel(QStringLiteral("データベース保存ディレクトリ"), page);
    Label12[2]->setObjectName(QStringLiteral("Label12(2)"));
    ui::place(Label12[2], 120, 4800, 2415, 255);
    drvBackUp[1] = new options::DriveListBox(page);
    ui::place(drvBackUp[1], 120, 480, 3975, 300);
    dirBackUp[1] = new options::DirListBox(page);
    ui::place(dirBackUp[1], 120, 840, 7935, 3870);
    txtBackUpDir[1] = new QLineEdit(page);
    ui::place(txtBackUpDir[1], 120, 5040, 7935, 270);

    for (int i = 0; i < 2; ++i) {
        drvBackUp[i]->setObjectName(QStringLiteral("drvBackUp(%1)").arg(i));
        dirBackUp[i]->setObjectName(QStringLiteral("dirBackUp(%1)").arg(i));
        txtBackUpDir[i]->setObjectName(QStringLiteral("txtBackUpDir(%1)").arg(i));
        txtBackUpDir[i]->setReadOnly(true);
        txtBackUpDir[i]->installEventFilter(this);
        Label12[i == 0 ? 0 : 2]->setBuddy(txtBackUpDir[i]);
        ui::nameControl(drvBackUp[i], QStringLiteral("ドライブ"));
        dirBackUp[i]->setAccessibleName(QStringLiteral("ディレクトリ"));
        connect(drvBackUp[i], &options::DriveListBox::driveChanged, this,
                [this, i] { drvBackUp_Change(i); });
        connect(dirBackUp[i], &options::DirListBox::pathChanged, this,
                [this, i] { dirBackUp_Change(i); });
        connect(dirBackUp[i], &options::DirListBox::rightButtonPressed, this,
                [this, i] { dirBackUp_MouseDown(i); });
        connect(txtBackUpDir[i], &QLineEdit::textChanged, this,
                [this, i] { txtBackUpDir_Change(i); });
    }
}

void frmOption::fillMentePage() {
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    const bool wasLoading = loading_;
    loading_ = true;
    step([&] {
        const int arc = b.lha ? 1 : b.zip ? 2 : b.cab ? 3 : 0;
        optArc[arc]->setChecked(true);
        cmdApplication[2]->setEnabled(false);
    });
    step([&] {
        for (QComboBox* combo : cmbSchedule) combo->clear();
        cmbSchedule[0]->addItems(options::schedulePatterns());
        for (int h = 0; h <= 23; ++h) cmbSchedule[1]->addItem(QString::number(h));
        for (int n = 0; n <= 55; n += 5) cmbSchedule[2]->addItem(QString::number(n));
        cmbSchedule[0]->setEditText(b.pattern);
        cmbSchedule[1]->setEditText(QString::number(b.hour));
        cmbSchedule[2]->setEditText(QString::number(b.minute));
        for (int i = 0; i < 3; ++i) scheduleAtLoad_[i] = cmbSchedule[i]->currentText();
    });
    step([&] { chkNoAction->setChecked(b.enabled); });
    step([&] {
        // The default folder is shown as the current choice, so it has to exist by now.
        shell::makeBackUpFolder();
        showFolder(0, b.folder);
    });
    step([&] {
        chkBackUpDel->setChecked(b.deleteBefore);
        backUpDelAtLoad_ = b.deleteBefore;
    });
    dirty_[2] = false;
    loading_ = wasLoading;
}

void frmOption::showFolder(int index, const QString& folder) {
    // The root is kept as "" and shown as "/".
    const QString shown = folder.isEmpty() ? QStringLiteral("/") : folder;
    drvBackUp[index]->setDrive(shown);
    const bool found = dirBackUp[index]->setPath(shown);
    txtBackUpDir[index]->setText(shown);
    if (!found)
        ui::MsgBox(options::pathNotFoundText(), ui::Buttons::OKOnly, QStringLiteral("KENVORA"));
}

void frmOption::optArc_Click(int index) {
    if (loading_) return;
    const shell::BackUpSettings& b = shell::mainModule().backUp;
    const bool stored[] = {!(b.lha || b.zip || b.cab), b.lha, b.zip, b.cab};
    if (!stored[index]) markDirty(2);
}

void frmOption::chkBackUpDel_Click() {
    if (loading_) return;
    if (chkBackUpDel->isChecked() != backUpDelAtLoad_) markDirty(2);
}

void frmOption::chkNoAction_Click() {
    if (loading_) return;
    if (chkNoAction->isChecked() != shell::mainModule().backUp.enabled) markDirty(2);
}

void frmOption::cmbSchedule_Click(int) {
    if (loading_) return;
    for (int i = 0; i < 3; ++i)
        if (cmbSchedule[i]->currentText() != scheduleAtLoad_[i]) markDirty(2);
}

void frmOption::applyMentePage() {
    const QString pattern = cmbSchedule[0]->currentText();
    const QString hour = cmbSchedule[1]->currentText();
    const QString minute = cmbSchedule[2]->currentText();
    const options::ScheduleError error = options::checkSchedule(pattern, hour, minute);
    if (error != options::ScheduleError::None) {
        cmbSchedule[error == options::ScheduleError::Pattern ? 0
                    : error == options::ScheduleError::Hour  ? 1
                                                             : 2]
            ->setFocus();
        ui::MsgBox(options::scheduleErrorText(error), ui::Buttons::OKOnly,
                   QStringLiteral("KENVORA"));
        return;
    }
    // A plain copy into the database's own folder would be the database file itself.
    const shell::MainModule& m = shell::mainModule();
    const QString databaseFolder =
        m.databaseFolder.isEmpty() ? m.applicationPath : m.databaseFolder;
    if (optArc[0]->isChecked() &&
        shell::isSameFolder(shell::withoutTrailingSlash(txtBackUpDir[0]->text()), databaseFolder)) {
        dirBackUp[0]->setFocus();
        shell::ShowSameFolderMessage();
        return;
    }
    shell::BackUpSettings& b = shell::mainModule().backUp;
    std::unique_ptr<dao::Recordset> rs;
    step([&] {
        rs = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select * from バックアップ設定"), dao::dbOpenDynaset);
        rs->MoveFirst();
        rs->Edit();
    });
    auto write = [&](const char* column, const dao::Variant& value) {
        step([&] {
            if (rs && rs->editMode() != dao::EditMode::None)
                rs->Fields(QString::fromUtf8(column)) = value;
        });
    };
    b.pattern = pattern;
    write("パターン", b.pattern);
    b.hour = *options::scheduleNumber(hour, 23);
    write("開始時", static_cast<std::int16_t>(b.hour));
    b.minute = *options::scheduleNumber(minute, 59);
    write("開始分", static_cast<std::int16_t>(b.minute));
    b.enabled = chkNoAction->isChecked();
    write("実施", b.enabled);
    const QString folder = shell::withoutTrailingSlash(txtBackUpDir[0]->text());
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
    step([&] {
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
    markClean(2);
    cmdOK->setFocus();
}
