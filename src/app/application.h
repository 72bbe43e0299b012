#pragma once
// Start-up: the application object, the main window with every window it owns created up
// front, the main window alone shown, the message loop.
#include <functional>

class MainWindow;

// Creates the main window, which creates its dialogs and help windows.
MainWindow* createTickwellWindows();

// Runs the whole program; started runs once the main window is shown (for probes).
// Returns 0 when the main window has been closed, the code of a command line answered
// without a window (--help, --version, --print, a mistake), or 1 when no display is there.
int runTickwell(int& argc, char** argv, const std::function<void(MainWindow&)>& started = {});
