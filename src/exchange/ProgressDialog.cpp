#include "exchange/ProgressDialog.h"

#include <QApplication>

namespace exchange {

ProgressDialog::ProgressDialog(QWidget* owner, const QString& name, const QString& title,
                               const QString& text, int delay)
    : QProgressDialog(text, QStringLiteral("キャンセル"), 0, 1000, owner) {
    setObjectName(name);
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(delay);
}

Progress ProgressDialog::reporter() {
    return [this](qint64 done, qint64 total) {
        setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
        QApplication::processEvents();
        return !wasCanceled();
    };
}

}  // namespace exchange
