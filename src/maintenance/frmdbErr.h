#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

// The recovery dialog after a data access error at start-up: repair the current file
// (compaction), restore the backup, or do nothing.
class frmdbErr final : public QDialog {
    Q_OBJECT

public:
    explicit frmdbErr(QWidget* owner = nullptr);
    frmdbErr(const frmdbErr&) = delete;
    frmdbErr& operator=(const frmdbErr&) = delete;

    QLabel* lbldbErr;
    std::array<QRadioButton*, 3> optdbErr{};
    QPushButton* cmdOK;

    void cmdOK_Click();

private:
    void Form_Load();
};
