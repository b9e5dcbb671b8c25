#include "drill/frmTest.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "drill/TestLayout.h"
#include "drill/TestStatement.h"
#include "platform/dao/DaoError.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Color.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/ListSelection.h"
#include "platform/ui/MakeControl.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindows.h"
#include "shell/CheckRecordDay.h"
#include "shell/DataErrors.h"
#include "shell/MainModule.h"
#include "shell/RecordColumns.h"
#include "shell/RecordConditions.h"
#include "shell/frmMDI.h"

namespace {}  // namespace

frmTest::frmTest(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmTest"));
    setWindowTitle(QStringLiteral("テスト"));
    buildControls();
    formLoad();
}

frmTest::~frmTest() = default;

void frmTest::buildControls() {
    auto label = [this](int i, const QString& caption, int l, int t, int w, int h) {
        Label1[i] =
            ui::make<QLabel>(this, QStringLiteral("Label1(%1)").arg(i), caption, {l, t, w, h});
    };
    label(0, QStringLiteral("出題元データベース"), 240, 30, 1935, 255);
    cmdTest[1] =
        ui::make<QPushButton>(this, "cmdTest(1)", QStringLiteral("全て選択"), {2040, 0, 975, 255});
    cmdTest[2] =
        ui::make<QPushButton>(this, "cmdTest(2)", QStringLiteral("選択反転"), {3120, 0, 855, 255});
    lstDatabase = new QListWidget(this);
    lstDatabase->setObjectName(QStringLiteral("lstDatabase"));
    lstDatabase->setSelectionMode(QAbstractItemView::MultiSelection);
    lstDatabase->setAccessibleName(QStringLiteral("出題元データベース"));
    ui::place(lstDatabase, 120, 240, 4215, 1110);
    chkTest[0] =
        ui::make<QCheckBox>(this, "chkTest(0)", QStringLiteral("正解率"), {4440, 80, 945, 195});
    cmbPoints = new QComboBox(this);
    cmbPoints->setObjectName(QStringLiteral("cmbPoints"));
    ui::makeValueCombo(cmbPoints);
    ui::nameControl(cmbPoints, QStringLiteral("正解率"));
    ui::makeCompact(cmbPoints);
    ui::place(cmbPoints, 5400, 30, 735, 300);
    label(11, QStringLiteral("%"), 6240, 75, 375, 255);
    for (int f = 0; f < 2; ++f) {
        fraTest[f] = new QFrame(this);
        fraTest[f]->setObjectName(QStringLiteral("fraTest(%1)").arg(f));
        fraTest[f]->setFrameShape(QFrame::NoFrame);
    }
    ui::place(fraTest[0], 6360, 30, 1335, 255);
    ui::place(fraTest[1], 7800, 30, 1575, 255);
    optPoint[0] =
        ui::make<QRadioButton>(fraTest[0], "optPoint(0)", QStringLiteral("以上"), {0, 0, 735, 255});
    optPoint[1] = ui::make<QRadioButton>(fraTest[0], "optPoint(1)", QStringLiteral("以下"),
                                         {720, 0, 735, 255});
    optPoint[2] = ui::make<QRadioButton>(fraTest[1], "optPoint(2)", QStringLiteral("昇順"),
                                         {120, 0, 735, 255});
    optPoint[3] = ui::make<QRadioButton>(fraTest[1], "optPoint(3)", QStringLiteral("降順"),
                                         {840, 0, 735, 255});
    chkTest[1] =
        ui::make<QCheckBox>(this, "chkTest(1)", QStringLiteral("登録日"), {4440, 410, 975, 255});
    const int dayLeft[6] = {5400, 6080, 6540, 7220, 7900, 8360};
    const int dayWidth[6] = {735, 510, 510, 735, 510, 510};
    for (int i = 0; i < 6; ++i) {
        cmbRecordDay[i] = new QComboBox(this);
        cmbRecordDay[i]->setObjectName(QStringLiteral("cmbRecordDay(%1)").arg(i));
        ui::makeValueCombo(cmbRecordDay[i]);
        ui::makeCompact(cmbRecordDay[i]);
        ui::place(cmbRecordDay[i], dayLeft[i], 360, dayWidth[i], 300);
    }
    const char* dayNames[6] = {"開始年", "開始月", "開始日", "終了年", "終了月", "終了日"};
    for (int i = 0; i < 6; ++i)
        ui::nameControl(cmbRecordDay[i],
                        QStringLiteral("登録日 ") + QString::fromUtf8(dayNames[i]));
    label(10, QStringLiteral("-"), 7100, 390, 90, 180);
    label(3, QStringLiteral("出題時表示"), 4440, 795, 975, 255);
    const char* shows[4] = {"項目１", "項目２", "項目３", "コメント"};
    const int showLeft[4] = {5400, 6240, 7080, 7920};
    const int showWidth[4] = {855, 975, 975, 975};
    for (int i = 0; i < 4; ++i)
        chkTest[2 + i] =
            ui::make<QCheckBox>(this, QStringLiteral("chkTest(%1)").arg(2 + i),
                                QString::fromUtf8(shows[i]), {showLeft[i], 750, showWidth[i], 255});
    chkTest[6] = ui::make<QCheckBox>(this, "chkTest(6)", QStringLiteral("ランダム出題"),
                                     {4440, 1080, 1335, 255});
    chkTest[7] = ui::make<QCheckBox>(this, "chkTest(7)", QStringLiteral("出題比率"),
                                     {5880, 1080, 1095, 255});
    chkTest[8] =
        ui::make<QCheckBox>(this, "chkTest(8)", QStringLiteral("文字隠"), {6960, 1080, 855, 255});
    cmdTest[0] = ui::make<QPushButton>(this, "cmdTest(0)", QStringLiteral("出　題"),
                                       {7920, 1080, 1335, 255});
    for (int l = 0; l < 2; ++l) {
        Line1[l] = new QFrame(this);
        Line1[l]->setObjectName(QStringLiteral("Line1(%1)").arg(l));
        Line1[l]->setFrameShape(QFrame::HLine);
        Line1[l]->setFrameShadow(QFrame::Sunken);
    }

    label(4, QStringLiteral("データベース名"), 120, 1590, 1215, 255);
    label(12, QStringLiteral("問題数"), 4200, 1590, 615, 255);
    const char* moves[4] = {"<<", "＜", "＞", ">>"};
    for (int i = 0; i < 4; ++i)
        cmdTest[5 + i] =
            ui::make<QPushButton>(this, QStringLiteral("cmdTest(%1)").arg(5 + i),
                                  QString::fromUtf8(moves[i]), {6000 + 840 * i, 1560, 735, 255});
    label(1, QStringLiteral("項目１"), 120, 1970, 615, 255);
    cmdTest[9] = ui::make<QPushButton>(this, "cmdTest(9)", QStringLiteral("正解表示"),
                                       {2880, 1920, 855, 255});
    cmdTest[3] =
        ui::make<QPushButton>(this, "cmdTest(3)", QStringLiteral("正　解"), {3960, 1920, 855, 255});
    cmdTest[4] =
        ui::make<QPushButton>(this, "cmdTest(4)", QStringLiteral("不正解"), {5040, 1920, 855, 255});
    label(7, QStringLiteral("正解率"), 6240, 1965, 615, 255);
    label(8, QStringLiteral("%"), 7560, 1965, 135, 255);
    label(9, QStringLiteral("登録日"), 7800, 1965, 615, 255);
    label(2, QStringLiteral("項目２"), 120, 3740, 855, 255);
    label(5, QStringLiteral("項目３"), 120, 5510, 735, 255);
    label(6, QStringLiteral("コメント"), 120, 7145, 735, 255);

    const int itemPlace[7][4] = {{1440, 1560, 2295, 270}, {650, 1925, 2055, 270},
                                 {650, 3680, 2055, 270},  {650, 5450, 2055, 270},
                                 {6840, 1920, 615, 270},  {8400, 1920, 975, 270},
                                 {4800, 1560, 1095, 270}};
    for (int i = 0; i < 7; ++i) {
        txtItem[i] = new QLineEdit(this);
        txtItem[i]->setObjectName(QStringLiteral("txtItem(%1)").arg(i));
        txtItem[i]->setReadOnly(true);
        txtItem[i]->installEventFilter(this);
        ui::makeDisplayOnly(txtItem[i]);
        ui::makeCompact(txtItem[i]);
        ui::place(txtItem[i], itemPlace[i][0], itemPlace[i][1], itemPlace[i][2], itemPlace[i][3]);
    }
    txtItem[4]->setAlignment(Qt::AlignRight);
    // Named as the search window names the same boxes, after the captions beside them.
    const char* itemNames[7] = {"データベース名", "項目１の名称", "項目２の名称", "項目３の名称",
                                "正解率（%）",    "登録日",       "問題数"};
    for (int i = 0; i < 7; ++i) ui::nameControl(txtItem[i], QString::fromUtf8(itemNames[i]));
    const char* names[4] = {"項目１", "項目２", "項目３", "コメント"};
    for (int i = 0; i < 4; ++i) {
        txtData[i] = new richtext::RichTextBox(this);
        txtData[i]->setObjectName(QStringLiteral("txtData(%1)").arg(i));
        txtData[i]->setAccessibleName(QString::fromUtf8(names[i]));
        connect(txtData[i], &richtext::RichTextBox::Change, this, [this, i] { txtData_Change(i); });
    }
    // The labels behind optPoint(2), optPoint(3), chkTest(7) and cmdTest(0) explain why those
    // are disabled; here the disabled controls carry the explanations as their tool tips.
    for (int i = 13; i <= 16; ++i) {
        Label1[i] = new QLabel(this);
        Label1[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        Label1[i]->hide();
    }
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    ui::place(Text1, -10000, 0, 150, 270);
    ui::makeFocusSink(Text1);

    for (int i = 0; i < 10; ++i) {
        // A click leaves the focus where it was; the command parks it on Text1 anyway.
        cmdTest[i]->setFocusPolicy(Qt::TabFocus);
        // No button is the default: Enter would press "全て選択".
        cmdTest[i]->setAutoDefault(false);
        connect(cmdTest[i], &QPushButton::clicked, this, [this, i] { cmdTest_Click(i); });
    }
    // toggled, not clicked: a box checked by the program or by a screen reader's toggle
    // action counts as much as a click.
    for (int i = 0; i < 9; ++i)
        connect(chkTest[i], &QCheckBox::toggled, this, [this, i] { chkTest_Click(i); });
    connect(lstDatabase, &QListWidget::itemSelectionChanged, this, &frmTest::lstDatabase_Click);
}

void frmTest::setToolTips() {
    const auto tip = [](QWidget* w, const QString& text) {
        w->setToolTip(text);
        w->setAccessibleDescription(text);
    };
    tip(chkTest[0], QStringLiteral("出題条件に正解率を使用します。"));
    tip(chkTest[1], QStringLiteral("出題条件に登録日範囲を使用します。"));
    tip(chkTest[2], QStringLiteral("出題時に項目１を表示する・しないの設定をします。"));
    tip(chkTest[3], QStringLiteral("出題時に項目２を表示する・しないの設定をします。"));
    tip(chkTest[4], QStringLiteral("出題時に項目３を表示する・しないの設定をします。"));
    tip(chkTest[5], QStringLiteral("出題時に項目コメントを表示する・しないの設定をします。"));
    tip(chkTest[6], QStringLiteral("出題条件に合ったデータをランダム出題します。"));
    tip(chkTest[8],
        QStringLiteral("出題時表示しない項目に適用されます。文字隠色はオプションで設定します。"));
    tip(cmbPoints, QStringLiteral("出題条件の正解率数値を選択します。直接入力設定も可能です。"));
    tip(cmdTest[1], QStringLiteral("データベースを全て選択します。"));
    tip(cmdTest[2], QStringLiteral("データベースの選択状態を反転します。"));
    tip(cmdTest[3], QStringLiteral("正解数をカウントし次の問題を出題します。"));
    tip(cmdTest[4], QStringLiteral("不正解数をカウントし次の問題を出題します。"));
    tip(cmdTest[5], QStringLiteral("最初の問題へ移動します。正解・不正解のカウントはしません。"));
    tip(cmdTest[6],
        QStringLiteral("ひとつ前の問題へ移動します。正解・不正解のカウントはしません。"));
    tip(cmdTest[7],
        QStringLiteral("ひとつ次の問題へ移動します。正解・不正解のカウントはしません。"));
    tip(cmdTest[8], QStringLiteral("最後の問題へ移動します。正解・不正解のカウントはしません。"));
    tip(cmdTest[9], QStringLiteral("非表示項目・文字隠色の設定を解除します。"));
    for (int i = 0; i < 3; ++i)
        tip(cmbRecordDay[i], QStringLiteral("検索条件　登録範囲の最初の日を設定します。"));
    for (int i = 3; i < 6; ++i)
        tip(cmbRecordDay[i], QStringLiteral("検索条件　登録範囲の最後の日を設定します。"));
    tip(lstDatabase, QStringLiteral("出題するデータベースを一つづつ選択します。"));
    tip(optPoint[0], QStringLiteral("出題条件の正解率を何点\"以上から\"という条件で作成します。"));
    tip(optPoint[1], QStringLiteral("出題条件の正解率を何点\"以下から\"という条件で作成します。"));
    tip(txtItem[0], QStringLiteral("データベース名を表示します。"));
    tip(txtItem[1], QStringLiteral("データベースの項目１名称を表示します。"));
    tip(txtItem[2], QStringLiteral("データベースの項目２名称を表示します。"));
    tip(txtItem[3], QStringLiteral("データベースの項目３名称を表示します。"));
    tip(txtItem[4], QStringLiteral("問題の正解率を表示します。"));
    tip(txtItem[5], QStringLiteral("問題の登録日を表示します。"));
    tip(txtItem[6], QStringLiteral("出題条件に合った問題数と現在何問目かを表示します。"));
    Label1[13]->setToolTip(QStringLiteral("ランダム出題時は選択できません。"));
    Label1[14]->setToolTip(QStringLiteral("ランダム出題時は選択できません。"));
    Label1[15]->setToolTip(QStringLiteral("ランダム出題時に選択できます。"));
    Label1[16]->setToolTip(QStringLiteral("出題条件を揃えて下さい。"));
    // The enabled controls' own tips; disabled ones show the explanation instead (below).
    optPoint[2]->setProperty("enabledTip",
                             QStringLiteral("出題条件の正解率を正解率昇順で出題します。"));
    optPoint[3]->setProperty("enabledTip",
                             QStringLiteral("出題条件の正解率を正解率降順で出題します。"));
    chkTest[7]->setProperty(
        "enabledTip", QStringLiteral("ランダム出題時、正解率の低いほうを出題比率を高くします。"));
    cmdTest[0]->setProperty("enabledTip", QStringLiteral("出題条件に合った内容で出題します。"));
}

namespace {
// A control behind which an explanation label lies shows the label's tip while disabled.
void setEnabledWithTip(QWidget* control, const QLabel* explanation, bool enabled) {
    control->setEnabled(enabled);
    control->setToolTip(enabled ? control->property("enabledTip").toString()
                                : explanation->toolTip());
}
}  // namespace

void frmTest::formLoad() {
    const auto& list = shell::mainModule().dataBaseList;
    lstDatabase->clear();
    for (size_t i = 2; i < list.size(); ++i) lstDatabase->addItem(list[i].name);
    ui::place(Text1, -10000, 0, 150, 270);
    ui::placeSizableWindow(this, parentWidget(), static_cast<int>(drill::kTestWindowMinWidth),
                           static_cast<int>(drill::kTestWindowMinHeight), true);
    Form_Resize();

    shell::fillRecordDayCombos(cmbRecordDay);
    for (auto* item : txtItem) item->clear();
    busy_ = true;
    for (auto* box : txtData) {
        box->setText(QString());
        box->setTextRTF(QString());
    }
    busy_ = false;
    optPoint[0]->setChecked(true);
    optPoint[2]->setChecked(true);
    shell::fillRatePoints(cmbPoints);
    for (int i = 0; i < 9; ++i) chkTest[i]->setChecked(i >= 2 && i <= 5);
    chkTest_Click(2);
    setToolTips();
    setEnabledWithTip(optPoint[2], Label1[13], true);
    setEnabledWithTip(optPoint[3], Label1[14], true);
    setEnabledWithTip(chkTest[7], Label1[15], false);
    setEnabledWithTip(cmdTest[0], Label1[16], false);
    for (auto& entry : shell::mainModule().dataBaseList) entry.changed = false;
}

void frmTest::CheckTestCondition() {
    const bool setChosen = !lstDatabase->selectedItems().isEmpty();
    const bool condition =
        chkTest[0]->isChecked() || chkTest[1]->isChecked() || chkTest[6]->isChecked();
    setEnabledWithTip(cmdTest[0], Label1[16], setChosen && condition);
}

void frmTest::chkTest_Click(int index) {
    if (index == 0 || index == 1 || index == 6) CheckTestCondition();
    const bool random = chkTest[6]->isChecked();
    setEnabledWithTip(chkTest[7], Label1[15], random);
    setEnabledWithTip(optPoint[2], Label1[13], !random);
    setEnabledWithTip(optPoint[3], Label1[14], !random);
}

void frmTest::lstDatabase_Click() {
    CheckTestCondition();
}

void frmTest::cmdTest_Click(int index) {
    const ui::FocusReturn focusBack(cmdTest[index]);
    Text1->setFocus();
    busy_ = true;
    try {
        switch (index) {
            case 0:
                startTest();
                break;
            case 1:
                ui::selectAllEntries(lstDatabase);
                break;
            case 2:
                ui::invertSelection(lstDatabase);
                break;
            case 3:
                answer(true);
                break;
            case 4:
                answer(false);
                break;
            case 9:
                reveal();
                break;
            default:
                move(index);
                break;
        }
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
    busy_ = false;
}

void frmTest::startTest() {
    std::array<QString, 6> dates;
    for (int i = 0; i < 6; ++i) dates[i] = cmbRecordDay[i]->currentText();
    if (!shell::CheckRecordDay(dates)) return;
    // A bound that is not a number never reaches the engine; the previous test stays.
    if (chkTest[0]->isChecked() && !shell::CheckRateBound(cmbPoints->currentText())) return;
    // A typed edit of the question on screen is kept, as moving on would keep it.
    if (session_.hasQuestion()) writeBack();
    drill::TestConditions c;
    const auto& list = shell::mainModule().dataBaseList;
    for (int i = 0; i < lstDatabase->count(); ++i)
        if (lstDatabase->item(i)->isSelected()) c.dbIDs.push_back(list.at(i + 2).dbID);
    c.rateCondition = chkTest[0]->isChecked();
    c.atOrAbove = optPoint[0]->isChecked();
    c.rateText = cmbPoints->currentText();
    c.dateCondition = chkTest[1]->isChecked();
    c.dateTexts = dates;
    c.random = chkTest[6]->isChecked();
    c.weighted = chkTest[7]->isChecked();
    c.ascending = optPoint[2]->isChecked();
    if (session_.start(*shell::mainModule().database, c))
        showQuestion(session_.firstQuestion(showSettings()));
    else
        emptyQuestion();
}

drill::ShowSettings frmTest::showSettings() const {
    drill::ShowSettings show;
    for (int box = 0; box < 4; ++box) show.shown[box] = chkTest[2 + box]->isChecked();
    show.hideByColour = chkTest[8]->isChecked();
    return show;
}

void frmTest::setBox(int box, const drill::BoxView& view) {
    txtData[box]->setText(view.text);
    txtData[box]->setTextRTF(view.rtf);
    txtData[box]->setBackColor(ui::qColorFromBgr(view.backColour));
}

void frmTest::showQuestion(const drill::QuestionView& q) {
    for (int box = 0; box < 4; ++box)
        if (q.boxes[box].locked) txtData[box]->setLocked(*q.boxes[box].locked);
    for (int box = 0; box < 4; ++box) setBox(box, q.boxes[box]);
    txtItem[0]->setText(q.setName);
    for (int k = 0; k < 3; ++k) txtItem[1 + k]->setText(q.itemNames[k]);
    txtItem[4]->setText(q.rate);
    ui::setCompactColors(txtItem[4], ui::qColorFromBgr(q.rateBackColour),
                         txtItem[4]->palette().color(QPalette::Text));
    txtItem[5]->setText(q.registered);
    txtItem[6]->setText(q.counter);
}

void frmTest::emptyQuestion() {
    for (auto* item : txtItem) item->clear();
    for (auto* box : txtData) {
        box->setText(QString());
        box->setTextRTF(QString());
    }
}

void frmTest::writeBack() {
    if (!edited_) return;
    dao::Recordset& rs = *session_.recordset();
    rs.Edit();
    shell::RecordTexts texts;
    for (int box = 0; box < 4; ++box)
        if (!txtData[box]->Locked())
            texts[box] = shell::RecordText{txtData[box]->Text(), txtData[box]->TextRTF()};
    shell::writeRecordTexts(rs, texts);
    rs.Update();
}

void frmTest::answer(bool correct) {
    if (!session_.hasQuestions()) return;
    writeBack();
    bool count = true;
    if (session_.endCounted()) {
        count =
            ui::MsgBox(
                QStringLiteral("最終データです。\n一度カウントしています。再カウントしますか。"),
                ui::Buttons::OKCancel, QStringLiteral("正解率チェック")) == ui::Answer::OK;
    }
    // Loading the next question now counts as an edit, so the answered sets are re-read
    // when the window closes.
    busy_ = false;
    if (!count) return;
    session_.answer(correct,
                    drill::questionOrder(chkTest[6]->isChecked(), chkTest[7]->isChecked()));
    if (const auto q = session_.questionAfterMove(showSettings())) showQuestion(*q);
}

void frmTest::move(int button) {
    if (!session_.hasQuestions()) return;
    writeBack();
    constexpr drill::QuestionMove kMoves[4] = {
        drill::QuestionMove::First, drill::QuestionMove::Previous, drill::QuestionMove::Next,
        drill::QuestionMove::Last};
    session_.move(kMoves[button - 5]);
    if (const auto q = session_.questionAfterMove(showSettings())) showQuestion(*q);
}

void frmTest::reveal() {
    if (!session_.hasQuestion()) return;
    const auto boxes = session_.revealed(showSettings());
    for (int box = 0; box < 4; ++box) {
        if (!boxes[box]) continue;
        setBox(box, *boxes[box]);
        txtData[box]->setLocked(false);
    }
}

void frmTest::txtData_Change(int) {
    if (busy_ || !session_.hasQuestion()) return;
    std::int32_t dbID = -1;
    try {
        dbID = session_.recordset()->value(QStringLiteral("dbID")).toInteger();
    } catch (const dao::DaoError&) {
        // The record went away under the window; the edit still counts as one.
    }
    auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) {
        if (list[i].dbID == dbID) {
            list[i].changed = true;
            break;
        }
    }
    edited_ = true;
}

void frmTest::Form_Resize() {
    if (isMinimized()) return;
    const drill::TestWindowLayout l = drill::layoutTestWindow(
        ui::twips(width()) + ui::kSizableFrameWidth, ui::twips(height()) + ui::kSizableFrameHeight);
    for (const drill::Placement& p : l.placements) {
        auto* control = findChild<QWidget*>(p.control);
        if (!control) continue;
        const int height = p.height > 0 ? static_cast<int>(p.height) : 30;
        ui::place(control, static_cast<int>(p.left), static_cast<int>(p.top),
                  static_cast<int>(p.width), height);
    }
}

void frmTest::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmTest::Form_QueryUnload() {
    if (unloaded_) return;
    unloaded_ = true;
    try {
        if (session_.hasQuestion()) writeBack();
        session_.close();
        if (shell::mainModule().openWindowCount > 0) records::RefreshRecordWindows();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

void frmTest::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Esc does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmTest::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    QDialog::closeEvent(event);
}

bool frmTest::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (auto* item : txtItem) {
            if (watched == item) {
                QTimer::singleShot(0, Text1, [this] { Text1->setFocus(); });
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace drill {

void ShowTestWindow() {
    frmTest window(shell::mainModule().mdiForm);
    window.exec();
    window.Form_QueryUnload();
}

}  // namespace drill
