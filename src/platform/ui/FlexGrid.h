#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QStringList>
#include <QTableView>

#include <memory>
#include <unordered_map>
#include <vector>

// The flex grid (`MSHFlexGrid1`): a read-only grid whose row 0 is the header row, on a
// model so that it stays quick with 100,000 rows. Rows and columns are numbered as the
// windows number them: row 0 is the header, data rows start at 1. Sizes are twips.
namespace ui {

enum class FlexAlign {
    LeftTop = 0,
    LeftCenter = 1,
    LeftBottom = 2,
    CenterTop = 3,
    CenterCenter = 4,
    CenterBottom = 5,
    RightTop = 6,
    RightCenter = 7,
    RightBottom = 8,
    General = 9,  // numbers right, text left, vertically centred
};

class FlexGrid;

// Data rows read on demand, for a grid over a large result: the grid asks only for the
// cells it paints or is asked for, so filling it costs nothing per row.
class FlexGridSource {
public:
    virtual ~FlexGridSource() = default;
    virtual int rowCount() const = 0;
    // Data row `row` (1...), any column below the grid's cols().
    virtual QString text(int row, int col) const = 0;
};

// The cells; the view shows the data rows and takes row 0 as its header.
// A text laid out to fit a cell.
struct FittedText {
    QString text;  // lines joined by "\n"
    QFont font;
};
// Fits a caption into `room` pixels: one line if it fits, else the fewest lines of nearly
// equal length that do, stepping the face down to 6 points when needed.
FittedText fitText(const QString& text, const QFont& font, QSize room);

class FlexGridModel final : public QAbstractTableModel {
public:
    explicit FlexGridModel(FlexGrid* grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    friend class FlexGrid;
    FlexGrid* grid_;
};

class FlexGrid final : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // Rows including the header row (at least 1); columns.
    int rows() const { return source_ ? 1 + sourceRows_ : static_cast<int>(cells_.size()); }
    void setRows(int rows);
    int cols() const { return cols_; }
    void setCols(int cols);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Replaces every data row at once (rows 1...); the header row stays.
    void setDataRows(std::vector<QStringList> rows);
    // Removes one data row; the rows below move up.
    void removeItem(int row);
    // Takes the data rows from `source` (the header row stays); nullptr goes back to the
    // grid's own rows, one empty data row. A source's rows are read-only: setTextMatrix of a
    // data row and removeItem do nothing; setRows and setDataRows drop the source.
    void setDataSource(std::shared_ptr<const FlexGridSource> source);
    const FlexGridSource* dataSource() const { return source_.get(); }

    // Width 0 hides a column.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    // Row 0 is the header row. Height 0 hides a data row. Row -1 sets every data row,
    // which is much quicker than setting 100,000 rows one by one.
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);

    FlexAlign colAlignment(int col) const;
    void setColAlignment(int col, FlexAlign align);
    // A cell's own alignment, over its column's.
    FlexAlign cellAlignment(int row, int col) const;
    void setCellAlignment(int row, int col, FlexAlign align);

    // Equal adjacent cells of a merged column show their text once, in the first row.
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool merge);
    bool mergesWithAbove(int row, int col) const;

    // Suspends repainting while the grid is filled; resuming repaints once.
    bool redraw() const { return redraw_; }
    void setRedraw(bool redraw);

    // The current row: 0 when no data row is current.
    int row() const { return row_; }
    void setRow(int row);

    Qt::Alignment qtAlignment(int row, int col) const;

    // A header cell's text as shown: broken over the lines the header row holds, in a
    // smaller face when even that does not fit, so that no caption is cut off.
    FittedText headerLabel(int col) const;

signals:
    // A data row was double-clicked; row() is that row.
    void dblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Screen readers hear of the current and selected cells by their place among the shown
    // columns; QTableView would count the hidden ones too.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    friend class FlexGridModel;
    void cellsChanged(int firstRow, int lastRow);
    void applyRowHeights();
    void dropSource();

    FlexGridModel* model_;
    std::vector<std::vector<QString>> cells_;       // by grid row; a row may be shorter than cols_
    std::shared_ptr<const FlexGridSource> source_;  // when set, cells_ holds the header row only
    int sourceRows_ = 0;
    int cols_ = 2;
    std::vector<int> colWidths_;  // twips
    std::vector<FlexAlign> colAlign_;
    std::vector<bool> mergeCols_;
    std::unordered_map<long long, FlexAlign> cellAlign_;  // row * 65536 + col
    std::vector<int> rowHeights_;                         // twips by grid row; -1 for the default
    int defaultRowHeight_ = 300;
    int headerHeight_ = 300;
    bool redraw_ = true;
    bool pendingRepaint_ = false;
    bool pendingHeights_ = false;
    int row_ = 0;
};

}  // namespace ui
