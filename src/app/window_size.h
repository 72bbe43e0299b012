#pragma once
#include <QSize>

// The window's size scaled by percent: height, then width, each old * percent / 100 with
// the fraction dropped.
inline QSize ScaledWindowSize(QSize size, int percent) {
    return QSize(size.width() * percent / 100, size.height() * percent / 100);
}
