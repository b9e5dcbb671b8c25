#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "exchange/ImportFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// Importing a word list: the file's encoding and format, a preview of its first rows with
// the column each item comes from, and the set the records go to.
class frmImport final : public QDialog {
    Q_OBJECT

public:
    frmImport(QWidget* owner, std::int32_t dbID);
    frmImport(const frmImport&) = delete;
    frmImport& operator=(const frmImport&) = delete;

    QLineEdit* txtFile;
    QPushButton* cmdFile;
    QComboBox* cmbEncoding;
    QComboBox* cmbFormat;
    QCheckBox* chkHtml;
    QCheckBox* chkHeader;
    QTableWidget* grdPreview;  // row 0 holds the column choices cmbColumn(0), cmbColumn(1), ...
    std::vector<QComboBox*> cmbColumn;
    QRadioButton* optExisting;
    QComboBox* cmbDataBase;
    QRadioButton* optNew;
    QLineEdit* txtNewName;
    QCheckBox* chkSkipEmpty;
    QLabel* lblStatus;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    // How long an import runs before its progress dialog shows (a short one never does).
    int progressDelay = 500;

    // Asks for the file (open-file dialog); false when the user cancels.
    bool chooseFile();
    // Reads the file's first rows and fills the dialog with what it found.
    void loadFile(const QString& path);
    // The settings as the controls stand.
    exchange::ImportSettings settings() const;

    void cmdOk_Click();

private:
    void reprobe();
    void fillPreview();
    void fillColumnChoices();
    QStringList targetItemNames() const;

    exchange::FileProbe probe_;
    bool filling_ = false;
};
