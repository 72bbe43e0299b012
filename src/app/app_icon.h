#pragma once
#include <QIcon>

// The window's icon: a small rising price line, 32 x 32.
QIcon TickwellIcon();
