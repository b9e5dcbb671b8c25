// The file page (the database folder), the folder lists' wiring and their folder menu.
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <system_error>

#include "options/FolderLists.h"
#include "options/OptionChecks.h"
#include "options/frmOption.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"

void frmOption::fillFilePage() {
    const bool wasLoading = loading_;
    loading_ = true;
    step([this] {
        QString folder = shell::withoutTrailingSlash(shell::readFile0());
        if (shell::readFile0().isEmpty()) folder = shell::mainModule().applicationPath;
        showFolder(1, folder);
    });
    markClean(3);
    loading_ = wasLoading;
}

void frmOption::applyFilePage() {
    step([this] { shell::writeFile0(shell::withoutTrailingSlash(txtBackUpDir[1]->text())); });
    ui::MsgBox(QStringLiteral("この設定は次回起動時より有効になります。"), ui::Buttons::OKOnly,
               QStringLiteral("データベースファイル保存ディレクトリ"));
    markClean(3);
    cmdOK->setFocus();
}

void frmOption::drvBackUp_Change(int index) {
    if (!dirBackUp[index]->setPath(drvBackUp[index]->drive())) {
        ui::MsgBox(options::pathNotFoundText(), ui::Buttons::OKOnly, QStringLiteral("KENVORA"));
        drvBackUp[index]->setDrive(dirBackUp[index]->path());
    }
}

void frmOption::dirBackUp_Change(int index) {
    txtBackUpDir[index]->setText(dirBackUp[index]->path());
}

void frmOption::txtBackUpDir_Change(int index) {
    if (loading_) return;
    markDirty(index == 0 ? 2 : 3);
}

void frmOption::txtBackUpDir_GotFocus(int index) {
    dirBackUp[index]->setFocus();
}

void frmOption::dirBackUp_MouseDown(int index) {
    folderMenuIndex_ = index;
    mnuPopup->popup(QCursor::pos());
}

void frmOption::mnuMkDir_Click() {
    options::DirListBox* list = dirBackUp[folderMenuIndex_];
    QString base = list->path();
    if (!base.endsWith('/')) base += '/';
    const auto answer =
        ui::InputBox(base + QStringLiteral(" に作る\nディレクトリ名を入れてください。"),
                     QStringLiteral("ディレクトリ作成"));
    if (!answer || answer->isEmpty()) return;
    const QString path = options::newDirectoryPath(base, *answer);
    std::error_code error;
    const bool made = std::filesystem::create_directory(path.toStdString(), error);
    // An existing folder is no new one: report it as the system does.
    if (!error && !made) error = std::make_error_code(std::errc::file_exists);
    if (error) {
        ui::MsgBox(QString::fromLocal8Bit(error.message()), ui::Buttons::OKOnly,
                   QStringLiteral("ディレクトリ作成エラー"));
        return;
    }
    list->setPath(path);
}

void frmOption::mnuRmDir_Click() {
    options::DirListBox* list = dirBackUp[folderMenuIndex_];
    const QString folder = list->path();
    if (ui::MsgBox(folder + QStringLiteral("\nを削除します。よろしいですか。"),
                   ui::Buttons::OKCancel, QStringLiteral("ディレクトリ削除")) != ui::Answer::OK)
        return;
    list->setPath(options::parentFolder(folder));
    std::error_code error;
    const bool removed = std::filesystem::remove(folder.toStdString(), error);
    if (!error && !removed) error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (error) {
        ui::MsgBox(QString::fromLocal8Bit(error.message()) +
                       QStringLiteral("または、ディレクトリの中が空ではありません。"),
                   ui::Buttons::OKOnly, QStringLiteral("ディレクトリ削除エラー"));
    }
    list->refresh();
}

void frmOption::setToolTips() {
    auto tip = [](QWidget* w, const char* text) {
        w->setToolTip(QString::fromUtf8(text));
        w->setAccessibleDescription(w->toolTip());
    };
    const char* const rename[] = {
        "データベース名を入力します。",      "項目１の名称を入力します。",
        "区切り文字１を入力します。",        "項目２の名称を入力します。",
        "区切り文字２を入力します。",        "項目３１の名称を入力します。",
        "データベースコメントを入力します。"};
    for (int i = 0; i < 7; ++i) tip(txtNewDataBase[i], rename[i]);
    for (QComboBox* combo : cmbDataBaseName) tip(combo, "データベースを選択します。");
    const char* const colours[] = {"項目１の背景色を設定します。", "項目２の背景色を設定します。",
                                   "項目３の背景色を設定します。", "コメントの背景色を設定します。",
                                   "出展の背景色を設定します。",   "正解率の背景色を設定します。",
                                   "正解率の背景色を設定します。", "文字隠し色を設定します。"};
    for (int i = 0; i < 8; ++i) tip(cmdColer[i], colours[i]);
    tip(cmbPointUpper, "正解率表示の背景色を変える正解率を選択します。");
    const char* const uses[] = {"項目１を表示します。", "項目２を表示します。",
                                "項目３を表示します。", "コメントを表示します。",
                                "出展を表示します。"};
    for (int i = 0; i < 5; ++i) tip(chkDisp[i], uses[i]);
    const char* const arcs[] = {
        "バックアップ時圧縮しません。データベースファイルのコピーを取ります。",
        "バックアップ時ＵＮＬＨＡ３２で圧縮します。", "バックアップ時ＺＩＰで圧縮します。",
        "バックアップ時ＣＡＢで圧縮します。"};
    for (int i = 0; i < 4; ++i) tip(optArc[i], arcs[i]);
    tip(chkBackUpDel, "バックアップファイルを削除してからバックアップします。");
    tip(drvBackUp[0], "バックアップ先のドライブを指定します。");
    tip(dirBackUp[0], "バックアップ先のディレクトリを指定します。");
    tip(txtBackUpDir[0], "バックアップ先ディレクトリを表示します。");
    tip(cmbSchedule[0], "バックアップスケジュールパターンを指定します。");
    tip(cmbSchedule[1], "バックアップ時刻の「時」を指定します。");
    tip(cmbSchedule[2], "バックアップ時刻の「分」を指定します。");
    tip(chkNoAction, "バックアップ作業をスケジュールに従って行います。");
    tip(drvBackUp[1], "データベースファイルを置くドライブを指定します。");
    tip(dirBackUp[1], "データベースファイルを置くディレクトリを指定します。");
    tip(txtBackUpDir[1], "データベースファイルを置くディレクトリを表示します。");
}
