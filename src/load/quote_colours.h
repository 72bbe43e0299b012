#pragma once
// The colours of the quote views: rows alternate white and light grey, a found row is
// yellow, a change of 0 or more is green and a fall red.
#include <QColor>

inline const QColor EvenRowColour(255, 255, 255);
inline const QColor OddRowColour(212, 212, 212);
inline const QColor FoundRowColour(255, 255, 0);
inline const QColor RisingColour(0, 128, 0);
inline const QColor FallingColour(255, 0, 0);

// Green for a change of 0 or more, red below 0.
inline QColor ChangeColour(double change) {
    return change >= 0 ? RisingColour : FallingColour;
}
