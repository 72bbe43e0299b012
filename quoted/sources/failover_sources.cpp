#include "sources/failover_sources.h"

#include "market/market_clock.h"
#include "sources/command_fetch.h"
#include "sources/feed_messages.h"
#include "sources/history_feed.h"
#include "sources/url_fetch.h"

#include <QSet>

#include <algorithm>

namespace {

// A feed this large takes long enough to parse to hold up requests: it is parsed aside.
constexpr qsizetype ParseAsideBytes = qsizetype(1) << 20;
// Requests wait this long at most for the first refreshes after a start.
constexpr int FirstRefreshWaitMs = 5000;

QByteArray kindName(SourceKind kind) {
    return kind == SourceKind::File ? "file" : (kind == SourceKind::Command ? "command" : "url");
}

} // namespace

struct FailoverSources::Source {
    SourceSettings settings;
    std::unique_ptr<QuoteFeed> file;    // a file source
    std::unique_ptr<SourceFetch> fetch; // a command or url source
    QTimer timer;
    std::shared_ptr<const FeedTable> table; // a command or url source's last good prices
    QDateTime tableAt;                      // when they came
    QDateTime lastSuccess;                  // of the last refresh that brought prices or kept them
    QString lastError;                      // of the last refresh, if it failed
    QDateTime nextRefresh;
    bool failing = false; // said so, and not yet that it works again
    bool firstRefreshEnded = false;
    quint64 runs = 0;           // refreshes that brought a feed to parse
    quint64 lastParsed = 0;     // the latest of them parsed: an older one parsed after it is dropped
    QSet<quint64> skippedLines; // lines of the last feed that could not be read, as they stand

    const FeedTable* prices() const {
        if (!file)
            return table.get();
        const auto snapshot = file->snapshot(); // the feed keeps it: the table outlives this call
        return snapshot ? &snapshot->table : nullptr;
    }
    QDateTime pricesAt() const { return file ? file->snapshot()->readAt : tableAt; }
    // A file is fresh while it reads cleanly; any other source for stale_after after a success.
    bool fresh(const QDateTime& now) const {
        if (file)
            return file->snapshot() && file->problem().isEmpty();
        return lastSuccess.isValid() && lastSuccess.msecsTo(now) < qint64(settings.staleAfterSeconds) * 1000;
    }
    QString label() const { return '[' + settings.name + ']'; }
};

FailoverSources::FailoverSources(const QList<SourceSettings>& sources) {
    for (const SourceSettings& settings : sources) {
        auto source = std::make_unique<Source>();
        source->settings = settings;
        if (settings.kind == SourceKind::File) {
            FeedFormat format{settings.columns, true};
            source->file =
                std::make_unique<QuoteFeed>(settings.target, format, source->label() + ' ' + settings.target);
        } else {
            source->fetch = settings.kind == SourceKind::Command ? makeCommandFetch(settings, &mailbox_)
                                                                 : makeUrlFetch(settings, &mailbox_);
            ++firstRefreshesLeft_;
        }
        sources_.push_back(std::move(source));
    }
    firstRefreshDeadline_.setRemainingTime(FirstRefreshWaitMs);
    firstRefreshTimer_.setSingleShot(true);
    QObject::connect(&firstRefreshTimer_, &QTimer::timeout, &mailbox_, [this] { releaseHeld(); });
    firstRefreshTimer_.start(FirstRefreshWaitMs);

    for (const auto& owned : sources_) {
        Source* source = owned.get();
        if (!source->fetch)
            continue;
        QObject::connect(source->fetch.get(), &SourceFetch::done, &mailbox_,
                         [this, source](const FetchOutcome& outcome) { refreshed(*source, outcome); });
        auto refresh = [source] {
            source->nextRefresh = QDateTime::currentDateTimeUtc().addSecs(source->settings.everySeconds);
            source->fetch->start();
        };
        source->timer.setInterval(source->settings.everySeconds * 1000);
        QObject::connect(&source->timer, &QTimer::timeout, &mailbox_, refresh);
        source->timer.start();
        refresh();
    }
}

FailoverSources::~FailoverSources() {
    parsers_.clear();
    parsers_.waitForDone(); // a feed being parsed reports to the mailbox, which must still be there
}

