#include "options/FilePage.h"

#include <QLabel>
#include <QLineEdit>

#include "options/FolderLists.h"
#include "options/FolderPicker.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

namespace options {

FilePage::FilePage(FolderMenu* folderMenu, QWidget* parent) : OptionPage(parent) {
    setObjectName(QStringLiteral("fraFile"));
    for (int i = 0; i < 2; ++i) {
        folderLabels[i] = new QLabel(QStringLiteral("データベース保存ディレクトリ"), this);
        folderLabels[i]->setObjectName(QStringLiteral("Label12(%1)").arg(i + 1));
    }
    ui::place(folderLabels[0], 120, 240, 2415, 255);
    ui::place(folderLabels[1], 120, 4800, 2415, 255);
    drvBackUp = new DriveListBox(this);
    drvBackUp->setObjectName(QStringLiteral("drvBackUp(1)"));
    ui::place(drvBackUp, 120, 480, 3975, 300);
    dirBackUp = new DirListBox(this);
    dirBackUp->setObjectName(QStringLiteral("dirBackUp(1)"));
    ui::place(dirBackUp, 120, 840, 7935, 3870);
    txtBackUpDir = new QLineEdit(this);
    txtBackUpDir->setObjectName(QStringLiteral("txtBackUpDir(1)"));
    ui::place(txtBackUpDir, 120, 5040, 7935, 270);
    folderLabels[1]->setBuddy(txtBackUpDir);
    ui::nameControl(drvBackUp, QStringLiteral("ドライブ"));
    dirBackUp->setAccessibleName(QStringLiteral("ディレクトリ"));
    folder_ = new FolderControls(drvBackUp, dirBackUp, txtBackUpDir, folderMenu);
    connect(folder_, &FolderControls::changed, this, [this] {
        if (!loading()) markDirty();
    });

    setTip(drvBackUp, "データベースファイルを置くドライブを指定します。");
    setTip(dirBackUp, "データベースファイルを置くディレクトリを指定します。");
    setTip(txtBackUpDir, "データベースファイルを置くディレクトリを表示します。");
}

void FilePage::fill() {
    const Loading loading(this);
    runStep([this] {
        QString folder = shell::withoutTrailingSlash(shell::readFile0());
        if (shell::readFile0().isEmpty()) folder = shell::mainModule().applicationPath;
        folder_->show(folder);
    });
    markClean();
}

void FilePage::refresh() {
    runStep([this] { folder_->refresh(); });
}

bool FilePage::apply() {
    runStep([this] { shell::writeFile0(shell::withoutTrailingSlash(txtBackUpDir->text())); });
    ui::MsgBox(QStringLiteral("この設定は次回起動時より有効になります。"), ui::Buttons::OKOnly,
               QStringLiteral("データベースファイル保存ディレクトリ"));
    markClean();
    return true;
}

}  // namespace options
