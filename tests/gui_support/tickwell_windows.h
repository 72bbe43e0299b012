#pragma once
// Test fixture: the program's windows, created once per test program with every modal
// seam answered in-process, and helpers to reach controls by name.
#include <QString>
#include <QWidget>

class TFormQuote;

// Creates the windows (once) with the message boxes, open dialogs and browser recorded.
TFormQuote& TickwellWindows();

// The control of the main window with that objectName, or nullptr.
template <typename T = QWidget> T* Control(const QString& name);

QWidget* FindControl(const QString& name);

template <typename T> T* Control(const QString& name) {
    return qobject_cast<T*>(FindControl(name));
}
