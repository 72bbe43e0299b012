#include "realtime/rt_views.h"

#include "app/form_quote.h"
#include "app/quote_colours.h"
#include "parsing/rt_table.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"

namespace {
QColor mirrorColour(double tradeDirection) {
    // An unknown direction (-100) is black.
    return tradeDirection > -50 ? ChangeColour(tradeDirection) : QColor(0, 0, 0);
}
} // namespace

void RtViewSink::appendRow(const char* line, double tradeDirection, double /*afterHoursDirection*/) {
    // At the row's own index in this load, wherever a click has moved the current row.
    const int row = RtTable.rowsLoaded;
    TStringGrid* grid = form_.RT1;
    grid->setRowCount(std::max(grid->RowCount() + 1, row + 1));
    form_.DisplayQR1->AppendAtEnd(QString::fromLatin1(line), mirrorColour(tradeDirection));
    char cells[7][RtCellTextSize];
    rtRowCells(line, tradeDirection, cells);
    for (int col = 0; col < 7; ++col)
        grid->setCell(col, row, QString::fromLatin1(cells[col]));
    grid->setRow(row + 1);
}

void CompleteRtLoad(TFormQuote& form, const QString& doneText) {
    form.StatusBar2->setSimpleText(doneText);
    // Only the rows this load parsed: rows past them would show an earlier load's quotes.
    form.RT1->setRowCount(std::max(1, RtTable.rowsLoaded));
}

RealTimeLoadView::RealTimeLoadView(TFormQuote& form)
    : TabLoadView({form.BtnQuote1, form.DisplayQR1, form.Portfolio1, form.StatusBar2, &form.RealTimeLoading}),
      form_(form) {}

bool RealTimeLoadView::showPage(char* reply, int length, FILE* data) {
    RtViewSink sink(form_, data);
    return parseRtPage(reply, length, sink) == PageEnd::EndOfList;
}

void RealTimeLoadView::finished(const QString& doneText) {
    enableControls();
    CompleteRtLoad(form_, doneText);
}
