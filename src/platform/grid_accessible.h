#pragma once
// The grid as assistive technology reads it: a table of the rows that hold a symbol (none
// before the first load) and of the titled columns (a spacer column drawn between two others
// is no cell of its own), each cell read with its column's title.
//
// A client that walks the whole table (an inspector, a test tool) asks for every cell. Each cell
// it meets is an object of its own that the bus keeps, so their number is bounded: past
// MaxCells the oldest are freed, never the current cell, and a client that asks again gets a
// new one.
#include <QAccessibleWidget>
#include <QHash>
#include <deque>

class QuoteGrid;

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    static constexpr int MaxCells = 500;

    explicit GridAccessible(QuoteGrid* grid);
    ~GridAccessible() override;
    // Installed once: every QuoteGrid is read through this interface.
    static void install();

    // The child index of the grid's cell (row, grid column); -1 for a column or row that is
    // not in the table.
    static int childIndex(const QuoteGrid* grid, int row, int gridColumn);
    // The table column of a grid column; -1 for a spacer.
    static int tableColumn(const QuoteGrid* grid, int gridColumn);
    // How many cell objects the grid's interface keeps now.
    int keptCells() const { return int(cells_.size()); }

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The column header object of a table column.
    QAccessibleInterface* header(int column) const;

private:
    QuoteGrid* grid() const;
    // The grid's columns that are table columns, in order.
    QList<int> tableColumns() const;
    void dropCells(int fromRow);

    mutable QHash<quint64, QAccessible::Id> cells_;
    mutable std::deque<quint64> order_; // cells_' keys, oldest first
    mutable QHash<int, QAccessible::Id> headers_;
};
