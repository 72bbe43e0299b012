#pragma once
// A grid of text cells whose cells are painted by the owning window (draw-cell handler), with a
// click callback raised on a mouse click and whenever the current row moves. No header rows or
// columns, no grid lines, whole-row selection, vertical scroll bar only.
#include <QColor>
#include <QTableView>
#include <functional>

class QPainter;
class QuoteGridModel;

class QuoteGrid : public QTableView {
    Q_OBJECT
public:
    explicit QuoteGrid(QWidget* parent = nullptr);

    int colCount() const;
    void setColCount(int count);
    int rowCount() const;
    // At least one row is kept; shrinking drops the cells of the removed rows, growing adds empty rows.
    void setRowCount(int count);

    // Out-of-range cells read as empty and are not written.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // Rows of cells from firstRow on, told to the view as one change; a null text leaves its
    // cell as it is, and rows or columns past the grid are not written.
    void setCells(int firstRow, const QList<QStringList>& rows);

    // The titles shown above the columns, for assistive technology: a cell is read with its
    // column's title, and a row by its symbol (its first cell).
    void setColumnTitles(const QStringList& titles);
    QString columnTitle(int col) const;
    // A column left without a title once titles are set: a spacer drawn between two others,
    // which assistive technology does not read as a column of its own.
    bool isSpacerColumn(int col) const;
    // Rows 0 to this - 1 reach to the last row that holds a symbol (its first cell): the rows
    // assistive technology reads. The grid draws all its rows, the empty ones too.
    int filledRowCount() const;

    int currentRow() const;
    // Out-of-range rows are ignored.
    void setCurrentRow(int row);
    // As setCurrentRow, for the row a load moves on with every page it writes: the move is not told to
    // assistive technology, which would otherwise hear (and ask the window about) a new cell per
    // page. The rows, the click and the scrolling are as for setCurrentRow.
    void followRow(int row);
    // Tells assistive technology the current cell again when the grid has the focus, as after
    // its rows were found or put in another order under it.
    void tellCurrentCell();

    int colWidth(int col) const;
    // Setting the width a column already has does nothing (no repaint), so a draw handler may set
    // the widths at every cell.
    void setColWidth(int col, int width);
    // Counts every change of a column's width, whoever made it.
    int columnWidthsVersion() const { return widthsVersion_; }
    int defaultColWidth() const;
    // Gives every column this width.
    void setDefaultColWidth(int width);
    int defaultRowHeight() const;
    // Every row, including rows added later, has this height.
    void setDefaultRowHeight(int height);

    void setRangeSelect(bool on);
    // Colour of the area below and right of the cells.
    void setBackgroundColor(const QColor& color);

    // Paints at once, before returning.
    void repaintNow();

    // Rows first to end - 1 still show what an earlier load left in them (the last load ended
    // before it reached them): they are drawn in italics and screen readers hear that they are
    // from the load before. An empty range marks none.
    void setStaleRows(int first, int end);
    int staleRowCount() const;
    // The font a row's text is written in: font, in italics on a stale row. The grid's own font
    // so styled is each cell's Qt::FontRole.
    QFont rowFont(int row, QFont font) const;

    // Called for every painted cell with the cell's rectangle in viewport coordinates.
    using DrawCell = std::function<void(int col, int row, const QRect& rect, QPainter& canvas)>;
    void setDrawCell(DrawCell drawCell) { drawCell_ = std::move(drawCell); }
    const DrawCell& drawCell() const { return drawCell_; }
    // True (the default): the grid paints the cell and its text first and the draw-cell handler
    // then paints over it. False: the handler alone paints the cell.
    void setDefaultDrawing(bool on) { defaultDrawing_ = on; }
    bool defaultDrawing() const { return defaultDrawing_; }
    // Called on a mouse click on a cell and whenever the current row changes.
    void setOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The owner-drawn cells show no focus of their own: a dotted frame round the current row
    // (round the whole grid while it is empty) shows where the keyboard is.
    void paintEvent(QPaintEvent* event) override;
    // Left and Right pass over spacer columns.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void currentRowChanged();
    void click();

    QuoteGridModel* model_;
    int widthsVersion_ = 0;
    DrawCell drawCell_;
    bool defaultDrawing_ = true;
    bool quietMove_ = false;
    std::function<void()> onClick_;
};
