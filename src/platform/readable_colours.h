#pragma once
// Text colours that stay readable in the palette the window is shown in: a light palette keeps
// the designed colours; a dark one (the window colour's HSL lightness below a half) takes them
// lighter until small text reads against its background.
#include <QColor>
#include <QList>

class QPalette;

// Small text needs this much contrast against its background to be read.
inline constexpr double ReadableContrast = 4.5;

// The contrast ratio of two colours, 1 to 21, from their relative luminance.
double contrastRatio(QColor a, QColor b);

bool isDarkPalette(const QPalette& palette);

// colour itself when it reaches ReadableContrast, with a margin, against every background, else the colour mixed
// towards white on dark backgrounds (black on light ones) just far enough.
QColor readableOn(QColor colour, const QList<QColor>& backgrounds);

// Text drawn on the window colour in a designed colour: as designed in a light palette, readable
// on the window colour in a dark one.
QColor windowInk(QColor designed, const QPalette& palette);
