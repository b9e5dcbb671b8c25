// What assistive technology reads from the platform controls: the flex grid's table of shown
// columns, combo boxes named by a label, and where the focus goes after a button.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/Accessibility.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/FlexGrid.h"
#include "platform/ui/FlexGridAccessible.h"

namespace {

using testing_support::spokenName;

// A grid like the search result: 2 of 5 columns hidden (an ID and a colour number).
struct SearchLikeGrid {
    ui::FlexGrid grid;
    SearchLikeGrid() {
        grid.setCols(5);
        const QStringList header = {"データベース名", "ID", "項目１", "色", "正解率"};
        for (int c = 0; c < 5; ++c) grid.setTextMatrix(0, c, header[c]);
        grid.setDataRows({{"英単語", "17", "apple", "255", "50.0"},
                          {"英単語", "18", "pear", "65280", "100.0"},
                          {"歴史", "19", "鎌倉", "0", "0.0"}});
        grid.setColWidth(1, 0);
        grid.setColWidth(3, 0);
        grid.resize(400, 200);
        grid.show();
    }
    QAccessibleInterface* iface() { return QAccessible::queryAccessibleInterface(&grid); }
    QAccessibleTableInterface* table() { return iface()->tableInterface(); }
};

TEST(FlexGridAccessibleTest, TableHasOnlyTheShownColumns) {
    SearchLikeGrid g;
    QAccessibleTableInterface* table = g.table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(g.iface()->role(), QAccessible::Table);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("データベース名"));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("項目１"));
    EXPECT_EQ(table->columnDescription(2), QStringLiteral("正解率"));
    EXPECT_EQ(table->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("pear"));
    EXPECT_EQ(table->cellAt(2, 2)->text(QAccessible::Name), QStringLiteral("0.0"));
    EXPECT_EQ(table->cellAt(0, 3), nullptr);

    // Children: the header row, then the cells row by row, hidden columns left out.
    ASSERT_EQ(g.iface()->childCount(), 4 * 3);
    QStringList seen;
    for (int i = 0; i < g.iface()->childCount(); ++i) {
        QAccessibleInterface* child = g.iface()->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(g.iface()->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), g.iface());
        seen << child->text(QAccessible::Name);
    }
    EXPECT_EQ(seen.mid(0, 3), (QStringList{"データベース名", "項目１", "正解率"}));
    EXPECT_FALSE(seen.contains(QStringLiteral("65280")));
    EXPECT_FALSE(seen.contains(QStringLiteral("18")));
    EXPECT_EQ(g.iface()->child(0)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(g.iface()->child(3)->role(), QAccessible::Cell);

    // A cell knows its place among the shown columns and its header.
    auto* cell = table->cellAt(1, 2)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->rowIndex(), 1);
    EXPECT_EQ(cell->columnIndex(), 2);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("正解率"));

    // A column shown again joins the table.
    g.grid.setColWidth(3, 600);
    EXPECT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->cellAt(0, 2)->text(QAccessible::Name), QStringLiteral("255"));
}

TEST(FlexGridAccessibleTest, SelectionAndPositionFollowTheGrid) {
    SearchLikeGrid g;
    QAccessibleTableInterface* table = g.table();
    g.grid.setRow(2);
    EXPECT_EQ(table->selectedRows(), QList<int>{1});
    EXPECT_TRUE(table->cellAt(1, 0)->tableCellInterface()->isSelected());
    EXPECT_EQ(table->selectedCellCount(), 3);
    EXPECT_TRUE(table->selectRow(2));
    EXPECT_EQ(g.grid.row(), 3);
    EXPECT_TRUE(table->unselectRow(2));
    EXPECT_EQ(g.grid.row(), 0);

    // The cell under a point is the cell painted there.
    const QRect r = g.grid.visualRect(g.grid.model()->index(2, 2));
    const QPoint at = g.grid.viewport()->mapToGlobal(r.center());
    QAccessibleInterface* hit = g.iface()->childAt(at.x(), at.y());
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->text(QAccessible::Name), QStringLiteral("鎌倉"));
    EXPECT_EQ(hit->rect().center(), at);

    // New rows: the table reads them, not stale cells.
    g.grid.setDataRows({{"数学", "20", "微分", "0", "75.0"}});
    QAccessibleTableModelChangeEvent reset(&g.grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    EXPECT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("微分"));
}

// Focus and selection events name a cell by its child index: it must be the cell the user is
// on, among the shown columns only.
TEST(FlexGridAccessibleTest, EventsNumberTheCellsAsTheTableDoes) {
    SearchLikeGrid g;
    using ui::FlexGridAccessible;
    const auto told = [&](int row, int column) {
        const int child = FlexGridAccessible::childIndexOf(&g.grid, row, column);
        return child < 0 ? QStringLiteral("none")
                         : g.iface()->child(child)->text(QAccessible::Name);
    };
    EXPECT_EQ(told(1, 2), QStringLiteral("pear"));
    EXPECT_EQ(told(2, 4), QStringLiteral("0.0"));
    // A row whose current cell is hidden is told by its first shown cell.
    EXPECT_EQ(told(2, 3), QStringLiteral("歴史"));
    g.grid.setColWidth(0, 0);
    EXPECT_EQ(told(2, 1), QStringLiteral("鎌倉"));
    // Without a header row the cells start at child 0.
    g.grid.setRowHeight(0, 0);
    EXPECT_EQ(FlexGridAccessible::childIndexOf(&g.grid, 0, 2), 0);
    EXPECT_EQ(told(0, 4), QStringLiteral("50.0"));
    for (int c = 0; c < 5; ++c) g.grid.setColWidth(c, 0);
    EXPECT_EQ(FlexGridAccessible::childIndexOf(&g.grid, 0, 2), -1);
}

