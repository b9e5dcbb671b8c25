#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace dao {
class Recordset;
}
namespace records {
struct DisplayChange;
}
namespace ui {
class TabStrip;
}

namespace options {
class DirListBox;
class DriveListBox;

// Opens the options dialog over the main window without blocking it; a second call brings
// the open dialog forward.
void ShowOptionDialog();
}  // namespace options

// The options dialog "オプション設定": four pages (rename, display, backup, file), each
// with its own "適用" and dirty flag. OK applies every dirty page and closes; Cancel closes.
class frmOption final : public QDialog {
    Q_OBJECT

public:
    explicit frmOption(QWidget* mainWindow = nullptr);
    ~frmOption() override;
    frmOption(const frmOption&) = delete;
    frmOption& operator=(const frmOption&) = delete;

    static constexpr int kWidth = 9120;
    static constexpr int kHeight = 7590;
    static QString prompt();  // "設定するデータベース名を選択してください。"

    ui::TabStrip* TabStrip1;
    QFrame* fraPartition;
    QFrame* fraDisplay;
    QGroupBox* fraColor;
    QFrame* fraMente;
    QGroupBox* fraSchedule;
    std::array<QGroupBox*, 2> fraBackUp{};
    QFrame* fraFile;
    std::array<QComboBox*, 2> cmbDataBaseName{};
    std::array<QPushButton*, 4> cmdApplication{};
    QPushButton* cmdOK;
    QPushButton* cmdCansel;
    QPushButton* cmdHelp;

    // Rename page. Boxes 2, 4 and 6 are multi-line.
    QLabel* Label24;
    QLabel* Label21;
    QLabel* Label18;
    QLabel* Label16;
    QLabel* Label19;
    QLabel* Label17;
    QLabel* Label22;
    std::array<QLabel*, 2> Label20{};
    std::array<QLabel*, 8> Label1{};  // 0 on the display page, 7 the delimiter instructions
    std::array<QWidget*, 7> txtNewDataBase{};
    QString newDataBaseText(int index) const;
    void setNewDataBaseText(int index, const QString& text);

    // Display page.
    std::array<QLabel*, 9> lblColor{};
    std::array<QLineEdit*, 8> txtItem{};
    std::array<QPushButton*, 8> cmdColer{};
    QComboBox* cmbPointUpper;
    std::array<QCheckBox*, 5> chkDisp{};
    std::uint32_t itemColor(int index) const;
    void setItemColor(int index, std::uint32_t bgr);

    // Backup page (index 0 of the folder controls) and file page (index 1).
    std::array<QRadioButton*, 4> optArc{};
    QCheckBox* chkBackUpDel;
    std::array<QLabel*, 3> Label12{};
    std::array<options::DriveListBox*, 2> drvBackUp{};
    std::array<options::DirListBox*, 2> dirBackUp{};
    std::array<QLineEdit*, 2> txtBackUpDir{};
    std::array<QComboBox*, 3> cmbSchedule{};
    std::array<QLabel*, 3> Label11{};
    QCheckBox* chkNoAction;
    QMenu* mnuPopup;
    QAction* mnuMkDir;
    QAction* mnuRmDir;

    bool loading() const { return loading_; }
    bool renameDirty() const { return dirty_[0]; }
    bool displayDirty() const { return dirty_[1]; }
    bool menteDirty() const { return dirty_[2]; }
    bool fileDirty() const { return dirty_[3]; }
    int currentTab() const { return currentTab_; }

    void Form_Load();
    void TabStrip1_Click();
    void cmbDataBaseName_Click(int index);
    void cmdApplication_Click(int index);
    void cmdOK_Click();
    void cmdCansel_Click();
    void cmdHelp_Click();

    void txtNewDataBase_Change(int index);
    void txtNewDataBase_GotFocus(int index);

    void cmdColer_Click(int index);
    void chkDisp_Click(int index);
    void cmbPointUpper_Click();
    void cmbPointUpper_Change();
    void cmbPointUpper_GotFocus();
    void txtItem_GotFocus(int index);

    void optArc_Click(int index);
    void chkBackUpDel_Click();
    void chkNoAction_Click();
    void cmbSchedule_Click(int index);

    void drvBackUp_Change(int index);
    void dirBackUp_Change(int index);
    void dirBackUp_MouseDown(int index);
    void txtBackUpDir_Change(int index);
    void txtBackUpDir_GotFocus(int index);
    // The folder menu acts on the list it was opened on.
    int folderMenuIndex() const { return folderMenuIndex_; }
    void setFolderMenuIndex(int index) { folderMenuIndex_ = index; }
    void mnuMkDir_Click();
    void mnuRmDir_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFrame();
    void buildRenamePage();
    void buildDisplayPage();
    void buildMentePage();
    void buildFilePage();
    void setToolTips();

    void fillRenamePage();
    void fillDisplayPage();
    void fillMentePage();
    void fillFilePage();

    void applyRenamePage();
    void applyDisplayPage();
    // The display page's settings as the record window takes them.
    records::DisplayChange displayChange() const;
    void applyMentePage();
    void applyFilePage();

    // Moves the dialog's recordset to the row of the set the combo names; false (after the
    // message) when the name is not in the question-set list.
    bool findChosenSet(int combo);
    bool noSetChosen(int combo) const;
    void markDirty(int page);
    void markClean(int page);
    void showFolder(int index, const QString& folder);
    // Runs one step of a handler; a failure shows its description and the handler goes on.
    void step(const std::function<void()>& work);

    std::unique_ptr<dao::Recordset> rs_;
    bool loading_ = false;
    std::array<bool, 4> dirty_{};
    int currentTab_ = 1;
    int folderMenuIndex_ = 0;
    bool undoingDisp_ = false;
    QString pointUpperAtLoad_;
    std::array<QString, 3> scheduleAtLoad_;
    bool backUpDelAtLoad_ = false;
};
