#include "market/market_clock.h"

#include "market/market.h"

QByteArray formatTradeTime(QTime time) {
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QByteArray::number(hour12) + ':' + QByteArray::number(time.minute()).rightJustified(2, '0') +
           (time.hour() < 12 ? "AM" : "PM");
}

QByteArray marketClockTime(const QDateTime& moment) {
    const QTime time = MarketModel::marketTime(moment).time();
    QByteArray text = formatTradeTime(time);
    return text.insert(text.size() - 2, ':' + QByteArray::number(time.second()).rightJustified(2, '0'));
}
