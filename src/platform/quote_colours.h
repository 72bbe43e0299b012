#pragma once
// The colours of the quote views. The text mirrors keep the designed green and red; the grids
// paint with GridColours, which follow the palette the window is shown in.
#include <QColor>

class QPalette;

inline const QColor RisingColour(0, 128, 0);
inline const QColor FallingColour(255, 0, 0);
// The count labels: advancing, declining and unchanged issues.
inline const QColor UnchangedColour(0, 0, 255);

// Green for a change of 0 or more, red below 0.
inline QColor changeColour(double change) {
    return change >= 0 ? RisingColour : FallingColour;
}

// What a quote grid paints with. In a light palette rows alternate white and light grey, a found
// row is yellow, and rising and falling are a green and a red dark enough to read on all three;
// in a dark palette the rows take the palette's base colours and the text lighter shades.
struct GridColours {
    QColor evenRow;
    QColor oddRow;
    QColor foundRow;
    QColor rising;
    QColor falling;
    QColor plain; // text without a direction

    QColor change(double change) const { return change >= 0 ? rising : falling; }
};

GridColours gridColoursFor(const QPalette& palette);
