#include "about/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>

#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/ApplicationIcon.h"
#include "shell/DataStore.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"
#include "shell/frmSplash.h"

namespace {

constexpr char kAuthorMail[] = "kenvora@example.org";

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
              int height) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    ui::place(l, left, top, width, height);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    ui::place(b, left, top, width, height);
    return b;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(ui::px(6900), ui::px(4200));

    picIcon = label(this, "picIcon", QString(), 240, 240, 720, 720);
    picIcon->setPixmap(shell::applicationIcon().pixmap(ui::px(720)));
    lblTitle = label(this, "lblTitle", QStringLiteral("Kenvora"), 1200, 240, 5400, 480);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(18);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion =
        label(this, "lblVersion", shell::frmSplash::versionCaption(), 1200, 780, 5400, 300);
    lblDescription = label(this, "lblDescription",
                           QStringLiteral("情報収集効率ＵＰ　＆　記憶再生ソフト\n"
                                          "事実を集め、覚えるまで出題します。"),
                           1200, 1140, 5400, 600);
    lblMail = label(this, "lblMail",
                    QStringLiteral("電子メール: <a href=\"mailto:%1\">%1</a>")
                        .arg(QString::fromLatin1(kAuthorMail)),
                    1200, 1860, 5400, 300);
    lblMail->setOpenExternalLinks(true);
    lblHomePage =
        label(this, "lblHomePage",
              QStringLiteral("ホームページ: %1").arg(QString::fromLatin1(shell::kAuthorHomePage)),
              1200, 2220, 5400, 300);
    lblHomePage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblDisclaimer =
        label(this, "lblDisclaimer",
              QStringLiteral("本ソフトの使用により生じた損害について、作者は責任を負いません。"),
              240, 2760, 6420, 300);
    lblDisclaimer->setWordWrap(true);

    cmdHomePage =
        button(this, "cmdHomePage", QStringLiteral("ホームページ(&H)"), 240, 3360, 1800, 375);
    cmdSysInfo =
        button(this, "cmdSysInfo", QStringLiteral("システム情報(&S)..."), 3000, 3360, 1800, 375);
    cmdOK = button(this, "cmdOK", QStringLiteral("OK"), 5040, 3360, 1620, 375);
    cmdOK->setDefault(true);
    cmdSysInfo->setToolTip(QStringLiteral("プログラムとシステムの情報を表示します。"));
    cmdHomePage->setToolTip(QStringLiteral("作者のホームページをブラウザで開きます。"));

    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, cmdHomePage);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    connect(cmdHomePage, &QPushButton::clicked, this, [this] { cmdHomePage_Click(); });
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    ui::MsgBox(systemInformation(), ui::Buttons::OKOnly, QStringLiteral("システム情報"),
               ui::Icon::Information);
}

void frmAbout::cmdHomePage_Click() {
    shell::OpenAuthorHomePage();
}

QString frmAbout::systemInformation() {
    const shell::MainModule& m = shell::mainModule();
    const QString database =
        m.database ? shell::databasePath(m.databaseFolder) : QStringLiteral("（開いていません）");
    return QStringLiteral(
               "プログラム: Kenvora %1\n"
               "Qt: %2（実行時 %3）\n"
               "OS: %4（%5）\n"
               "プログラムのフォルダ: %6\n"
               "データベース: %7")
        .arg(QStringLiteral(KENVORA_VERSION), QStringLiteral(QT_VERSION_STR),
             QString::fromLatin1(qVersion()), QSysInfo::prettyProductName(),
             QSysInfo::currentCpuArchitecture(), m.applicationPath, database);
}

void frmAbout::showModal() {
    QWidget* owner = QApplication::activeWindow();
    if (!owner) owner = shell::mainModule().mdiForm;
    frmAbout about(owner);
    if (owner) ui::centreOn(&about, owner);
    about.exec();
}
