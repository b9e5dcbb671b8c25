#pragma once

#include <QString>

#include <array>

#include "options/OptionPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace options {

class DirListBox;
class DriveListBox;
class FolderControls;
class FolderMenu;

// The "オフラインメンテナンス" page (fraMente): how and where the database is backed up, and
// on which schedule. Writes バックアップ設定 and the running backup settings.
class BackUpPage final : public OptionPage {
    Q_OBJECT

public:
    BackUpPage(FolderMenu* folderMenu, QWidget* parent);

    std::array<QGroupBox*, 2> fraBackUp{};
    QGroupBox* fraSchedule;
    std::array<QRadioButton*, 4> optArc{};
    QCheckBox* chkBackUpDel;
    QLabel* folderLabel;      // Label12(0)
    DriveListBox* drvBackUp;  // drvBackUp(0)
    DirListBox* dirBackUp;    // dirBackUp(0)
    QLineEdit* txtBackUpDir;  // txtBackUpDir(0)
    std::array<QComboBox*, 3> cmbSchedule{};
    std::array<QLabel*, 3> Label11{};
    QCheckBox* chkNoAction;

    void fill() override;
    bool apply() override;
    void refresh() override;

    void optArc_Click(int index);
    void chkBackUpDel_Click();
    void chkNoAction_Click();
    void cmbSchedule_Click(int index);

private:
    FolderControls* folder_;
    std::array<QString, 3> scheduleAtLoad_;
    bool backUpDelAtLoad_ = false;
};

}  // namespace options
