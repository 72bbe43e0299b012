#pragma once
// Scales a window's contents by M/D: every control's edges and every font of its own,
// and the window's font; the window's own size is left alone. Controls laid out by their
// parent (the page control, its sheets) follow their parent instead.
class QWidget;

void Rescale(QWidget* window, int M, int D);
