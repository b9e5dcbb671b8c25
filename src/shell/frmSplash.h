#pragma once

#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QTimer;

namespace ui {
class SingleInstanceGuard;
}

namespace shell {

class frmMDI;

// How the start-up sequence ended; main() ends the program unless it is Running.
enum class StartUpOutcome {
    Running,           // the main window is up
    AlreadyRunning,    // another instance holds the lock: end at once, no message
    DatabaseNotFound,  // three open-file dialogs without Kenvora.mdb
    DatabaseError,     // a data access error: recovery dialog shown
    OtherError,        // any other error
};

// The start-up window. Form_Load runs the whole start-up sequence; afterwards the window
// hides and stays loaded for its timer, tmrBackUp, which drives the backup schedule.
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    // The guard is held by the caller for the whole run.
    explicit frmSplash(ui::SingleInstanceGuard& instanceGuard);
    ~frmSplash() override;
    frmSplash(const frmSplash&) = delete;
    frmSplash& operator=(const frmSplash&) = delete;

    StartUpOutcome Form_Load();
    // Unloads the splash (shutdown): the timer stops.
    void Form_Unload();

    // The main window made by the start-up sequence; it lives as long as the splash.
    frmMDI* mainWindow() const { return mdi_.get(); }

    QFrame* Frame1;
    QLabel* Picture1;
    QLabel* Label1;  // tag line
    QLabel* Label2;  // product name
    QLabel* Label3;  // version
    QLabel* Label4;
    QTimer* tmrBackUp;

    // "Version x.y.z" from the build.
    static QString versionCaption();

private:
    StartUpOutcome startUp();
    // Step 7: the database folder, or empty when the user did not find the file.
    bool locateDatabase(QString& folder);
    void restoreMainWindow();
    StartUpOutcome failWithDatabaseError(int number, const QString& description);
    StartUpOutcome failWithError(const QString& description);
    void endWait();

    ui::SingleInstanceGuard& instanceGuard_;
    std::unique_ptr<frmMDI> mdi_;
    bool started_ = false;
    bool waitCursor_ = false;
};

// The data access errors that lead to the recovery dialog at start-up.
bool isStartUpDatabaseError(int number);

}  // namespace shell
