#pragma once

#include <QDialog>

namespace ui {
class FlexGrid;
}

// The rate statistics of every set, computed once when the window opens: lowest, highest
// and average rate, records, times asked, records never asked.
class frmJustAnswerRate final : public QDialog {
    Q_OBJECT

public:
    explicit frmJustAnswerRate(QWidget* mainWindow = nullptr);
    frmJustAnswerRate(const frmJustAnswerRate&) = delete;
    frmJustAnswerRate& operator=(const frmJustAnswerRate&) = delete;

    ui::FlexGrid* MSHFlexGrid1;

private:
    void Form_Load();
};

namespace drill {
// Shows the statistics window modally over the main window.
void ShowRateStatistics();
}  // namespace drill
