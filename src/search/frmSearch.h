#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dao {
class Recordset;
}
namespace richtext {
class RichTextBox;
}
namespace ui {
class FlexGrid;
}

namespace search {
class SearchResultSource;
struct SearchConditions;
}  // namespace search

// The search window: chooses sets and conditions, lists the hits in a grid, shows one hit
// at a time with its set's item names and colours, and writes edits of its texts back.
class frmSearch final : public QDialog {
    Q_OBJECT

public:
    explicit frmSearch(QWidget* mainWindow = nullptr);
    ~frmSearch() override;
    frmSearch(const frmSearch&) = delete;
    frmSearch& operator=(const frmSearch&) = delete;

    std::array<QLabel*, 12> Label1{};
    QListWidget* lstDatabase;
    // 0 search, 1 select all, 2 invert, 3 list, 4 detail, 5 to 8 first, previous, next, last.
    std::array<QPushButton*, 9> cmdSearch{};
    QCheckBox* chkWord;
    QCheckBox* chkJustAnswerRate;
    QCheckBox* chkRecordDay;
    // 0 the words; 1 to 3 item names, 4 rate, 5 date, 6 set name, 7 the counter.
    std::array<QLineEdit*, 8> txtSearch{};
    QComboBox* cmbPoints;
    QLabel* Label10;
    std::array<QRadioButton*, 2> optPoint{};
    std::array<QComboBox*, 6> cmbRecordDay{};
    ui::FlexGrid* MSHFlexGrid1;
    std::array<richtext::RichTextBox*, 5> txtData{};
    QLineEdit* Text1;  // takes the focus out of sight

    void Form_Resize();
    void Form_QueryUnload();
    void cmdSearch_Click(int index);
    void MSHFlexGrid1_DblClick();
    void txtData_Change(int index);
    void cmbRecordDay_Click(int index);
    void lstDatabase_Click();
    void UpdateSearchButton();
    // True: the list view; false: the detail view.
    void SetSearchViewMode(bool list);
    void ShowSearchRecord();

    // The result set while one is open (nullptr otherwise).
    dao::Recordset* resultSet() const { return open_ ? rs_.get() : nullptr; }
    bool edited() const { return edited_; }
    const std::vector<std::int16_t>& listDbIDs() const { return dbIDs_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setToolTips();
    void Form_Load();
    search::SearchConditions conditions() const;
    std::array<QString, 6> dateTexts() const;
    void runSearch();
    void showResult();
    void emptyGrid();
    void closeResult();
    void showDetail();
    void moveRecord(int button);
    void setCounter();
    void writeBack();
    void saveShownRecord();

    std::unique_ptr<dao::Recordset> rs_;
    std::shared_ptr<search::SearchResultSource> source_;
    bool open_ = false;
    std::vector<std::int16_t> dbIDs_;
    int busy_ = 0;
    bool edited_ = false;
    // Position of the record the detail boxes show; -1 when they show none of this result.
    int lastShown_ = -1;
    bool loaded_ = false;
    bool unloaded_ = false;
};

namespace search {
// Shows the search window modally over the main window.
void ShowSearchWindow();
}  // namespace search
