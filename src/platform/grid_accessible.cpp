#include "platform/grid_accessible.h"

#include <QItemSelectionModel>
#include <QPointer>
#include <algorithm>

#include "platform/quote_grid.h"

namespace {
quint64 cellKey(int row, int gridColumn) {
    return (quint64(quint32(row)) << 32) | quint32(gridColumn);
}

// One cell of the grid, or with row -1 the header of its column.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCell(QuoteGrid* grid, int row, int gridColumn) : grid_(grid), row_(row), column_(gridColumn) {}

    bool isValid() const override {
        return grid_ && column_ < grid_->colCount() && row_ < grid_->filledRowCount() && tableColumn() >= 0;
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (row_ < 0)
            return t == QAccessible::Name ? grid_->columnTitle(column_) : QString();
        const QModelIndex index = grid_->model()->index(row_, column_);
        if (t == QAccessible::Name)
            return index.data(Qt::AccessibleTextRole).toString();
        if (t == QAccessible::Description)
            return index.data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }

    QRect rect() const override {
        if (!isValid() || row_ < 0)
            return {};
        const QRect r = grid_->visualRect(grid_->model()->index(row_, column_));
        return QRect(grid_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (row_ < 0)
            return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        s.focused =
            grid_->hasFocus() && grid_->currentIndex().row() == row_ && grid_->currentIndex().column() == column_;
        const QRect shown = grid_->visualRect(grid_->model()->index(row_, column_));
        s.invisible = !shown.intersects(grid_->viewport()->rect());
        s.offscreen = s.invisible;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override {
        return row_ >= 0 && grid_ && grid_->selectionModel()->isRowSelected(row_, QModelIndex());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        if (auto* parentTable = table()) {
            if (QAccessibleInterface* header = static_cast<GridAccessible*>(parentTable)->header(columnIndex()))
                return {header};
        }
        return {};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return tableColumn(); }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    int tableColumn() const { return grid_ ? GridAccessible::tableColumn(grid_, column_) : -1; }

    QPointer<QuoteGrid> grid_;
    int row_;
    int column_;
};

QAccessibleInterface* gridFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QuoteGrid"))
        if (auto* grid = qobject_cast<QuoteGrid*>(object))
            return new GridAccessible(grid);
    return nullptr;
}
} // namespace

