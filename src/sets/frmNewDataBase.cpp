#include "sets/frmNewDataBase.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/dao/DaoError.h"
#include "platform/ui/MakeControl.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/DelimiterList.h"
#include "sets/DataBaseItemCheck.h"
#include "sets/DataBaseSets.h"
#include "shell/DataErrors.h"
#include "shell/DataStoreConstants.h"
#include "shell/frmMDI.h"

namespace {

constexpr int kWidth = 8265;
constexpr int kHeight = 7005;

const char* const kCaptions[] = {"データベース名(※)",
                                 "項目１(※)",
                                 "区切り文字(※)",
                                 "項目２(※)",
                                 "区切り文字",
                                 "項目３",
                                 "データベース別　　　　　コメント"};
const char* const kTips[] = {
    "新規データベース名を入力してください。半角換算で５０文字まで。",
    "新規項目１名を入力してください。半角換算で５０文字まで。",
    "新規区切り文字１を入力してください。半角換算で２５５文字まで。",
    "新規項目２名を入力してください。半角換算で５０文字まで。",
    "新規区切り文字２を入力してください。半角換算で２５５文字まで。",
    "新規項目３名を入力してください。半角換算で５０文字まで。",
    "新規データベースコメントを入力してください。半角換算で２５５文字まで。"};

// Rows of the input column (label and box share a row); the comment row is taller.
constexpr int kRowTop[] = {180, 600, 1020, 1440, 1860, 2280, 2760};

}  // namespace

frmNewDataBase::frmNewDataBase(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmNewDataBase"));
    setWindowTitle(QStringLiteral("新規データベース作成"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    for (int i = 0; i < 7; ++i) {
        Label1[i] = ui::make<QLabel>(this, QStringLiteral("Label1(%1)").arg(i),
                                     QString::fromUtf8(kCaptions[i]),
                                     {120, kRowTop[i] + 30, 1650, i == 6 ? 540 : 255});
        Label1[i]->setWordWrap(i == 6);
    }
    for (int i = 0; i < 6; ++i) {
        txtNewDataBase[i] = new QLineEdit(this);
        txtNewDataBase[i]->setObjectName(QStringLiteral("txtNewDataBase(%1)").arg(i));
        ui::place(txtNewDataBase[i], 1800, kRowTop[i], 2460, 300);
        Label1[i]->setBuddy(txtNewDataBase[i]);
    }
    txtComment = new QPlainTextEdit(this);
    txtComment->setObjectName(QStringLiteral("txtNewDataBase(6)"));
    ui::place(txtComment, 1800, kRowTop[6], 2460, 1500);
    Label1[6]->setBuddy(txtComment);
    for (int i = 0; i < 7; ++i) {
        QWidget* b = box(i);
        b->setToolTip(QString::fromUtf8(kTips[i]));
        b->setAccessibleDescription(b->toolTip());
        b->setAccessibleName(Label1[i]->text());
    }

    Label1[7] = ui::make<QLabel>(this, QStringLiteral("Label1(7)"), records::delimiterHelpText());
    Label1[7]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1[7]->setWordWrap(true);
    QFont helpFont = Label1[7]->font();
    helpFont.setPointSizeF(helpFont.pointSizeF() - 1);
    Label1[7]->setFont(helpFont);
    ui::place(Label1[7], 4440, 180, 3705, 5400);
    Label1[8] = ui::make<QLabel>(this, QStringLiteral("Label1(8)"),
                                 QStringLiteral("[(※)は必須項目]"), {240, 4500, 2500, 255});

    const int lineTops[] = {525, 945, 1365, 1785, 2205, 2685};
    for (int i = 0; i < 6; ++i) {
        Line1[i] = new QFrame(this);
        Line1[i]->setObjectName(QStringLiteral("Line1(%1)").arg(i));
        Line1[i]->setFrameShape(QFrame::HLine);
        Line1[i]->setFrameShadow(QFrame::Sunken);
        ui::place(Line1[i], 120, lineTops[i], 4140, 30);
    }

    auto makeButton = [this](const char* name, const QString& caption, const QString& tip,
                             int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAccessibleDescription(tip);
        ui::place(b, left, 6000, 1215, 375);
        return b;
    };
    cmdOk = makeButton("cmdOk", QStringLiteral("OK"),
                       QStringLiteral("新規データベースを作成します。"), 3960);
    cmdCansel = makeButton("cmdCansel", QStringLiteral("キャンセル"),
                           QStringLiteral("入力を取り消します。"), 5280);
    cmdHelp = makeButton("cmdHelp", QStringLiteral("ヘルプ"),
                         QStringLiteral("ヘルプを表示します。"), 6600);
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmNewDataBase::cmdOk_Click);
    connect(cmdCansel, &QPushButton::clicked, this, &frmNewDataBase::cmdCansel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmNewDataBase::cmdHelp_Click);

    setFixedSize(ui::px(kWidth), ui::px(kHeight));
    if (mainWindow) ui::centreOn(this, mainWindow);
}

QWidget* frmNewDataBase::box(int index) const {
    return index == 6 ? static_cast<QWidget*>(txtComment) : txtNewDataBase.at(index);
}

QString frmNewDataBase::boxText(int index) const {
    return index == 6 ? txtComment->toPlainText() : txtNewDataBase.at(index)->text();
}

void frmNewDataBase::setBoxText(int index, const QString& text) {
    if (index == 6)
        txtComment->setPlainText(text);
    else
        txtNewDataBase.at(index)->setText(text);
}

void frmNewDataBase::cmdOk_Click() {
    sets::NewDataBaseInputs inputs;
    for (int i = 0; i < 7; ++i) {
        const auto checked = sets::CheckDataBaseItem(boxText(i), QString(), i);
        if (!checked) {
            box(i)->setFocus();
            return;
        }
        // The stored delimiter lists are the normalised ones.
        if (i == 2 || i == 4) setBoxText(i, *checked);
        inputs[i] = boxText(i);
    }
    try {
        sets::CreateDataBase(inputs);
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
        return;
    }
    close();
}

void frmNewDataBase::cmdCansel_Click() {
    close();
}

void frmNewDataBase::cmdHelp_Click() {
    shell::ShowHelp(261, QStringLiteral("新規データベース作成"));
}

void frmNewDataBase::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The dialog keeps its size.
    if (size() != QSize(ui::px(kWidth), ui::px(kHeight))) resize(ui::px(kWidth), ui::px(kHeight));
}

void frmNewDataBase::closeEvent(QCloseEvent* event) {
    if (parentWidget()) parentWidget()->setEnabled(true);
    QDialog::closeEvent(event);
}

void frmNewDataBase::showFor(QWidget* mainWindow) {
    auto* dialog = new frmNewDataBase(mainWindow);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->txtNewDataBase[0]->setFocus();
}
