#pragma once
// Held across a modal dialog or box: when it has closed, the window that owned it is the active
// window again and the key focus is back on the control that had it.
//
// Why it is needed: a dialog's key events are held while a screen reader is asked whether it
// wants them, so a popup the dialog showed (its file-name completer) can be hidden only after
// the dialog has gone. The input focus then falls to that popup and, as it disappears, to no
// window; the window manager still marks the main window active and never activates it again,
// so every later key goes nowhere. The window is therefore asked again for a while after the
// dialog, until it is active.
#include <QPointer>
#include <QWidget>

class DialogReturn {
public:
    DialogReturn();
    ~DialogReturn();
    DialogReturn(const DialogReturn&) = delete;
    DialogReturn& operator=(const DialogReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};
