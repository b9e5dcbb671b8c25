#include "shell/frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QTimer>

#include <exception>

#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/Twips.h"
#include "shell/ApplicationIcon.h"
#include "shell/DataBaseMenu.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/UserSettings.h"
#include "shell/frmMDI.h"

namespace shell {

namespace {

constexpr int kSplashWidth = 6600;
constexpr int kSplashHeight = 3900;
constexpr int kMainWidth = 10005;
constexpr int kMainHeight = 10395;
constexpr int kBackUpInterval = 60000;
constexpr int kFileChoices = 3;

const QString kDatabaseErrorTitle = QStringLiteral("データベースエラー");

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    ui::place(l, left, top, width, height);
    return l;
}

}  // namespace

bool isStartUpDatabaseError(int number) {
    switch (number) {
        case 3001:
        case 3021:
        case 3219:
        case 3246:
        case 3251:
        case 3265:
        case 3367:
        case 3420:
        case 3421:
        case 3704:
        case 3705:
        case 3706:
        case 3707:
        case 3708:
        case 3709:
            return true;
        // A damaged, foreign or unreadable file in place of Kenvora.mdb: the recovery
        // dialog is what the user needs then, too.
        case 3000:
        case 3024:
        case 3031:
        case 3049:
        case 3051:
        case 3078:
        case 3343:
            return true;
        default:
            return false;
    }
}

QString frmSplash::versionCaption() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(KENVORA_VERSION_MAJOR)
        .arg(KENVORA_VERSION_MINOR)
        .arg(KENVORA_VERSION_PATCH);
}

frmSplash::frmSplash(ui::SingleInstanceGuard& instanceGuard)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), instanceGuard_(instanceGuard) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(ui::px(kSplashWidth), ui::px(kSplashHeight));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    ui::place(Frame1, 120, 60, 6360, 3660);

    Picture1 = label(Frame1, "Picture1", QString(), 240, 360, 1440, 1440);
    Picture1->setPixmap(applicationIcon().pixmap(ui::px(1440)));
    Picture1->setAccessibleName(QStringLiteral("Kenvora"));

    Label2 = label(Frame1, "Label2", QStringLiteral("Kenvora"), 1920, 300, 4200, 720);
    QFont big = Label2->font();
    big.setPointSize(26);
    big.setBold(true);
    Label2->setFont(big);

    Label1 = label(Frame1, "Label1", QStringLiteral("情報収集効率ＵＰ　＆　記憶再生ソフト"), 1920,
                   1080, 4320, 330);
    Label3 = label(Frame1, "Label3", QStringLiteral("Version"), 1920, 1560, 4200, 300);
    Label4 = label(Frame1, "Label4", QStringLiteral("起動しています。しばらくお待ちください。"),
                   240, 3060, 5880, 300);

    tmrBackUp = new QTimer(this);
    tmrBackUp->setObjectName(QStringLiteral("tmrBackUp"));
    connect(tmrBackUp, &QTimer::timeout, this, [] {
        if (featureHooks().backUpTimerTick) featureHooks().backUpTimerTick();
    });
    mainModule().splashForm = this;
}

frmSplash::~frmSplash() {
    endWait();
    mdi_.reset();
    if (mainModule().splashForm == this) mainModule().splashForm = nullptr;
}

void frmSplash::endWait() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
    waitCursor_ = false;
}

void frmSplash::Form_Unload() {
    tmrBackUp->stop();
    close();
}

StartUpOutcome frmSplash::Form_Load() {
    if (started_) return StartUpOutcome::Running;
    try {
        return startUp();
    } catch (const dao::DaoError& e) {
        if (isStartUpDatabaseError(e.number()))
            return failWithDatabaseError(e.number(), e.description());
        return failWithError(e.description());
    } catch (const std::exception& e) {
        return failWithError(QString::fromLocal8Bit(e.what()));
    }
}

