#include "exchange/frmImport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "exchange/Exchange.h"
#include "exchange/NamedControl.h"
#include "exchange/ProgressDialog.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/MessageBox.h"
#include "shell/MainModule.h"

namespace {

const QString kTitle = QStringLiteral("インポート");

// The encodings in the order the encoding list shows them.
const exchange::Encoding kEncodings[] = {exchange::Encoding::Utf8, exchange::Encoding::Cp932,
                                         exchange::Encoding::Utf16LE, exchange::Encoding::Utf16BE};
const exchange::FileFormat kFormats[] = {exchange::FileFormat::Csv, exchange::FileFormat::Tab,
                                         exchange::FileFormat::Note};

template <typename T, size_t N>
int indexIn(const T (&values)[N], T value) {
    for (size_t i = 0; i < N; ++i)
        if (values[i] == value) return static_cast<int>(i);
    return 0;
}

}  // namespace

frmImport::frmImport(QWidget* owner, std::int32_t dbID) : QDialog(owner) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(kTitle);

    txtFile = named(new QLineEdit, "txtFile");
    txtFile->setReadOnly(true);
    cmdFile = named(new QPushButton(QStringLiteral("参照(&B)...")), "cmdFile");
    cmbEncoding = named(new QComboBox, "cmbEncoding");
    for (const auto e : kEncodings) cmbEncoding->addItem(exchange::encodingName(e));
    cmbFormat = named(new QComboBox, "cmbFormat");
    cmbFormat->addItems({QStringLiteral("CSV（カンマ区切り）"), QStringLiteral("タブ区切り"),
                         QStringLiteral("ノート形式（#separator: などの見出し付き）")});
    chkHtml = named(new QCheckBox(QStringLiteral("HTML の書式を読む")), "chkHtml");
    chkHeader = named(new QCheckBox(QStringLiteral("1 行目は見出し")), "chkHeader");
    grdPreview = named(new QTableWidget, "grdPreview");
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->setAccessibleName(QStringLiteral("プレビュー"));
    grdPreview->setMinimumSize(640, 240);

    optExisting = named(new QRadioButton(QStringLiteral("既存のデータベース")), "optExisting");
    cmbDataBase = named(new QComboBox, "cmbDataBase");
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) {
        cmbDataBase->addItem(list[i].name, list[i].dbID);
        if (list[i].dbID == dbID) cmbDataBase->setCurrentIndex(cmbDataBase->count() - 1);
    }
    optNew = named(new QRadioButton(QStringLiteral("新規データベース")), "optNew");
    txtNewName = named(new QLineEdit, "txtNewName");
    txtNewName->setAccessibleName(QStringLiteral("新規データベース名"));
    cmbDataBase->setAccessibleName(QStringLiteral("既存のデータベース"));
    (cmbDataBase->count() > 0 ? optExisting : optNew)->setChecked(true);
    optExisting->setEnabled(cmbDataBase->count() > 0);
    chkSkipEmpty =
        named(new QCheckBox(QStringLiteral("項目１が空の行は取り込まない")), "chkSkipEmpty");
    chkSkipEmpty->setChecked(true);
    lblStatus = named(new QLabel, "lblStatus");
    lblStatus->setWordWrap(true);
    cmdOk = named(new QPushButton(QStringLiteral("取り込む")), "cmdOk");
    cmdCancel = named(new QPushButton(QStringLiteral("キャンセル")), "cmdCancel");
    cmdOk->setDefault(true);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("ファイル")));
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(cmdFile);
    auto* readRow = new QHBoxLayout;
    auto* encodingLabel = new QLabel(QStringLiteral("文字コード"));
    encodingLabel->setBuddy(cmbEncoding);
    auto* formatLabel = new QLabel(QStringLiteral("形式"));
    formatLabel->setBuddy(cmbFormat);
    readRow->addWidget(encodingLabel);
    readRow->addWidget(cmbEncoding);
    readRow->addWidget(formatLabel);
    readRow->addWidget(cmbFormat);
    readRow->addWidget(chkHeader);
    readRow->addWidget(chkHtml);
    readRow->addStretch();

    auto* target = new QGroupBox(QStringLiteral("取り込み先"));
    auto* targetGrid = new QGridLayout(target);
    targetGrid->addWidget(optExisting, 0, 0);
    targetGrid->addWidget(cmbDataBase, 0, 1);
    targetGrid->addWidget(optNew, 1, 0);
    targetGrid->addWidget(txtNewName, 1, 1);
    targetGrid->addWidget(chkSkipEmpty, 2, 0, 1, 2);
    targetGrid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(readRow);
    layout->addWidget(new QLabel(QStringLiteral("各列の取り込み先（プレビューは先頭の行）")));
    layout->addWidget(grdPreview, 1);
    layout->addWidget(lblStatus);
    layout->addWidget(target);
    layout->addLayout(buttons);
    resize(760, 560);

    connect(cmdFile, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(cmbEncoding, &QComboBox::currentIndexChanged, this, [this] { reprobe(); });
    connect(cmbFormat, &QComboBox::currentIndexChanged, this, [this] { reprobe(); });
    connect(chkHeader, &QCheckBox::toggled, this, [this] {
        if (!filling_) fillPreview();
    });
    connect(txtNewName, &QLineEdit::textEdited, this, [this] { optNew->setChecked(true); });
    connect(cmbDataBase, &QComboBox::activated, this, [this] { optExisting->setChecked(true); });
    connect(cmdOk, &QPushButton::clicked, this, &frmImport::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmImport::chooseFile() {
    ui::OpenFileRequest request;
    request.title = QStringLiteral("インポートするファイル");
    request.filter =
        QStringLiteral("テキスト (*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt|すべて (*.*)|*");
    request.flags = 0x1000 | 0x800;  // the file must exist
    if (!txtFile->text().isEmpty()) request.initDir = QFileInfo(txtFile->text()).absolutePath();
    const auto chosen = ui::dialogs().openFile(request);
    if (!chosen) return false;
    const exchange::FileProbe probe = exchange::probeFile(*chosen, {}, {}, targetItemNames());
    if (!probe.error.isEmpty()) {
        ui::MsgBox(probe.error, ui::Buttons::OKOnly, kTitle, ui::Icon::Exclamation);
        return false;
    }
    loadFile(*chosen);
    return true;
}

QStringList frmImport::targetItemNames() const {
    const std::int32_t dbID = cmbDataBase->currentData().toInt();
    for (const shell::ChildSettings& s : shell::mainModule().childSettings)
        if (s.dbID == dbID && !s.slotFree) {
            const auto& names = s.settings.itemNames;
            return QStringList(names.begin(), names.end());
        }
    return {};
}

void frmImport::loadFile(const QString& path) {
    probe_ = exchange::probeFile(path, {}, {}, targetItemNames());
    filling_ = true;
    txtFile->setText(path);
    cmbEncoding->setCurrentIndex(indexIn(kEncodings, probe_.settings.encoding));
    cmbFormat->setCurrentIndex(indexIn(kFormats, probe_.settings.format));
    chkHtml->setChecked(probe_.settings.html);
    chkHeader->setChecked(probe_.settings.headerRow);
    if (txtNewName->text().isEmpty()) txtNewName->setText(QFileInfo(path).completeBaseName());
    filling_ = false;
    fillPreview();
}

void frmImport::reprobe() {
    if (filling_ || txtFile->text().isEmpty()) return;
    const QList<int> mapping = probe_.settings.mapping;
    probe_ = exchange::probeFile(txtFile->text(), kEncodings[cmbEncoding->currentIndex()],
                                 kFormats[cmbFormat->currentIndex()], targetItemNames());
    filling_ = true;
    chkHtml->setChecked(probe_.settings.html);
    chkHeader->setChecked(probe_.settings.headerRow);
    filling_ = false;
    fillPreview();
}

void frmImport::fillPreview() {
    // The header row, when the probe took one, goes back among the rows if the user says
    // the first row is data.
    QList<QStringList> rows = probe_.previewRows;
    QStringList names;
    const bool note = probe_.settings.format == exchange::FileFormat::Note;
    if (note) {
        names = probe_.columnNames;
    } else if (probe_.settings.headerRow) {
        if (chkHeader->isChecked())
            names = probe_.columnNames;
        else
            rows.prepend(probe_.columnNames);
    } else if (chkHeader->isChecked() && !rows.isEmpty()) {
        names = rows.takeFirst();
    }
    const int columns = std::max<int>(probe_.columnCount, static_cast<int>(names.size()));
    grdPreview->clear();
    grdPreview->setColumnCount(columns);
    grdPreview->setRowCount(static_cast<int>(rows.size()) + 1);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << (c < names.size() && !names[c].isEmpty() ? names[c]
                                                            : QStringLiteral("列%1").arg(c + 1));
    grdPreview->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < columns; ++c) {
            // One line of each cell is enough to recognise it.
            QString text = rows[r][c];
            text.replace(QLatin1Char('\n'), QStringLiteral(" ⏎ "));
            grdPreview->setItem(r + 1, c, new QTableWidgetItem(text.left(200)));
        }
    QStringList rowHeaders{QStringLiteral("取り込み先")};
    for (int r = 0; r < rows.size(); ++r) rowHeaders << QString::number(r + 1);
    grdPreview->setVerticalHeaderLabels(rowHeaders);
    fillColumnChoices();

    QString status = QStringLiteral("%1、%2。")
                         .arg(exchange::encodingName(probe_.settings.encoding),
                              probe_.detection.bomLength > 0 ? QStringLiteral("BOM あり")
                                                             : QStringLiteral("BOM なし"));
    if (!probe_.detection.utf8Valid && !probe_.detection.cp932Valid &&
        probe_.detection.bomLength == 0)
        status += QStringLiteral("文字コードが混在しているようです。");
    if (probe_.problem) status += QStringLiteral("\n") + probe_.problem->text();
    lblStatus->setText(status);
}

void frmImport::fillColumnChoices() {
    cmbColumn.clear();
    for (int c = 0; c < grdPreview->columnCount(); ++c) {
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("cmbColumn(%1)").arg(c));
        combo->addItem(QStringLiteral("（取り込まない）"), exchange::kSkipColumn);
        for (int t = 0; t < exchange::kTargetCount; ++t)
            combo->addItem(exchange::targetCaption(t), t);
        const int target =
            c < probe_.settings.mapping.size() ? probe_.settings.mapping[c] : exchange::kSkipColumn;
        combo->setCurrentIndex(combo->findData(target));
        combo->setAccessibleName(grdPreview->horizontalHeaderItem(c)->text());
        grdPreview->setCellWidget(0, c, combo);
        cmbColumn.push_back(combo);
    }
    grdPreview->resizeColumnsToContents();
}

