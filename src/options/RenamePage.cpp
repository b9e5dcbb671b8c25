#include "options/RenamePage.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/dao/Recordset.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/DelimiterList.h"
#include "records/RecordWindows.h"
#include "sets/DataBaseItemCheck.h"
#include "shell/DataBaseMenu.h"
#include "shell/MainModule.h"

namespace options {

namespace {

// Column of each box, by box index.
const char* const kColumns[] = {"データベース名", "項目1名称", "区切り12",  "項目2名称",
                                "区切り23",       "項目3名称", "DBコメント"};

}  // namespace

RenamePage::RenamePage(SetRows& rows, QWidget* parent) : OptionPage(parent), rows_(rows) {
    setObjectName(QStringLiteral("fraPartition"));
    auto label = [this](QLabel*& l, const char* name, const char* caption, int left, int top,
                        int width = 2415) {
        l = new QLabel(QString::fromUtf8(caption), this);
        l->setObjectName(QString::fromLatin1(name));
        ui::place(l, left, top, width, 255);
    };
    label(Label24, "Label24", "設定するデータベース名", 120, 240);
    label(Label21, "Label21", "データベース名(※)", 120, 870, 1650);
    label(Label18, "Label18", "項目１(※)", 120, 1230, 945);
    label(Label16, "Label16", "項目１と２の区切り文字(※)", 120, 1560, 3000);
    label(Label19, "Label19", "項目２(※)", 120, 2670, 945);
    label(Label17, "Label17", "項目２と３の区切り文字", 120, 3000, 3000);
    label(Label22, "Label22", "項目３", 120, 4110, 945);
    label(Label20[0], "Label20(0)", "コメント", 120, 4440);
    label(Label20[1], "Label20(1)", "[(※)は必須項目]", 5400, 5640, 1500);

    cmbDataBaseName = new QComboBox(this);
    cmbDataBaseName->setObjectName(QStringLiteral("cmbDataBaseName(0)"));
    cmbDataBaseName->setEditable(true);
    cmbDataBaseName->setInsertPolicy(QComboBox::NoInsert);
    ui::place(cmbDataBaseName, 120, 480, 3975, 300);
    connect(cmbDataBaseName, &QComboBox::activated, this, [this](int) { cmbDataBaseName_Click(); });
    Label24->setBuddy(cmbDataBaseName);
    ui::nameControl(cmbDataBaseName, Label24->text());

    struct Box {
        int left, top, width, height;
    };
    const Box boxes[] = {{1800, 840, 3015, 270},  {1080, 1200, 2055, 270}, {120, 1800, 5055, 735},
                         {1080, 2640, 2055, 270}, {120, 3240, 5055, 735},  {1080, 4080, 2055, 270},
                         {120, 4680, 8175, 735}};
    QLabel* labels[] = {Label21, Label18, Label16, Label19, Label17, Label22, Label20[0]};
    for (int i = 0; i < 7; ++i) {
        QWidget* box;
        if (i == 2 || i == 4 || i == 6) {
            auto* edit = new QPlainTextEdit(this);
            edit->setTabChangesFocus(true);
            connect(edit, &QPlainTextEdit::textChanged, this,
                    [this, i] { txtNewDataBase_Change(i); });
            box = edit;
        } else {
            auto* edit = new QLineEdit(this);
            connect(edit, &QLineEdit::textChanged, this, [this, i] { txtNewDataBase_Change(i); });
            box = edit;
        }
        box->setObjectName(QStringLiteral("txtNewDataBase(%1)").arg(i));
        const Box& b = boxes[i];
        ui::place(box, b.left, b.top, b.width, b.height);
        labels[i]->setBuddy(box);
        box->setAccessibleName(labels[i]->text());
        box->installEventFilter(this);
        txtNewDataBase[i] = box;
    }

    delimiterHelp = new QLabel(records::delimiterHelpText(), this);
    delimiterHelp->setObjectName(QStringLiteral("Label1(7)"));
    delimiterHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    delimiterHelp->setWordWrap(true);
    QFont small = delimiterHelp->font();
    // Twelve lines in a narrow column: a smaller face keeps them inside it.
    small.setPointSizeF(small.pointSizeF() - 2);
    delimiterHelp->setFont(small);
    ui::place(delimiterHelp, 5520, 1740, 2475, 2775);

    const char* const tips[] = {"データベース名を入力します。",      "項目１の名称を入力します。",
                                "区切り文字１を入力します。",        "項目２の名称を入力します。",
                                "区切り文字２を入力します。",        "項目３１の名称を入力します。",
                                "データベースコメントを入力します。"};
    for (int i = 0; i < 7; ++i) setTip(txtNewDataBase[i], tips[i]);
    setTip(cmbDataBaseName, "データベースを選択します。");
}

QString RenamePage::newDataBaseText(int index) const {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(txtNewDataBase.at(index)))
        return edit->toPlainText();
    return static_cast<QLineEdit*>(txtNewDataBase.at(index))->text();
}

