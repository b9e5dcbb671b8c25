#pragma once

#include <QDialog>
#include <QString>

#include <array>

#include "options/OptionPage.h"

class QFrame;
class QPushButton;

namespace ui {
class TabStrip;
}

namespace options {
class BackUpPage;
class DisplayPage;
class FilePage;
class FolderMenu;
class RenamePage;

// Opens the options dialog over the main window without blocking it; a second call brings
// the open dialog forward.
void ShowOptionDialog();
}  // namespace options

// The options dialog "オプション設定": the frame around four pages (rename, display, backup,
// file), each with its own "適用", enabled while the page is dirty. OK applies every dirty
// page and closes; Cancel closes.
class frmOption final : public QDialog {
    Q_OBJECT

public:
    explicit frmOption(QWidget* mainWindow = nullptr);
    ~frmOption() override;
    frmOption(const frmOption&) = delete;
    frmOption& operator=(const frmOption&) = delete;

    static constexpr int kWidth = 9120;
    static constexpr int kHeight = 7590;

    ui::TabStrip* TabStrip1;
    options::RenamePage* fraPartition;
    options::DisplayPage* fraDisplay;
    options::BackUpPage* fraMente;
    options::FilePage* fraFile;
    std::array<QPushButton*, 4> cmdApplication{};
    QPushButton* cmdOK;
    QPushButton* cmdCansel;
    QPushButton* cmdHelp;
    options::FolderMenu* mnuPopup;

    bool renameDirty() const;
    bool displayDirty() const;
    bool menteDirty() const;
    bool fileDirty() const;
    int currentTab() const { return currentTab_; }

    void Form_Load();
    void TabStrip1_Click();
    void cmdApplication_Click(int index);
    void cmdOK_Click();
    void cmdCansel_Click();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::array<options::OptionPage*, 4> pages() const;

    options::SetRows rows_;
    int currentTab_ = 1;
};
