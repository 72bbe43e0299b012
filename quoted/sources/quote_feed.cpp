#include "sources/quote_feed.h"

#include "market/market_clock.h"
#include "sources/history_feed.h"

#include <QFileInfo>
#include <QThread>
#include <QTimeZone>

#include <algorithm>

namespace {

// How long a request waits for a look at a changed file before the last prices answer it.
constexpr int ChangeWaitMs = 30;
// Each symbol's chart keeps its latest prices, at most this many.
constexpr qsizetype MaxSeenPrices = 2000;
// Prices put in the charts per turn of the event loop, so that pages go on in between.
constexpr size_t RecordSlice = 2000;

} // namespace

using feed_reading::MaxChartPrices;
using feed_reading::RecentMs;

bool QuoteFeed::canServe(const QString& path, QString* why) {
    const FileState state = fileStateOf(path);
    if (state.error != 0 || S_ISREG(state.mode))
        return true;
    *why = notRegular(state.mode);
    return false;
}

QuoteFeed::QuoteFeed(QString path, FeedFormat format, QString label)
    : path_(std::move(path)), fileName_(QFileInfo(path_).fileName().toUtf8()) {
    waitTimer_.setSingleShot(true);
    QObject::connect(&waitTimer_, &QTimer::timeout, &mailbox_, [this] { releaseWaiters(lookDone_); });
    recordTimer_.setSingleShot(true);
    QObject::connect(&recordTimer_, &QTimer::timeout, &mailbox_, [this] { recordSomePrices(); });
    // The first look runs here, before start() returns; every later one on the reader's thread.
    auto deliver = [this](quint64 look, std::shared_ptr<const FeedSnapshot> snapshot, std::vector<PriceSeen> prices,
                          QString problem) {
        if (QThread::currentThread() == mailbox_.thread()) {
            received(look, std::move(snapshot), std::move(prices), std::move(problem));
            return;
        }
        auto parcel = std::make_shared<std::pair<std::shared_ptr<const FeedSnapshot>, std::vector<PriceSeen>>>(
            std::move(snapshot), std::move(prices));
        QMetaObject::invokeMethod(
            &mailbox_,
            [this, look, parcel, problem] {
                received(look, std::move(parcel->first), std::move(parcel->second), problem);
            },
            Qt::QueuedConnection);
    };
    if (label.isEmpty())
        label = path_;
    reader_ = std::make_unique<FeedReader>(path_, std::move(format), std::move(label), std::move(deliver));
    reader_->start();
    lastSeenState_ = fileStateOf(path_).digest();
}

QuoteFeed::~QuoteFeed() {
    reader_.reset(); // no look runs once the rest goes
}

void QuoteFeed::whenCurrent(QObject* context, std::function<void()> ready) {
    // One stat call: a file unchanged since the last look, and not written a moment ago, is
    // what the pages show already.
    const FileState state = fileStateOf(path_);
    const bool recent = state.error == 0 && QDateTime::currentMSecsSinceEpoch() - state.modifiedMs() < RecentMs;
    // A file written a moment ago is looked at again, but when a look is under way already,
    // what it finds is what this look would.
    const bool changed = state.digest() != lastSeenState_;
    if (!changed && (!recent || reader_->looking()) && waiters_.isEmpty()) {
        ready();
        return;
    }
    lastSeenState_ = state.digest();
    waiters_.append({context, std::move(ready), reader_->lookNow(), QDeadlineTimer(ChangeWaitMs)});
    if (!waitTimer_.isActive())
        waitTimer_.start(ChangeWaitMs);
}

void QuoteFeed::whenNewPrices(std::function<void(const std::shared_ptr<const FeedSnapshot>&)> hook) {
    newPrices_ = std::move(hook);
    if (newPrices_ && current_)
        newPrices_(current_);
}

void QuoteFeed::keepHistory(std::shared_ptr<HistoryStore> store) {
    QuoteSource::keepHistory(store);
    whenNewPrices([this](const std::shared_ptr<const FeedSnapshot>& prices) {
        offerFeedPrices(*historyStore_, fileName_, std::shared_ptr<const FeedTable>(prices, &prices->table),
                        prices->readAt);
    });
}

void QuoteFeed::received(quint64 lookDone, std::shared_ptr<const FeedSnapshot> snapshot, std::vector<PriceSeen> prices,
                         QString problem) {
    problem_ = std::move(problem);
    if (snapshot) {
        std::swap(current_, snapshot);
        if (snapshot)
            reader_->retire(std::move(snapshot));
        if (newPrices_)
            newPrices_(current_);
    }
    if (!prices.empty() && !historyStore_) { // the stored history charts the prices instead
        toRecord_.erase(toRecord_.begin(), toRecord_.begin() + qsizetype(recorded_));
        recorded_ = 0;
        toRecord_.insert(toRecord_.end(), prices.begin(), prices.end());
        // Prices beyond the newest that all charts hold would be dropped again at once.
        if (toRecord_.size() > size_t(MaxChartPrices))
            toRecord_.erase(toRecord_.begin(), toRecord_.end() - MaxChartPrices);
        recordSomePrices(); // a small edit is in the chart before the waiting pages are answered
    }
    lookDone_ = std::max(lookDone_, lookDone);
    releaseWaiters(lookDone_);
}

