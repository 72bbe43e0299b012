#include "market/market.h"

#include "market/sim_hash.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Each close is the typical price moved by the sum of the last ShockWindow daily
// shocks (a random walk that forgets, so levels stay sensible over years) and a slow cycle.
constexpr int ShockWindow = 120;

// Salts that keep the different draws of one symbol independent.
enum Salt : std::uint64_t {
    SaltPrice = 1,
    SaltVolatility,
    SaltPhase,
    SaltVolume,
    SaltShock,
    SaltDirection,
    SaltMove,
    SaltVolumeJitter,
    SaltAfterHours,
    SaltAfterHoursDirection,
    SaltAfterHoursMove,
};

qint64 previousWeekday(qint64 julianDay) {
    QDate day = QDate::fromJulianDay(julianDay).addDays(-1);
    while (day.dayOfWeek() > 5)
        day = day.addDays(-1);
    return day.toJulianDay();
}

} // namespace

qint64 percentHundredthsOf(qint64 partCents, qint64 wholeCents) {
    return std::max<qint64>(1,
                            std::llround(static_cast<double>(partCents) * 10000.0 / static_cast<double>(wholeCents)));
}

MarketModel::MarketModel(quint64 seed) : seed_(seed) {}

QDateTime MarketModel::marketTime(const QDateTime& now) {
    static const QTimeZone eastern = [] {
        QTimeZone zone("America/New_York");
        return zone.isValid() ? zone : QTimeZone(-5 * 3600);
    }();
    return now.toTimeZone(eastern);
}

MarketModel::Traits MarketModel::traitsOf(const QByteArray& symbol, const ListingInfo& listing) const {
    Traits t{};
    t.key = sim::combine(seed_, sim::hashText(std::string_view(symbol.constData(), symbol.size())));
    const double priceDraw = sim::unit(sim::combine(t.key, SaltPrice));
    t.basePrice = listing.typicalPrice > 0 ? listing.typicalPrice : 4.0 * std::exp(priceDraw * std::log(80.0));
    t.volatility = listing.isIndex ? 0.006 : 0.010 + 0.012 * sim::unit(sim::combine(t.key, SaltVolatility));
    t.cyclePhase = 2 * std::numbers::pi * sim::unit(sim::combine(t.key, SaltPhase));
    const double volumeDraw = sim::unit(sim::combine(t.key, SaltVolume));
    t.baseVolume =
        listing.isIndex ? 8e8 * std::exp(volumeDraw * std::log(5.0)) : 1e5 * std::exp(volumeDraw * std::log(500.0));
    return t;
}

QList<qint64> MarketModel::closes(const Traits& traits, qint64 firstDay, qint64 lastDay) const {
    const qint64 shockStart = firstDay - ShockWindow + 1;
    QList<double> shocks;
    shocks.reserve(lastDay - shockStart + 1);
    for (qint64 day = shockStart; day <= lastDay; ++day)
        shocks.append(sim::gaussianish(sim::combine(traits.key, SaltShock, static_cast<std::uint64_t>(day))));

    QList<qint64> result;
    result.reserve(lastDay - firstDay + 1);
    double windowSum = 0;
    for (int i = 0; i < ShockWindow - 1; ++i)
        windowSum += shocks[i];
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        const qsizetype newest = day - shockStart;
        windowSum += shocks[newest];
        const double cycle =
            0.10 * std::sin(2 * std::numbers::pi * static_cast<double>(day) / 700.0 + traits.cyclePhase);
        const double price = traits.basePrice * std::exp(traits.volatility * windowSum + cycle);
        result.append(std::max<qint64>(1, std::llround(price * 100.0)));
        windowSum -= shocks[newest - ShockWindow + 1];
    }
    return result;
}