exchange::ImportSettings frmImport::settings() const {
    exchange::ImportSettings s = probe_.settings;
    s.path = txtFile->text();
    s.encoding = kEncodings[cmbEncoding->currentIndex()];
    s.format = kFormats[cmbFormat->currentIndex()];
    s.html = chkHtml->isChecked();
    s.headerRow = s.format != exchange::FileFormat::Note && chkHeader->isChecked();
    s.mapping.clear();
    for (QComboBox* combo : cmbColumn) s.mapping << combo->currentData().toInt();
    s.skipEmptyItem1 = chkSkipEmpty->isChecked();
    return s;
}

void frmImport::cmdOk_Click() {
    const exchange::ImportSettings s = settings();
    if (s.path.isEmpty()) return;
    if (!s.mapping.contains(0)) {
        ui::MsgBox(QStringLiteral("項目１に取り込む列を選んでください。"), ui::Buttons::OKOnly,
                   kTitle);
        return;
    }
    exchange::ImportTarget target;
    if (optNew->isChecked()) {
        QStringList itemNames;
        const QStringList headers = [this] {
            QStringList h;
            for (int c = 0; c < grdPreview->columnCount(); ++c)
                h << grdPreview->horizontalHeaderItem(c)->text();
            return h;
        }();
        for (int t = 0; t < 3; ++t) {
            const int column = static_cast<int>(s.mapping.indexOf(t));
            const bool named = s.headerRow || s.format == exchange::FileFormat::Note;
            itemNames << (named && column >= 0 ? headers.value(column) : QString());
        }
        QString message;
        target.newSet = exchange::newSetInputs(txtNewName->text(), itemNames, &message);
        if (!target.newSet) {
            ui::MsgBox(message, ui::Buttons::OKOnly, QStringLiteral("データベース"));
            txtNewName->setFocus();
            return;
        }
    } else {
        if (cmbDataBase->currentIndex() < 0) return;
        target.dbID = cmbDataBase->currentData().toInt();
    }

    exchange::ImportOutcome outcome;
    {
        exchange::ProgressDialog progress(this, QStringLiteral("prgImport"), kTitle,
                                          QStringLiteral("インポートしています..."), progressDelay);
        outcome = exchange::ImportIntoDataBase(s, target, progress.reporter());
    }
    switch (outcome.status) {
        case exchange::ImportOutcome::Status::Stored: {
            QString text = QStringLiteral("%1 件のデータを取り込みました。").arg(outcome.stored);
            if (outcome.skipped > 0)
                text += QStringLiteral("\n項目１が空の %1 行は取り込んでいません。")
                            .arg(outcome.skipped);
            accept();
            exchange::ShowImportedRecords(target);
            ui::MsgBox(text, ui::Buttons::OKOnly, kTitle);
            return;
        }
        case exchange::ImportOutcome::Status::Cancelled:
            ui::MsgBox(QStringLiteral("インポートを中止しました。データは取り込んでいません。"),
                       ui::Buttons::OKOnly, kTitle);
            return;
        case exchange::ImportOutcome::Status::Failed:
            ui::MsgBox(outcome.message + QStringLiteral("\nデータは取り込んでいません。"),
                       ui::Buttons::OKOnly, kTitle, ui::Icon::Exclamation);
            return;
    }
}
