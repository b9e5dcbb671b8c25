#include "shell/WordIndexUpdate.h"

#include <QApplication>
#include <QProgressDialog>

#include "platform/dao/DaoError.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"

namespace shell {

void bringWordIndexUpToDate(long long dialogFrom) {
    MainModule& m = mainModule();
    if (!m.database || !m.database->isOpen()) return;
    try {
        const long long backlog = m.database->WordIndexBacklog();
        if (backlog == 0) return;
        // A command-line tool has no windows to show the dialog in.
        const bool windows = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        if (backlog < dialogFrom || !windows) {
            m.database->UpdateWordIndex(false);
            return;
        }
        const bool building = !m.database->HasWordIndex();
        QProgressDialog dialog(
            building ? QStringLiteral("検索用の索引を作成しています。しばらくお待ちください。")
                     : QStringLiteral("検索用の索引を更新しています。しばらくお待ちください。"),
            QStringLiteral("キャンセル"), 0, 1000, QApplication::activeWindow());
        // The start-up window stays on top of everything; the dialog must show above it.
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        dialog.setObjectName(QStringLiteral("dlgWordIndex"));
        dialog.setWindowTitle(QString::fromLatin1(kApplicationTitle));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoReset(false);
        dialog.show();
        // The work blocks the event loop: the dialog gets its turn at each report, so that it
        // paints and its cancel button answers.
        QCoreApplication::processEvents();
        m.database->UpdateWordIndex(false, [&dialog](long long done, long long total) {
            dialog.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 1000);
            QCoreApplication::processEvents();
            return !dialog.wasCanceled();
        });
    } catch (const dao::DaoError&) {
        // Searches stay right without the index, only slower; the next start tries again.
    }
}

}  // namespace shell
