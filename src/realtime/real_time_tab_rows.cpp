// What a real-time load's rows do to the RealTime tab: the table of directions, the grid, drawn
// green and red by the directions of trade and after-hours change, and the hidden mirror.
#include <QPainter>

#include "platform/grid_cells.h"
#include "platform/grid_columns.h"
#include "platform/quote_colours.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "realtime/real_time_tab.h"

namespace {
float directionAt(const float* directions, int row) {
    return row >= 0 && row < QuoteTableCapacity ? directions[row] : 0.0f;
}
} // namespace

void RealTimeTab::portfolioOpened() {
    // A load that has read its portfolio stores its rows from row 0.
    rows_->count = 0;
    TabLoadView::portfolioOpened();
}

void RealTimeTab::showPage(const ParsedPage& page) {
    RtRows& rows = *rows_;
    showRows(page, rows.count,
             [&rows](const ShownRow& row) { storeRtRow(rows, row.symbol.constData(), row.change, row.afterHours); });
    rows.searchStart = page.searchStart;
}

QColor RealTimeTab::mirrorColour(float tradeDirection) const {
    // An unknown direction (-100) is black.
    return tradeDirection > -50 ? changeColour(tradeDirection) : QColor(0, 0, 0);
}

void RealTimeTab::finished(const QString& doneText) {
    enableControls();
    allRowsFresh();
    status_->setSimpleText(announceAlerts(doneText));
    // Only the rows this load parsed: rows past them would show an earlier load's quotes.
    grid_->setRowCount(std::max(1, rows_->count));
}

void RealTimeTab::drawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    const QColor brush = row % 2 ? colours_.oddRow : colours_.evenRow;
    columnFit_.apply(grid_);
    QColor text = colours_.plain;
    if (col == 3 || col == 4) {
        const float d = directionAt(col == 3 ? rows_->tradeDirections : rows_->afterHoursDirections, row);
        if (d > -50 && d < 0)
            text = colours_.falling;
        else if (d > 0)
            text = colours_.rising;
    }
    writeGridCell(canvas, rect, grid_->viewport()->width(),
                  {brush, text, grid_->rowFont(row, cellFont_.following(font())), 2, -1}, grid_->cell(col, row));
}
