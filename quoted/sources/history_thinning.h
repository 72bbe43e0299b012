#pragma once
// What the price history keeps as it ages, and the US Eastern calendar its days follow:
//   a point younger than a day stays as it is;
//   an older one stays only as the last point of its 5-minute bucket;
//   the points of an Eastern day that ended more than 30 days ago become one row: open, high,
//   low, close and the day's volume (the last point's, since a feed's volume counts the day).
#include <QtGlobal>

#include <vector>

struct HistoryPoint {
    qint64 t = 0; // UTC, seconds since the epoch
    qint64 cents = 0;
    qint64 volume = 0;
};

struct DailyBar {
    qint64 day = 0; // Julian day number of the Eastern calendar day
    qint64 open = 0, high = 0, low = 0, close = 0, volume = 0;
};

constexpr qint64 KeepEverySecondsFor = 86400;  // a day of every point
constexpr qint64 BucketSeconds = 300;          // then one point each 5 minutes
constexpr qint64 KeepIntradayFor = 30 * 86400; // then one row a day
constexpr qint64 MinSecondsBetweenPoints = 10; // the store's rule for one symbol

// The Eastern calendar: the day a moment falls on, and when a day starts (as UTC seconds).
qint64 easternDay(qint64 utcSeconds);
qint64 easternDayStart(qint64 julianDay);

struct ThinningPlan {
    std::vector<qint64> removed; // times of the points that go
    std::vector<DailyBar> days;  // the rows that take the place of whole days' points
};

// points: one symbol's, oldest first.
ThinningPlan planThinning(const std::vector<HistoryPoint>& points, qint64 now);

// Adds a point to the bar of its day (the first point opens it).
void addToBar(DailyBar& bar, const HistoryPoint& point, bool first);
