#pragma once

#include <array>

#include "options/OptionPage.h"

class QLabel;
class QLineEdit;

namespace options {

class DirListBox;
class DriveListBox;
class FolderControls;
class FolderMenu;

// The "ファイル" page (fraFile): the database folder (FILE0), taken at the next start.
class FilePage final : public OptionPage {
    Q_OBJECT

public:
    FilePage(FolderMenu* folderMenu, QWidget* parent);

    std::array<QLabel*, 2> folderLabels{};  // Label12(1), Label12(2)
    DriveListBox* drvBackUp;                // drvBackUp(1)
    DirListBox* dirBackUp;                  // dirBackUp(1)
    QLineEdit* txtBackUpDir;                // txtBackUpDir(1)

    void fill() override;
    bool apply() override;
    void refresh() override;

private:
    FolderControls* folder_;
};

}  // namespace options
