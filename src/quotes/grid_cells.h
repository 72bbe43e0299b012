#pragma once
// What both quote grids share in drawing a cell: the column widths that follow the grid's
// width, and one cell's background and text.
#include <QColor>
#include <QFont>

class QPainter;
class QRect;
class QString;
class TStringGrid;

struct CellLook {
    QColor background;
    QColor text;
    QFont font;
    int dx; // the text's offset from the cell's top left
    int dy;
};

// Every column's width from the grid's width: (width - margin) * weight / divisor.
void ApplyColumnWidths(TStringGrid* grid, const int* weights, int margin, int divisor);
void WriteGridCell(QPainter& canvas, const QRect& rect, const CellLook& look, const QString& text);
