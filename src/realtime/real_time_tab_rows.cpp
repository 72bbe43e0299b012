// What a real-time load's rows do to the RealTime tab: the table of directions, the grid, drawn
// green and red by the directions of trade and after-hours change, and the hidden mirror.
#include <QPainter>

#include "load/grid_cells.h"
#include "load/grid_columns.h"
#include "load/quote_colours.h"
#include "parsing/rt_table.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "realtime/real_time_tab.h"

namespace {
float directionAt(const float* directions, int row) {
    return row >= 0 && row < QuoteTableCapacity ? directions[row] : 0.0f;
}
} // namespace

void RealTimeTab::showPage(const ParsedPage& page) {
    showRows(page, RtTable.rowsLoaded, [](const ShownRow& row) { storeRtDirections(row.change, row.afterHours); });
}

void RealTimeTab::finished(const QString& doneText) {
    enableControls();
    allRowsFresh();
    status_->setSimpleText(doneText);
    // Only the rows this load parsed: rows past them would show an earlier load's quotes.
    grid_->setRowCount(std::max(1, RtTable.rowsLoaded));
}

void RealTimeTab::drawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    const QColor brush = row % 2 ? OddRowColour : EvenRowColour;
    columnFit_.apply(grid_);
    QColor text = Qt::black;
    if (col == 3 || col == 4) {
        const float d = directionAt(col == 3 ? RtTradeDirections : RtAfterHoursDirections, row);
        if (d > -50 && d < 0)
            text = FallingColour;
        else if (d > 0)
            text = RisingColour;
    }
    WriteGridCell(canvas, rect, grid_->viewport()->width(),
                  {brush, text, grid_->rowFont(row, cellFont_.following(font())), 2, -1}, grid_->cell(col, row));
}