void RenamePage::setNewDataBaseText(int index, const QString& text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(txtNewDataBase.at(index)))
        edit->setPlainText(text);
    else
        static_cast<QLineEdit*>(txtNewDataBase.at(index))->setText(text);
}

void RenamePage::fill() {
    runStep([this] { fillSetCombo(cmbDataBaseName); });
    showChosenSet();
}

void RenamePage::cmbDataBaseName_Click() {
    showChosenSet();
}

void RenamePage::showChosenSet() {
    const Loading loading(this);
    runStep([this] {
        if (noSetChosen(cmbDataBaseName) || !rows_) {
            // The dialog's start: empty boxes.
            for (int i = 0; i < 7; ++i) setNewDataBaseText(i, QString());
        } else {
            if (!rows_.findChosenSet(cmbDataBaseName)) return;
            setNewDataBaseText(0, cmbDataBaseName->currentText());
            for (int i = 1; i < 7; ++i)
                setNewDataBaseText(i, rows_->value(QString::fromUtf8(kColumns[i])).displayText());
        }
        markClean();
    });
}

void RenamePage::txtNewDataBase_Change(int) {
    if (loading()) return;
    markDirty();
}

void RenamePage::txtNewDataBase_GotFocus(int) {
    if (loading() || !noSetChosen(cmbDataBaseName)) return;
    // The focus moves first, so the box closing the message does not give it back here.
    cmbDataBaseName->setFocus();
    ui::MsgBox(QStringLiteral("データベースが選択されていません。"), ui::Buttons::OKOnly,
               QStringLiteral("名称変更"));
}

bool RenamePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        for (int i = 0; i < 7; ++i)
            if (watched == txtNewDataBase[i]) txtNewDataBase_GotFocus(i);
    return OptionPage::eventFilter(watched, event);
}

bool RenamePage::apply() {
    if (!rows_ || !rows_.findChosenSet(cmbDataBaseName)) return false;
    const QString oldName = cmbDataBaseName->currentText();
    for (int i = 0; i < 7; ++i) {
        const bool delimiters = i == 2 || i == 4;
        const auto checked =
            sets::CheckDataBaseItem(newDataBaseText(i), delimiters ? QString() : oldName, i);
        if (!checked) {
            txtNewDataBase[i]->setFocus();
            return false;
        }
        if (delimiters) {
            const Loading loading(this);
            setNewDataBaseText(i, *checked);
        }
    }
    const QString newName = newDataBaseText(0);
    auto& list = shell::mainModule().dataBaseList;
    for (std::size_t i = 2; i < list.size(); ++i) {
        if (list[i].name == oldName) {
            list[i].name = newName;
            break;
        }
    }
    runStep([this] {
        rows_->Edit();
        try {
            for (int i = 0; i < 7; ++i)
                rows_->Fields(QString::fromUtf8(kColumns[i])) = newDataBaseText(i);
            rows_->Update();
        } catch (...) {
            rows_->CancelUpdate();
            throw;
        }
    });
    runStep([&] {
        const records::RenamedSet change{
            newName,
            {newDataBaseText(1), newDataBaseText(3), newDataBaseText(5)},
            {newDataBaseText(2), newDataBaseText(4)},
            newDataBaseText(6)};
        records::ApplyOptionSettings(oldName, change);
    });

    QStringList names;
    runStep([&] {
        if (rows_->RecordCount() == 0) return;
        rows_->MoveFirst();
        for (; !rows_->AtEOF(); rows_->MoveNext())
            names << rows_->value(QStringLiteral("データベース名")).displayText();
    });
    {
        const Loading loading(this);
        showRenamedSet(cmbDataBaseName, names, oldName, newName);
    }
    emit setRenamed(names, oldName, newName);
    runStep([] { shell::RefreshDataBaseMenu(); });
    markClean();
    return true;
}

void showRenamedSet(QComboBox* combo, const QStringList& names, const QString& oldName,
                    const QString& newName) {
    const QString shown = combo->currentText() == oldName ? newName : combo->currentText();
    for (int n = 0; n < names.size() && n < combo->count(); ++n) combo->setItemText(n, names[n]);
    combo->setEditText(shown);
}

}  // namespace options