void QuoteFeed::releaseWaiters(quint64 lookDone) {
    QList<Waiter> due;
    for (auto it = waiters_.begin(); it != waiters_.end();) {
        if (it->look <= lookDone || it->deadline.hasExpired()) {
            due.append(std::move(*it));
            it = waiters_.erase(it);
        } else {
            ++it;
        }
    }
    if (!waiters_.isEmpty())
        waitTimer_.start(int(std::max<qint64>(1, waiters_.constFirst().deadline.remainingTime())));
    for (const Waiter& waiter : due) {
        if (waiter.context)
            waiter.ready();
    }
}

void QuoteFeed::recordSomePrices() {
    const size_t end = std::min(recorded_ + RecordSlice, toRecord_.size());
    for (; recorded_ < end; ++recorded_)
        record(toRecord_[recorded_]);
    if (recorded_ < toRecord_.size()) {
        recordTimer_.start(0);
    } else {
        std::vector<PriceSeen>().swap(toRecord_);
        recorded_ = 0;
    }
}

void QuoteFeed::record(const PriceSeen& price) {
    History& history = history_[price.key];
    if (!history.prices.empty() && history.prices.back().second == price.cents)
        return; // the same price again (read while an earlier batch was still being recorded)
    history.prices.emplace_back(price.atMs, price.cents);
    ++pricesKept_;
    if (qsizetype(history.prices.size()) > MaxSeenPrices) {
        history.prices.erase(history.prices.begin());
        --pricesKept_;
    }
    history.updated = ++updateCount_;
    updates_.emplace_back(history.updated, price.key);
    while (pricesKept_ > MaxChartPrices) {
        const auto [updated, key] = updates_.front();
        updates_.pop_front();
        const auto oldest = history_.find(key);
        if (oldest != history_.end() && oldest->second.updated == updated) { // not updated since
            pricesKept_ -= qsizetype(oldest->second.prices.size());
            history_.erase(oldest);
        }
    }
    // Entries of symbols updated again since, or gone, are dropped now and then.
    if (updates_.size() > size_t(2 * history_.size() + 1024)) {
        std::deque<std::pair<quint64, quint64>> live;
        for (const auto& [updated, key] : updates_) {
            const auto it = history_.find(key);
            if (it != history_.end() && it->second.updated == updated)
                live.emplace_back(updated, key);
        }
        updates_.swap(live);
    }
}

std::optional<Quote> QuoteFeed::quote(const QByteArray& symbol, const QDateTime&) const {
    return current_ ? current_->table.quote(symbol) : std::nullopt;
}

std::optional<DetailsContent> QuoteFeed::details(const QByteArray& symbol, const QDateTime& now) const {
    const std::optional<Quote> found = quote(symbol, {});
    if (!found)
        return std::nullopt;
    DetailsContent content;
    const Quote& q = content.quote = *found;
    content.asOf = q.tradeState == TradeState::Traded ? "As of " + formatTradeTime(q.tradeTime) + " ET"
                                                      : QByteArray("The time of the last trade is not given");
    content.note = "Prices from " + fileName_ + ", read again whenever it changes; last read at " +
                   marketClockTime(current_->readAt) + " ET.";
    if (historyStore_) {
        chartFromHistory(content, *historyStore_, symbol, now);
        return content;
    }

    QList<SeenPrice> seen;
    if (const auto history = history_.find(symbolKey(symbol)); history != history_.end()) {
        for (const auto& [atMs, cents] : history->second.prices)
            seen.append({QDateTime::fromMSecsSinceEpoch(atMs, QTimeZone::utc()), cents});
    }
    if (seen.size() < 2) {
        content.chart.whyNone =
            "No price history yet: the chart starts when the feed gives " + symbol + " a second price.";
    } else {
        const QDateTime since = MarketModel::marketTime(seen.constFirst().at);
        content.chart.seenPrices = seen;
        content.chart.title = symbol + ": prices read from the feed since " + formatTradeTime(since.time()) + " ET, " +
                              since.date().toString("MMMM d").toLatin1();
        content.rangeLabel = "Range seen";
        content.lowCents = content.highCents = seen.constFirst().cents;
        for (const SeenPrice& price : seen) {
            content.lowCents = std::min(content.lowCents, price.cents);
            content.highCents = std::max(content.highCents, price.cents);
        }
    }
    return content;
}

QByteArray QuoteFeed::pageIntro() const {
    return "Tickwell quote server: quotes from a feed file, read again whenever it changes.";
}

QByteArray QuoteFeed::pageFootnote() const {
    return "Quotes come from a feed file. Symbols not in it have no row.";
}

NoQuoteReason QuoteFeed::noQuoteReason() const {
    return {"It is not in the quote feed ", {fileName_}, "."};
}

QByteArray QuoteFeed::statusText(const QDateTime&) const {
    return statusLine(
        {QString::fromUtf8(fileName_), "file", current_ ? (problem_.isEmpty() ? "fresh" : "stale") : "empty",
         current_ ? current_->table.size() : 0, current_ ? current_->readAt : QDateTime(), problem_, QDateTime()});
}
