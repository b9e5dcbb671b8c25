#include "exchange/frmExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "exchange/Exchange.h"
#include "exchange/NamedControl.h"
#include "exchange/ProgressDialog.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/MessageBox.h"
#include "shell/MainModule.h"

namespace {

const QString kTitle = QStringLiteral("エクスポート");

struct FormatChoice {
    const char* caption;
    exchange::ExportFormat format;
    const char* suffix;
};
const FormatChoice kFormats[] = {
    {"CSV（UTF-8）", exchange::ExportFormat::CsvUtf8, "csv"},
    {"CSV（Shift_JIS、表計算ソフト向け）", exchange::ExportFormat::CsvCp932, "csv"},
    {"タブ区切り（UTF-8）", exchange::ExportFormat::Tab, "tsv"},
    {"ノート形式（書式は HTML、暗記カードソフト向け）", exchange::ExportFormat::Note, "txt"}};

}  // namespace

frmExport::frmExport(QWidget* owner, std::int32_t dbID) : QDialog(owner) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(kTitle);
    optOne = named(new QRadioButton(QStringLiteral("データベース")), "optOne");
    cmbDataBase = named(new QComboBox, "cmbDataBase");
    cmbDataBase->setAccessibleName(QStringLiteral("データベース"));
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) {
        cmbDataBase->addItem(list[i].name, list[i].dbID);
        if (list[i].dbID == dbID) cmbDataBase->setCurrentIndex(cmbDataBase->count() - 1);
    }
    optAll = named(new QRadioButton(QStringLiteral("すべてのデータベース")), "optAll");
    optOne->setChecked(true);
    cmbFormat = named(new QComboBox, "cmbFormat");
    for (const FormatChoice& f : kFormats) cmbFormat->addItem(QString::fromUtf8(f.caption));
    chkCounters = named(new QCheckBox(QStringLiteral("正解回数・出題回数")), "chkCounters");
    chkRate = named(new QCheckBox(QStringLiteral("正解率")), "chkRate");
    chkDates = named(new QCheckBox(QStringLiteral("登録日・登録時刻")), "chkDates");
    cmdOk = named(new QPushButton(QStringLiteral("書き出す...")), "cmdOk");
    cmdCancel = named(new QPushButton(QStringLiteral("キャンセル")), "cmdCancel");
    cmdOk->setDefault(true);

    auto* which = new QGroupBox(QStringLiteral("書き出すデータ"));
    auto* whichGrid = new QGridLayout(which);
    whichGrid->addWidget(optOne, 0, 0);
    whichGrid->addWidget(cmbDataBase, 0, 1);
    whichGrid->addWidget(optAll, 1, 0, 1, 2);
    whichGrid->setColumnStretch(1, 1);
    auto* formatRow = new QHBoxLayout;
    auto* formatLabel = new QLabel(QStringLiteral("形式"));
    formatLabel->setBuddy(cmbFormat);
    formatRow->addWidget(formatLabel);
    formatRow->addWidget(cmbFormat, 1);
    auto* extras = new QGroupBox(QStringLiteral("一緒に書き出す項目"));
    auto* extrasRow = new QHBoxLayout(extras);
    extrasRow->addWidget(chkCounters);
    extrasRow->addWidget(chkRate);
    extrasRow->addWidget(chkDates);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(which);
    layout->addLayout(formatRow);
    layout->addWidget(extras);
    layout->addLayout(buttons);

    connect(cmbDataBase, &QComboBox::activated, this, [this] { optOne->setChecked(true); });
    connect(cmdOk, &QPushButton::clicked, this, &frmExport::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

exchange::ExportSettings frmExport::settings() const {
    exchange::ExportSettings s;
    s.format = kFormats[cmbFormat->currentIndex()].format;
    if (optAll->isChecked()) {
        s.dbIDs = exchange::allDataBaseIDs();
        s.setColumn = true;
    } else if (cmbDataBase->currentIndex() >= 0) {
        s.dbIDs << cmbDataBase->currentData().toInt();
    }
    s.counters = chkCounters->isChecked();
    s.rate = chkRate->isChecked();
    s.dates = chkDates->isChecked();
    return s;
}

void frmExport::cmdOk_Click() {
    exchange::ExportSettings s = settings();
    if (s.dbIDs.isEmpty()) {
        ui::MsgBox(QStringLiteral("データベースがありません。"), ui::Buttons::OKOnly, kTitle);
        return;
    }
    const FormatChoice& choice = kFormats[cmbFormat->currentIndex()];
    const QString base =
        optAll->isChecked() ? QStringLiteral("Kenvora") : cmbDataBase->currentText();
    ui::OpenFileRequest request;
    request.title = QStringLiteral("エクスポート先のファイル");
    request.filter = QStringLiteral("(*.%1)|*.%1").arg(QString::fromLatin1(choice.suffix));
    request.initDir = QDir::homePath();
    request.fileName = base + QLatin1Char('.') + QString::fromLatin1(choice.suffix);
    request.save = true;
    const auto chosen = ui::dialogs().openFile(request);
    if (!chosen) return;
    s.path = *chosen;

    exchange::ExportOutcome outcome;
    {
        exchange::ProgressDialog progress(this, QStringLiteral("prgExport"), kTitle,
                                          QStringLiteral("エクスポートしています..."), 500);
        outcome = exchange::ExportFromDataBase(s, progress.reporter());
    }
    switch (outcome.status) {
        case exchange::ExportOutcome::Status::Written: {
            QString text = QStringLiteral("%1 件のデータを書き出しました。").arg(outcome.records);
            if (outcome.unmappable > 0)
                text += QStringLiteral("\nShift_JIS にない %1 文字は「?」になっています。")
                            .arg(outcome.unmappable);
            ui::MsgBox(text, ui::Buttons::OKOnly, kTitle);
            accept();
            return;
        }
        case exchange::ExportOutcome::Status::Cancelled:
            ui::MsgBox(QStringLiteral("エクスポートを中止しました。ファイルは作っていません。"),
                       ui::Buttons::OKOnly, kTitle);
            return;
        case exchange::ExportOutcome::Status::Failed:
            ui::MsgBox(outcome.message, ui::Buttons::OKOnly, kTitle, ui::Icon::Exclamation);
            return;
    }
}
