#include "drill/frmJustAnswerRate.h"

#include "platform/dao/DaoError.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"
#include "shell/DataErrors.h"
#include "shell/DataStoreConstants.h"
#include "shell/MainModule.h"
#include "shell/frmMDI.h"

namespace {

constexpr int kWidth = 9570;
constexpr int kHeight = 8535;

QString statisticsStatement(std::int32_t dbID) {
    return QStringLiteral(
               "SELECT format(MIN(データ.正解率),'##0.0'), format(MAX(データ.正解率),'##0.0'), ") +
           QStringLiteral(
               "FORMAT(IIF(SUM(データ.出題回数)=0, 0 , SUM(データ.正解回数) / "
               "SUM(データ.出題回数))*100,'##0.0') AS 平均, ") +
           QStringLiteral("COUNT(データ.正解率), SUM(データ.出題回数) ") +
           QStringLiteral("FROM データ ") + QStringLiteral("WHERE データ.dbID = ") +
           QString::number(dbID);
}

QString neverAskedStatement(std::int32_t dbID) {
    return QStringLiteral("SELECT COUNT(データ.出題回数) ") + QStringLiteral("FROM データ ") +
           QStringLiteral("WHERE データ.dbID = ") + QString::number(dbID) +
           QStringLiteral(" AND データ.出題回数 = 0");
}

}  // namespace

frmJustAnswerRate::frmJustAnswerRate(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmJustAnswerRate"));
    setWindowTitle(QStringLiteral("データベース別正解率"));
    MSHFlexGrid1 = new ui::FlexGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setAccessibleName(QStringLiteral("データベース別正解率"));
    ui::place(MSHFlexGrid1, 120, 120, 9255, 7935);
    Form_Load();
}

void frmJustAnswerRate::Form_Load() {
    ui::placeSizableWindow(this, parentWidget(), kWidth, kHeight, false);

    ui::FlexGrid& g = *MSHFlexGrid1;
    g.setCols(7);
    g.setRows(1);
    g.setRowHeight(0, 675);
    const char* headers[7] = {"データベース名", "最低正解率", "最高正解率",  "平均正解率",
                              "項目数",         "出題回数",   "出題未項目数"};
    for (int c = 0; c < 7; ++c) {
        g.setTextMatrix(0, c, QString::fromUtf8(headers[c]));
        g.setColWidth(c, c == 0 ? 3160 : 1000);
        g.setColAlignment(c, c == 0 ? ui::FlexAlign::LeftCenter : ui::FlexAlign::RightCenter);
    }
    g.setToolTip(QStringLiteral("データベース毎の正解率を表示します。"));

    const auto& list = shell::mainModule().dataBaseList;
    std::vector<QStringList> rows;
    try {
        for (size_t i = 2; i < list.size(); ++i) {
            const std::int32_t dbID = list[i].dbID;
            auto stats = shell::mainModule().database->OpenRecordset(statisticsStatement(dbID),
                                                                     dao::dbOpenDynaset);
            QStringList row{list[i].name};
            for (int c = 0; c < 5; ++c) row << stats->Fields(c).Value().displayText();
            stats->Close();
            auto never = shell::mainModule().database->OpenRecordset(neverAskedStatement(dbID),
                                                                     dao::dbOpenDynaset);
            row << never->Fields(0).Value().displayText();
            rows.push_back(row);
        }
    } catch (const dao::DaoError& e) {
        shell::ReportDataError(e);
    }
    g.setDataRows(std::move(rows));
    for (int r = 1; r < g.rows(); ++r) g.setCellAlignment(r, 0, ui::FlexAlign::LeftCenter);
    for (int c = 0; c < 7; ++c) g.setCellAlignment(0, c, ui::FlexAlign::CenterCenter);
    if (g.rows() > 1) g.setRow(1);
}

namespace drill {

void ShowRateStatistics() {
    frmJustAnswerRate window(shell::mainModule().mdiForm);
    window.exec();
}

}  // namespace drill
