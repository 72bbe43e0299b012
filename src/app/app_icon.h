#pragma once
#include <QIcon>

// The id of the installed desktop entry, which also names the installed icon.
inline constexpr char DesktopId[] = "io.github.tickwell.Tickwell";

// The window's icon: the installed icon of the desktop's theme, or where Tickwell is not
// installed the built-in one, a small rising price line.
QIcon tickwellIcon();
