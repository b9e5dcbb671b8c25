#include "records/RecordMenus.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "platform/ui/MessageBox.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "shell/DataBaseMenu.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace records {

namespace {

QAction* item(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
              std::function<void()> handler) {
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, menu, [handler] { runReportingErrors(handler); });
    return action;
}

// An item tests find by its object name, the way they find the window's controls.
QAction* namedItem(const char* objectName, QMenu* menu, const QString& caption,
                   const QKeySequence& shortcut, std::function<void()> handler) {
    QAction* action = item(menu, caption, shortcut, std::move(handler));
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

// A feature's window, when that feature is built.
std::function<void()> hook(std::function<void()> shell::FeatureHooks::*member) {
    return [member] {
        if (const auto& f = shell::featureHooks().*member) f();
    };
}

void confirmAndDeleteSet(const QString& name) {
    const QString text = QStringLiteral("データベース \"") + name +
                         QStringLiteral("\" を削除します。\nよろしいですか。");
    if (ui::MsgBox(text, ui::Buttons::OKCancel, QStringLiteral("データベース削除")) !=
        ui::Answer::OK)
        return;
    QApplication::processEvents();
    const auto& list = shell::mainModule().dataBaseList;
    for (size_t i = 2; i < list.size(); ++i) {
        if (list[i].name != name) continue;
        if (shell::featureHooks().deleteDataBase)
            shell::featureHooks().deleteDataBase(list[i].dbID);
        break;
    }
    QApplication::processEvents();
}

}  // namespace

