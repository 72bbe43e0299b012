#pragma once
#include <QSize>

// The Window Sizing items: controls and fonts scaled by contentPercent, then the window's
// height and width by windowPercent, both from the normal size.
struct WindowSize {
    const char* objectName;
    const char* caption;
    int contentPercent;
    int windowPercent;
};

inline constexpr WindowSize WindowSizes[] = {
    {"Reduced1", "Reduced", 80, 85}, {"Normal", "Normal", 100, 100}, {"Enlarged1", "Enlarged", 115, 115}};

// The window's size scaled by percent: height, then width, each old * percent / 100 with
// the fraction dropped.
inline QSize scaledWindowSize(QSize size, int percent) {
    return QSize(size.width() * percent / 100, size.height() * percent / 100);
}
