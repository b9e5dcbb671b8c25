#pragma once

#include <QDialog>

#include <cstdint>

#include "exchange/RecordExport.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

// Exporting one set or all of them to a file another program can read.
class frmExport final : public QDialog {
    Q_OBJECT

public:
    frmExport(QWidget* owner, std::int32_t dbID);
    frmExport(const frmExport&) = delete;
    frmExport& operator=(const frmExport&) = delete;

    QRadioButton* optOne;
    QComboBox* cmbDataBase;
    QRadioButton* optAll;
    QComboBox* cmbFormat;
    QCheckBox* chkCounters;
    QCheckBox* chkRate;
    QCheckBox* chkDates;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // The settings as the controls stand, without the file.
    exchange::ExportSettings settings() const;

    // Asks for the file (save dialog) and writes it.
    void cmdOk_Click();
};