TEST(AccessibleNameTest, ComboIsNamedByItsLabelNotByItsValue) {
    QWidget window;
    auto* year = new QComboBox(&window);
    year->setObjectName(QStringLiteral("cmbRecordDay(0)"));
    year->addItems({QStringLiteral("2026"), QStringLiteral("2025")});
    // Qt's own name of a combo on Linux is its value: that is what a reader hears without a label.
    year->setAccessibleName(QStringLiteral("開始年"));
    EXPECT_EQ(spokenName(year), QString());

    ui::nameControl(year, QStringLiteral("開始年"));
    EXPECT_EQ(spokenName(year), QStringLiteral("開始年"));
    ui::nameControl(year, QStringLiteral("登録日 開始年"));  // renaming reuses its label
    EXPECT_EQ(spokenName(year), QStringLiteral("登録日 開始年"));
    EXPECT_EQ(window.findChildren<QLabel*>().size(), 1);
    // The text part of an editable combo carries the name too.
    auto* rate = new QComboBox(&window);
    rate->setEditable(true);
    rate->addItem(QStringLiteral("100"));
    ui::nameControl(rate, QStringLiteral("正解率"));
    EXPECT_EQ(spokenName(rate->lineEdit()), QStringLiteral("正解率"));

    // A visible label that already points at the combo is the name; no second label.
    auto* caption = new QLabel(QStringLiteral("設定するデータベース名"), &window);
    auto* sets = new QComboBox(&window);
    sets->addItem(QStringLiteral("英単語"));
    caption->setBuddy(sets);
    ui::nameControl(sets, caption->text());
    EXPECT_EQ(spokenName(sets), QStringLiteral("設定するデータベース名"));
    EXPECT_EQ(window.findChildren<QLabel*>().size(), 3);

    // Text boxes take the accessible name as it is.
    auto* box = new QLineEdit(QStringLiteral("50.0"), &window);
    ui::nameControl(box, QStringLiteral("正解率（%）"));
    EXPECT_EQ(spokenName(box), QStringLiteral("正解率（%）"));
}

// A window with a button that parks the focus on an out-of-sight box, as the record, test and
// search windows do.
struct ParkingWindow {
    QWidget window;
    QLineEdit* sink = new QLineEdit(&window);
    QLineEdit* edit = new QLineEdit(&window);
    QPushButton* next = new QPushButton(QStringLiteral("＞"), &window);
    int pressed = 0;
    ParkingWindow() {
        sink->setGeometry(-10000, 0, 10, 10);
        ui::makeFocusSink(sink);
        next->setFocusPolicy(Qt::TabFocus);
        QObject::connect(next, &QPushButton::clicked, &window, [this] {
            const ui::FocusReturn back(next);
            sink->setFocus();
            ++pressed;
        });
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
    }
};

TEST(FocusSinkTest, KeyboardPressKeepsTheButtonAndTabNeverLandsOnTheSink) {
    ParkingWindow w;
    ASSERT_TRUE(w.edit->hasFocus());
    // From the keyboard: Tab to the button, Space presses it, the focus stays on it.
    QTest::keyClick(w.edit, Qt::Key_Tab);
    ASSERT_TRUE(w.next->hasFocus());
    QTest::keyClick(w.next, Qt::Key_Space);
    EXPECT_EQ(w.pressed, 1);
    EXPECT_TRUE(w.next->hasFocus());
    // Tab walks edit -> button -> edit; the sink is skipped.
    QTest::keyClick(w.next, Qt::Key_Tab);
    EXPECT_TRUE(w.edit->hasFocus());
    QTest::keyClick(w.edit, Qt::Key_Tab);
    EXPECT_TRUE(w.next->hasFocus());

    // A mouse click leaves the focus parked, as before.
    w.edit->setFocus();
    QTest::mouseClick(w.next, Qt::LeftButton);
    EXPECT_EQ(w.pressed, 2);
    EXPECT_TRUE(w.sink->hasFocus());

    // To a screen reader the sink is no text field but an unseen part of the window.
    QAccessibleInterface* sink = QAccessible::queryAccessibleInterface(w.sink);
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->role(), QAccessible::NoRole);
    EXPECT_TRUE(sink->state().invisible);
    EXPECT_FALSE(sink->state().focusable);
    EXPECT_EQ(sink->textInterface(), nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.edit)->role(), QAccessible::EditableText);
}

}  // namespace
