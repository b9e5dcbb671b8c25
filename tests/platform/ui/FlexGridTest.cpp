// The flex grid: header row and cells, widths and heights in twips (0 hides), alignment,
// merged runs, suspended painting, the current row and double-click.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "platform/ui/FlexGrid.h"
#include "platform/ui/Twips.h"

namespace {

using ui::FlexAlign;
using ui::FlexGrid;

void fill(FlexGrid& grid, const std::vector<QStringList>& rows) {
    grid.setRows(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < rows[r].size(); ++c) grid.setTextMatrix(r + 1, c, rows[r][c]);
}

TEST(FlexGridTest, HeaderRowIsRowZeroAndCellsFollow) {
    FlexGrid grid;
    grid.setCols(3);
    grid.setRows(3);
    grid.setTextMatrix(0, 0, QStringLiteral("データベース名"));
    grid.setTextMatrix(2, 1, QStringLiteral("林檎"));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("データベース名"));
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.model()->index(1, 1).data().toString(), QStringLiteral("林檎"));
    EXPECT_EQ(grid.textMatrix(2, 1), QStringLiteral("林檎"));
    EXPECT_EQ(grid.textMatrix(1, 2), QString());
    // Out of range reads are empty and writes are ignored.
    grid.setTextMatrix(5, 0, QStringLiteral("x"));
    EXPECT_EQ(grid.textMatrix(5, 0), QString());

    grid.setRows(2);  // shrinking drops the last row, keeps the rest
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.textMatrix(2, 1), QString());
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("データベース名"));
    grid.setCols(1);
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("データベース名"));
    EXPECT_EQ(grid.model()->columnCount(), 1);
}

TEST(FlexGridTest, BulkRowsAndRemovingRows) {
    FlexGrid grid;
    grid.setCols(2);
    grid.setTextMatrix(0, 0, QStringLiteral("見出し"));
    grid.setDataRows({{"a", "1"}, {"b", "2", "ignored"}, {"c"}});
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.textMatrix(0, 0), QStringLiteral("見出し"));
    EXPECT_EQ(grid.textMatrix(2, 1), QStringLiteral("2"));
    EXPECT_EQ(grid.textMatrix(3, 1), QString());
    grid.removeItem(2);
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.textMatrix(2, 0), QStringLiteral("c"));
    grid.removeItem(0);  // the header row stays
    EXPECT_EQ(grid.rows(), 3);
}

TEST(FlexGridTest, HundredThousandRowsFillAndReadBack) {
    FlexGrid grid;
    grid.setCols(18);
    std::vector<QStringList> rows;
    rows.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        QStringList r;
        r << QStringLiteral("セット%1").arg(i / 1000) << QString::number(i);
        for (int c = 2; c < 17; ++c) r << QString();
        r << QString::number(i + 1);
        rows.push_back(r);
    }
    grid.setRedraw(false);
    grid.setDataRows(std::move(rows));
    grid.setRowHeight(-1, 390);
    grid.setColWidth(17, 0);
    grid.setMergeCol(0, true);
    grid.setRedraw(true);
    EXPECT_EQ(grid.rows(), 100001);
    EXPECT_EQ(grid.textMatrix(100000, 17), QStringLiteral("100000"));
    EXPECT_EQ(grid.rowHeight(54321), 390);
    EXPECT_TRUE(grid.isColumnHidden(17));
    EXPECT_FALSE(grid.mergesWithAbove(1001, 0));  // セット1 starts here
    EXPECT_TRUE(grid.mergesWithAbove(1002, 0));
}

TEST(FlexGridTest, WidthsAndHeightsInTwipsZeroHides) {
    FlexGrid grid;
    grid.setCols(3);
    grid.setRows(4);
    grid.setColWidth(1, 2260);
    EXPECT_EQ(grid.colWidth(1), 2260);
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(1), ui::px(2260));
    grid.setColWidth(2, 0);
    EXPECT_TRUE(grid.isColumnHidden(2));
    grid.setColWidth(2, 490);
    EXPECT_FALSE(grid.isColumnHidden(2));

    grid.setRowHeight(0, 450);
    EXPECT_EQ(grid.rowHeight(0), 450);
    EXPECT_EQ(grid.horizontalHeader()->height(), ui::px(450));
    grid.setRowHeight(1, 0);
    EXPECT_TRUE(grid.isRowHidden(0));
    EXPECT_EQ(grid.rowHeight(1), 0);
    grid.setRowHeight(2, 390);
    EXPECT_EQ(grid.verticalHeader()->sectionSize(1), ui::px(390));
    // Every data row at once, hidden rows shown again.
    grid.setRowHeight(-1, 600);
    EXPECT_FALSE(grid.isRowHidden(0));
    EXPECT_EQ(grid.rowHeight(3), 600);
    EXPECT_EQ(grid.verticalHeader()->sectionSize(2), ui::px(600));
    // A hidden row stays hidden when rows are added.
    grid.setRowHeight(1, 0);
    grid.setRows(6);
    EXPECT_TRUE(grid.isRowHidden(0));
    EXPECT_EQ(grid.rowHeight(5), 600);
}

