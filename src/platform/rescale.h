#pragma once
// Scales a window's contents by numerator/denominator: every control's edges and every font of its own,
// and the window's font; the window's own size is left alone. Controls laid out by their
// parent (the page control, its sheets) follow their parent instead.
class QWidget;

void scale(QWidget* window, int numerator, int denominator);
