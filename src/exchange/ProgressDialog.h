#pragma once

#include <QProgressDialog>
#include <QString>

#include "exchange/RecordImport.h"

class QWidget;

namespace exchange {

// The progress dialog of a long import or export, with its cancel button. It shows once the
// work has run for `delay` ms, so a short run never flashes it.
class ProgressDialog final : public QProgressDialog {
    Q_OBJECT

public:
    ProgressDialog(QWidget* owner, const QString& name, const QString& title, const QString& text,
                   int delay);

    // The callback the work reports to: moves the bar, lets the dialog take its clicks, and
    // says whether to go on.
    Progress reporter();
};

}  // namespace exchange
