#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QList>

namespace ui {

class FlexGrid;

// The flex grid as assistive technology reads it: a table of the shown columns only. The
// hidden columns hold what the windows need behind the scenes (IDs, colour numbers, RTF),
// which a screen reader must not walk through. Rows and columns count from 0 over the data
// rows and the shown columns; the header row gives the column headers.
class FlexGridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit FlexGridAccessible(FlexGrid* grid);
    ~FlexGridAccessible() override;
    FlexGridAccessible(const FlexGridAccessible&) = delete;
    FlexGridAccessible& operator=(const FlexGridAccessible&) = delete;

    // Makes every FlexGrid report through this class; once per program.
    static void install();
    // The child index of a data cell given by model row and column, which focus and selection
    // events carry. A hidden column stands for its row's first shown cell; -1 when no column
    // is shown.
    static int childIndexOf(const FlexGrid* grid, int modelRow, int modelColumn);

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    int columnCount() const override;
    QString rowDescription(int) const override { return {}; }
    int rowCount() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    FlexGrid* grid() const;
    bool headerShown() const;
    // The interface of a cell by model row (-1 for the header) and model column.
    QAccessibleInterface* cell(int row, int modelColumn) const;
    void dropCells();

    mutable QHash<qint64, QAccessible::Id> cells_;
};

}  // namespace ui