QList<QMenu*> buildRecordWindowMenus(frmMDIChild* w) {
    QList<QMenu*> menus;
    auto* file = new QMenu(QStringLiteral("ファイル(&F)"));
    item(file, QStringLiteral("新規作成(&N)..."), {}, hook(&shell::FeatureHooks::newDataBase));
    w->mnuOpen = file->addMenu(QStringLiteral("開く(&O)"));
    item(file, QStringLiteral("閉じる(&C)"), {}, [w] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
            sub->close();
        else
            w->close();
    });
    w->mnuDelData = file->addMenu(QStringLiteral("削除(&D)"));
    file->addSeparator();
    item(file, QStringLiteral("終了(&X)"), {}, [] { shell::EndProgram(); });
    file->addSeparator();
    // Import and export start from this window's set.
    const auto ofWindow = [w](std::function<void(std::int32_t)> shell::FeatureHooks::*member) {
        return [w, member] {
            const auto& f = shell::featureHooks().*member;
            if (!f) return;
            const int slot = w->slot();
            const auto& table = shell::mainModule().childSettings;
            f(slot >= 0 && slot < static_cast<int>(table.size()) ? table[slot].dbID : -1);
        };
    };
    item(file, QStringLiteral("インポート(&I)..."), {},
         ofWindow(&shell::FeatureHooks::importRecords))
        ->setObjectName(QStringLiteral("mnuImport"));
    item(file, QStringLiteral("エクスポート(&E)..."), {},
         ofWindow(&shell::FeatureHooks::exportRecords))
        ->setObjectName(QStringLiteral("mnuExport"));
    menus << file;
    w->dataBaseMenus = std::make_unique<shell::DataBaseMenuArrays>(
        w->mnuOpen, w->mnuDelData,
        [w](int index) {
            runReportingErrors([w, index] {
                const QAction* chosen = w->dataBaseMenus->mnuDataBase.at(index);
                OpenDataBaseFromMenu(shell::DataBaseMenuArrays::tagOf(chosen).toInt(),
                                     chosen->text());
                shell::RefreshDataBaseMenu();
            });
        },
        [w](int index) {
            runReportingErrors([w, index] {
                confirmAndDeleteSet(w->dataBaseMenus->mnuDelDataBase.at(index)->text());
            });
        });
    w->dataBaseMenus->refresh(false);

    auto* edit = new QMenu(QStringLiteral("編集(&E)"));
    namedItem("mnuCut", edit, QStringLiteral("切り取り(&T)"),
              QKeySequence(QStringLiteral("Ctrl+X")), [w] { w->mnuCut_Click(); });
    namedItem("mnuCopy", edit, QStringLiteral("コピー(&C)"), QKeySequence(QStringLiteral("Ctrl+C")),
              [w] { w->mnuCopy_Click(); });
    namedItem("mnuPaste", edit, QStringLiteral("貼り付け(&P)"),
              QKeySequence(QStringLiteral("Ctrl+V")), [w] { w->mnuPaste_Click(); });
    namedItem("mnuDelete", edit, QStringLiteral("削除(&L)"), QKeySequence(Qt::Key_Delete),
              [w] { w->mnuDelete_Click(); });
    namedItem("mnuDeleteRecord", edit, QStringLiteral("このデータ削除(&D)"),
              QKeySequence(QStringLiteral("Ctrl+D")), [w] { w->mnuDeleteRecord_Click(); });
    namedItem("mnuNewRecord", edit, QStringLiteral("空データ作成(&N)"),
              QKeySequence(QStringLiteral("Ctrl+N")), [w] { w->mnuNewRecord_Click(); });
    menus << edit;

    auto* format = new QMenu(QStringLiteral("書式(&C)"));
    namedItem("mnuFont", format, QStringLiteral("フォント(&F)..."),
              QKeySequence(QStringLiteral("Ctrl+F")), [w] { w->mnuFont_Click(); });
    menus << format;

    auto* search = new QMenu(QStringLiteral("検索(&S)"));
    item(search, QStringLiteral("検索(&S)..."), QKeySequence(QStringLiteral("Ctrl+S")), [] {
        SaveAllRecordWindows();
        hook (&shell::FeatureHooks::search)();
    });
    menus << search;

    auto* test = new QMenu(QStringLiteral("テスト(&T)"));
    item(test, QStringLiteral("出題(&Q)"), QKeySequence(QStringLiteral("Ctrl+Q")), [] {
        SaveAllRecordWindows();
        hook (&shell::FeatureHooks::test)();
    });
    item(test, QStringLiteral("データベース別正解率(&R)"), {},
         hook(&shell::FeatureHooks::rateStatistics));
    menus << test;

    auto* option = new QMenu(QStringLiteral("オプション(&O)"));
    item(option, QStringLiteral("オプション設定(&O)..."), {}, hook(&shell::FeatureHooks::options));
    menus << option;

    auto* window = new QMenu(QStringLiteral("ウィンドウ(&W)"));
    item(window, QStringLiteral("重ねて表示(&C)"), {}, [] {
        if (recordWindowArea()) recordWindowArea()->cascadeSubWindows();
    });
    item(window, QStringLiteral("並べて表示(&T)"), {}, [] {
        if (recordWindowArea()) recordWindowArea()->tileSubWindows();
    });
    item(window, QStringLiteral("アイコンの整列(&A)"), {}, [] {
        // Minimised windows line up along the bottom of the area.
        QMdiArea* area = recordWindowArea();
        if (!area) return;
        int x = 0;
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (!sub->isMinimized()) continue;
            sub->move(x, area->viewport()->height() - sub->height());
            x += sub->width();
        }
    });
    menus << window;

    auto* help = new QMenu(QStringLiteral("ヘルプ(&H)"));
    item(help, QStringLiteral("目次(&C)..."), {}, [] { shell::ShowHelp(15); });
    item(help, QStringLiteral("キーワード(&I)..."), {}, [] { shell::ShowHelp(257); });
    help->addSeparator();
    QMenu* web = help->addMenu(QStringLiteral("ウェッブページ(&W)"));
    item(web, QStringLiteral("作者ホームページ(&R)"), {}, [] { shell::OpenAuthorHomePage(); });
    help->addSeparator();
    item(help, QStringLiteral("バージョン情報(&A)..."), {}, hook(&shell::FeatureHooks::about));
    menus << help;
    return menus;
}

void rebuildRecordWindowSetMenus() {
    shell::MainModule& m = shell::mainModule();
    for (size_t slot = 0; slot < m.childSettings.size(); ++slot) {
        if (m.childSettings[slot].slotFree) continue;
        if (frmMDIChild* w = windowOfSlot(static_cast<int>(slot))) w->dataBaseMenus->refresh(false);
    }
}

void showMenusOfActiveWindow() {
    shell::frmMDI* mdi = shell::mainModule().mdiForm;
    if (!mdi) return;
    QMdiArea* area = recordWindowArea();
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    if (auto* w = active ? qobject_cast<frmMDIChild*>(active->widget()) : nullptr)
        mdi->showMenus(w->menus());
    else
        mdi->showOwnMenus();
}

}  // namespace records
