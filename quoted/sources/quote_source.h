#pragma once
// Where the pages' quotes come from: the simulated market, the user's quote feed (--quotes), or
// the sources of a sources file (--sources).
#include "market/market.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

// What a details page draws as its chart: a year of daily closes, the prices seen over time, a
// stored year (its days' closes, then the latest day's prices), or none, and then a sentence
// that says why.
struct DetailsChart {
    QList<DailyClose> dailyCloses; // oldest first, today's price last
    QList<SeenPrice> seenPrices;   // oldest first, at least two
    QByteArray title;              // of the chart of seenPrices or of a stored year, plain text
    QByteArray whyNone;            // plain text
    QByteArray caption;            // a line under the chart, plain text (where stored prices came from)
};

class HistoryStore;

// What a details page shows besides the quote's own figures.
struct DetailsContent {
    Quote quote;
    QByteArray asOf; // the line under the price, plain text
    DetailsChart chart;
    QByteArray rangeLabel; // "One-year range"; empty: no range row
    qint64 lowCents = 0;
    qint64 highCents = 0;
    QByteArray note; // the closing note, plain text
};

// A source as one line of the status page (GET /status): its fields in this order, separated by
// tabs, "-" for what it has not got:
//   name  kind  state  symbols  last success  last error  next refresh
// kind: simulated, file, command or url; state: fresh, stale (its last good prices only) or empty
// (none yet); times in UTC as 2026-12-08T21:05:10Z.
struct SourceStatus {
    QString name;
    QByteArray kind;
    QByteArray state;
    qsizetype symbols = -1; // -1: not counted, as for the simulated market
    QDateTime lastSuccess;
    QString lastError;
    QDateTime nextRefresh;
};
QByteArray statusLine(const SourceStatus& status);

// Why a symbol has no quote, in plain text around the names (of files, of sources) that the page
// sets as code: lead, the names separated by ", ", tail.
struct NoQuoteReason {
    QByteArray lead;
    QByteArrayList names;
    QByteArray tail;
};

class QuoteSource {
public:
    virtual ~QuoteSource() = default;

    // Runs ready once the source is as current as a short look can make it (a request is
    // answered then); not at all when context is gone by then. The market is always current.
    virtual void whenCurrent(QObject* context, std::function<void()> ready) {
        Q_UNUSED(context);
        ready();
    }

    // The quote of a symbol (upper case); none when the source has no quote for it, and then
    // the symbol has no row on the quote pages.
    virtual std::optional<Quote> quote(const QByteArray& symbol, const QDateTime& now) const = 0;
    // The details of a symbol that has a quote.
    virtual std::optional<DetailsContent> details(const QByteArray& symbol, const QDateTime& now) const = 0;

    // The quote pages' plain sentences under the heading and after the table. The first is
    // read by the scanners' marker search: no "sym" and no "colum" in it.
    virtual QByteArray pageIntro() const = 0;
    virtual QByteArray pageFootnote() const = 0;
    // What follows "There is no quote for SYM." on the page of a symbol without one.
    virtual NoQuoteReason noQuoteReason() const = 0;
    // The status page: one statusLine() per source.
    virtual QByteArray statusText(const QDateTime& now) const = 0;

    // The store that keeps this source's prices and charts them; none under --no-history.
    virtual void keepHistory(std::shared_ptr<HistoryStore> store) { historyStore_ = std::move(store); }
    const HistoryStore* history() const { return historyStore_.get(); }
    // GET /history's answer when there is no store.
    virtual QByteArray historyAbsence() const {
        return "No stored history: this server keeps none (--no-history, or its history file could not be used)";
    }

protected:
    std::shared_ptr<HistoryStore> historyStore_;
};

// The simulated market as a source of quotes.
class MarketSource : public QuoteSource {
public:
    explicit MarketSource(quint64 seed) : model_(seed) {}

    std::optional<Quote> quote(const QByteArray& symbol, const QDateTime& now) const override;
    std::optional<DetailsContent> details(const QByteArray& symbol, const QDateTime& now) const override;
    QByteArray pageIntro() const override;
    QByteArray pageFootnote() const override;
    NoQuoteReason noQuoteReason() const override;
    QByteArray statusText(const QDateTime& now) const override;
    QByteArray historyAbsence() const override { return "No stored history for the simulated market"; }

private:
    MarketModel model_;
};
