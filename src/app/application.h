#pragma once
// Start-up: the application object, every window created up front in a fixed order,
// the main window alone shown, the message loop.
#include <functional>

// Creates FormQuote, HelpAddSym, HelpRefresh, HelpAutoSort, AboutForm and CreatePort1.
void CreateTickwellWindows();

// Runs the whole program; started runs once the main window is shown (for probes).
// Returns 0 when the main window has been closed.
int RunTickwell(int& argc, char** argv, const std::function<void()>& started = {});
