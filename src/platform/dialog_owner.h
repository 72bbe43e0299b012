#pragma once
// The window a message box or dialog belongs to: the program's modal or active window, and
// when the program is in the background, its main window. Never none, so that a box raised
// by a timer or a worker while the user is elsewhere still comes up over the program.
class QWidget;

QWidget* DialogOwner();
