#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: product name, version, the author's addresses and the system information.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblMail;
    QLabel* lblHomePage;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    QPushButton* cmdHomePage;

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdHomePage_Click();

    // Program and Qt versions, the system, and the database file in use.
    static QString systemInformation();

    // Shows the box modally over the active window.
    static void showModal();
};
