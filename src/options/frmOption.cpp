#include "options/frmOption.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <exception>

#include "options/FolderLists.h"
#include "options/OptionChecks.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TabStrip.h"
#include "platform/ui/Twips.h"
#include "records/DelimiterList.h"
#include "records/RecordLayout.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "shell/DataBaseMenu.h"
#include "shell/DataErrors.h"
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

QString frmOption::prompt() {
    return QStringLiteral("設定するデータベース名を選択してください。");
}

frmOption::frmOption(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("オプション設定"));
    setModal(false);
    buildFrame();
    buildRenamePage();
    buildDisplayPage();
    buildMentePage();
    buildFilePage();
    setFixedSize(ui::px(kWidth), ui::px(kHeight));
}

frmOption::~frmOption() = default;

void frmOption::buildFrame() {
    TabStrip1 = new ui::TabStrip(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (const char* caption : {"名称変更", "表示", "オフラインメンテナンス", "ファイル"})
        TabStrip1->addTab(QString::fromUtf8(caption));
    const int tabHeight = ui::twips(TabStrip1->sizeHint().height());
    ui::place(TabStrip1, 120, 120, 8775, tabHeight);
    // The strip's client area: the pages sit on it.
    auto* pane = new QFrame(this);
    pane->setObjectName(QStringLiteral("TabStrip1Pane"));
    pane->setFrameShape(QFrame::StyledPanel);
    ui::place(pane, 120, 120 + tabHeight - 15, 8775, 6495 - tabHeight + 15);
    connect(TabStrip1, &ui::TabStrip::clicked, this, [this](int) { TabStrip1_Click(); });

    auto page = [this](const char* name) {
        auto* f = new QFrame(this);
        f->setObjectName(QString::fromLatin1(name));
        ui::place(f, kPageLeft, kPageTop, kPageWidth, kPageHeight);
        return f;
    };
    fraPartition = page("fraPartition");
    fraDisplay = page("fraDisplay");
    fraMente = page("fraMente");
    fraFile = page("fraFile");

    auto button = [this](const char* name, const char* caption, const char* tip, int left) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(tip));
        b->setAccessibleDescription(b->toolTip());
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

    QFrame* pages[] = {fraPartition, fraDisplay, fraMente, fraFile};
    for (int i = 0; i < 4; ++i) {
        cmdApplication[i] = new QPushButton(QStringLiteral("適用"), pages[i]);
        cmdApplication[i]->setObjectName(QStringLiteral("cmdApplication(%1)").arg(i));
        cmdApplication[i]->setToolTip(QStringLiteral("変更した設定を反映します。"));
        cmdApplication[i]->setAccessibleDescription(cmdApplication[i]->toolTip());
        ui::place(cmdApplication[i], 6960, 5520, 1335, 375);
        connect(cmdApplication[i], &QPushButton::clicked, this,
                [this, i] { cmdApplication_Click(i); });
    }

    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuMkDir = mnuPopup->addAction(QStringLiteral("ディレクトリ作成"));
    mnuMkDir->setObjectName(QStringLiteral("mnuMkDir"));
    mnuRmDir = mnuPopup->addAction(QStringLiteral("ディレクトリ削除"));
    mnuRmDir->setObjectName(QStringLiteral("mnuRmDir"));
    connect(mnuMkDir, &QAction::triggered, this, &frmOption::mnuMkDir_Click);
    connect(mnuRmDir, &QAction::triggered, this, &frmOption::mnuRmDir_Click);
}

