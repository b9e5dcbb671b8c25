#pragma once

#include <array>
#include <cstdint>

#include "options/OptionPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace records {
struct DisplayChange;
}

namespace options {

// The "表示" page (fraDisplay): a set's background colours, hiding colour, rate threshold and
// use flags.
class DisplayPage final : public OptionPage {
    Q_OBJECT

public:
    DisplayPage(SetRows& rows, QWidget* parent);

    QLabel* chooseLabel;         // Label1(0)
    QComboBox* cmbDataBaseName;  // cmbDataBaseName(1)
    QGroupBox* fraColor;
    std::array<QLabel*, 9> lblColor{};
    std::array<QLineEdit*, 8> txtItem{};
    std::array<QPushButton*, 8> cmdColer{};
    QComboBox* cmbPointUpper;
    std::array<QCheckBox*, 5> chkDisp{};
    std::uint32_t itemColor(int index) const;
    void setItemColor(int index, std::uint32_t bgr);

    void fill() override;
    bool apply() override;

    void cmbDataBaseName_Click();
    void cmdColer_Click(int index);
    void chkDisp_Click(int index);
    void cmbPointUpper_Click();
    void cmbPointUpper_Change();
    void cmbPointUpper_GotFocus();
    void txtItem_GotFocus(int index);

    // The page's settings as the record window takes them.
    records::DisplayChange displayChange() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showChosenSet();
    void askForSet(const char* title);

    SetRows& rows_;
    bool undoingDisp_ = false;
    QString pointUpperAtLoad_;
};

}  // namespace options
