#pragma once
// The one-year price chart of the details page, as inline SVG: no script, no outside font.
#include "market.h"

#include <QByteArray>
#include <QList>

// A line chart of the daily closes (oldest first, today's price last) with a price axis
// on the right at round steps, a date axis with a tick at each month's first trading
// day, light grid lines, and the last price marked in the colour of the day's direction.
QByteArray priceChartSvg(const QList<DailyClose>& points, const QByteArray& symbol, int direction);
