// The quote grids draw every cell themselves: alternating row backgrounds, green and red
// text by direction, column widths that follow the grid's width, the found row in yellow.
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/form_quote.h"
#include "app/grid_layout.h"
#include "app/quote_colours.h"
#include "parsing/quote_table.h"
#include "parsing/rt_table.h"
#include "platform/fonts.h"
#include "platform/string_grid.h"

namespace {
void applyColumnWidths(TStringGrid* grid, const int* weights, int margin, int divisor) {
    for (int k = 0; k < 7; ++k)
        grid->setColWidth(k, GridColumnWidth(grid->width(), weights[k], margin, divisor));
}

void writeCell(QPainter& canvas, const QRect& rect, const QColor& brush, const QColor& text, const QFont& font, int dx,
               int dy, const QString& cell) {
    canvas.save();
    canvas.setClipRect(rect);
    canvas.fillRect(rect, brush);
    canvas.setFont(font);
    canvas.setPen(text);
    canvas.setBackgroundMode(Qt::OpaqueMode);
    canvas.setBackground(brush);
    const QRect textRect(rect.left() + dx, rect.top() + dy, rect.width() - dx, rect.height() - dy + 2);
    canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cell);
    canvas.restore();
}

float directionAt(const float* directions, int row) {
    return row >= 0 && row < QuoteTableCapacity ? directions[row] : 0.0f;
}

// While a search runs (Button2 disabled) the current row is painted yellow.
bool foundRowMark(const TFormQuote& form, int row) {
    if (form.Button2->isEnabled() || row != form.QT1->Row())
        return false;
    if (row != 0)
        return true;
    // Row 0 is marked only when its symbol begins with the search text.
    const QString key = form.Edit2->text();
    const QString symbol = form.QT1->Cells(0, 0);
    if (symbol.size() < key.size())
        return false;
    return QString::compare(symbol.left(key.size()), key, Qt::CaseInsensitive) == 0;
}
} // namespace

void TFormQuote::QT1DrawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    QColor brush = row % 2 ? OddRowColour : EvenRowColour;
    if (foundRowMark(*this, row))
        brush = FoundRowColour;
    applyColumnWidths(QT1, QuoteColumnWeights, 15, 564);
    const float pct = row >= 0 && row < QuoteTableCapacity ? QuotePctChanges[row] : 0.0f;
    writeCell(canvas, rect, brush, ChangeColour(pct), pointFont("Courier", 8), 4, 0, QT1->Cells(col, row));
}

void TFormQuote::RT1DrawCell(int col, int row, const QRect& rect, QPainter& canvas) {
    const QColor brush = row % 2 ? OddRowColour : EvenRowColour;
    applyColumnWidths(RT1, RealTimeColumnWeights, 10, 554);
    QColor text = Qt::black;
    if (col == 3 || col == 4) {
        const float d = directionAt(col == 3 ? RtTradeDirections : RtAfterHoursDirections, row);
        if (d > -50 && d < 0)
            text = FallingColour;
        else if (d > 0)
            text = RisingColour;
    }
    writeCell(canvas, rect, brush, text, pointFont("Courier New", 8), 2, -1, RT1->Cells(col, row));
}

void TFormQuote::QT1Click() {
    Edit1->setText(QT1->Cells(0, QT1->Row()));
}

void TFormQuote::RT1Click() {
    Edit1->setText(RT1->Cells(0, RT1->Row()));
}