Quote MarketModel::quote(const QByteArray& symbol, const QDateTime& now) const {
    Quote q;
    q.symbol = symbol;
    q.listing = listingOf(symbol);
    const Traits traits = traitsOf(symbol, q.listing);

    const QDateTime eastern = marketTime(now);
    const qint64 today = eastern.date().toJulianDay();
    const qint64 yesterday = previousWeekday(today);
    const std::uint64_t minute = static_cast<std::uint64_t>(now.toSecsSinceEpoch() / 60);

    q.tradeState = q.listing.isIndex ? TradeState::Traded : tradeStateOf(symbol);
    q.tradeTime = QTime(eastern.time().hour(), eastern.time().minute());
    q.previousCloseCents = closes(traits, yesterday, yesterday).constFirst();
    q.realTimeAvailable = hasRealTimeData(symbol);

    const bool traded = q.tradeState == TradeState::Traded;
    if (traded) {
        const double draw = sim::unit(sim::combine(traits.key, SaltDirection));
        q.direction = draw < 0.12 ? (q.listing.isIndex ? 1 : 0) : (draw < 0.56 ? 1 : -1);
    }
    if (q.previousCloseCents < 2)
        q.direction = 0; // a one-cent issue cannot fall and stay priced
    if (q.direction != 0) {
        // The size of the day's move wanders with the minute; its direction stays.
        const double wave = 0.5 + 0.5 * std::sin(static_cast<double>(minute) / 23.0 + traits.cyclePhase);
        const double jitter = sim::unit(sim::combine(traits.key, SaltMove, minute));
        const double move = (0.001 + 0.018 * wave + 0.004 * jitter) * (q.listing.isIndex ? 0.5 : 1.0);
        q.changeCents = std::clamp<qint64>(std::llround(q.previousCloseCents * move), 1, q.previousCloseCents - 1);
    }
    if (q.direction != 0) {
        q.percentHundredths = static_cast<int>(percentHundredthsOf(q.changeCents, q.previousCloseCents));
        q.priceCents = q.previousCloseCents + q.direction * q.changeCents;
    } else {
        q.changeCents = 0;
        q.priceCents = q.previousCloseCents;
    }

    if (traded) {
        const double minuteOfDay = eastern.time().hour() * 60 + eastern.time().minute();
        const double jitter = sim::unit(sim::combine(traits.key, SaltVolumeJitter, minute));
        q.volume = std::llround(traits.baseVolume * (0.15 + 0.85 * minuteOfDay / 1440.0) * (0.97 + 0.06 * jitter));
    }

    if (!q.listing.isIndex && q.realTimeAvailable && traded &&
        sim::unit(sim::combine(traits.key, SaltAfterHours)) < 0.6) {
        q.hasAfterHours = true;
        q.afterHoursDirection = sim::unit(sim::combine(traits.key, SaltAfterHoursDirection)) < 0.5 ? 1 : -1;
        const double move = 0.0005 + 0.005 * sim::unit(sim::combine(traits.key, SaltAfterHoursMove, minute));
        q.afterHoursChangeCents = std::max<qint64>(1, std::llround(q.priceCents * move));
        q.afterHoursPercentHundredths = static_cast<int>(percentHundredthsOf(q.afterHoursChangeCents, q.priceCents));
    }

    if (!q.listing.isIndex) {
        q.hasBid = true;
        q.hasAsk = true;
        const qint64 halfSpread = std::max<qint64>(1, std::llround(q.priceCents * 0.0004));
        q.bidCents = std::max<qint64>(1, q.priceCents - halfSpread);
        q.askCents = q.priceCents + halfSpread;
    }
    return q;
}

QList<DailyClose> MarketModel::history(const QByteArray& symbol, const QDateTime& now) const {
    const ListingInfo listing = listingOf(symbol);
    const Traits traits = traitsOf(symbol, listing);
    const QDate today = marketTime(now).date();
    const qint64 first = today.addYears(-1).toJulianDay();
    const qint64 last = previousWeekday(today.toJulianDay());
    const QList<qint64> all = closes(traits, first, last);

    QList<DailyClose> result;
    for (qint64 day = first; day <= last; ++day) {
        const QDate date = QDate::fromJulianDay(day);
        if (date.dayOfWeek() <= 5)
            result.append({date, all[day - first]});
    }
    return result;
}
