#pragma once
// Shows one of the Help menu's windows: visible, with the focus, and restored and in front if it
// was minimised. The window is the same instance every time.
class QWidget;

void showHelpWindow(QWidget* window);