void frmOption::Form_Load() {
    loading_ = true;
    dirty_ = {};
    step([this] {
        if (QWidget* main = parentWidget()) ui::centreOn(this, main);
    });
    step([this] {
        fraPartition->show();
        fraDisplay->hide();
        fraMente->hide();
        fraFile->hide();
        const QSignalBlocker quiet(TabStrip1);
        TabStrip1->setSelectedIndex(1);
        currentTab_ = 1;
    });
    step([this] {
        for (QComboBox* combo : cmbDataBaseName) {
            combo->clear();
            const auto& list = shell::mainModule().dataBaseList;
            for (std::size_t i = 2; i < list.size(); ++i) combo->addItem(list[i].name);
            combo->setEditText(prompt());
        }
    });
    step([this] { fillRenamePage(); });
    step([this] { fillDisplayPage(); });
    step([this] { Label1[7]->setText(records::delimiterHelpText()); });
    step([this] { fillMentePage(); });
    step([this] { fillFilePage(); });
    step([this] {
        rs_ = shell::mainModule().database->OpenRecordset(
            QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
    });
    setToolTips();
    loading_ = false;
}

void frmOption::TabStrip1_Click() {
    currentTab_ = TabStrip1->selectedIndex();
    fraPartition->setVisible(currentTab_ == 1);
    fraDisplay->setVisible(currentTab_ == 2);
    if (currentTab_ == 3 || currentTab_ == 4) {
        const int i = currentTab_ == 3 ? 0 : 1;
        step([this, i] {
            drvBackUp[i]->refresh();
            dirBackUp[i]->refresh();
            drvBackUp[i]->setDrive(dirBackUp[i]->path());
        });
    }
    fraMente->setVisible(currentTab_ == 3);
    fraFile->setVisible(currentTab_ == 4);
}

void frmOption::cmbDataBaseName_Click(int index) {
    if (index == 0)
        fillRenamePage();
    else
        fillDisplayPage();
}

void frmOption::cmdApplication_Click(int index) {
    switch (index) {
        case 0:
            applyRenamePage();
            break;
        case 1:
            applyDisplayPage();
            break;
        case 2:
            applyMentePage();
            break;
        case 3:
            applyFilePage();
            break;
        default:
            break;
    }
}

void frmOption::cmdOK_Click() {
    for (int page = 0; page < 4; ++page)
        if (dirty_[page]) cmdApplication_Click(page);
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
    if (!shell::mainModule().closing) rs_.reset();
    QDialog::closeEvent(event);
}

bool frmOption::noSetChosen(int combo) const {
    return cmbDataBaseName[combo]->currentText() == prompt();
}

bool frmOption::findChosenSet(int combo) {
    const QString name = cmbDataBaseName[combo]->currentText();
    const auto& list = shell::mainModule().dataBaseList;
    for (std::size_t i = 2; i < list.size(); ++i) {
        if (list[i].name != name) continue;
        rs_->FindFirst(QStringLiteral("dbID =%1").arg(list[i].dbID));
        if (rs_->NoMatch()) break;
        return true;
    }
    ui::MsgBox(QStringLiteral("このデータベースは存在しません。"), ui::Buttons::OKOnly,
               QStringLiteral("データベース名チェック"));
    cmbDataBaseName[combo]->setFocus();
    return false;
}

void frmOption::markDirty(int page) {
    dirty_[page] = true;
    cmdApplication[page]->setEnabled(true);
}

void frmOption::markClean(int page) {
    dirty_[page] = false;
    cmdApplication[page]->setEnabled(false);
}

void frmOption::step(const std::function<void()>& work) {
    try {
        work();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    } catch (const std::exception& e) {
        ui::MsgBox(QString::fromLocal8Bit(e.what()));
    }
}

bool frmOption::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn) return QDialog::eventFilter(watched, event);
    for (int i = 0; i < 7; ++i)
        if (watched == txtNewDataBase[i]) txtNewDataBase_GotFocus(i);
    for (int i = 0; i < 8; ++i)
        if (watched == txtItem[i]) txtItem_GotFocus(i);
    for (int i = 0; i < 2; ++i)
        if (watched == txtBackUpDir[i]) txtBackUpDir_GotFocus(i);
    if (watched == cmbPointUpper) cmbPointUpper_GotFocus();
    return QDialog::eventFilter(watched, event);
}

void frmOption::ApplyOptionSettings(int kind) {
    shell::MainModule& m = shell::mainModule();
    if (m.openWindowCount <= 0) return;
    const QString name = cmbDataBaseName[kind]->currentText();
    int slot = -1;
    for (std::size_t i = 0; i < m.childSettings.size(); ++i) {
        if (m.childSettings[i].name == name && !m.childSettings[i].slotFree) {
            slot = static_cast<int>(i);
            break;
        }
    }
    frmMDIChild* w = slot >= 0 ? records::windowOfSlot(slot) : nullptr;
    if (!w) return;
    shell::ChildSettings& s = m.childSettings[slot];
    const bool enabled = w->eventsEnabled;
    w->eventsEnabled = false;  // the window's own change handlers stay out of this
    if (kind == 0) {
        s.name = newDataBaseText(0);
        s.text[2] = newDataBaseText(1);
        s.text[3] = newDataBaseText(3);
        s.text[4] = newDataBaseText(5);
        s.text[0] = newDataBaseText(2);
        s.text[1] = newDataBaseText(4);
        s.text[12] = newDataBaseText(6);
        w->setWindowTitle(s.name);
        if (QWidget* sub = w->parentWidget(); sub && sub->inherits("QMdiSubWindow"))
            sub->setWindowTitle(s.name);
        for (int i = 0; i < 3; ++i) w->txtItem[i]->setText(s.text[2 + i]);
        for (int k = 0; k < 2; ++k) {
            const int box = k == 0 ? 2 : 4;
            setNewDataBaseText(box, records::NormalizeDelimiterList(newDataBaseText(box)));
            s.text[k] = newDataBaseText(box);
        }
        records::FillDelimiterCombos(slot);
    } else {
        bool ok = false;
        const double threshold = cmbPointUpper->currentText().trimmed().toDouble(&ok);
        // A threshold that is no number keeps the window's own; writing it was refused.
        if (ok) s.numeric[0] = static_cast<std::int32_t>(std::lround(threshold));
        for (int n = 1; n <= 7; ++n) s.numeric[n] = static_cast<std::int32_t>(itemColor(n - 1));
        s.numeric[27] = static_cast<std::int32_t>(itemColor(7));
        for (int n = 1; n <= 5; ++n) s.yesNo[n] = chkDisp[n - 1]->checkState() == Qt::Checked;
        for (int n = 0; n < 5; ++n) w->txtData[n]->setBackColor(ui::qColorFromBgr(itemColor(n)));
        // Only the rate box's colour changes: reshowing the record would drop pending edits.
        const bool above = records::rateAtOrAboveAtOpening(w->txtPonit->text(), s.numeric[0]);
        QPalette palette = w->txtPonit->palette();
        palette.setColor(QPalette::Base,
                         ui::qColorFromBgr(static_cast<std::uint32_t>(s.numeric[above ? 6 : 7])));
        w->txtPonit->setPalette(palette);
        records::LayoutRecordWindow(slot);
    }
    w->eventsEnabled = enabled;
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
