#include "maintenance/frmdbErr.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "maintenance/Maintenance.h"
#include "maintenance/MaintenanceCommon.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataLocation.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace {

constexpr int kWidth = 4815;
constexpr int kHeight = 2985;

// Start-up may have failed before it read the backup settings: the damaged file may still
// give them; otherwise backups are looked for where they go by default.
void readBackUpSettingsForRecovery() {
    shell::MainModule& m = shell::mainModule();
    if (m.backUp.loaded) return;
    try {
        auto db = dao::OpenDatabase(shell::databasePath(maintenance::databaseFolder()), false, true,
                                    QString::fromLatin1(shell::kConnectString));
        shell::loadBackUpSettingsFrom(*db);
        db->Close();
    } catch (const dao::DaoError&) {
        m.backUp = shell::BackUpSettings{};
        m.backUp.defaultFolder = true;
        m.backUp.folder = shell::defaultBackUpFolder(maintenance::databaseFolder());
    }
}

}  // namespace

frmdbErr::frmdbErr(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmdbErr"));
    setWindowTitle(QStringLiteral("データベースエラー"));

    lbldbErr = new QLabel(this);
    lbldbErr->setObjectName(QStringLiteral("lbldbErr"));
    ui::place(lbldbErr, 240, 180, 4335, 540);

    const std::array<QString, 3> captions = {QStringLiteral("現在のデータベースの復旧"),
                                             QStringLiteral("バックアップしたデータベースで復旧。"),
                                             QStringLiteral("今回は何もしない")};
    for (int i = 0; i < 3; ++i) {
        optdbErr[i] = new QRadioButton(captions[i], this);
        optdbErr[i]->setObjectName(QStringLiteral("optdbErr(%1)").arg(i));
        ui::place(optdbErr[i], 480, 900 + i * 360, 3855, 300);
    }
    cmdOK = new QPushButton(QStringLiteral("ＯＫ"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    ui::place(cmdOK, 1800, 2100, 1215, 375);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    Form_Load();
}

void frmdbErr::Form_Load() {
    setFixedSize(ui::px(kWidth), ui::px(kHeight));
    const QPoint at = ui::centredOnScreen(ui::screenTwips(), kWidth, kHeight);
    move(ui::px(at.x()), ui::px(at.y()));
    lbldbErr->setText(
        QStringLiteral("データベースでエラーが発生しました。\n"
                       "復旧方法を下記から選択してください。"));
    // Repair first: it is what a user who meets this dialog most often wants, and a failed
    // compaction leaves the file as it was.
    optdbErr[0]->setChecked(true);
}

void frmdbErr::cmdOK_Click() {
    try {
        if (optdbErr[0]->isChecked())
            maintenance::OptimizeDataBase(false);
        else if (optdbErr[1]->isChecked()) {
            readBackUpSettingsForRecovery();
            maintenance::RestoreDataBase();
        }
    } catch (const dao::DaoError& e) {
        ui::MsgBox(e.description(), ui::Buttons::OKOnly, QStringLiteral("データベースエラー"));
    }
    accept();
}

namespace maintenance {

void ShowDatabaseErrorDialog(QWidget* owner) {
    frmdbErr dialog(owner);
    dialog.exec();
}

}  // namespace maintenance
