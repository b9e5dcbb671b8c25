#include "platform/ui/FlexGrid.h"

#include <QAccessible>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

#include "platform/ui/FlexGridAccessible.h"
#include "platform/ui/Twips.h"

namespace ui {

namespace {

constexpr int kDefaultColWidth = 960;

Qt::Alignment toQt(FlexAlign a, const QString& text) {
    switch (a) {
        case FlexAlign::LeftTop:
            return Qt::AlignLeft | Qt::AlignTop;
        case FlexAlign::LeftCenter:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case FlexAlign::LeftBottom:
            return Qt::AlignLeft | Qt::AlignBottom;
        case FlexAlign::CenterTop:
            return Qt::AlignHCenter | Qt::AlignTop;
        case FlexAlign::CenterCenter:
            return Qt::AlignCenter;
        case FlexAlign::CenterBottom:
            return Qt::AlignHCenter | Qt::AlignBottom;
        case FlexAlign::RightTop:
            return Qt::AlignRight | Qt::AlignTop;
        case FlexAlign::RightCenter:
            return Qt::AlignRight | Qt::AlignVCenter;
        case FlexAlign::RightBottom:
            return Qt::AlignRight | Qt::AlignBottom;
        case FlexAlign::General: {
            bool number = false;
            text.trimmed().toDouble(&number);
            return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        }
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Cells that continue a merged run paint their background only.
class FlexGridDelegate final : public QStyledItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (grid_->mergesWithAbove(index.row() + 1, index.column())) {
            QStyleOptionViewItem blank(option);
            initStyleOption(&blank, index);
            blank.text.clear();
            QStyle* style = blank.widget ? blank.widget->style() : nullptr;
            if (style) style->drawControl(QStyle::CE_ItemViewItem, &blank, painter, blank.widget);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    FlexGrid* grid_;
};

}  // namespace

FlexGridModel::FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->rows() - 1;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->cols();
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return grid_->textMatrix(row, index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(grid_->qtAlignment(row, index.column()));
        default:
            return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    switch (role) {
        case Qt::DisplayRole:
            return grid_->headerLabel(section).text;
        case Qt::FontRole:
            return grid_->headerLabel(section).font;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(grid_->qtAlignment(0, section));
        default:
            return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

FittedText fitText(const QString& text, const QFont& font, QSize room) {
    constexpr double kSmallest = 6;
    QFont face = font;
    const qsizetype length = text.size();
    for (;;) {
        const QFontMetrics metrics(face);
        const int lines = std::max(1, room.height() / std::max(1, metrics.lineSpacing()));
        for (int n = 1; n <= lines && n <= length; ++n) {
            const qsizetype per = (length + n - 1) / n;
            QStringList parts;
            bool fits = true;
            for (qsizetype at = 0; at < length; at += per) {
                parts << text.mid(at, per);
                fits = fits && metrics.horizontalAdvance(parts.back()) <= room.width();
            }
            if (fits) return {parts.join(QLatin1Char('\n')), face};
        }
        const double size = face.pointSizeF();
        if (size <= kSmallest || size <= 0) return {text, face};
        face.setPointSizeF(std::max(kSmallest, size - 0.5));
    }
}

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new FlexGridModel(this)) {
    FlexGridAccessible::install();
    cells_.resize(2);
    rowHeights_.assign(2, -1);
    colWidths_.assign(cols_, kDefaultColWidth);
    colAlign_.assign(cols_, FlexAlign::General);
    mergeCols_.assign(cols_, false);
    setModel(model_);
    setItemDelegate(new FlexGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(px(defaultRowHeight_));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(px(headerHeight_));
    horizontalHeader()->setDefaultSectionSize(px(kDefaultColWidth));
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) { row_ = current.isValid() ? current.row() + 1 : 0; });
    // A screen reader that asked while the grid was being built got the plain table.
    if (QAccessible::isActive()) {
        QAccessibleInterface* early = QAccessible::queryAccessibleInterface(this);
        if (early && !dynamic_cast<FlexGridAccessible*>(early))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
    }
}

void FlexGrid::setRows(int rows) {
    rows = std::max(1, rows);
    const int keep = row_;
    model_->beginResetModel();
    dropSource();
    cells_.resize(rows);
    rowHeights_.resize(rows, -1);
    model_->endResetModel();
    applyRowHeights();
    setRow(keep < rows ? keep : 0);
}

void FlexGrid::setCols(int cols) {
    cols = std::max(0, cols);
    model_->beginResetModel();
    cols_ = cols;
    colWidths_.resize(cols, kDefaultColWidth);
    colAlign_.resize(cols, FlexAlign::General);
    mergeCols_.resize(cols, false);
    for (auto& r : cells_) {
        if (static_cast<int>(r.size()) > cols) r.resize(cols);
    }
    model_->endResetModel();
    for (int c = 0; c < cols_; ++c) setColWidth(c, colWidths_[c]);
    applyRowHeights();
}

QString FlexGrid::textMatrix(int row, int col) const {
    if (row < 0 || row >= rows() || col < 0 || col >= cols_) return QString();
    if (source_ && row > 0) return source_->text(row, col);
    const auto& r = cells_[row];
    return col < static_cast<int>(r.size()) ? r[col] : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || row >= rows() || col < 0 || col >= cols_) return;
    if (source_ && row > 0) return;
    auto& r = cells_[row];
    if (col >= static_cast<int>(r.size())) {
        if (text.isEmpty()) return;
        r.resize(col + 1);
    }
    r[col] = text;
    // The cell below may start or stop merging with this one.
    cellsChanged(row, std::min(row + 1, rows() - 1));
}

void FlexGrid::setDataRows(std::vector<QStringList> rows) {
    model_->beginResetModel();
    dropSource();
    cells_.resize(1);
    cells_.reserve(rows.size() + 1);
    for (QStringList& r : rows) {
        std::vector<QString> cells;
        const int n = std::min(static_cast<int>(r.size()), cols_);
        cells.reserve(n);
        for (int c = 0; c < n; ++c) cells.push_back(std::move(r[c]));
        cells_.push_back(std::move(cells));
    }
    rowHeights_.resize(cells_.size());
    std::fill(rowHeights_.begin() + 1, rowHeights_.end(), -1);
    model_->endResetModel();
    applyRowHeights();
    row_ = 0;
}

void FlexGrid::removeItem(int row) {
    if (row < 1 || row >= rows() || source_) return;
    model_->beginRemoveRows(QModelIndex(), row - 1, row - 1);
    cells_.erase(cells_.begin() + row);
    rowHeights_.erase(rowHeights_.begin() + row);
    model_->endRemoveRows();
}

void FlexGrid::setDataSource(std::shared_ptr<const FlexGridSource> source) {
    model_->beginResetModel();
    cells_.resize(1);
    source_ = std::move(source);
    sourceRows_ = source_ ? std::max(0, source_->rowCount()) : 0;
    if (!source_) cells_.resize(2);  // the grid's own rows start as one empty data row
    rowHeights_.assign(rows(), -1);
    model_->endResetModel();
    applyRowHeights();
    row_ = 0;
}

void FlexGrid::dropSource() {
    if (!source_) return;
    source_.reset();
    sourceRows_ = 0;
}

int FlexGrid::colWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[col] : 0;
}

void FlexGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) return;
    colWidths_[col] = std::max(0, twips);
    if (twips <= 0) {
        setColumnHidden(col, true);
    } else {
        setColumnHidden(col, false);
        horizontalHeader()->resizeSection(col, px(twips));
        emit model_->headerDataChanged(Qt::Horizontal, col, col);
    }
}

