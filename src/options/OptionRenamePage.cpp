// The rename page: a set's name, item names, delimiter lists and comment.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "options/frmOption.h"
#include "platform/dao/Recordset.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordWindows.h"
#include "sets/DataBaseItemCheck.h"
#include "shell/DataBaseMenu.h"
#include "shell/MainModule.h"

namespace {

// Column of each box, by box index.
const char* const kColumns[] = {"データベース名", "項目1名称", "区切り12",  "項目2名称",
                                "区切り23",       "項目3名称", "DBコメント"};

}  // namespace

void frmOption::buildRenamePage() {
    QFrame* page = fraPartition;
    auto label = [page](QLabel*& l, const char* name, const char* caption, int left, int top,
                        int width = 2415) {
        l = new QLabel(QString::fromUtf8(caption), page);
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

    cmbDataBaseName[0] = new QComboBox(page);
    cmbDataBaseName[0]->setObjectName(QStringLiteral("cmbDataBaseName(0)"));
    cmbDataBaseName[0]->setEditable(true);
    cmbDataBaseName[0]->setInsertPolicy(QComboBox::NoInsert);
    ui::place(cmbDataBaseName[0], 120, 480, 3975, 300);
    connect(cmbDataBaseName[0], &QComboBox::activated, this,
            [this](int) { cmbDataBaseName_Click(0); });
    Label24->setBuddy(cmbDataBaseName[0]);
    ui::nameControl(cmbDataBaseName[0], Label24->text());

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
            auto* edit = new QPlainTextEdit(page);
            edit->setTabChangesFocus(true);
            connect(edit, &QPlainTextEdit::textChanged, this,
                    [this, i] { txtNewDataBase_Change(i); });
            box = edit;
        } else {
            auto* edit = new QLineEdit(page);
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

    Label1[7] = new QLabel(page);
    Label1[7]->setObjectName(QStringLiteral("Label1(7)"));
    Label1[7]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1[7]->setWordWrap(true);
    QFont small = Label1[7]->font();
    // Twelve lines in a narrow column: a smaller face keeps them inside it.
    small.setPointSizeF(small.pointSizeF() - 2);
    Label1[7]->setFont(small);
    ui::place(Label1[7], 5520, 1740, 2475, 2775);
}

QString frmOption::newDataBaseText(int index) const {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(txtNewDataBase.at(index)))
        return edit->toPlainText();
    return static_cast<QLineEdit*>(txtNewDataBase.at(index))->text();
}

void frmOption::setNewDataBaseText(int index, const QString& text) {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(txtNewDataBase.at(index)))
        edit->setPlainText(text);
    else
        static_cast<QLineEdit*>(txtNewDataBase.at(index))->setText(text);
}

void frmOption::fillRenamePage() {
    const bool wasLoading = loading_;
    loading_ = true;
    step([this] {
        if (noSetChosen(0) || !rs_) {
            // The dialog's start: empty boxes.
            for (int i = 0; i < 7; ++i) setNewDataBaseText(i, QString());
        } else {
            if (!findChosenSet(0)) return;
            setNewDataBaseText(0, cmbDataBaseName[0]->currentText());
            for (int i = 1; i < 7; ++i)
                setNewDataBaseText(i, rs_->value(QString::fromUtf8(kColumns[i])).displayText());
        }
        markClean(0);
    });
    loading_ = wasLoading;
}

void frmOption::txtNewDataBase_Change(int) {
    if (loading_) return;
    markDirty(0);
}

void frmOption::txtNewDataBase_GotFocus(int) {
    if (loading_ || !noSetChosen(0)) return;
    // The focus moves first, so the box closing the message does not give it back here.
    cmbDataBaseName[0]->setFocus();
    ui::MsgBox(QStringLiteral("データベースが選択されていません。"), ui::Buttons::OKOnly,
               QStringLiteral("名称変更"));
}

void frmOption::applyRenamePage() {
    if (!rs_ || !findChosenSet(0)) return;
    const QString oldName = cmbDataBaseName[0]->currentText();
    for (int i = 0; i < 7; ++i) {
        const bool delimiters = i == 2 || i == 4;
        const auto checked =
            sets::CheckDataBaseItem(newDataBaseText(i), delimiters ? QString() : oldName, i);
        if (!checked) {
            txtNewDataBase[i]->setFocus();
            return;
        }
        if (delimiters) {
            const bool wasLoading = loading_;
            loading_ = true;
            setNewDataBaseText(i, *checked);
            loading_ = wasLoading;
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
    step([this] {
        rs_->Edit();
        try {
            for (int i = 0; i < 7; ++i)
                rs_->Fields(QString::fromUtf8(kColumns[i])) = newDataBaseText(i);
            rs_->Update();
        } catch (...) {
            rs_->CancelUpdate();
            throw;
        }
    });
    step([&] {
        const records::RenamedSet change{
            newName,
            {newDataBaseText(1), newDataBaseText(3), newDataBaseText(5)},
            {newDataBaseText(2), newDataBaseText(4)},
            newDataBaseText(6)};
        records::ApplyOptionSettings(oldName, change);
    });

    const QString displayName =
        cmbDataBaseName[1]->currentText() == oldName ? newName : cmbDataBaseName[1]->currentText();
    step([this] {
        if (rs_->RecordCount() == 0) return;
        rs_->MoveFirst();
        for (int n = 0; !rs_->AtEOF(); ++n, rs_->MoveNext()) {
            const QString name = rs_->value(QStringLiteral("データベース名")).displayText();
            for (QComboBox* combo : cmbDataBaseName)
                if (n < combo->count()) combo->setItemText(n, name);
        }
    });
    const bool wasLoading = loading_;
    loading_ = true;
    cmbDataBaseName[0]->setEditText(newName);
    cmbDataBaseName[1]->setEditText(displayName);
    loading_ = wasLoading;
    step([] { shell::RefreshDataBaseMenu(); });
    markClean(0);
    cmdOK->setFocus();
}
