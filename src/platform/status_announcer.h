#pragma once
// What a status line says aloud: a screen reader speaks only the object with the focus when its
// name changes, so a status text that should be heard wherever the keys are is told as a
// notification of its own, shown for each text, which Orca speaks without moving the focus. The
// object takes no room on screen.
#include <QWidget>

class StatusAnnouncer : public QWidget {
    Q_OBJECT
public:
    explicit StatusAnnouncer(QWidget* statusLine);
    void announce(const QString& text);
    // Installed once: every announcer is read as a notification.
    static void install();
};
