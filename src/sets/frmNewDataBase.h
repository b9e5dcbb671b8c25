#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Creating a question set: its name, item names, delimiter lists and comment. OK checks
// the inputs in order, adds the set's row with the default display settings and opens its
// record window at once.
class frmNewDataBase final : public QDialog {
    Q_OBJECT

public:
    explicit frmNewDataBase(QWidget* mainWindow);
    frmNewDataBase(const frmNewDataBase&) = delete;
    frmNewDataBase& operator=(const frmNewDataBase&) = delete;

    std::array<QLabel*, 9> Label1;
    // 0 name, 1 item 1, 2 delimiters 1, 3 item 2, 4 delimiters 2, 5 item 3; 6 is the comment.
    std::array<QLineEdit*, 6> txtNewDataBase;
    QPlainTextEdit* txtComment;  // txtNewDataBase(6)
    std::array<QFrame*, 6> Line1;
    QPushButton* cmdOk;
    QPushButton* cmdCansel;
    QPushButton* cmdHelp;

    QString boxText(int index) const;
    void setBoxText(int index, const QString& text);
    QWidget* box(int index) const;

    void cmdOk_Click();
    void cmdCansel_Click();
    void cmdHelp_Click();

    // Shows the dialog over the main window, which stays unusable until it closes.
    static void showFor(QWidget* mainWindow);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
