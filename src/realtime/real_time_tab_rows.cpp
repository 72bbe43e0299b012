// What a real-time load's rows do to the RealTime tab: the grid, drawn green and red by the
// directions of trade and after-hours change, the hidden mirror and the data file.
#include <QPainter>

#include "parsing/rt_page.h"
#include "parsing/rt_table.h"
#include "platform/fonts.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"
#include "quotes/grid_cells.h"
#include "quotes/grid_columns.h"
#include "quotes/quote_colours.h"
#include "realtime/real_time_tab.h"

namespace {
QColor mirrorColour(double tradeDirection) {
    // An unknown direction (-100) is black.
    return tradeDirection > -50 ? ChangeColour(tradeDirection) : QColor(0, 0, 0);
}

float directionAt(const float* directions, int row) {
    return row >= 0 && row < QuoteTableCapacity ? directions[row] : 0.0f;
}
} // namespace

class RealTimeTab::RowSink : public RtPageSink {
public:
    RowSink(RealTimeTab& tab, FILE* dataFile) : RtPageSink(dataFile), tab_(tab) {}
    void appendRow(const char* line, double tradeDirection, double /*afterHoursDirection*/) override {
        tab_.appendRow(line, tradeDirection);
    }

private:
    RealTimeTab& tab_;
};

bool RealTimeTab::showPage(char* reply, int length, FILE* data) {
    RowSink sink(*this, data);
    return parseRtPage(reply, length, sink) == PageEnd::EndOfList;
}

void RealTimeTab::appendRow(const char* line, double tradeDirection) {
    // At the row's own index in this load, wherever a click has moved the current row.
    const int row = RtTable.rowsLoaded;
    grid_->setRowCount(std::max(grid_->RowCount() + 1, row + 1));
    mirror_->AppendAtEnd(QString::fromLatin1(line), mirrorColour(tradeDirection));
    char cells[7][RtCellTextSize];
    rtRowCells(line, tradeDirection, cells);
    for (int col = 0; col < 7; ++col)
        grid_->setCell(col, row, QString::fromLatin1(cells[col]));
    grid_->setRow(row + 1);
}

void RealTimeTab::finished(const QString& doneText) {
    enableControls();
    status_->setSimpleText(doneText);
    // Only the rows this load parsed: rows past them would show an earlier load's quotes.
    grid_->setRowCount(std::max(1, RtTable.rowsLoaded));
}

void RealTimeTab::drawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    const QColor brush = row % 2 ? OddRowColour : EvenRowColour;
    ApplyColumnWidths(grid_, RealTimeColumnWeights, 10, 554);
    QColor text = Qt::black;
    if (col == 3 || col == 4) {
        const float d = directionAt(col == 3 ? RtTradeDirections : RtAfterHoursDirections, row);
        if (d > -50 && d < 0)
            text = FallingColour;
        else if (d > 0)
            text = RisingColour;
    }
    WriteGridCell(canvas, rect, {brush, text, pointFont("Courier New", 8), 2, -1}, grid_->Cells(col, row));
}
