#pragma once
// The details page's price chart, as inline SVG: no script, no outside font.
#include "market/market.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

struct ChartPoint {
    double x; // the place along the time axis, in any unit that grows with time
    qint64 cents;
};

struct ChartTick {
    double x;
    QByteArray label;      // under the axis
    QByteArray secondLine; // under the label, or empty
};

// A line chart of the points (oldest first, the last price last) with a price axis on the
// right at round steps, the ticks along the time axis, light grid lines, and the last price
// marked in the colour of the day's direction. title is plain text.
QByteArray priceChartSvg(const QList<ChartPoint>& points, const QList<ChartTick>& ticks, const QByteArray& title,
                         int direction);

// The one-year chart of daily closes: a tick at each month's first trading day, with the year
// under the first one shown and under each January.
QByteArray dailyChartSvg(const QList<DailyClose>& closes, const QByteArray& symbol, int direction);

// The stored year of a feed's symbol: the days' closes as the one-year chart places them, then
// the latest day's own prices, a place each, under a tick with the day's first time and date.
QByteArray historyChartSvg(const QList<DailyClose>& closes, const QList<SeenPrice>& latestDay, const QByteArray& title,
                           int direction);

// A chart of prices as they were seen over time, placed by their moments; ticks at round
// times of the market's clock (US Eastern time), the date under the first and at each new day.
QByteArray timeChartSvg(const QList<SeenPrice>& prices, const QByteArray& title, int direction);