TEST(FlexGridTest, ColumnAndCellAlignment) {
    FlexGrid grid;
    grid.setCols(2);
    fill(grid, {{"名前", "12.5"}, {"別", "なし"}});
    // General: numbers right, text left.
    EXPECT_EQ(grid.qtAlignment(1, 1), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(grid.qtAlignment(2, 1), Qt::AlignLeft | Qt::AlignVCenter);
    grid.setColAlignment(0, FlexAlign::CenterCenter);
    EXPECT_EQ(grid.qtAlignment(2, 0), Qt::AlignCenter);
    EXPECT_EQ(grid.qtAlignment(0, 0), Qt::AlignCenter);  // the header follows its column
    grid.setCellAlignment(1, 0, FlexAlign::LeftCenter);
    EXPECT_EQ(grid.cellAlignment(1, 0), FlexAlign::LeftCenter);
    EXPECT_EQ(grid.cellAlignment(2, 0), FlexAlign::CenterCenter);
    EXPECT_EQ(grid.model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    grid.setCellAlignment(0, 1, FlexAlign::CenterCenter);
    EXPECT_EQ(
        grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignCenter);
}

TEST(FlexGridTest, MergedColumnShowsARunOnceSkippingHiddenRows) {
    FlexGrid grid;
    grid.setCols(2);
    fill(grid, {{"英単語", "a"}, {"英単語", "a"}, {"歴史", "a"}, {"歴史", "b"}, {"英単語", "b"}});
    EXPECT_FALSE(grid.mergesWithAbove(2, 0));  // not merged yet
    grid.setMergeCol(0, true);
    EXPECT_FALSE(grid.mergesWithAbove(1, 0));
    EXPECT_TRUE(grid.mergesWithAbove(2, 0));
    EXPECT_FALSE(grid.mergesWithAbove(3, 0));
    EXPECT_TRUE(grid.mergesWithAbove(4, 0));
    EXPECT_FALSE(grid.mergesWithAbove(5, 0));  // equal only to a cell further up
    EXPECT_FALSE(grid.mergesWithAbove(2, 1));  // column 1 is not merged
    // The first shown row of a run carries the text even when the row above is hidden.
    grid.setRowHeight(1, 0);
    EXPECT_FALSE(grid.mergesWithAbove(2, 0));
    grid.setTextMatrix(4, 0, QStringLiteral("数学"));
    EXPECT_FALSE(grid.mergesWithAbove(4, 0));
}

TEST(FlexGridTest, SuspendedPaintingSendsOneChangeOnResume) {
    FlexGrid grid;
    grid.setCols(2);
    grid.setRows(50);
    QSignalSpy changes(grid.model(), &QAbstractItemModel::dataChanged);
    grid.setRedraw(false);
    for (int r = 1; r < 50; ++r) grid.setTextMatrix(r, 0, QString::number(r));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(grid.viewport()->updatesEnabled());
    grid.setRedraw(true);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(grid.viewport()->updatesEnabled());
    EXPECT_EQ(grid.model()->index(48, 0).data().toString(), QStringLiteral("49"));
}

TEST(FlexGridTest, CurrentRowAndDoubleClick) {
    FlexGrid grid;
    grid.setCols(2);
    fill(grid, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    grid.resize(400, 300);
    grid.show();
    EXPECT_EQ(grid.row(), 0);
    grid.setRow(2);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    grid.setRow(0);
    EXPECT_EQ(grid.row(), 0);

    QSignalSpy clicks(&grid, &FlexGrid::dblClick);
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.row(), 3);
    // Below the last row: no row, no notification.
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(5, 290));
    EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
