// The Quotes grid draws every cell itself: alternating row backgrounds, green and red text by
// change, column widths that follow the grid's width, the found row in yellow.
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "platform/grid_cells.h"
#include "platform/grid_columns.h"
#include "platform/quote_grid.h"
#include "quotes/quotes_tab.h"

// While a search runs (Find symbol disabled) the current row is painted yellow.
bool QuotesTab::foundRowMarked(int row) const {
    if (findButton_->isEnabled() || row != grid_->currentRow())
        return false;
    if (row != 0)
        return true;
    // Row 0 is marked only when its symbol begins with the search text.
    const QString key = findKey_->text();
    const QString symbol = grid_->cell(0, 0);
    if (symbol.size() < key.size())
        return false;
    return QString::compare(symbol.left(key.size()), key, Qt::CaseInsensitive) == 0;
}

void QuotesTab::drawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    QColor brush = row % 2 ? colours_.oddRow : colours_.evenRow;
    if (foundRowMarked(row))
        brush = colours_.foundRow;
    columnFit_.apply(grid_);
    const float pct = row >= 0 && row < QuoteTableCapacity ? rows_->pctChanges[row] : 0.0f;
    writeGridCell(canvas, rect, grid_->viewport()->width(),
                  {brush, colours_.change(pct), grid_->rowFont(row, cellFont_.following(font())), 4, 0},
                  grid_->cell(col, row));
}
