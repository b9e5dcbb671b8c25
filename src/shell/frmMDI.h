#pragma once

#include <QList>
#include <QMainWindow>

#include <memory>

#include "platform/ui/CommonDialog.h"
#include "shell/DataBaseMenu.h"

class QAction;
class QMdiArea;
class QMenu;
class QTimer;

namespace shell {

// The main window: an MDI frame for the record windows, the menus that reach every
// function, and the shutdown sequence in its query-unload.
class frmMDI final : public QMainWindow {
    Q_OBJECT
public:
    frmMDI();
    ~frmMDI() override;
    frmMDI(const frmMDI&) = delete;
    frmMDI& operator=(const frmMDI&) = delete;

    // Record windows live here.
    QMdiArea* MDIClient;
    ui::CommonDialog CommonDialog1;
    QTimer* tmrMDI;

    QMenu* mnuFile;
    QAction* mnuNewDataBase;
    QMenu* mnuOpen;
    QMenu* mnuDelData;
    QAction* mnuRestore;
    QAction* mnuPartition1;
    QMenu* mnuWorkAndEnd;
    QAction* mnuOptEnd;
    QAction* mnuBackUpEnd;
    QAction* mnuOptBackUpEnd;
    QAction* mnuEnd;
    QAction* mnuPartition4;
    QAction* mnuImport;
    QAction* mnuExport;
    QMenu* mnuSearch0;
    QAction* mnuSearch;
    QMenu* mnuTest;
    QAction* mnuQuestion;
    QAction* mnuResult;
    QMenu* mnuOption;
    QAction* mnuWindow;
    QMenu* mnuHelp;
    QAction* mnuContents;
    QAction* mnuKeyWord;
    QAction* mnuPatition2;
    QMenu* mnuWeb;
    QAction* mnuMyHomePage;
    QAction* mnuPartition3;
    QAction* mnuVersion;

    // mnuDataBase and mnuDelDataBase
    DataBaseMenuArrays& dataBaseMenus() { return *dataBaseMenus_; }
    const std::vector<QAction*>& mnuDataBase() const { return dataBaseMenus_->mnuDataBase; }
    const std::vector<QAction*>& mnuDelDataBase() const { return dataBaseMenus_->mnuDelDataBase; }

    // The top menus in menu-bar order.
    QList<QMenu*> ownMenus() const;
    // A record window shows its own menu bar in the frame while it is active (the main
    // window's menus repeated plus its own); the frame's menus come back afterwards.
    void showMenus(const QList<QMenu*>& menus);
    void showOwnMenus() { showMenus(ownMenus()); }

    // 0 plain exit, 1 compaction, 2 backup, 3 compaction and backup.
    int exitMode = 0;

    // Menu handlers.
    void mnuNewDataBase_Click();
    void mnuDataBase_Click(int index);
    void mnuDelDataBase_Click(int index);
    void mnuRestore_Click();
    void mnuOptEnd_Click();
    void mnuBackUpEnd_Click();
    void mnuOptBackUpEnd_Click();
    void mnuEnd_Click();
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuSearch_Click();
    void mnuQuestion_Click();
    void mnuResult_Click();
    void mnuWindow_Click();
    void mnuContents_Click();
    void mnuKeyWord_Click();
    void mnuMyHomePage_Click();
    void mnuVersion_Click();
    void tmrMDI_Timer();

    // The shutdown sequence; runs once, whatever closes the window.
    void Form_QueryUnload();
    bool unloaded() const { return unloaded_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    // Exit with backup: refused (plain exit) when the backup would land on the database.
    int backUpExitMode(int wanted);

    std::unique_ptr<DataBaseMenuArrays> dataBaseMenus_;
    bool unloaded_ = false;
};

// Shows the help file through the main window's common dialog (commands 11, 15, 257, 261).
void ShowHelp(int helpCommand, const QString& key = QString());
// The author's web page in the desktop's browser.
void OpenAuthorHomePage();
// Unloads the main window, which ends the program through the shutdown sequence.
void EndProgram();

// A plain backup would go into the database's own folder: says why none is made.
void ShowSameFolderMessage();

}  // namespace shell