void FailoverSources::refreshed(Source& source, const FetchOutcome& outcome) {
    if (outcome.kind == FetchOutcome::Kind::Failed)
        return failed(source, outcome.error);
    if (outcome.kind == FetchOutcome::Kind::Unchanged) {
        source.lastSuccess = QDateTime::currentDateTimeUtc();
        source.lastError.clear();
        if (source.failing && source.table)
            sayOnStandardError(source.label() + " works again: " + symbolCount(source.table->size()));
        source.failing = false;
        return firstRefreshEnded(source);
    }
    const quint64 run = ++source.runs;
    const FeedFormat format{source.settings.columns, true};
    if (outcome.csv.size() < ParseAsideBytes)
        return parsed(source, run, parseQuoteFeed(outcome.csv, format));
    parsers_.start([this, &source, run, format, csv = outcome.csv] {
        auto content = std::make_shared<FeedContent>(parseQuoteFeed(csv, format));
        QMetaObject::invokeMethod(
            &mailbox_, [this, &source, run, content] { parsed(source, run, std::move(*content)); },
            Qt::QueuedConnection);
    });
}

void FailoverSources::parsed(Source& source, quint64 run, FeedContent content) {
    if (run < source.lastParsed)
        return;
    source.lastParsed = run;
    QSet<quint64> skipped;
    for (const FeedLineProblem& problem : content.skipped) {
        skipped.insert(problem.textHash);
        if (!source.skippedLines.contains(problem.textHash))
            sayOnStandardError(
                QStringLiteral("%1 line %2 skipped: %3").arg(source.label()).arg(problem.line).arg(problem.reason));
    }
    source.skippedLines = skipped;
    if (!content.fatal.isEmpty())
        return failed(source, (source.settings.kind == SourceKind::Command ? "output: " : "answer: ") + content.fatal);

    const QString symbols = symbolCount(content.table.size());
    if (source.failing)
        sayOnStandardError(source.label() + " works again: " + symbols);
    else if (!source.table)
        sayOnStandardError("quotes from " + source.label() + ": " + symbols);
    source.table = std::make_shared<const FeedTable>(std::move(content.table));
    source.tableAt = source.lastSuccess = QDateTime::currentDateTimeUtc();
    source.lastError.clear();
    source.failing = false;
    offerServed(source, source.table, source.tableAt);
    firstRefreshEnded(source);
}

void FailoverSources::keepHistory(std::shared_ptr<HistoryStore> store) {
    QuoteSource::keepHistory(std::move(store));
    for (const auto& owned : sources_) {
        const Source* source = owned.get();
        if (source->file) {
            source->file->whenNewPrices([this, source](const std::shared_ptr<const FeedSnapshot>& prices) {
                offerServed(*source, std::shared_ptr<const FeedTable>(prices, &prices->table), prices->readAt);
            });
        } else if (source->table) {
            offerServed(*source, source->table, source->tableAt);
        }
    }
}

void FailoverSources::offerServed(const Source& source, std::shared_ptr<const FeedTable> table, const QDateTime& at) {
    if (!historyStore_ || !table)
        return;
    // A symbol that a fresh source before this one holds is that one's to keep.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<const FeedTable*> before;
    for (const auto& other : sources_) {
        if (other.get() == &source)
            break;
        if (other->fresh(now) && other->prices())
            before.push_back(other->prices());
    }
    if (before.empty())
        return offerFeedPrices(*historyStore_, source.settings.name.toUtf8(), std::move(table), at);
    std::vector<quint64> keys;
    for (qsizetype i = 0; i < table->size(); ++i) {
        const quint64 key = table->byKey(i).key;
        if (std::none_of(before.cbegin(), before.cend(), [key](const FeedTable* t) { return t->find(key); }))
            keys.push_back(key);
    }
    offerFeedPrices(*historyStore_, source.settings.name.toUtf8(), std::move(table), at, std::move(keys));
}

void FailoverSources::failed(Source& source, const QString& why) {
    source.lastError = why;
    if (!source.failing) {
        sayOnStandardError(source.label() + " fails: " + why +
                           (source.table ? "; its last good prices stay" : "; no quotes from it until it works"));
    }
    source.failing = true;
    firstRefreshEnded(source);
}

