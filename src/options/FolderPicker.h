#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>

#include "options/FolderLists.h"

class QAction;
class QLineEdit;

namespace options {

// The folder lists' right-click menu (mnuPopup): make or remove a folder in the list it was
// opened on. One menu serves both folder pages.
class FolderMenu final : public QMenu {
    Q_OBJECT

public:
    explicit FolderMenu(QWidget* parent);

    QAction* mnuMkDir;
    QAction* mnuRmDir;

    // Opens the menu at the mouse for `list`.
    void popupFor(DirListBox* list);
    DirListBox* target() const { return target_; }
    void setTarget(DirListBox* list) { target_ = list; }

    void mnuMkDir_Click();
    void mnuRmDir_Click();

private:
    QPointer<DirListBox> target_;
};

// A drive list, a folder list and the box showing the chosen folder, wired together: the
// drive leads the folder list, the folder list the box; the box hands its focus to the list;
// a right click opens the folder menu.
class FolderControls final : public QObject {
    Q_OBJECT

public:
    FolderControls(DriveListBox* drive, DirListBox* list, QLineEdit* shown, FolderMenu* menu);

    // Shows `folder` (the root kept as "" and shown as "/"); a folder that cannot be reached
    // is reported.
    void show(const QString& folder);
    // Re-reads the drives and the folders, which may have changed outside the dialog.
    void refresh();

signals:
    // The chosen folder's text changed.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drvBackUp_Change();

    DriveListBox* drive_;
    DirListBox* list_;
    QLineEdit* shown_;
};

}  // namespace options