StartUpOutcome frmSplash::startUp() {
    if (!instanceGuard_.tryAcquire()) return StartUpOutcome::AlreadyRunning;

    MainModule& m = mainModule();
    if (m.applicationPath.isEmpty()) m.applicationPath = QCoreApplication::applicationDirPath();
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    Label3->setText(versionCaption());

    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    const QPoint at = ui::centredOnScreen(ui::screenTwips(), kSplashWidth, kSplashHeight);
    move(ui::px(at.x()), ui::px(at.y()));

    show();
    QCoreApplication::processEvents();
    started_ = true;
    m.closing = false;
    m.mdiRestore = true;
    m.openWindowCount = -1;
    // The main window exists from here (its common dialog finds the file); it is shown
    // once its geometry is restored.
    mdi_ = std::make_unique<frmMDI>();

    QString folder = databaseFolderFromSettings(m.applicationPath);
    if (!QFileInfo(databasePath(folder)).isFile() && !locateDatabase(folder)) {
        ui::MsgBox(QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません。\nKENVORAを終了します。"),
                   ui::Buttons::OKOnly, QStringLiteral("データベースファイル"),
                   ui::Icon::Exclamation);
        endWait();
        Form_Unload();
        return StartUpOutcome::DatabaseNotFound;
    }

    openDataStore(folder);
    loadHighestID();
    loadBackUpSettings();
    tmrBackUp->setInterval(kBackUpInterval);
    if (m.backUp.enabled)
        tmrBackUp->start();
    else
        tmrBackUp->stop();

    restoreMainWindow();

    openSettingsRecordset();
    rebuildDataBaseList();
    if (m.settingsRecordset->RecordCount() > 0 && featureHooks().openRecordWindowsAtStartUp)
        featureHooks().openRecordWindowsAtStartUp();
    m.settingsRecordset.reset();

    QCoreApplication::processEvents();
    RefreshDataBaseMenu();
    mdi_->CommonDialog1.HelpFile = m.applicationPath + QStringLiteral("/Kenvora.hlp");

    endWait();
    QCoreApplication::processEvents();
    hide();
    return StartUpOutcome::Running;
}

bool frmSplash::locateDatabase(QString& folder) {
    ui::CommonDialog& dialog = mdi_->CommonDialog1;
    for (int attempt = 0; attempt < kFileChoices; ++attempt) {
        dialog.DialogTitle = QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません");
        dialog.Filter = QStringLiteral("(*.mdb)|*.mdb");
        dialog.InitDir = QDir::currentPath();
        dialog.FileName = QString::fromLatin1(kDatabaseFileName);
        dialog.Flags = 0x81800;
        if (!dialog.ShowOpen()) continue;
        // Only a file named exactly Kenvora.mdb counts.
        const QFileInfo chosen(dialog.FileName);
        if (!chosen.isFile() || chosen.fileName() != QLatin1String(kDatabaseFileName)) continue;
        const QString path = chosen.absoluteFilePath();
        folder = path.chopped(static_cast<int>(qstrlen(kDatabaseFileName)) + 1);
        writeFile0(folder);
        return true;
    }
    return false;
}

void frmSplash::restoreMainWindow() {
    MainModule& m = mainModule();
    auto rs =
        m.database->OpenRecordset(QStringLiteral("select  * from MDI画面設定"), dao::dbOpenDynaset);
    mdi_->hide();
    // A row with a missing value (not one this program wrote) counts as no row.
    bool saved = rs->RecordCount() > 0;
    int state = 0;
    if (saved) {
        rs->MoveFirst();
        for (const char* field : {"WindowState", "画面X", "画面Y", "画面幅", "画面縦"})
            saved = saved && !rs->value(QString::fromUtf8(field)).isNull();
    }
    if (saved) {
        state = rs->value(QStringLiteral("WindowState")).toInteger();
        if (state == 0) {
            const auto twipsOf = [&rs](const char* field) {
                return static_cast<int>(rs->value(QString::fromUtf8(field)).toDouble() + 0.5);
            };
            ui::setWindowGeometry(mdi_.get(), {twipsOf("画面X"), twipsOf("画面Y"),
                                               twipsOf("画面幅"), twipsOf("画面縦")});
        }
    } else {
        const QPoint at = ui::centredOnScreen(ui::screenTwips(), kMainWidth, kMainHeight);
        ui::setWindowGeometry(mdi_.get(), {at.x(), at.y(), kMainWidth, kMainHeight});
    }
    if (state == 1)
        mdi_->showMinimized();
    else if (state == 2)
        mdi_->showMaximized();
    else
        mdi_->show();
    rs->Close();
}

StartUpOutcome frmSplash::failWithDatabaseError(int, const QString& description) {
    endWait();
    ui::MsgBox(description, ui::Buttons::OKOnly, kDatabaseErrorTitle, ui::Icon::Critical);
    if (featureHooks().showDatabaseErrorDialog) {
        try {
            featureHooks().showDatabaseErrorDialog();
        } catch (const dao::DaoError& e) {
            ui::MsgBox(e.description(), ui::Buttons::OKOnly, kDatabaseErrorTitle,
                       ui::Icon::Critical);
        }
    }
    ui::MsgBox(QStringLiteral("KENVORAを終了します。再度立ち上げてください。"), ui::Buttons::OKOnly,
               kDatabaseErrorTitle, ui::Icon::Critical);
    closeDataStore();
    return StartUpOutcome::DatabaseError;
}

StartUpOutcome frmSplash::failWithError(const QString& description) {
    endWait();
    ui::MsgBox(description + QStringLiteral("\nKENVORAを終了します。"), ui::Buttons::OKOnly,
               QStringLiteral("ERROR"), ui::Icon::Critical);
    closeDataStore();
    return StartUpOutcome::OtherError;
}

}  // namespace shell
