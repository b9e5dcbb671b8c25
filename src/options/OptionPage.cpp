#include "options/OptionPage.h"

#include <QComboBox>

#include <exception>

#include "platform/dao/DaoError.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"
#include "platform/ui/MessageBox.h"
#include "shell/DataErrors.h"
#include "shell/MainModule.h"

namespace options {

void OptionPage::markDirty() {
    dirty_ = true;
    emit dirtyChanged(true);
}

void OptionPage::markClean() {
    dirty_ = false;
    emit dirtyChanged(false);
}

void runStep(const std::function<void()>& work) {
    try {
        work();
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    } catch (const std::exception& e) {
        ui::MsgBox(QString::fromLocal8Bit(e.what()));
    }
}

void setTip(QWidget* control, const char* text) {
    control->setToolTip(QString::fromUtf8(text));
    control->setAccessibleDescription(control->toolTip());
}

QString choosePrompt() {
    return QStringLiteral("設定するデータベース名を選択してください。");
}

SetRows::SetRows() = default;
SetRows::~SetRows() = default;

void SetRows::open() {
    rows_ = shell::mainModule().database->OpenRecordset(
        QStringLiteral("select  * from データベース設定"), dao::dbOpenDynaset);
}

void SetRows::close() {
    rows_.reset();
}

bool SetRows::findChosenSet(QComboBox* combo) {
    const QString name = combo->currentText();
    const auto& list = shell::mainModule().dataBaseList;
    for (std::size_t i = 2; i < list.size(); ++i) {
        if (list[i].name != name) continue;
        rows_->FindFirst(QStringLiteral("dbID =%1").arg(list[i].dbID));
        if (rows_->NoMatch()) break;
        return true;
    }
    ui::MsgBox(QStringLiteral("このデータベースは存在しません。"), ui::Buttons::OKOnly,
               QStringLiteral("データベース名チェック"));
    combo->setFocus();
    return false;
}

bool noSetChosen(const QComboBox* combo) {
    return combo->currentText() == choosePrompt();
}

void fillSetCombo(QComboBox* combo) {
    combo->clear();
    const auto& list = shell::mainModule().dataBaseList;
    for (std::size_t i = 2; i < list.size(); ++i) combo->addItem(list[i].name);
    combo->setEditText(choosePrompt());
}

}  // namespace options
