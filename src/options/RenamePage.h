#pragma once

#include <QStringList>

#include <array>

#include "options/OptionPage.h"

class QComboBox;
class QLabel;

namespace options {

// The "名称変更" page (fraPartition): a set's name, item names, delimiter lists and comment.
// Boxes 2, 4 and 6 are multi-line.
class RenamePage final : public OptionPage {
    Q_OBJECT

public:
    RenamePage(SetRows& rows, QWidget* parent);

    QLabel* Label24;
    QLabel* Label21;
    QLabel* Label18;
    QLabel* Label16;
    QLabel* Label19;
    QLabel* Label17;
    QLabel* Label22;
    std::array<QLabel*, 2> Label20{};
    QLabel* delimiterHelp;       // Label1(7)
    QComboBox* cmbDataBaseName;  // cmbDataBaseName(0)
    std::array<QWidget*, 7> txtNewDataBase{};
    QString newDataBaseText(int index) const;
    void setNewDataBaseText(int index, const QString& text);

    void fill() override;
    bool apply() override;

    void cmbDataBaseName_Click();
    void txtNewDataBase_Change(int index);
    void txtNewDataBase_GotFocus(int index);

signals:
    // A set was renamed; `names` are the set names in row order.
    void setRenamed(const QStringList& names, const QString& oldName, const QString& newName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showChosenSet();

    SetRows& rows_;
};

// Puts the renamed set's name into a set combo: its entries by row order, and its text when
// it showed the old name.
void showRenamedSet(QComboBox* combo, const QStringList& names, const QString& oldName,
                    const QString& newName);

}  // namespace options