FittedText FlexGrid::headerLabel(int col) const {
    const QString text = textMatrix(0, col);
    const QHeaderView* header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QSize room(px(colWidth(col)) - 2 * margin - 2, px(headerHeight_) - margin);
    return fitText(text, header->font(), room);
}

int FlexGrid::rowHeight(int row) const {
    if (row == 0) return headerHeight_;
    if (row < 0 || row >= rows()) return 0;
    return rowHeights_[row] < 0 ? defaultRowHeight_ : rowHeights_[row];
}

void FlexGrid::setRowHeight(int row, int twips) {
    twips = std::max(0, twips);
    if (row == 0) {
        headerHeight_ = twips;
        horizontalHeader()->setFixedHeight(px(twips));
        horizontalHeader()->setVisible(twips > 0);
        emit model_->headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
        return;
    }
    if (row == -1) {
        defaultRowHeight_ = twips;
        std::fill(rowHeights_.begin() + 1, rowHeights_.end(), -1);
        applyRowHeights();
        return;
    }
    if (row >= rows()) return;
    const bool wasHidden = rowHeight(row) == 0;
    rowHeights_[row] = twips == defaultRowHeight_ ? -1 : twips;
    // Resizing header sections one at a time is slow with many rows; while painting is
    // suspended the heights are applied together on resume.
    if (!redraw_) {
        pendingHeights_ = true;
        return;
    }
    if (twips == 0) {
        setRowHidden(row - 1, true);
        return;
    }
    if (wasHidden) setRowHidden(row - 1, false);
    verticalHeader()->resizeSection(row - 1, px(twips));
}

