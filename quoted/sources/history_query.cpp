#include "sources/history_query.h"

#include "sources/history_import.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

namespace {

std::optional<QByteArray> valueOf(const QList<std::pair<QByteArray, QByteArray>>& query, const char* key) {
    for (const auto& [name, value] : query) {
        if (name == key)
            return value;
    }
    return std::nullopt;
}

HistoryAnswer refuse(const QByteArray& why) {
    return {400, why};
}

QByteArray isoDate(qint64 julianDay) {
    return QDate::fromJulianDay(julianDay).toString(Qt::ISODate).toLatin1();
}

} // namespace

QByteArray decimalText(qint64 hundredths) {
    const QByteArray sign = hundredths < 0 ? "-" : "";
    const qint64 magnitude = hundredths < 0 ? -hundredths : hundredths;
    return sign + QByteArray::number(magnitude / 100) + '.' +
           QByteArray::number(magnitude % 100).rightJustified(2, '0');
}

HistoryAnswer historyAnswer(const HistoryStore& store, const QList<std::pair<QByteArray, QByteArray>>& query,
                            qint64 now) {
    const QByteArray symbol = valueOf(query, "s").value_or(QByteArray()).trimmed().toUpper();
    if (symbol.isEmpty())
        return refuse("Name the symbol: /history?s=SYM");
    const qint64 today = easternDay(now);
    std::optional<qint64> days[2] = {std::nullopt, today};
    const char* names[2] = {"from", "to"};
    for (int i = 0; i < 2; ++i) {
        if (const auto given = valueOf(query, names[i])) {
            days[i] = isoDay(*given);
            if (!days[i])
                return refuse(QByteArray(names[i]) + " \"" + *given + "\" is not a date like 2025-03-14");
        }
    }
    const qint64 to = *days[1];
    const qint64 from = days[0].value_or(QDate::fromJulianDay(to).addYears(-1).toJulianDay());
    if (from > to)
        return refuse("from " + isoDate(from) + " is after to " + isoDate(to));
    const QByteArray kind = valueOf(query, "kind").value_or(from < today - 30 ? "daily" : "intraday");
    if (kind != "daily" && kind != "intraday")
        return refuse("kind \"" + kind + "\" is not daily or intraday");
    if (!store.holds(symbol))
        return {404, "No stored history for " + symbol};

    QByteArray csv;
    if (kind == "daily") {
        const std::vector<DailyBar> bars = store.daily(symbol, from, to);
        csv = "date,open,high,low,close,volume\n";
        for (const DailyBar& bar : bars)
            csv += isoDate(bar.day) + ',' + decimalText(bar.open) + ',' + decimalText(bar.high) + ',' +
                   decimalText(bar.low) + ',' + decimalText(bar.close) + ',' + QByteArray::number(bar.volume) + '\n';
    } else {
        const std::vector<HistoryPoint> points = store.intraday(symbol, easternDayStart(from), easternDayStart(to + 1));
        csv = "time,price,volume\n";
        for (const HistoryPoint& point : points)
            csv += QDateTime::fromSecsSinceEpoch(point.t, QTimeZone::utc())
                       .toString("yyyy-MM-dd'T'HH:mm:ss'Z'")
                       .toLatin1() +
                   ',' + decimalText(point.cents) + ',' + QByteArray::number(point.volume) + '\n';
    }
    return {200, csv};
}
