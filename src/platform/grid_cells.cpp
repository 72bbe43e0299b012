#include "platform/grid_cells.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/grid_columns.h"
#include "platform/quote_grid.h"

void ColumnFit::apply(QuoteGrid* grid) {
    if (grid->width() == fittedWidth_ && grid->columnWidthsVersion() == fittedVersion_)
        return;
    for (int k = 0; k < 7; ++k)
        grid->setColWidth(k, gridColumnWidth(grid->width(), weights_[k], margin_, divisor_));
    fittedWidth_ = grid->width();
    fittedVersion_ = grid->columnWidthsVersion();
}

const QFont& CellFont::following(const QFont& windowFont) {
    const int pixels =
        windowFont.pixelSize() > 0 ? std::min(designed_.pixelSize(), windowFont.pixelSize()) : designed_.pixelSize();
    if (font_.pixelSize() != pixels)
        font_.setPixelSize(pixels);
    return font_;
}

namespace {
constexpr int LegibleCellPixels = 6;

struct ShownText {
    QString text;
    QFont font;
};

// The text as it fits room pixels: its blanks at the end take no room; the indent goes first,
// then the font steps down.
ShownText fitToCell(const QString& text, const QFont& font, int room) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    if (QFontMetricsF(font).horizontalAdvance(text.left(end)) <= room)
        return {text, font};
    qsizetype start = 0;
    while (start < end && text[start] == ' ')
        ++start;
    const QString value = text.mid(start, end - start);
    for (QFont smaller = font; smaller.pixelSize() >= LegibleCellPixels;
         smaller.setPixelSize(smaller.pixelSize() - 1)) {
        if (QFontMetricsF(smaller).horizontalAdvance(value) <= room)
            return {value, smaller};
    }
    return {"###", font};
}
} // namespace

void writeGridCell(QPainter& canvas, const QRect& rect, int visibleWidth, const CellLook& look, const QString& text) {
    const int room = std::min(rect.right() + 1, visibleWidth) - rect.left() - look.dx;
    const ShownText shown = fitToCell(text, look.font, room);
    canvas.save();
    canvas.setClipRect(rect);
    canvas.fillRect(rect, look.background);
    canvas.setFont(shown.font);
    canvas.setPen(look.text);
    canvas.setBackgroundMode(Qt::OpaqueMode);
    canvas.setBackground(look.background);
    const QRect textRect(rect.left() + look.dx, rect.top() + look.dy, rect.width() - look.dx,
                         rect.height() - look.dy + 2);
    canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown.text);
    canvas.restore();
}