GridAccessible::GridAccessible(QuoteGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

GridAccessible::~GridAccessible() {
    for (QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    for (QAccessible::Id id : std::as_const(headers_))
        QAccessible::deleteAccessibleInterface(id);
}

void GridAccessible::install() {
    QAccessible::installFactory(gridFactory);
}

QuoteGrid* GridAccessible::grid() const {
    return static_cast<QuoteGrid*>(widget());
}

QList<int> GridAccessible::tableColumns() const {
    QList<int> columns;
    const QuoteGrid* g = grid();
    for (int col = 0; col < g->colCount(); ++col)
        if (!g->isSpacerColumn(col))
            columns << col;
    return columns;
}

int GridAccessible::tableColumn(const QuoteGrid* grid, int gridColumn) {
    if (gridColumn < 0 || gridColumn >= grid->colCount() || grid->isSpacerColumn(gridColumn))
        return -1;
    int column = 0;
    for (int col = 0; col < gridColumn; ++col)
        column += grid->isSpacerColumn(col) ? 0 : 1;
    return column;
}

int GridAccessible::childIndex(const QuoteGrid* grid, int row, int gridColumn) {
    const int column = tableColumn(grid, gridColumn);
    if (row < 0 || row >= grid->filledRowCount() || column < 0)
        return -1;
    int columns = 0;
    for (int col = 0; col < grid->colCount(); ++col)
        columns += grid->isSpacerColumn(col) ? 0 : 1;
    return row * columns + column;
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int GridAccessible::columnCount() const {
    return int(tableColumns().size());
}

int GridAccessible::rowCount() const {
    return grid()->filledRowCount();
}

int GridAccessible::childCount() const {
    return rowCount() * columnCount();
}

QAccessibleInterface* GridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount())
        return nullptr;
    return cellAt(index / columns, index % columns);
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->role() != QAccessible::Cell)
        return -1;
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    if (!cell || cell->table() != this)
        return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const {
    const QuoteGrid* g = grid();
    const QModelIndex index = g->indexAt(g->viewport()->mapFromGlobal(QPoint(x, y)));
    if (!index.isValid() || g->isSpacerColumn(index.column()))
        return nullptr;
    return child(childIndex(g, index.row(), index.column()));
}

QAccessibleInterface* GridAccessible::focusChild() const {
    const QuoteGrid* g = grid();
    if (!g->hasFocus())
        return nullptr;
    return child(childIndex(g, g->currentIndex().row(), g->currentIndex().column()));
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const {
    const QList<int> columns = tableColumns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= columns.size())
        return nullptr;
    const quint64 key = cellKey(row, columns[column]);
    if (const auto found = cells_.constFind(key); found != cells_.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* cell = new GridCell(grid(), row, columns[column]);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    order_.push_back(key);
    // The oldest go first; the current cell stays, as a screen reader holds on to it.
    const QModelIndex current = grid()->currentIndex();
    const quint64 currentKey = cellKey(current.row(), current.column());
    while (cells_.size() > MaxCells && !order_.empty()) {
        const quint64 oldest = order_.front();
        order_.pop_front();
        if (oldest == currentKey || oldest == key) {
            order_.push_back(oldest);
            continue;
        }
        QAccessible::deleteAccessibleInterface(cells_.take(oldest));
    }
    return cell;
}

QAccessibleInterface* GridAccessible::header(int column) const {
    const QList<int> columns = tableColumns();
    if (column < 0 || column >= columns.size())
        return nullptr;
    if (const auto found = headers_.constFind(columns[column]); found != headers_.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* header = new GridCell(grid(), -1, columns[column]);
    headers_.insert(columns[column], QAccessible::registerAccessibleInterface(header));
    return header;
}

QString GridAccessible::columnDescription(int column) const {
    const QList<int> columns = tableColumns();
    return column >= 0 && column < columns.size() ? grid()->columnTitle(columns[column]) : QString();
}

QString GridAccessible::rowDescription(int row) const {
    return row >= 0 && row < rowCount() ? grid()->cell(0, row).trimmed() : QString();
}

bool GridAccessible::isRowSelected(int row) const {
    return row >= 0 && row < rowCount() && grid()->selectionModel()->isRowSelected(row, QModelIndex());
}

QList<int> GridAccessible::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : grid()->selectionModel()->selectedRows())
        if (index.row() < rowCount())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

int GridAccessible::selectedRowCount() const {
    return int(selectedRows().size());
}

int GridAccessible::selectedCellCount() const {
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    for (int row : selectedRows())
        for (int column = 0; column < columnCount(); ++column)
            cells << cellAt(row, column);
    return cells;
}

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent* event) {
    switch (event->modelChangeType()) {
    case QAccessibleTableModelChangeEvent::RowsInserted:
    case QAccessibleTableModelChangeEvent::DataChanged:
        break; // cells read the grid as it is now
    case QAccessibleTableModelChangeEvent::RowsRemoved:
        dropCells(event->firstRow());
        break;
    default:
        dropCells(0);
        for (QAccessible::Id id : std::as_const(headers_))
            QAccessible::deleteAccessibleInterface(id);
        headers_.clear();
        break;
    }
}

void GridAccessible::dropCells(int fromRow) {
    std::deque<quint64> kept;
    for (quint64 key : order_) {
        if (int(key >> 32) >= fromRow)
            QAccessible::deleteAccessibleInterface(cells_.take(key));
        else
            kept.push_back(key);
    }
    order_ = std::move(kept);
}
