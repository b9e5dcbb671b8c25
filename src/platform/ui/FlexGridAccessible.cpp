#include "platform/ui/FlexGridAccessible.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>

#include <algorithm>

#include "platform/ui/FlexGrid.h"

namespace ui {

namespace {

QList<int> shownColumns(const FlexGrid* grid) {
    QList<int> shown;
    for (int c = 0; c < grid->cols(); ++c)
        if (!grid->isColumnHidden(c)) shown.append(c);
    return shown;
}

// One cell, or a column header when its row is -1. Rows and columns are the model's.
class FlexGridCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    FlexGridCell(FlexGrid* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override {
        return grid_ && row_ < grid_->rows() - 1 && column_ < grid_->cols() &&
               !grid_->isColumnHidden(column_);
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(grid_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) return {};
        // The cell's own text, also where a merged column shows it only once.
        return grid_->textMatrix(row_ + 1, column_);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        if (row_ < 0) {
            const QHeaderView* header = grid_->horizontalHeader();
            const QRect r(header->sectionViewportPosition(column_), 0, header->sectionSize(column_),
                          header->height());
            return QRect(header->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        const QRect r = grid_->visualRect(index());
        return QRect(grid_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (!grid_->isVisible() ||
            !grid_->viewport()->rect().intersects(grid_->visualRect(index())))
            s.invisible = true;
        if (row_ >= 0) {
            s.selectable = true;
            s.focusable = true;
            s.selected = isSelected();
            s.focused = grid_->hasFocus() && grid_->currentIndex() == index();
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface && row_ >= 0)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override {
        return isValid() && row_ >= 0 && grid_->selectionModel()->isSelected(index());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        auto* table = dynamic_cast<FlexGridAccessible*>(parent());
        const int column = columnIndex();
        if (!table || column < 0) return {};
        QAccessibleInterface* header = table->child(column);
        return header && header->role() == QAccessible::ColumnHeader
                   ? QList<QAccessibleInterface*>{header}
                   : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        return grid_ ? static_cast<int>(shownColumns(grid_).indexOf(column_)) : -1;
    }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QModelIndex index() const { return grid_->model()->index(row_, column_); }

    QPointer<FlexGrid> grid_;
    int row_;
    int column_;
};

QAccessibleInterface* flexGridFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("ui::FlexGrid") && object && object->isWidgetType())
        return new FlexGridAccessible(static_cast<FlexGrid*>(object));
    return nullptr;
}

}  // namespace

FlexGridAccessible::FlexGridAccessible(FlexGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table) {}

FlexGridAccessible::~FlexGridAccessible() {
    dropCells();
}

void FlexGridAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&flexGridFactory);
        return true;
    }();
    (void)installed;
}

int FlexGridAccessible::childIndexOf(const FlexGrid* grid, int modelRow, int modelColumn) {
    const QList<int> shown = shownColumns(grid);
    if (shown.isEmpty()) return -1;
    const auto column = std::max<qsizetype>(0, shown.indexOf(modelColumn));
    const int headerRows = grid->horizontalHeader()->isHidden() ? 0 : 1;
    return (modelRow + headerRows) * static_cast<int>(shown.size()) + static_cast<int>(column);
}

FlexGrid* FlexGridAccessible::grid() const {
    return static_cast<FlexGrid*>(widget());
}

bool FlexGridAccessible::headerShown() const {
    return !grid()->horizontalHeader()->isHidden();
}

void* FlexGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int FlexGridAccessible::childCount() const {
    return (rowCount() + (headerShown() ? 1 : 0)) * columnCount();
}

QAccessibleInterface* FlexGridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount()) return nullptr;
    const int row = index / columns - (headerShown() ? 1 : 0);
    return cell(row, shownColumns(grid()).at(index % columns));
}

int FlexGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const FlexGridCell*>(child);
    if (!cell || !cell->isValid() || cell->parent() != this) return -1;
    return (cell->rowIndex() + (headerShown() ? 1 : 0)) * columnCount() + cell->columnIndex();
}

QAccessibleInterface* FlexGridAccessible::childAt(int x, int y) const {
    const QHeaderView* header = grid()->horizontalHeader();
    const QPoint inHeader = header->viewport()->mapFromGlobal(QPoint(x, y));
    if (headerShown() && header->viewport()->rect().contains(inHeader)) {
        const int column = header->logicalIndexAt(inHeader.x());
        return column >= 0 ? cell(-1, column) : nullptr;
    }
    const QModelIndex index = grid()->indexAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? cell(index.row(), index.column()) : nullptr;
}

QAccessibleInterface* FlexGridAccessible::focusChild() const {
    const QModelIndex current = grid()->currentIndex();
    if (!grid()->hasFocus() || !current.isValid() || grid()->isColumnHidden(current.column()))
        return nullptr;
    return cell(current.row(), current.column());
}

QAccessibleInterface* FlexGridAccessible::cellAt(int row, int column) const {
    const QList<int> shown = shownColumns(grid());
    if (row < 0 || row >= rowCount() || column < 0 || column >= shown.size()) return nullptr;
    return cell(row, shown.at(column));
}

int FlexGridAccessible::selectedCellCount() const {
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> FlexGridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    for (int row : selectedRows())
        for (int column = 0; column < columnCount(); ++column) cells.append(cellAt(row, column));
    return cells;
}

QString FlexGridAccessible::columnDescription(int column) const {
    const QList<int> shown = shownColumns(grid());
    return column >= 0 && column < shown.size() ? grid()->textMatrix(0, shown.at(column))
                                                : QString();
}

int FlexGridAccessible::columnCount() const {
    return static_cast<int>(shownColumns(grid()).size());
}

int FlexGridAccessible::rowCount() const {
    return grid()->rows() - 1;
}

int FlexGridAccessible::selectedRowCount() const {
    return static_cast<int>(selectedRows().size());
}

QList<int> FlexGridAccessible::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : grid()->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool FlexGridAccessible::isRowSelected(int row) const {
    return grid()->selectionModel()->isRowSelected(row, QModelIndex());
}

bool FlexGridAccessible::selectRow(int row) {
    if (row < 0 || row >= rowCount()) return false;
    grid()->setRow(row + 1);
    return true;
}

bool FlexGridAccessible::unselectRow(int row) {
    if (!isRowSelected(row)) return false;
    grid()->setRow(0);
    return true;
}

void FlexGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    // Rows come and go with every search; cells are made again when asked for.
    dropCells();
}

QAccessibleInterface* FlexGridAccessible::cell(int row, int modelColumn) const {
    const qint64 key = (static_cast<qint64>(row) + 1) * 65536 + modelColumn;
    if (const auto found = cells_.constFind(key); found != cells_.cend())
        if (QAccessibleInterface* existing = QAccessible::accessibleInterface(*found))
            return existing;
    auto* made = new FlexGridCell(grid(), row, modelColumn);
    cells_.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

void FlexGridAccessible::dropCells() {
    for (const QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

}  // namespace ui
