#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "shell/DataBaseMenu.h"

class QAction;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace richtext {
class RichTextBox;
}

// The record window of one open question set: one record at a time, its three items,
// comment and source as rich text, its rate and registration date, and the set's menus.
// The window knows its slot in the open-window table and whether its record was edited; the
// routines of RecordWindows.h do the work, the handlers here read the controls and call them.
class frmMDIChild final : public QWidget {
    Q_OBJECT

public:
    explicit frmMDIChild(QWidget* parent = nullptr);
    ~frmMDIChild() override;
    frmMDIChild(const frmMDIChild&) = delete;
    frmMDIChild& operator=(const frmMDIChild&) = delete;

    // The window's slot in the open-window table; -1 until the window is bound to one.
    int slot() const { return slot_; }
    void setSlot(int slot) { slot_ = slot; }
    // The record shown was edited since it was shown or saved: leaving it writes it back.
    bool recordChanged = false;
    bool eventsEnabled = false;
    // Where the window sits when neither minimised nor maximised, in the MDI area's
    // pixels; Qt does not keep this for a child window.
    QRect normalPlace;

    QLabel* Label3;
    std::array<QLineEdit*, 3> txtItem;
    QPushButton* cmdStartRecord;  // cmdStartRecord(0) "<<"
    QPushButton* cmdBack;         // cmdBack(1) "＜"
    QPushButton* cmdNext;         // cmdNext(2) "＞"
    QPushButton* cmdEndRecord;    // cmdEndRecord(3) ">>"
    QLabel* Label1;
    QLineEdit* txtPonit;
    QLabel* Label2;
    QLineEdit* txtRecordDay;
    std::array<richtext::RichTextBox*, 5> txtData;
    QFrame* Frame1;
    QLabel* Label4;
    std::array<QComboBox*, 2> cmbSplit;
    std::array<QPushButton*, 2> cmdSplit;
    QPushButton* cmdSelTextDel;  // cmdSelTextDel(0)
    QFrame* Frame2;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* txtTruAns;     // the record's 正解回数; also where the focus goes
    QLineEdit* txtTestCount;  // the record's 出題回数, hidden
    QTimer* tmrSplitDisp;

    // The menus the main window shows while this window is active.
    QList<QMenu*> menus() const { return menus_; }
    QMenu* mnuOpen = nullptr;     // "開く(&O)": mnuDataBase, one item per set
    QMenu* mnuDelData = nullptr;  // "削除(&D)": mnuDelDataBase, one item per set
    std::unique_ptr<shell::DataBaseMenuArrays> dataBaseMenus;

    // The widget the user types in, as the main window's active control.
    QWidget* activeControl() const;
    // The tab index of a control (10, 15, 20, 22, 24 for the rich text boxes).
    int tabIndexOf(const QWidget* control) const;

    void Form_Activate();
    void Form_Resize();
    // Returns false when closing must not go on.
    bool Form_QueryUnload();

    void txtData_Change(int index);
    void cmdMove_Click(int button);  // 0 first, 1 previous, 2 next, 3 last
    void cmbSplit_Click(int index);
    void cmbSplit_LostFocus(int index);
    void cmdSplit_Click(int index);
    void cmdSelTextDel_Click();
    void tmrSplitDisp_Timer();
    void mnuNewRecord_Click();
    void mnuDeleteRecord_Click();
    void mnuFont_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QAction* menuActionFor(const QKeyEvent* key) const;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setTabOrder();

    int slot_ = -1;
    QList<QMenu*> menus_;
    QWidget* lastEditor_ = nullptr;  // the control that had the focus last
};
