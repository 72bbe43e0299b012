#include "sources/history_feed.h"

#include "market/market_clock.h"

#include <QTimeZone>

#include <algorithm>

void offerFeedPrices(HistoryStore& store, const QByteArray& source, std::shared_ptr<const FeedTable> table,
                     const QDateTime& at, std::optional<std::vector<quint64>> keys) {
    const qint64 t = at.toSecsSinceEpoch();
    store.offer(source, [table = std::move(table), keys = std::move(keys), t] {
        std::vector<OfferedPrice> prices;
        prices.reserve(size_t(keys ? qsizetype(keys->size()) : table->size()));
        for (qsizetype i = 0; i < table->size(); ++i) {
            const FeedRow& row = table->byKey(i);
            if (keys && !std::binary_search(keys->cbegin(), keys->cend(), row.key))
                continue;
            prices.push_back({symbolOfKey(row.key), {t, row.priceCents, row.volume}});
        }
        return prices;
    });
}

namespace {

QByteArray dayAndTime(qint64 utcSeconds) {
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc());
    return marketClockTime(moment) + " ET, " +
           MarketModel::marketTime(moment).date().toString("MMMM d, yyyy").toLatin1();
}

// Every n-th point, the last always among them, so that at most count remain.
std::vector<HistoryPoint> thinnedTo(const std::vector<HistoryPoint>& points, qsizetype count) {
    if (qsizetype(points.size()) <= count)
        return points;
    std::vector<HistoryPoint> kept;
    const double step = double(points.size() - 1) / double(std::max<qsizetype>(1, count - 1));
    for (qsizetype i = 0; i < count; ++i)
        kept.push_back(points[size_t(std::llround(double(i) * step))]);
    return kept;
}

} // namespace

void chartFromHistory(DetailsContent& content, const HistoryStore& store, const QByteArray& symbol,
                      const QDateTime& now) {
    HistorySeries series = store.chartSeries(symbol, now.toSecsSinceEpoch());
    if (series.size() < 2) {
        content.chart.whyNone = "No price history yet: the chart starts when " + symbol + " has a second stored price.";
        return;
    }
    series.latestDay =
        thinnedTo(series.latestDay, std::max<qsizetype>(2, MaxChartPoints - qsizetype(series.days.size())));
    const QByteArray last = dayAndTime(series.lastTime);
    content.lowCents = std::numeric_limits<qint64>::max();
    content.highCents = std::numeric_limits<qint64>::min();
    for (const DailyBar& bar : series.days) {
        content.lowCents = std::min(content.lowCents, bar.low);
        content.highCents = std::max(content.highCents, bar.high);
    }
    for (const HistoryPoint& point : series.latestDay) {
        content.lowCents = std::min(content.lowCents, point.cents);
        content.highCents = std::max(content.highCents, point.cents);
    }
    content.rangeLabel = series.days.empty() ? "Range of the day" : "Range stored";

    // A place per day, then a place per point of the latest day, which thus keeps its shape; one
    // day of points alone gets a time axis, as the feed's chart has.
    DetailsChart& chart = content.chart;
    for (const DailyBar& bar : series.days)
        chart.dailyCloses.append({QDate::fromJulianDay(bar.day), bar.close});
    for (const HistoryPoint& point : series.latestDay)
        chart.seenPrices.append({QDateTime::fromSecsSinceEpoch(point.t, QTimeZone::utc()), point.cents});
    chart.title = symbol + ": prices stored from " + series.source + ", the last at " + last;
    chart.caption = "Prices stored from " + series.source + "; the last at " + last + ".";
}
