#include "sources/history_feed.h"

#include "price_chart.h"
#include "quote_feed.h"
#include "text_format.h"

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
        content.chart = "<p class=\"history\">No price history yet: the chart starts when " + htmlEscape(symbol) +
                        " has a second stored price.</p>\n";
        return;
    }
    series.latestDay =
        thinnedTo(series.latestDay, std::max<qsizetype>(2, MaxChartPoints - qsizetype(series.days.size())));
    const int direction = content.quote.direction;
    const QByteArray last = dayAndTime(series.lastTime);
    const QByteArray title = symbol + ": prices stored from " + series.source + ", the last at " + last;
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

    if (series.days.empty()) { // one day of points: a time axis, as the feed's chart has
        QList<SeenPrice> seen;
        for (const HistoryPoint& point : series.latestDay)
            seen.append({QDateTime::fromSecsSinceEpoch(point.t, QTimeZone::utc()), point.cents});
        content.chart = timeChartSvg(seen, title, direction);
    } else {
        // A place per day, then a place per point of the latest day, which thus keeps its shape.
        QList<DailyClose> closes;
        for (const DailyBar& bar : series.days)
            closes.append({QDate::fromJulianDay(bar.day), bar.close});
        QList<SeenPrice> latest;
        for (const HistoryPoint& point : series.latestDay)
            latest.append({QDateTime::fromSecsSinceEpoch(point.t, QTimeZone::utc()), point.cents});
        content.chart = historyChartSvg(closes, latest, title, direction);
    }
    content.chart +=
        "<p class=\"history\">Prices stored from " + htmlEscape(series.source) + "; the last at " + last + ".</p>\n";
}
