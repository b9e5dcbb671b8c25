#include "sets/DataBaseSets.h"

#include <QApplication>
#include <QMdiSubWindow>

#include "platform/dao/DaoError.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "records/RecordLayout.h"
#include "records/RecordWindows.h"
#include "records/frmMDIChild.h"
#include "shell/DataBaseMenu.h"
#include "shell/DataStore.h"
#include "shell/MainModule.h"

namespace sets {

namespace {

const QString kDefaultFont = QStringLiteral("ＭＳ Ｐゴシック");
const char* const kElements[] = {"項目1", "項目2",      "項目3",     "コメント",
                                 "出展",  "正解率以上", "正解率未満"};

void writeNewRow(dao::Recordset& rs, std::int32_t dbID, const NewDataBaseInputs& in) {
    rs.AddNew();
    rs.Fields(QStringLiteral("dbID")) = static_cast<int>(dbID);
    rs.Fields(QStringLiteral("データベース名")) = in[0];
    rs.Fields(QStringLiteral("項目1名称")) = in[1];
    rs.Fields(QStringLiteral("項目2名称")) = in[3];
    rs.Fields(QStringLiteral("項目3名称")) = in[5];
    rs.Fields(QStringLiteral("DBコメント")) = in[6];
    rs.Fields(QStringLiteral("区切り12")) = in[2];
    rs.Fields(QStringLiteral("区切り23")) = in[4];
    rs.Fields(QStringLiteral("正解率閾値")) = 0;
    for (const char* e : kElements) {
        const QString element = QString::fromUtf8(e);
        rs.Fields(element + QStringLiteral("背景色")) = 0x00FFFFFF;
        rs.Fields(element + QStringLiteral("文字色")) = 0;
        for (const char* style : {"太字", "斜体", "取消", "下線"})
            rs.Fields(element + QString::fromUtf8(style)) = false;
        rs.Fields(element + QStringLiteral("フォント")) = kDefaultFont;
        rs.Fields(element + QStringLiteral("サイズ")) = 10;
    }
    rs.Fields(QStringLiteral("画面X")) = 0;
    rs.Fields(QStringLiteral("画面Y")) = 0;
    rs.Fields(QStringLiteral("画面幅")) = records::kRecordWindowMinWidth;
    rs.Fields(QStringLiteral("画面縦")) = records::kRecordWindowMinHeight;
    rs.Fields(QStringLiteral("WindowState")) = 0;
    rs.Fields(QStringLiteral("終了状態")) = false;
    for (const char* use : {"項目1使用", "項目2使用", "項目3使用", "コメント使用", "出展使用"})
        rs.Fields(QString::fromUtf8(use)) = true;
    // 文字隠用背景色 keeps its column default.
    rs.Update();
}

}  // namespace

std::int32_t AddDataBaseRow(const NewDataBaseInputs& inputs) {
    shell::MainModule& m = shell::mainModule();
    const std::int32_t dbID = shell::NewDataBaseID();
    try {
        shell::openSettingsRecordset();
        writeNewRow(*m.settingsRecordset, dbID, inputs);
    } catch (...) {
        m.dataBaseList.pop_back();  // the set was not made: its list entry goes too
        m.settingsRecordset.reset();
        throw;
    }
    m.dataBaseList.back().name = inputs[0];
    m.settingsRecordset.reset();
    return dbID;
}

void OpenNewDataBaseWindow(std::int32_t dbID) {
    shell::MainModule& m = shell::mainModule();
    m.firstDisplay = true;
    shell::openSettingsRecordset();
    const int slot = records::FindWindowSlot(dbID);
    shell::LoadChildSettings(slot, dbID);
    m.childSettings[slot].slotFree = false;
    if (frmMDIChild* w = records::windowOfSlot(slot)) w->recordChanged = false;
    records::OpenRecordWindow(slot);
    shell::RefreshDataBaseMenu();
    if (frmMDIChild* w = records::windowOfSlot(slot)) {
        QWidget* window = w->parentWidget() ? w->parentWidget() : w;
        window->showNormal();
        window->resize(ui::px(records::kRecordWindowMinWidth),
                       ui::px(records::kRecordWindowMinHeight));
    }
    m.settingsRecordset.reset();
}

std::int32_t CreateDataBase(const NewDataBaseInputs& inputs) {
    const std::int32_t dbID = AddDataBaseRow(inputs);
    OpenNewDataBaseWindow(dbID);
    return dbID;
}

void DeleteDataBase(std::int32_t dbID) {
    shell::MainModule& m = shell::mainModule();
    if (m.dataBaseList.size() <= 2) {
        ui::MsgBox(QStringLiteral("データベースがありません。"), ui::Buttons::OKOnly,
                   QStringLiteral("データベース削除"));
        return;
    }
    if (m.openWindowCount > 0) {
        for (int slot = 0; slot < static_cast<int>(m.childSettings.size()); ++slot) {
            shell::ChildSettings& s = m.childSettings[slot];
            if (s.dbID != dbID) continue;
            if (!s.slotFree) {
                if (frmMDIChild* w = records::windowOfSlot(slot)) {
                    QWidget* window = qobject_cast<QMdiSubWindow*>(w->parentWidget());
                    (window ? window : w)->close();
                }
            }
            s.slotFree = true;
            QApplication::processEvents();
        }
    }
    // The records and the set's row go together or not at all; one statement removes the
    // records, however many there are.
    dao::Database& db = *m.database;
    db.BeginTrans();
    try {
        db.Execute(QStringLiteral("DELETE FROM データ WHERE dbID = %1").arg(dbID));
        shell::openSettingsRecordset();
        m.settingsRecordset->FindFirst(QStringLiteral("dbID =%1").arg(dbID));
        if (!m.settingsRecordset->NoMatch()) m.settingsRecordset->Delete();
        m.settingsRecordset.reset();
        db.CommitTrans();
    } catch (...) {
        m.settingsRecordset.reset();
        db.Rollback();
        throw;
    }
    for (size_t i = 2; i < m.dataBaseList.size(); ++i) {
        if (m.dataBaseList[i].dbID == dbID) {
            m.dataBaseList.erase(m.dataBaseList.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    shell::RefreshDataBaseMenu();
}

}  // namespace sets