void FailoverSources::firstRefreshEnded(Source& source) {
    if (source.firstRefreshEnded)
        return;
    source.firstRefreshEnded = true;
    if (--firstRefreshesLeft_ == 0)
        releaseHeld();
}

void FailoverSources::releaseHeld() {
    firstRefreshTimer_.stop();
    const QList<Held> held = std::exchange(held_, {});
    for (const Held& request : held) {
        if (request.context)
            lookAtFiles(request.context, request.ready);
    }
}

void FailoverSources::whenCurrent(QObject* context, std::function<void()> ready) {
    if (firstRefreshesLeft_ > 0 && !firstRefreshDeadline_.hasExpired()) {
        held_.append({context, std::move(ready)});
        return;
    }
    lookAtFiles(context, std::move(ready));
}

void FailoverSources::lookAtFiles(QObject* context, std::function<void()> ready) {
    std::vector<QuoteFeed*> files;
    for (const auto& source : sources_) {
        if (source->file)
            files.push_back(source->file.get());
    }
    if (files.empty())
        return ready();
    auto left = std::make_shared<size_t>(files.size());
    auto whenAll = std::make_shared<std::function<void()>>(std::move(ready));
    for (QuoteFeed* file : files) {
        file->whenCurrent(context, [left, whenAll] {
            if (--*left == 0)
                (*whenAll)();
        });
    }
}

const FailoverSources::Source* FailoverSources::serving(const QByteArray& symbol, const QDateTime& now) const {
    const quint64 key = symbolKey(symbol);
    const Source* latest = nullptr;
    for (const auto& source : sources_) {
        const FeedTable* prices = source->prices();
        if (!prices || !prices->find(key))
            continue;
        if (source->fresh(now))
            return source.get();
        if (!latest || source->pricesAt() > latest->pricesAt())
            latest = source.get();
    }
    return latest;
}

std::optional<Quote> FailoverSources::quote(const QByteArray& symbol, const QDateTime& now) const {
    const Source* source = serving(symbol, now);
    return source ? source->prices()->quote(symbol) : std::nullopt;
}

std::optional<DetailsContent> FailoverSources::details(const QByteArray& symbol, const QDateTime& now) const {
    const Source* source = serving(symbol, now);
    if (!source)
        return std::nullopt;
    DetailsContent content;
    const Quote& q = content.quote = *source->prices()->quote(symbol);
    content.asOf = q.tradeState == TradeState::Traded ? "As of " + formatTradeTime(q.tradeTime) + " ET"
                                                      : QByteArray("The time of the last trade is not given");
    if (historyStore_)
        chartFromHistory(content, *historyStore_, symbol, now);
    else
        content.chart.whyNone =
            "No chart: prices from a sources file are served as their sources give them, without a history.";
    const QDateTime at = source->pricesAt();
    content.note =
        "Price from the " + kindName(source->settings.kind) + " source \"" + source->settings.name.toUtf8() +
        "\", taken at " + marketClockTime(at) + " ET, " +
        MarketModel::marketTime(at).date().toString("MMMM d").toLatin1() +
        (source->fresh(now) ? QByteArray(".")
                            : "; no source holding " + symbol + " is fresh, so this is its last known price.");
    return content;
}

QByteArray FailoverSources::pageIntro() const {
    return "Tickwell quote server: quotes from the sources of a sources file, the first fresh one first.";
}

QByteArray FailoverSources::pageFootnote() const {
    return "Quotes come from the sources in their order in the sources file. Symbols none of them holds have no row.";
}

NoQuoteReason FailoverSources::noQuoteReason() const {
    QByteArrayList names;
    for (const auto& source : sources_)
        names.append(source->settings.name.toUtf8());
    return {"None of the sources ", names, " holds it."};
}

QByteArray FailoverSources::statusText(const QDateTime& now) const {
    QByteArray text;
    for (const auto& source : sources_) {
        const FeedTable* prices = source->prices();
        text += statusLine({source->settings.name, kindName(source->settings.kind),
                            prices ? (source->fresh(now) ? "fresh" : "stale") : "empty", prices ? prices->size() : 0,
                            source->file ? (prices ? source->pricesAt() : QDateTime()) : source->lastSuccess,
                            source->file ? source->file->problem() : source->lastError, source->nextRefresh});
    }
    return text;
}
