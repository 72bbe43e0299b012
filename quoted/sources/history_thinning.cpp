#include "sources/history_thinning.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <algorithm>

namespace {

const QTimeZone& eastern() {
    static const QTimeZone zone = [] {
        QTimeZone named("America/New_York");
        return named.isValid() ? named : QTimeZone(-5 * 3600);
    }();
    return zone;
}

// Offsets change only on the hour: a moment's offset is looked up once per hour it falls in,
// so that thinning a year of points costs no time zone search per point.
qint64 easternOffset(qint64 utcSeconds) {
    thread_local qint64 hour = -1;
    thread_local qint64 offset = 0;
    const qint64 thisHour = utcSeconds / 3600;
    if (thisHour != hour) {
        hour = thisHour;
        offset = eastern().offsetFromUtc(QDateTime::fromSecsSinceEpoch(thisHour * 3600, QTimeZone::utc()));
    }
    return offset;
}

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

qint64 easternDay(qint64 utcSeconds) {
    // Julian day 2440588 is 1970-01-01.
    return floorDiv(utcSeconds + easternOffset(utcSeconds), 86400) + 2440588;
}

qint64 easternDayStart(qint64 julianDay) {
    return QDate::fromJulianDay(julianDay).startOfDay(eastern()).toSecsSinceEpoch();
}

void addToBar(DailyBar& bar, const HistoryPoint& point, bool first) {
    if (first) {
        bar.open = bar.high = bar.low = point.cents;
    }
    bar.high = std::max(bar.high, point.cents);
    bar.low = std::min(bar.low, point.cents);
    bar.close = point.cents;
    bar.volume = point.volume;
}

ThinningPlan planThinning(const std::vector<HistoryPoint>& points, qint64 now) {
    ThinningPlan plan;
    const qint64 dayOld = now - KeepEverySecondsFor;
    const qint64 monthOld = now - KeepIntradayFor;
    // The last day that ended before the 30-day line: it and the days before become rows.
    const qint64 lastWholeDay = easternDay(monthOld) - 1;
    for (size_t i = 0; i < points.size(); ++i) {
        const HistoryPoint& p = points[i];
        if (p.t >= dayOld)
            break;
        const qint64 day = easternDay(p.t);
        if (day <= lastWholeDay) {
            if (plan.days.empty() || plan.days.back().day != day) {
                plan.days.push_back({day, 0, 0, 0, 0, 0});
                addToBar(plan.days.back(), p, true);
            } else {
                addToBar(plan.days.back(), p, false);
            }
            plan.removed.push_back(p.t);
            continue;
        }
        // A bucket wholly older than a day keeps its last point.
        const qint64 bucket = floorDiv(p.t, BucketSeconds);
        const bool bucketOld = (bucket + 1) * BucketSeconds <= dayOld;
        const bool lastOfBucket = i + 1 == points.size() || floorDiv(points[i + 1].t, BucketSeconds) != bucket;
        if (bucketOld && !lastOfBucket)
            plan.removed.push_back(p.t);
    }
    return plan;
}
