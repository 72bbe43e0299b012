#pragma once
// The Help menu's texts and the sizes of the windows that show them.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

struct HelpText {
    const char* windowName; // the window's objectName
    QString caption;
    QSize clientSize;  // at the design resolution
    int pixelsPerInch; // the design resolution
    QString textName;  // the text box's objectName
    QRect textRect;    // at the design resolution
    bool bevelVisible;
    QStringList lines;
};

extern const HelpText AddSymbolsHelp; // "Add/Delete Stock Symbols"
extern const HelpText RefreshHelp;    // "Automatic Refresh Feature"
extern const HelpText AutoSortHelp;   // "Automatic Sort Options"
