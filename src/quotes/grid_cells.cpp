#include "quotes/grid_cells.h"

#include <QPainter>

#include "platform/string_grid.h"
#include "quotes/grid_columns.h"

void ColumnFit::apply(TStringGrid* grid) {
    if (grid->width() == fittedWidth_ && grid->columnWidthsVersion() == fittedVersion_)
        return;
    for (int k = 0; k < 7; ++k)
        grid->setColWidth(k, GridColumnWidth(grid->width(), weights_[k], margin_, divisor_));
    fittedWidth_ = grid->width();
    fittedVersion_ = grid->columnWidthsVersion();
}

void WriteGridCell(QPainter& canvas, const QRect& rect, const CellLook& look, const QString& text) {
    canvas.save();
    canvas.setClipRect(rect);
    canvas.fillRect(rect, look.background);
    canvas.setFont(look.font);
    canvas.setPen(look.text);
    canvas.setBackgroundMode(Qt::OpaqueMode);
    canvas.setBackground(look.background);
    const QRect textRect(rect.left() + look.dx, rect.top() + look.dy, rect.width() - look.dx,
                         rect.height() - look.dy + 2);
    canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    canvas.restore();
}
