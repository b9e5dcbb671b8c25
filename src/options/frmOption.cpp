#include "options/frmOption.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

#include "options/BackUpPage.h"
#include "options/DisplayPage.h"
#include "options/FilePage.h"
#include "options/FolderPicker.h"
#include "options/RenamePage.h"
#include "platform/ui/TabStrip.h"
#include "platform/ui/Twips.h"
#include "shell/DataBaseMenu.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace {

// Every page frame stands here, inside the tab strip.
constexpr int kPageLeft = 240;
constexpr int kPageTop = 480;
constexpr int kPageWidth = 8415;
constexpr int kPageHeight = 6015;

const char* const kHelpKeys[] = {"名称変更", "表示", "オフラインメンテナンス", "ファイル"};

}  // namespace

frmOption::frmOption(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("オプション設定"));
    setModal(false);

    TabStrip1 = new ui::TabStrip(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (const char* caption : kHelpKeys) TabStrip1->addTab(QString::fromUtf8(caption));
    const int tabHeight = ui::twips(TabStrip1->sizeHint().height());
    ui::place(TabStrip1, 120, 120, 8775, tabHeight);
    // The strip's client area: the pages sit on it.
    auto* pane = new QFrame(this);
    pane->setObjectName(QStringLiteral("TabStrip1Pane"));
    pane->setFrameShape(QFrame::StyledPanel);
    ui::place(pane, 120, 120 + tabHeight - 15, 8775, 6495 - tabHeight + 15);
    connect(TabStrip1, &ui::TabStrip::clicked, this, [this](int) { TabStrip1_Click(); });

    mnuPopup = new options::FolderMenu(this);
    fraPartition = new options::RenamePage(rows_, this);
    fraDisplay = new options::DisplayPage(rows_, this);
    fraMente = new options::BackUpPage(mnuPopup, this);
    fraFile = new options::FilePage(mnuPopup, this);
    // Before any right click the menu works on the backup folder list.
    mnuPopup->setTarget(fraMente->dirBackUp);
    // A renamed set keeps its place in the display page's list and, if chosen, there too.
    connect(fraPartition, &options::RenamePage::setRenamed, fraDisplay,
            [this](const QStringList& names, const QString& oldName, const QString& newName) {
                options::showRenamedSet(fraDisplay->cmbDataBaseName, names, oldName, newName);
            });

    auto button = [this](const char* name, const char* caption, const char* tip, int left) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        options::setTip(b, tip);
        ui::place(b, left, 6720, 1455, 375);
        return b;
    };
    cmdOK = button("cmdOK", "ＯＫ", "設定します。", 4080);
    cmdCansel = button("cmdCansel", "キャンセル", "画面を閉じます。", 5760);
    cmdHelp = button("cmdHelp", "ヘルプ", "ヘルプを表示します。", 7440);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    connect(cmdCansel, &QPushButton::clicked, this, &frmOption::cmdCansel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOption::cmdHelp_Click);

    const auto all = pages();
    for (int i = 0; i < 4; ++i) {
        options::OptionPage* page = all[i];
        ui::place(page, kPageLeft, kPageTop, kPageWidth, kPageHeight);
        cmdApplication[i] = new QPushButton(QStringLiteral("適用"), page);
        cmdApplication[i]->setObjectName(QStringLiteral("cmdApplication(%1)").arg(i));
        options::setTip(cmdApplication[i], "変更した設定を反映します。");
        ui::place(cmdApplication[i], 6960, 5520, 1335, 375);
        connect(cmdApplication[i], &QPushButton::clicked, this,
                [this, i] { cmdApplication_Click(i); });
        connect(page, &options::OptionPage::dirtyChanged, cmdApplication[i],
                &QPushButton::setEnabled);
    }
    // Tab goes from the strip to the dialog's buttons and each page's 適用, then into the
    // page, as it did when the buttons were made before the pages' controls.
    QWidget* previous = TabStrip1;
    for (QWidget* next : {cmdOK, cmdCansel, cmdHelp, cmdApplication[0], cmdApplication[1],
                          cmdApplication[2], cmdApplication[3]}) {
        setTabOrder(previous, next);
        previous = next;
    }
    setFixedSize(ui::px(kWidth), ui::px(kHeight));
}

frmOption::~frmOption() = default;

std::array<options::OptionPage*, 4> frmOption::pages() const {
    return {fraPartition, fraDisplay, fraMente, fraFile};
}

bool frmOption::renameDirty() const {
    return fraPartition->isDirty();
}
bool frmOption::displayDirty() const {
    return fraDisplay->isDirty();
}
bool frmOption::menteDirty() const {
    return fraMente->isDirty();
}
bool frmOption::fileDirty() const {
    return fraFile->isDirty();
}

void frmOption::Form_Load() {
    options::runStep([this] {
        if (QWidget* main = parentWidget()) ui::centreOn(this, main);
    });
    options::runStep([this] {
        fraPartition->show();
        fraDisplay->hide();
        fraMente->hide();
        fraFile->hide();
        const QSignalBlocker quiet(TabStrip1);
        TabStrip1->setSelectedIndex(1);
        currentTab_ = 1;
    });
    for (options::OptionPage* page : pages()) options::runStep([page] { page->fill(); });
    options::runStep([this] { rows_.open(); });
}

void frmOption::TabStrip1_Click() {
    currentTab_ = TabStrip1->selectedIndex();
    const auto all = pages();
    for (int i = 0; i < 4; ++i) {
        if (currentTab_ != i + 1) {
            all[i]->hide();
            continue;
        }
        all[i]->refresh();
        all[i]->show();
    }
}

void frmOption::cmdApplication_Click(int index) {
    if (index < 0 || index > 3) return;
    if (pages()[index]->apply()) cmdOK->setFocus();
}

void frmOption::cmdOK_Click() {
    for (int page = 0; page < 4; ++page)
        if (pages()[page]->isDirty()) cmdApplication_Click(page);
    close();
}

void frmOption::cmdCansel_Click() {
    close();
}

void frmOption::cmdHelp_Click() {
    if (currentTab_ >= 1 && currentTab_ <= 4)
        shell::ShowHelp(261, QString::fromUtf8(kHelpKeys[currentTab_ - 1]));
}

void frmOption::closeEvent(QCloseEvent* event) {
    if (!shell::mainModule().closing) rows_.close();
    QDialog::closeEvent(event);
}

namespace options {

void ShowOptionDialog() {
    QWidget* main = shell::mainModule().mdiForm;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* open = qobject_cast<frmOption*>(w); open && open->isVisible()) {
            open->raise();
            open->activateWindow();
            return;
        }
    }
    auto* dialog = new frmOption(main);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->Form_Load();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace options
