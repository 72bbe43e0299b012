#include "market/market_clock.h"
#include "sources/quote_source.h"

#include <algorithm>

std::optional<Quote> MarketSource::quote(const QByteArray& symbol, const QDateTime& now) const {
    if (!isListedSymbol(symbol))
        return std::nullopt;
    return model_.quote(symbol, now);
}

std::optional<DetailsContent> MarketSource::details(const QByteArray& symbol, const QDateTime& now) const {
    if (!isListedSymbol(symbol))
        return std::nullopt;
    DetailsContent content;
    const Quote& q = content.quote = model_.quote(symbol, now);
    QList<DailyClose> points = model_.history(symbol, now);
    const QDate today = MarketModel::marketTime(now).date();
    points.append({today, q.priceCents});

    const QByteArray date = today.toString("dddd, MMMM d, yyyy").toLatin1();
    content.asOf = q.tradeState == TradeState::Traded ? "As of " + formatTradeTime(q.tradeTime) + " ET, " + date
                                                      : "No trade yet today; previous close shown. " + date;
    content.chart.dailyCloses = points;
    const auto [lowest, highest] = std::minmax_element(points.cbegin(), points.cend(),
                                                       [](auto& a, auto& b) { return a.closeCents < b.closeCents; });
    content.rangeLabel = "One-year range";
    content.lowCents = lowest->closeCents;
    content.highCents = highest->closeCents;
    content.note = "Simulated prices from the Tickwell quote server; they change every minute.";
    return content;
}

QByteArray MarketSource::pageIntro() const {
    return "Tickwell quote server: a simulated market whose prices move every minute.";
}

QByteArray MarketSource::pageFootnote() const {
    return "Quotes are simulated. Symbols not listed by this server have no row.";
}

NoQuoteReason MarketSource::noQuoteReason() const {
    return {"This server lists symbols of 1 to 6 letters, digits, '.' and '-' (at least one letter; not starting "
            "with ZZ) and the indexes ^DJI, ^IXIC, ^GSPC, ^NDX, ^RUT, ^NYA and ^VIX.",
            {},
            {}};
}

QByteArray MarketSource::statusText(const QDateTime&) const {
    return statusLine({"market", "simulated", "fresh", -1, {}, {}, {}});
}
