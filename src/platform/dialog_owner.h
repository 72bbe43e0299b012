#pragma once
// The window a message box or dialog belongs to: the dialog the user is in (Create Portfolio),
// else the main window, whichever window is active. Never none, so that a box raised by a
// timer or a worker while the user is elsewhere still comes up over the program.
class QWidget;

QWidget* dialogOwner();
