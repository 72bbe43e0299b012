#pragma once
// What both quote grids share in drawing a cell: the column widths that follow the grid's
// width, and one cell's background and text.
#include <QColor>
#include <QFont>

class QPainter;
class QRect;
class QString;
class QuoteGrid;

struct CellLook {
    QColor background;
    QColor text;
    QFont font;
    int dx; // the text's offset from the cell's top left
    int dy;
};

// Every column's width follows the grid's width: (width - margin) * weight / divisor. The widths
// are set again when the grid's width has changed or a width was set otherwise, not at every
// painted cell.
class ColumnFit {
public:
    ColumnFit(const int* weights, int margin, int divisor) : weights_(weights), margin_(margin), divisor_(divisor) {}
    void apply(QuoteGrid* grid);

private:
    const int* weights_;
    int margin_;
    int divisor_;
    int fittedWidth_ = -1;
    int fittedVersion_ = -1;
};
// The cells' font: designed in points, it takes the window's font size where that is smaller (the
// Reduced size), so that the columns, which shrink with the window, still hold the values.
class CellFont {
public:
    explicit CellFont(const QFont& designed) : designed_(designed), font_(designed) {}
    const QFont& following(const QFont& windowFont);

private:
    QFont designed_;
    QFont font_;
};

// A cell's text on its background, never clipped by the cell or by the part of the grid that
// shows (visibleWidth, from the left of the viewport): a text too wide shows without its indent,
// then in a smaller font, and as "###" when it fits at no legible size.
void writeGridCell(QPainter& canvas, const QRect& rect, int visibleWidth, const CellLook& look, const QString& text);
