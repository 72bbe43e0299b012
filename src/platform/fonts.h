#pragma once
// The window fonts are named as designed ("MS Sans Serif", "Courier", "Courier New") and
// mapped to metric-compatible Liberation fonts here. Character heights are pixel sizes.
#include <QFont>
#include <QString>

// Maps the designed font names to the Liberation fonts; call once after QApplication exists.
void installFontSubstitutions();

// A font of the given family and character height in pixels.
QFont pixelFont(const QString& family, int pixelHeight, bool bold = false);

// The window font: MS Sans Serif, 8 point (11 pixels).
QFont windowFont();

// Pixel height of a point size on the 96-pixels-per-inch screen the layout is designed for,
// and back (rounded halves away from zero).
int pointsToPixels(int points);
int pixelsToPoints(int pixels);

// A font of the given family and point size, at its designed pixel height.
QFont pointFont(const QString& family, int points, bool bold = false);
