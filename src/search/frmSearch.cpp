#include "search/frmSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStringList>
#include <QStyleFactory>
#include <QTimer>

#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Color.h"
#include "platform/ui/CompactCombo.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/ListSelection.h"
#include "platform/ui/MakeControl.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Format.h"
#include "records/RecordWindows.h"
#include "search/SearchLayout.h"
#include "search/SearchResultSource.h"
#include "search/SearchStatement.h"
#include "shell/CheckRecordDay.h"
#include "shell/DataErrors.h"
#include "shell/MainModule.h"
#include "shell/RecordColumns.h"
#include "shell/RecordConditions.h"
#include "shell/frmMDI.h"

namespace {

// While the window writes its own boxes, their changes are not edits.
class Busy {
public:
    explicit Busy(int& busy) : busy_(busy) { ++busy_; }
    ~Busy() { --busy_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    int& busy_;
};

QString arrayName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void setTip(QWidget* w, const QString& tip) {
    w->setToolTip(tip);
    w->setAccessibleDescription(tip);
}

void setBoxColor(QLineEdit* box, std::uint32_t bgr) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, ui::qColorFromBgr(bgr));
    box->setPalette(p);
}

std::uint32_t colorOf(const dao::Variant& v) {
    return v.isNull() ? 0xFFFFFFu : static_cast<std::uint32_t>(v.toLong());
}

// The five texts of a record, in box order, with their RTF and background columns.
const char* const kTextFields[5] = {"項目1", "項目2", "項目3", "コメント", "出展"};
const char* const kBackColorFields[5] = {"項目1背景色", "項目2背景色", "項目3背景色",
                                         "コメント背景色", "出展背景色"};

// Grid cells keep one pixel each side for their text, so that a date fits its 1000-twip
// column and a rate of 100.0 its 490.
class NarrowCellStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

constexpr int kGridColumns = 7;
constexpr int kIdColumn = 17;

}  // namespace

