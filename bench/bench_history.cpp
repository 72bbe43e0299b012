// The price history at its size: a year of 2,000 symbols updated every 10 s through US trading
// hours, built in the store as thinning leaves it (daily rows past 30 days, a point each 5
// minutes back to a day, then the last day's every point), with the times that matter:
// a day of writes, a thinning pass, the chart's reads, and a year of daily rows imported.
// bench/history.sh runs it and then times the server's pages on the file it leaves.
//   bench_history FILE [SYMBOLS]
#include "sources/history_import.h"
#include "sources/history_store.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

qint64 eastern(const QDate& date, int hour, int minute) {
    return QDateTime(date, QTime(hour, minute), QTimeZone("America/New_York")).toSecsSinceEpoch();
}

bool weekday(const QDate& date) {
    return date.dayOfWeek() <= 5;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_history FILE [SYMBOLS]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int symbolCount = argc > 2 ? std::atoi(argv[2]) : 2000;
    for (const QString& part : {path, path + "-wal", path + "-shm"})
        QFile::remove(part);
    const QDate today(2026, 12, 7); // a Monday: its day is the last, whole
    const qint64 now = eastern(today, 16, 0);
    QList<QByteArray> symbols;
    for (int s = 0; s < symbolCount; ++s)
        symbols.append("S" + QByteArray::number(s));
    std::mt19937 random(7);
    std::vector<qint64> price(size_t(symbolCount), 10000), volume(size_t(symbolCount), 0);
    auto move = [&](int s) {
        price[size_t(s)] = std::max<qint64>(100, price[size_t(s)] + qint64(random() % 21) - 10);
        volume[size_t(s)] += qint64(random() % 500) + 1;
    };

    HistoryStore::Opened opened = HistoryStore::open(path);
    if (!opened.store) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.problem));
        return 1;
    }
    HistoryStore& store = *opened.store;
    QElapsedTimer clock;

    // Past 30 days: a row a weekday.
    clock.start();
    std::vector<std::pair<QByteArray, DailyBar>> rows;
    const QDate monthAgo = today.addDays(-30);
    for (QDate day = today.addYears(-1); day < monthAgo; day = day.addDays(1)) {
        if (!weekday(day))
            continue;
        for (int s = 0; s < symbolCount; ++s) {
            move(s);
            const qint64 p = price[size_t(s)];
            rows.push_back({symbols[s], {day.toJulianDay(), p - 5, p + 20, p - 20, p, volume[size_t(s)]}});
        }
    }
    store.importDaily("bench", rows);
    const qint64 dailyMs = clock.elapsed();

    // Back to a day: the last point of each 5-minute bucket, written as points and thinned a
    // day later as the server thins them.
    clock.restart();
    qint64 fiveMinutePoints = 0, thinMs = 0, thinPasses = 0;
    for (QDate day = monthAgo; day < today; day = day.addDays(1)) {
        if (!weekday(day))
            continue;
        for (qint64 t = eastern(day, 9, 35); t <= eastern(day, 16, 0); t += 300) {
            std::vector<OfferedPrice> prices;
            for (int s = 0; s < symbolCount; ++s) {
                move(s);
                prices.push_back({symbols[s], {t, price[size_t(s)], volume[size_t(s)]}});
            }
            store.write("bench", prices, t);
            fiveMinutePoints += symbolCount;
        }
        QElapsedTimer thinning;
        thinning.start();
        store.thin(eastern(day, 16, 0) + KeepEverySecondsFor + BucketSeconds);
        thinMs += thinning.elapsed();
        ++thinPasses;
    }
    const qint64 fiveMinuteMs = clock.elapsed();

    // The last day: every 10 s, each symbol's price or volume changed.
    clock.restart();
    qint64 dayPoints = 0;
    for (qint64 t = eastern(today, 9, 30); t < eastern(today, 16, 0); t += 10) {
        std::vector<OfferedPrice> prices;
        for (int s = 0; s < symbolCount; ++s) {
            move(s);
            prices.push_back({symbols[s], {t, price[size_t(s)], volume[size_t(s)]}});
        }
        store.write("bench", prices, t);
        dayPoints += symbolCount;
    }
    const qint64 dayMs = clock.elapsed();

    store.thin(now);

    // The chart's reads, for symbols spread over the store.
    std::vector<double> reads;
    qsizetype charted = 0;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer one;
        one.start();
        const HistorySeries series = store.chartSeries(symbols[(i * 7919) % symbolCount], now);
        reads.push_back(double(one.nsecsElapsed()) / 1e6);
        charted = series.size();
    }
    std::sort(reads.begin(), reads.end());
    opened.store.reset(); // the last connection folds the WAL into the file

    // A year of one symbol's daily rows, imported as a user would.
    const QString csvPath = path + ".daily.csv";
    QByteArray csv = "Date,Open,High,Low,Close,Volume\n";
    for (QDate day = today.addYears(-1); day < today; day = day.addDays(1)) {
        if (weekday(day))
            csv += day.toString(Qt::ISODate).toLatin1() + ",10.00,10.50,9.50,10.25,1234567\n";
    }
    QFile csvFile(csvPath);
    if (!csvFile.open(QIODevice::WriteOnly) || csvFile.write(csv) != csv.size())
        return 1;
    csvFile.close();
    clock.restart();
    const int imported = importHistoryFile(path, csvPath, "IMPORT");
    const qint64 importMs = clock.elapsed();
    QFile::remove(csvPath);

    std::printf("symbols %d: %zu daily rows (%lld ms), %lld five-minute points (%lld ms), %lld points of the last day "
                "(%lld ms, %.1f ms a 10-second round)\n",
                symbolCount, rows.size(), dailyMs, fiveMinutePoints, fiveMinuteMs, dayPoints, dayMs,
                double(dayMs) / 2340.0);
    std::printf("thinning pass that moves a day's 5-minute points of every symbol: %lld ms\n",
                thinPasses > 0 ? thinMs / thinPasses : 0);
    std::printf("file: %.1f MB\n", double(QFileInfo(path).size()) / 1e6);
    std::printf("chart read (%lld points): median %.2f ms, max %.2f ms\n", qint64(charted), reads[reads.size() / 2],
                reads.back());
    std::printf("import of a year of daily rows: %lld ms (exit %d)\n", importMs, imported);
    return 0;
}