void FlexGrid::applyRowHeights() {
    pendingHeights_ = false;
    // The most common height becomes the view's default section size, so that a grid
    // whose rows were all given one height needs no section resized on its own.
    std::unordered_map<int, int> counts;
    for (int r = 1; r < rows(); ++r) ++counts[rowHeight(r)];
    int common = defaultRowHeight_;
    int best = 0;
    for (const auto& [height, count] : counts) {
        if (height > 0 && count > best) {
            common = height;
            best = count;
        }
    }
    QHeaderView* header = verticalHeader();
    header->setDefaultSectionSize(std::max(1, px(common)));
    for (int r = 1; r < rows(); ++r) {
        const int h = rowHeight(r);
        if (h == 0) {
            if (!isRowHidden(r - 1)) setRowHidden(r - 1, true);
            continue;
        }
        if (isRowHidden(r - 1)) setRowHidden(r - 1, false);
        if (h != common || header->sectionSize(r - 1) != px(common))
            header->resizeSection(r - 1, px(h));
    }
}

FlexAlign FlexGrid::colAlignment(int col) const {
    return col >= 0 && col < cols_ ? colAlign_[col] : FlexAlign::General;
}

void FlexGrid::setColAlignment(int col, FlexAlign align) {
    if (col < 0 || col >= cols_) return;
    colAlign_[col] = align;
    if (rows() > 1)
        cellsChanged(0, rows() - 1);
    else
        cellsChanged(0, 0);
}

FlexAlign FlexGrid::cellAlignment(int row, int col) const {
    const auto it = cellAlign_.find(static_cast<long long>(row) * 65536 + col);
    return it == cellAlign_.end() ? colAlignment(col) : it->second;
}

void FlexGrid::setCellAlignment(int row, int col, FlexAlign align) {
    if (row < 0 || row >= rows() || col < 0 || col >= cols_) return;
    cellAlign_[static_cast<long long>(row) * 65536 + col] = align;
    cellsChanged(row, row);
}

Qt::Alignment FlexGrid::qtAlignment(int row, int col) const {
    return toQt(cellAlignment(row, col), textMatrix(row, col));
}

bool FlexGrid::mergeCol(int col) const {
    return col >= 0 && col < cols_ && mergeCols_[col];
}

void FlexGrid::setMergeCol(int col, bool merge) {
    if (col < 0 || col >= cols_) return;
    mergeCols_[col] = merge;
    if (rows() > 1) cellsChanged(1, rows() - 1);
}

bool FlexGrid::mergesWithAbove(int row, int col) const {
    if (!mergeCol(col) || row < 2 || row >= rows()) return false;
    // A hidden row is skipped, so the first visible row of a run shows the text.
    int above = row - 1;
    while (above >= 1 && rowHeight(above) == 0) --above;
    return above >= 1 && textMatrix(above, col) == textMatrix(row, col);
}

void FlexGrid::setRedraw(bool redraw) {
    if (redraw == redraw_) return;
    redraw_ = redraw;
    viewport()->setUpdatesEnabled(redraw);
    horizontalHeader()->setUpdatesEnabled(redraw);
    if (redraw && pendingHeights_) applyRowHeights();
    if (redraw && pendingRepaint_) {
        pendingRepaint_ = false;
        if (rows() > 1)
            emit model_->dataChanged(model_->index(0, 0), model_->index(rows() - 2, cols_ - 1));
        emit model_->headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
        viewport()->update();
    }
}

void FlexGrid::setRow(int row) {
    if (row < 1 || row >= rows()) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
        row_ = 0;
        return;
    }
    const QModelIndex index = model_->index(row - 1, std::max(0, currentIndex().column()));
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    row_ = row;
}

void FlexGrid::cellsChanged(int firstRow, int lastRow) {
    if (cols_ == 0) return;
    if (!redraw_) {
        pendingRepaint_ = true;
        return;
    }
    if (firstRow == 0) emit model_->headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    const int first = std::max(1, firstRow);
    if (lastRow >= first)
        emit model_->dataChanged(model_->index(first - 1, 0),
                                 model_->index(lastRow - 1, cols_ - 1));
}

namespace {

void notifyCell(FlexGrid* grid, const QModelIndex& index, QAccessible::Event type) {
    if (!index.isValid()) return;
    const int child = FlexGridAccessible::childIndexOf(grid, index.row(), index.column());
    if (child < 0) return;
    QAccessibleEvent event(grid, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    if (QAccessible::isActive()) notifyCell(this, current, QAccessible::Focus);
}

void FlexGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!QAccessible::isActive()) return;
    // Rows are selected whole: one event for each.
    notifyCell(this, selected.indexes().value(0), QAccessible::SelectionAdd);
    notifyCell(this, deselected.indexes().value(0), QAccessible::SelectionRemove);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    setRow(index.row() + 1);
    emit dblClick();
}

}  // namespace ui
