#include "options/FolderPicker.h"

#include <QCursor>
#include <QEvent>
#include <QLineEdit>

#include <filesystem>
#include <system_error>

#include "options/FolderLists.h"
#include "options/OptionChecks.h"
#include "platform/ui/MessageBox.h"

namespace options {

FolderMenu::FolderMenu(QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("mnuPopup"));
    mnuMkDir = addAction(QStringLiteral("ディレクトリ作成"));
    mnuMkDir->setObjectName(QStringLiteral("mnuMkDir"));
    mnuRmDir = addAction(QStringLiteral("ディレクトリ削除"));
    mnuRmDir->setObjectName(QStringLiteral("mnuRmDir"));
    connect(mnuMkDir, &QAction::triggered, this, &FolderMenu::mnuMkDir_Click);
    connect(mnuRmDir, &QAction::triggered, this, &FolderMenu::mnuRmDir_Click);
}

void FolderMenu::popupFor(DirListBox* list) {
    target_ = list;
    popup(QCursor::pos());
}

void FolderMenu::mnuMkDir_Click() {
    DirListBox* list = target_;
    if (!list) return;
    QString base = list->path();
    if (!base.endsWith('/')) base += '/';
    const auto answer =
        ui::InputBox(base + QStringLiteral(" に作る\nディレクトリ名を入れてください。"),
                     QStringLiteral("ディレクトリ作成"));
    if (!answer || answer->isEmpty()) return;
    const QString path = newDirectoryPath(base, *answer);
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

void FolderMenu::mnuRmDir_Click() {
    DirListBox* list = target_;
    if (!list) return;
    const QString folder = list->path();
    if (ui::MsgBox(folder + QStringLiteral("\nを削除します。よろしいですか。"),
                   ui::Buttons::OKCancel, QStringLiteral("ディレクトリ削除")) != ui::Answer::OK)
        return;
    list->setPath(parentFolder(folder));
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

FolderControls::FolderControls(DriveListBox* drive, DirListBox* list, QLineEdit* shown,
                               FolderMenu* menu)
    : QObject(list), drive_(drive), list_(list), shown_(shown) {
    shown_->setReadOnly(true);
    shown_->installEventFilter(this);
    connect(drive_, &DriveListBox::driveChanged, this, [this] { drvBackUp_Change(); });
    connect(list_, &DirListBox::pathChanged, this, [this] { shown_->setText(list_->path()); });
    connect(list_, &DirListBox::rightButtonPressed, this, [this, menu] { menu->popupFor(list_); });
    connect(shown_, &QLineEdit::textChanged, this, &FolderControls::changed);
}

void FolderControls::show(const QString& folder) {
    // The root is kept as "" and shown as "/".
    const QString shown = folder.isEmpty() ? QStringLiteral("/") : folder;
    drive_->setDrive(shown);
    const bool found = list_->setPath(shown);
    shown_->setText(shown);
    if (!found) ui::MsgBox(pathNotFoundText(), ui::Buttons::OKOnly, QStringLiteral("KENVORA"));
}

void FolderControls::refresh() {
    drive_->refresh();
    list_->refresh();
    drive_->setDrive(list_->path());
}

void FolderControls::drvBackUp_Change() {
    if (!list_->setPath(drive_->drive())) {
        ui::MsgBox(pathNotFoundText(), ui::Buttons::OKOnly, QStringLiteral("KENVORA"));
        drive_->setDrive(list_->path());
    }
}

bool FolderControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == shown_ && event->type() == QEvent::FocusIn) list_->setFocus();
    return QObject::eventFilter(watched, event);
}

}  // namespace options
