#pragma once
// The simulated market: prices fixed by seed, symbol and the wall clock's minute, so that
// two requests in the same minute see the same page and the pages move as time passes.
#include "market/symbols.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>
#include <QtGlobal>

struct Quote {
    QByteArray symbol; // upper case
    ListingInfo listing;
    TradeState tradeState = TradeState::Traded;
    QTime tradeTime; // US Eastern, whole minutes
    qint64 priceCents = 0;
    qint64 previousCloseCents = 0;
    int direction = 0;         // 1 up, -1 down, 0 unchanged
    qint64 changeCents = 0;    // absolute
    int percentHundredths = 0; // absolute, 44 for 0.44%
    qint64 volume = 0;
    bool realTimeAvailable = true;
    bool hasAfterHours = false;
    int afterHoursDirection = 0;
    qint64 afterHoursChangeCents = 0;
    int afterHoursPercentHundredths = 0;
    bool hasBid = false;
    bool hasAsk = false;
    qint64 bidCents = 0;
    qint64 askCents = 0;
};

// The percent a change of a cent or more is of a price, in hundredths (44 for 0.44%), rounded
// but at least 1: a price that moved never shows 0.00%. No change is 0, without asking this.
qint64 percentHundredthsOf(qint64 partCents, qint64 wholeCents);

struct DailyClose {
    QDate date;
    qint64 closeCents;
};

// A price as it was seen at a moment.
struct SeenPrice {
    QDateTime at;
    qint64 cents;
};

class MarketModel {
public:
    explicit MarketModel(quint64 seed);

    // The quote of a listed symbol (upper case) at the given moment.
    Quote quote(const QByteArray& symbol, const QDateTime& now) const;

    // Weekday closes from one year before the moment's date up to the day before it.
    QList<DailyClose> history(const QByteArray& symbol, const QDateTime& now) const;

    // The moment as the market's clock shows it (US Eastern time).
    static QDateTime marketTime(const QDateTime& now);

private:
    struct Traits {
        double basePrice;
        double volatility;
        double cyclePhase;
        double baseVolume;
        std::uint64_t key;
    };
    Traits traitsOf(const QByteArray& symbol, const ListingInfo& listing) const;
    // Closes of the days first..last (Julian day numbers), in cents.
    QList<qint64> closes(const Traits& traits, qint64 firstDay, qint64 lastDay) const;

    quint64 seed_;
};
