#pragma once

#include <QDialog>

#include <array>
#include <memory>

#include "drill/TestSession.h"

class QCheckBox;
class QComboBox;
class QFrame;
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

// The test window: chooses the sets and conditions, asks the questions and counts the
// answers into each record's counters and rate.
class frmTest final : public QDialog {
    Q_OBJECT

public:
    explicit frmTest(QWidget* mainWindow = nullptr);
    ~frmTest() override;
    frmTest(const frmTest&) = delete;
    frmTest& operator=(const frmTest&) = delete;

    std::array<QLabel*, 17> Label1{};
    QListWidget* lstDatabase;
    std::array<QPushButton*, 10> cmdTest{};
    std::array<QCheckBox*, 9> chkTest{};
    QComboBox* cmbPoints;
    std::array<QFrame*, 2> fraTest{};
    std::array<QRadioButton*, 4> optPoint{};
    std::array<QComboBox*, 6> cmbRecordDay{};
    std::array<QLineEdit*, 7> txtItem{};
    std::array<richtext::RichTextBox*, 4> txtData{};
    std::array<QFrame*, 2> Line1{};
    QLineEdit* Text1;

    void CheckTestCondition();
    void chkTest_Click(int index);
    void cmdTest_Click(int index);
    void lstDatabase_Click();
    void txtData_Change(int index);
    void Form_Resize();
    void Form_QueryUnload();

    // The random values a test draws from (tests make them predictable).
    drill::RandomSingle& random() { return session_.random(); }
    void setRandom(std::unique_ptr<drill::RandomSingle> random) {
        session_.setRandom(std::move(random));
    }
    dao::Recordset* testRecordset() const { return session_.recordset(); }
    bool isOpen() const { return session_.hasQuestions(); }
    bool endCounted() const { return session_.endCounted(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setToolTips();
    void formLoad();
    void startTest();
    void answer(bool correct);
    void move(int button);
    void reveal();
    void writeBack();
    drill::ShowSettings showSettings() const;
    void showQuestion(const drill::QuestionView& question);
    void setBox(int box, const drill::BoxView& view);
    void emptyQuestion();

    drill::TestSession session_;
    bool busy_ = false;
    bool edited_ = false;
    bool unloaded_ = false;
};

namespace drill {
// Shows the test window modally over the main window.
void ShowTestWindow();
}  // namespace drill