frmSearch::frmSearch(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("検索"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(false);
    // The form's own face and size: the twip positions were made for its metrics.
    richtext::installFontSubstitutions();
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    buildControls();
    Form_Load();
}

frmSearch::~frmSearch() {
    // The grid may outlive the result it reads from by a moment.
    MSHFlexGrid1->setDataSource(nullptr);
}

void frmSearch::buildControls() {
    const char* const captions[12] = {"検索するデータベース",
                                      "検索条件",
                                      "-",
                                      "項目１",
                                      "項目２",
                                      "項目３",
                                      "コメント",
                                      "出展",
                                      "正解率（%）",
                                      "登録日",
                                      "データベース名",
                                      "ヒット数"};
    for (int i = 0; i < 12; ++i)
        Label1[i] = ui::make<QLabel>(this, arrayName("Label1", i), QString::fromUtf8(captions[i]));
    ui::place(Label1[0], 120, 0, 1695, 180);
    ui::place(Label1[1], 4920, 0, 720, 180);
    ui::place(Label1[2], 7570, 1005, 255, 255);
    ui::place(Label1[11], 3900, 1440, 645, 180);

    lstDatabase = new QListWidget(this);
    lstDatabase->setObjectName(QStringLiteral("lstDatabase"));
    lstDatabase->setSelectionMode(QAbstractItemView::MultiSelection);
    lstDatabase->setAccessibleName(Label1[0]->text());
    ui::place(lstDatabase, 97, 240, 4575, 1110);
    connect(lstDatabase, &QListWidget::itemSelectionChanged, this, &frmSearch::lstDatabase_Click);

    const char* const buttons[9] = {"検　索", "全て選択", "選択反転", "一　覧", "詳　細",
                                    "<<",     "＜",       "＞",       ">>"};
    for (int i = 0; i < 9; ++i) {
        cmdSearch[i] = new QPushButton(QString::fromUtf8(buttons[i]), this);
        cmdSearch[i]->setObjectName(arrayName("cmdSearch", i));
        cmdSearch[i]->setAutoDefault(false);
        // A click leaves the focus where it was; the command parks it on Text1 anyway.
        cmdSearch[i]->setFocusPolicy(Qt::TabFocus);
        connect(cmdSearch[i], &QPushButton::clicked, this, [this, i] { cmdSearch_Click(i); });
    }
    cmdSearch[5]->setAccessibleName(QStringLiteral("最初へ"));
    cmdSearch[6]->setAccessibleName(QStringLiteral("前へ"));
    cmdSearch[7]->setAccessibleName(QStringLiteral("次へ"));
    cmdSearch[8]->setAccessibleName(QStringLiteral("最後へ"));
    ui::place(cmdSearch[0], 7920, 1320, 1455, 255);
    ui::place(cmdSearch[1], 2160, 0, 975, 255);
    ui::place(cmdSearch[2], 3240, 0, 975, 255);
    ui::place(cmdSearch[3], 5880, 1400, 855, 255);
    ui::place(cmdSearch[4], 6840, 1400, 855, 255);
    const int navLeft[4] = {2760, 3600, 4420, 5250};
    for (int k = 0; k < 4; ++k) ui::place(cmdSearch[5 + k], navLeft[k], 1735, 735, 255);

    auto check = [this](const char* name, const QString& caption, int top) {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        ui::place(c, 4920, top, 855, 255);
        connect(c, &QCheckBox::toggled, this, &frmSearch::UpdateSearchButton);
        return c;
    };
    chkWord = check("chkWord", QStringLiteral("単語"), 240);
    chkJustAnswerRate = check("chkJustAnswerRate", QStringLiteral("正解率"), 600);
    chkRecordDay = check("chkRecordDay", QStringLiteral("登録日"), 960);

    for (int i = 0; i < 8; ++i) {
        txtSearch[i] = new QLineEdit(this);
        txtSearch[i]->setObjectName(arrayName("txtSearch", i));
        if (i > 0) {
            txtSearch[i]->setReadOnly(true);
            txtSearch[i]->installEventFilter(this);
            ui::makeDisplayOnly(txtSearch[i]);
        }
    }
    txtSearch[0]->setAccessibleName(QStringLiteral("検索する単語"));
    connect(txtSearch[0], &QLineEdit::textChanged, this, &frmSearch::UpdateSearchButton);
    ui::place(txtSearch[0], 5880, 240, 3495, 270);
    ui::place(txtSearch[7], 4560, 1400, 1095, 270);
    txtSearch[7]->setAlignment(Qt::AlignRight);
    txtSearch[7]->setAccessibleName(Label1[11]->text());

    cmbPoints = new QComboBox(this);
    cmbPoints->setObjectName(QStringLiteral("cmbPoints"));
    ui::makeValueCombo(cmbPoints);
    ui::nameControl(cmbPoints, QStringLiteral("正解率"));
    ui::place(cmbPoints, 5880, 600, 735, 300);
    Label10 = ui::make<QLabel>(this, QStringLiteral("Label10"), QStringLiteral("％"));
    ui::place(Label10, 6720, 645, 255, 255);
    optPoint[0] = new QRadioButton(QStringLiteral("以上"), this);
    optPoint[1] = new QRadioButton(QStringLiteral("以下"), this);
    for (int k = 0; k < 2; ++k) {
        optPoint[k]->setObjectName(arrayName("optPoint", k));
        ui::place(optPoint[k], k == 0 ? 7080 : 7920, 650, 735, 180);
    }

    const int dayLeft[6] = {5880, 6560, 7020, 7700, 8400, 8840};
    const int dayWidth[6] = {735, 510, 510, 735, 510, 510};
    const char* const dayNames[6] = {"開始年", "開始月", "開始日", "終了年", "終了月", "終了日"};
    for (int i = 0; i < 6; ++i) {
        cmbRecordDay[i] = new QComboBox(this);
        cmbRecordDay[i]->setObjectName(arrayName("cmbRecordDay", i));
        ui::makeValueCombo(cmbRecordDay[i]);
        ui::nameControl(cmbRecordDay[i],
                        QStringLiteral("登録日 ") + QString::fromUtf8(dayNames[i]));
        // A narrow arrow leaves room for two digits in the month and day boxes.
        ui::makeCompact(cmbRecordDay[i]);
        ui::place(cmbRecordDay[i], dayLeft[i], 960, dayWidth[i], 300);
        connect(cmbRecordDay[i], qOverload<int>(&QComboBox::activated), this,
                [this, i] { cmbRecordDay_Click(i); });
    }

    MSHFlexGrid1 = new ui::FlexGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setAccessibleName(QStringLiteral("検索結果"));
    // The header row in the window's light orange (0x0080C0FF).
    MSHFlexGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; border: 1px solid #a0a0a0; }")
            .arg(ui::qColorFromBgr(0x0080C0FF).name()));
    // Half-width digits of the fixed-pitch face are as narrow as the column widths expect.
    MSHFlexGrid1->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
    auto* cellStyle = new NarrowCellStyle(QStyleFactory::create(QApplication::style()->name()));
    cellStyle->setParent(MSHFlexGrid1);
    MSHFlexGrid1->setStyle(cellStyle);
    connect(MSHFlexGrid1, &ui::FlexGrid::dblClick, this, &frmSearch::MSHFlexGrid1_DblClick);

    // Detail view.
    ui::place(Label1[10], 120, 1440, 1260, 180);
    ui::place(txtSearch[6], 1440, 1400, 2295, 270);
    ui::place(Label1[3], 120, 1770, 480, 180);
    ui::place(txtSearch[1], 720, 1730, 1935, 270);
    ui::place(Label1[8], 6050, 1770, 900, 180);
    ui::place(txtSearch[4], 6850, 1730, 975, 270);
    ui::place(Label1[9], 7870, 1770, 540, 180);
    ui::place(txtSearch[5], 8400, 1730, 975, 270);
    ui::place(Label1[4], 120, 3360, 480, 180);
    ui::place(txtSearch[2], 720, 3311, 1935, 270);
    ui::place(Label1[5], 120, 4935, 480, 180);
    ui::place(txtSearch[3], 720, 4892, 1935, 270);
    ui::place(Label1[6], 120, 6480, 555, 180);
    ui::place(Label1[7], 120, 7320, 360, 180);
    txtSearch[4]->setAlignment(Qt::AlignRight);
    // The rate and the date in their 975-twip boxes, and the rate caption before its box,
    // fit only a little smaller.
    QFont digits(QStringLiteral("ＭＳ ゴシック"));
    digits.setPixelSize(11);
    txtSearch[4]->setFont(digits);
    txtSearch[5]->setFont(digits);
    QFont caption = font();
    caption.setPixelSize(11);
    Label1[8]->setFont(caption);
    txtSearch[6]->setAccessibleName(Label1[10]->text());
    txtSearch[4]->setAccessibleName(Label1[8]->text());
    txtSearch[5]->setAccessibleName(Label1[9]->text());
    for (int k = 0; k < 3; ++k)
        txtSearch[1 + k]->setAccessibleName(Label1[3 + k]->text() + QStringLiteral("の名称"));

    for (int i = 0; i < 5; ++i) {
        txtData[i] = new richtext::RichTextBox(this);
        txtData[i]->setObjectName(arrayName("txtData", i));
        txtData[i]->setAccessibleName(Label1[3 + i]->text());
        connect(txtData[i], &richtext::RichTextBox::Change, this, [this, i] { txtData_Change(i); });
    }
    ui::place(txtData[0], 97, 1998, 9255, 1215);
    ui::place(txtData[1], 97, 3579, 9255, 1215);
    ui::place(txtData[2], 97, 5160, 9255, 1215);
    ui::place(txtData[3], 120, 6720, 9255, 495);
    ui::place(txtData[4], 120, 7560, 9255, 495);

    Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    ui::place(Text1, 0, 0, 150, 270);
    ui::makeFocusSink(Text1);

    const QList<QWidget*> order = {
        lstDatabase,       cmdSearch[1],    cmdSearch[2],    chkWord,         txtSearch[0],
        chkJustAnswerRate, cmbPoints,       optPoint[0],     optPoint[1],     chkRecordDay,
        cmbRecordDay[0],   cmbRecordDay[1], cmbRecordDay[2], cmbRecordDay[3], cmbRecordDay[4],
        cmbRecordDay[5],   cmdSearch[0],    cmdSearch[3],    cmdSearch[4],    MSHFlexGrid1,
        cmdSearch[5],      cmdSearch[6],    cmdSearch[7],    cmdSearch[8],    txtData[0],
        txtData[1],        txtData[2],      txtData[3],      txtData[4]};
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmSearch::setToolTips() {
    setTip(lstDatabase, QStringLiteral("検索するデータベースを一つづつ設定します。"));
    setTip(cmdSearch[1], QStringLiteral("データベースを全て選択します。"));
    setTip(cmdSearch[2], QStringLiteral("データベースの選択状態を反転します。"));
    setTip(chkWord, QStringLiteral("検索条件に単語を使用します。"));
    setTip(txtSearch[0], QStringLiteral("検索する単語を入力します。"));
    setTip(chkJustAnswerRate, QStringLiteral("検索条件に正解率を使用します。"));
    setTip(cmbPoints, QStringLiteral("検索条件の正解率を指定します。直接入力設定も可能です。"));
    setTip(optPoint[0], QStringLiteral("検索条件の正解率を何点\"以上から\"という条件にします。"));
    setTip(optPoint[1], QStringLiteral("検索条件の正解率を何点\"以下から\"という条件にします。"));
    setTip(chkRecordDay, QStringLiteral("検索条件に登録日を使用します。"));
    for (int i = 0; i < 6; ++i)
        setTip(cmbRecordDay[i], i < 3
                                    ? QStringLiteral("検索条件　登録範囲の最初の日を設定します。")
                                    : QStringLiteral("検索条件　登録範囲の最後の日を設定します。"));
    setTip(cmdSearch[0], QStringLiteral("検索条件に合わせて検索します。"));
    setTip(txtSearch[7], QStringLiteral("検索条件に合ったデータ総数と現在何番目かを表示します。"));
    setTip(cmdSearch[3], QStringLiteral("検索結果を一覧表示します。"));
    setTip(cmdSearch[4], QStringLiteral("検索結果を詳細表示します。"));
    setTip(MSHFlexGrid1,
           QStringLiteral("検索結果を一覧表示します。ダブルクリックした項目を詳細表示できます。"));
    setTip(txtSearch[6], QStringLiteral("データベース名を表示します。"));
    setTip(txtSearch[4], QStringLiteral("現在表示中データの正解率を表示します。"));
    setTip(txtSearch[5], QStringLiteral("現在表示中データの登録日を表示します。"));
    setTip(txtSearch[1], QStringLiteral("データベースの項目１名称を表示します。"));
    setTip(txtSearch[2], QStringLiteral("データベースの項目２名称を表示します。"));
    setTip(txtSearch[3], QStringLiteral("データベースの項目３名称を表示します。"));
    setTip(cmdSearch[5], QStringLiteral("検索結果の最初へ移動します。"));
    setTip(cmdSearch[6], QStringLiteral("検索結果のひとつ前へ移動します。"));
    setTip(cmdSearch[7], QStringLiteral("検索結果のひとつ次へ移動します。"));
    setTip(cmdSearch[8], QStringLiteral("検索結果の最後へ移動します。"));
}

void frmSearch::Form_Load() {
    ui::place(Text1, -10000, 0, 150, 270);
    open_ = false;

    shell::MainModule& m = shell::mainModule();
    lstDatabase->clear();
    dbIDs_.clear();
    for (std::size_t e = 2; e < m.dataBaseList.size(); ++e) {
        lstDatabase->addItem(m.dataBaseList[e].name);
        dbIDs_.push_back(static_cast<std::int16_t>(m.dataBaseList[e].dbID));
    }

    ui::placeSizableWindow(this, parentWidget(), search::kSearchWidth, search::kSearchHeight, true);

    shell::fillRatePoints(cmbPoints);
    optPoint[0]->setChecked(true);

    shell::fillRecordDayCombos(cmbRecordDay);

    ui::FlexGrid* g = MSHFlexGrid1;
    g->setVisible(true);
    ui::place(g, 120, 1680, 9255, 6375);
    g->setCols(kGridColumns);
    g->setRows(2);
    g->setMergeCol(0, true);
    g->setRowHeight(1, 0);
    g->setRowHeight(0, 450);
    const char* const headers[kGridColumns] = {"データベース名", "項目１", "項目２", "項目３",
                                               "正解率",         "登録日", ""};
    for (int c = 0; c < kGridColumns; ++c) g->setTextMatrix(0, c, QString::fromUtf8(headers[c]));
    // The set name column and the empty seventh are ours to size: the name fits beside
    // the others without a horizontal scroll bar, and the seventh carries nothing.
    g->setColWidth(0, 900);
    for (int c = 1; c <= 3; ++c) g->setColWidth(c, 2260);
    g->setColWidth(4, 490);
    g->setColWidth(5, 1000);
    g->setColWidth(6, 0);
    for (int c : {0, 1, 2, 3, 6}) g->setColAlignment(c, ui::FlexAlign::CenterCenter);
    g->setColAlignment(4, ui::FlexAlign::RightCenter);
    g->setColAlignment(5, ui::FlexAlign::RightCenter);
    g->setRow(0);

    setToolTips();

    SetSearchViewMode(true);
    cmdSearch[0]->setEnabled(false);
    cmdSearch[4]->setEnabled(false);

    for (auto& entry : m.dataBaseList) entry.changed = false;

    loaded_ = true;
    Form_Resize();
}

void frmSearch::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmSearch::Form_Resize() {
    if (!loaded_ || isMinimized()) return;
    const int clientWidth = ui::twips(width());
    const int clientHeight = ui::twips(height());
    const search::SearchLayout l =
        search::searchLayout(clientWidth + search::kFrameWidth, clientHeight + search::kFrameHeight,
                             clientWidth, clientHeight, MSHFlexGrid1->rows());
    const bool wasEnabled = updatesEnabled();
    setUpdatesEnabled(false);
    if (l.snapped) resize(ui::px(l.clientWidth), ui::px(l.clientHeight));

    ui::place(lstDatabase, 97, 240, l.lstDatabaseWidth, 1110);
    ui::place(Label1[1], l.conditionLeft, 0, 720, 180);
    ui::place(chkWord, l.conditionLeft, 240, 855, 255);
    ui::place(chkJustAnswerRate, l.conditionLeft, 600, 855, 255);
    ui::place(chkRecordDay, l.conditionLeft, 960, 855, 255);
    ui::place(txtSearch[0], l.wordLeft, 240, 3495, 270);
    ui::place(cmbPoints, l.wordLeft, 600, 735, 300);
    const int dayWidth[6] = {735, 510, 510, 735, 510, 510};
    for (int i = 0; i < 6; ++i)
        ui::place(cmbRecordDay[i], l.recordDayLeft[i], 960, dayWidth[i], 300);
    ui::place(optPoint[0], l.optPointLeft[0], 650, 735, 180);
    ui::place(optPoint[1], l.optPointLeft[1], 650, 735, 180);
    ui::place(Label1[2], l.dashLeft, 1005, 255, 255);
    ui::place(Label1[11], l.hitsLabelLeft, 1440, 645, 180);
    ui::place(txtSearch[7], l.counterLeft, 1400, 1095, 270);
    ui::place(cmdSearch[0], l.searchButtonLeft, 1320, 1455, 255);
    ui::place(cmdSearch[3], l.listButtonLeft, 1400, 855, 255);
    ui::place(cmdSearch[4], l.detailButtonLeft, 1400, 855, 255);
    // The rate unit keeps its place after the rate box.
    ui::place(Label10, l.wordLeft + 840, 645, 255, 255);

    ui::place(MSHFlexGrid1, 120, 1680, l.gridWidth, l.gridHeight);
    for (int c = 0; c < 3; ++c) MSHFlexGrid1->setColWidth(c + 1, l.gridColWidth[c]);

    ui::place(Label1[8], l.rateLabelLeft, 1770, 900, 180);
    ui::place(txtSearch[4], l.rateBoxLeft, 1730, 975, 270);
    ui::place(Label1[9], l.dateLabelLeft, 1770, 540, 180);
    ui::place(txtSearch[5], l.dateBoxLeft, 1730, 975, 270);
    for (int k = 0; k < 3; ++k)
        ui::place(txtData[k], 97, l.richTop[k], l.richWidth, l.itemHeight[k]);
    for (int k = 0; k < 2; ++k) {
        ui::place(Label1[4 + k], 120, l.itemLabelTop[k], 480, 180);
        ui::place(txtSearch[2 + k], 720, l.itemNameTop[k], 1935, 270);
    }
    ui::place(Label1[6], 120, l.commentLabelTop, 555, 180);
    ui::place(txtData[3], 120, l.richTop[3], l.richWidth, 495);
    ui::place(Label1[7], 120, l.sourceLabelTop, 360, 180);
    ui::place(txtData[4], 120, l.richTop[4], l.richWidth, 495);
    setUpdatesEnabled(wasEnabled);
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event) {
    // Display boxes never keep the focus.
    if (event->type() == QEvent::FocusIn) {
        for (int i = 1; i < 8; ++i) {
            if (watched == txtSearch[i]) {
                QTimer::singleShot(0, Text1, [this] { Text1->setFocus(); });
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSearch::UpdateSearchButton() {
    cmdSearch[0]->setEnabled(search::searchButtonEnabled(
        !lstDatabase->selectedItems().isEmpty(), chkWord->isChecked(),
        chkJustAnswerRate->isChecked(), chkRecordDay->isChecked(), txtSearch[0]->text().isEmpty()));
}

void frmSearch::lstDatabase_Click() {
    UpdateSearchButton();
}

void frmSearch::SetSearchViewMode(bool list) {
    cmdSearch[3]->setEnabled(!list);
    cmdSearch[4]->setEnabled(list);
    for (int i = 5; i <= 8; ++i) cmdSearch[i]->setVisible(!list);
    for (int i = 3; i <= 10; ++i) Label1[i]->setVisible(!list);
    for (int i = 1; i <= 6; ++i) txtSearch[i]->setVisible(!list);
    for (auto* box : txtData) box->setVisible(!list);
    MSHFlexGrid1->setVisible(list);
}

std::array<QString, 6> frmSearch::dateTexts() const {
    std::array<QString, 6> d;
    for (int i = 0; i < 6; ++i) d[i] = cmbRecordDay[i]->currentText();
    return d;
}

search::SearchConditions frmSearch::conditions() const {
    search::SearchConditions c;
    for (int i = 0; i < lstDatabase->count(); ++i)
        if (lstDatabase->item(i)->isSelected()) c.dbIDs.push_back(dbIDs_[i]);
    c.wordCondition = chkWord->isChecked();
    c.wordText = txtSearch[0]->text();
    c.rateCondition = chkJustAnswerRate->isChecked();
    c.atOrAbove = optPoint[0]->isChecked();
    c.rateText = cmbPoints->currentText();
    c.dateCondition = chkRecordDay->isChecked();
    c.dateTexts = dateTexts();
    return c;
}

void frmSearch::cmdSearch_Click(int index) {
    // 一覧 and 詳細 disable themselves and enable each other.
    QPushButton* counterpart = index == 3 ? cmdSearch[4] : index == 4 ? cmdSearch[3] : nullptr;
    const ui::FocusReturn focusBack(cmdSearch[index], counterpart);
    Text1->setFocus();
    Busy busy(busy_);
    try {
        switch (index) {
            case 0:
                runSearch();
                break;
            case 1:
                ui::selectAllEntries(lstDatabase);
                break;
            case 2:
                ui::invertSelection(lstDatabase);
                break;
            case 3:
                // The detail boxes keep their record; they are written back when it is left.
                SetSearchViewMode(true);
                if (open_) setCounter();
                break;
            case 4:
                showDetail();
                break;
            default:
                moveRecord(index);
                break;
        }
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

void frmSearch::runSearch() {
    if (!shell::CheckRecordDay(dateTexts())) return;
    // A bound that is no number never reaches the statement.
    if (chkJustAnswerRate->isChecked() && !shell::CheckRateBound(cmbPoints->currentText())) return;
    // Texts edited in the detail view are kept before their result goes.
    saveShownRecord();
    closeResult();
    try {
        rs_ = shell::mainModule().database->OpenRecordset(
            search::buildSearchStatement(conditions()), dao::dbOpenDynaset);
        SetSearchViewMode(true);
        lastShown_ = -1;
        if (rs_->RecordCount() > 0)
            showResult();
        else
            emptyGrid();
    } catch (const dao::DaoError&) {
        closeResult();
        SetSearchViewMode(true);
        emptyGrid();
        throw;
    }
}

void frmSearch::showResult() {
    ui::FlexGrid* g = MSHFlexGrid1;
    g->setRedraw(false);
    // The grid holds every column of the result; it shows the first six.
    const int columns = rs_->FieldCount();
    if (g->cols() != columns) {
        g->setCols(columns);
        for (int c = 6; c < columns; ++c) g->setColWidth(c, 0);
    }
    source_ = std::make_shared<search::SearchResultSource>(rs_.get());
    g->setDataSource(source_);
    if (g->rows() > 1) g->setRow(1);
    Form_Resize();
    for (int c = 0; c <= 5; ++c) g->setCellAlignment(0, c, ui::FlexAlign::CenterCenter);
    g->setColAlignment(4, ui::FlexAlign::General);
    g->setRowHeight(-1, 390);
    g->setRedraw(true);

    txtSearch[6]->setText(rs_->value(QStringLiteral("データベース名")).displayText());
    for (int k = 0; k < 3; ++k)
        txtSearch[1 + k]->setText(
            rs_->value(QStringLiteral("項目%1名称").arg(k + 1)).displayText());
    txtSearch[4]->setText(rs_->value(QStringLiteral("正解率")).displayText());
    txtSearch[5]->setText(rs_->value(QStringLiteral("登録日")).displayText());
    open_ = true;
    setCounter();
    g->viewport()->update();
}

void frmSearch::emptyGrid() {
    txtSearch[7]->clear();
    cmdSearch[4]->setEnabled(false);
    MSHFlexGrid1->setDataSource(nullptr);
    MSHFlexGrid1->setRows(2);
    MSHFlexGrid1->setRowHeight(1, 0);
    Form_Resize();
}

void frmSearch::closeResult() {
    MSHFlexGrid1->setDataSource(nullptr);
    source_.reset();
    if (rs_) rs_->Close();
    rs_.reset();
    open_ = false;
}

void frmSearch::setCounter() {
    txtSearch[7]->setText(search::counterText(rs_->AbsolutePosition(), rs_->RecordCount()));
}

void frmSearch::showDetail() {
    if (!open_ || rs_->AbsolutePosition() < 0) return;
    saveShownRecord();
    SetSearchViewMode(false);
    ShowSearchRecord();
    lastShown_ = rs_->AbsolutePosition();
    setCounter();
}

void frmSearch::moveRecord(int button) {
    if (!open_ || rs_->RecordCount() == 0) return;
    saveShownRecord();
    switch (button) {
        case 5:
            rs_->MoveFirst();
            break;
        case 6:
            rs_->MovePrevious();
            if (rs_->AtBOF()) rs_->MoveFirst();
            break;
        case 7:
            rs_->MoveNext();
            if (rs_->AtEOF()) rs_->MoveLast();
            break;
        case 8:
            rs_->MoveLast();
            break;
        default:
            return;
    }
    if (rs_->AbsolutePosition() != lastShown_) {
        ShowSearchRecord();
        setCounter();
    }
    lastShown_ = rs_->AbsolutePosition();
}

void frmSearch::ShowSearchRecord() {
    Busy busy(busy_);
    for (int i = 0; i < 5; ++i) {
        const QString field = QString::fromUtf8(kTextFields[i]);
        txtData[i]->setText(rs_->value(field).displayText());
        txtData[i]->setTextRTF(rs_->value(field + QStringLiteral("RTF")).displayText());
        txtData[i]->setBackColor(
            ui::qColorFromBgr(colorOf(rs_->value(QString::fromUtf8(kBackColorFields[i])))));
    }
    for (int k = 0; k < 3; ++k)
        txtSearch[1 + k]->setText(
            rs_->value(QStringLiteral("項目%1名称").arg(k + 1)).displayText());
    const QString rate = rs_->value(QStringLiteral("正解率")).displayText();
    txtSearch[4]->setText(rate);
    txtSearch[5]->setText(rs_->value(QStringLiteral("登録日")).displayText());
    txtSearch[6]->setText(rs_->value(QStringLiteral("データベース名")).displayText());
    const dao::Variant threshold = rs_->value(QStringLiteral("正解率閾値"));
    const bool atOrAbove =
        search::rateAtOrAboveThreshold(threshold.isNull() ? 0 : threshold.toLong(), rate);
    setBoxColor(txtSearch[4], colorOf(rs_->value(atOrAbove ? QStringLiteral("正解率以上背景色")
                                                           : QStringLiteral("正解率未満背景色"))));
}

void frmSearch::writeBack() {
    rs_->Edit();
    try {
        shell::RecordTexts texts;
        for (std::size_t i = 0; i < texts.size(); ++i)
            texts[i] = shell::RecordText{txtData[i]->Text(), txtData[i]->TextRTF()};
        shell::writeRecordTexts(*rs_, texts);
        rs_->Update();
    } catch (const dao::DaoError&) {
        rs_->CancelUpdate();
        throw;
    }
    if (source_) source_->forget();
}

void frmSearch::saveShownRecord() {
    // Once anything was edited, leaving a record writes it back; only the record the boxes
    // show, never another one that happens to be current.
    if (!edited_ || !open_ || rs_->RecordCount() == 0) return;
    if (lastShown_ < 0 || rs_->AbsolutePosition() != lastShown_) return;
    writeBack();
}

void frmSearch::txtData_Change(int) {
    if (busy_ > 0) return;
    if (!open_ || rs_->AbsolutePosition() < 0) return;
    try {
        const std::int32_t dbID = rs_->value(QStringLiteral("dbID")).toLong();
        for (auto& entry : shell::mainModule().dataBaseList) {
            if (entry.dbID == dbID) {
                entry.changed = true;
                break;
            }
        }
        edited_ = true;
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

void frmSearch::MSHFlexGrid1_DblClick() {
    if (!open_) return;
    Busy busy(busy_);
    try {
        const int id = MSHFlexGrid1->textMatrix(MSHFlexGrid1->row(), kIdColumn).toInt();
        saveShownRecord();
        rs_->FindFirst(QStringLiteral("ID =") + QString::number(id));
        if (rs_->NoMatch()) return;
        showDetail();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
}

void frmSearch::cmbRecordDay_Click(int index) {
    const int first = index < 3 ? 0 : 3;
    const QString date = cmbRecordDay[first]->currentText() + QLatin1Char('/') +
                         cmbRecordDay[first + 1]->currentText() + QLatin1Char('/') +
                         cmbRecordDay[first + 2]->currentText();
    if (vb::parseDate(date)) return;
    ui::MsgBox((first == 0 ? QStringLiteral("開始日") : QStringLiteral("終了日")) +
                   QStringLiteral("の設定が不正です。"),
               ui::Buttons::OKOnly);
}

void frmSearch::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Esc does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSearch::reject() {
    Form_QueryUnload();
    QDialog::reject();
}

void frmSearch::Form_QueryUnload() {
    if (unloaded_) return;
    unloaded_ = true;
    try {
        if (open_ && rs_->RecordCount() > 0) saveShownRecord();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
    closeResult();
    if (shell::mainModule().openWindowCount > 0) {
        try {
            records::RefreshRecordWindows();
        } catch (const dao::DaoError& e) {
            shell::ReportDataError(e);
        }
    }
}

namespace search {

void ShowSearchWindow() {
    frmSearch window(shell::mainModule().mdiForm);
    window.exec();
}

}  // namespace search
