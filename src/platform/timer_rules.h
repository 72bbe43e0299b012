#pragma once
// The timer rules the refresh relies on: an equal interval changes nothing, a new
// interval restarts a running countdown, enabling a running timer changes nothing.
#include <QTimer>

inline void setTimerInterval(QTimer* timer, int milliseconds) {
    if (timer->interval() != milliseconds)
        timer->setInterval(milliseconds); // restarts the countdown when running
}

inline void enableTimer(QTimer* timer) {
    if (!timer->isActive())
        timer->start();
}

inline void disableTimer(QTimer* timer) {
    timer->stop();
}
