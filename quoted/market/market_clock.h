#pragma once
// Moments as the market's clock (US Eastern time) shows them on the pages.
#include <QByteArray>
#include <QDateTime>
#include <QTime>

// 16:00 -> "4:00PM", 0:05 -> "12:05AM".
QByteArray formatTradeTime(QTime time);
// The moment as the pages' clock shows it: "4:05:10PM" (US Eastern).
QByteArray marketClockTime(const QDateTime& moment);
