#include "quote_feed.h"

#include "text_format.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int LookIntervalMs = 200;
// A file modified this recently may be written again within the file system clock's tick,
// leaving the same time and size: it is read again at each look until it is older.
constexpr qint64 RecentMs = 1000;
// A writer that truncates the file and then fills it leaves it empty for a moment: an empty
// file counts as one only once it has stayed empty this long.
constexpr qint64 EmptyGraceMs = 1000;
// Each symbol's chart keeps its latest prices, at most this many.
constexpr qsizetype MaxSeenPrices = 2000;

QString symbolCount(qsizetype count) {
    return count == 1 ? QString("1 symbol") : QString::number(count) + " symbols";
}

QByteArray clockTime(const QDateTime& moment) {
    const QTime time = MarketModel::marketTime(moment).time();
    QByteArray text = formatTradeTime(time);
    return text.insert(text.size() - 2, ':' + QByteArray::number(time.second()).rightJustified(2, '0'));
}

} // namespace

bool QuoteFeed::FileState::operator==(const FileState& other) const {
    return error == other.error && device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

QuoteFeed::FileState QuoteFeed::stateOf(const QString& path) {
    struct stat info {};
    FileState state;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        state.error = errno;
        return state;
    }
    state.error = 0;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    state.size = info.st_size;
    state.modified = info.st_mtim;
    return state;
}

QuoteFeed::QuoteFeed(QString path) : path_(std::move(path)), fileName_(QFileInfo(path_).fileName().toUtf8()) {
    refresh();
    timer_.setInterval(LookIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { refresh(); });
    timer_.start();
}

void QuoteFeed::refresh() {
    const FileState state = stateOf(path_);
    if (state == seen_ && !lookAgain_)
        return;
    seen_ = state;
    if (state.error != 0) {
        lookAgain_ = false;
        unusable(QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(state.error))));
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 modifiedMs = qint64(state.modified.tv_sec) * 1000 + state.modified.tv_nsec / 1000000;
    lookAgain_ = now.toMSecsSinceEpoch() - modifiedMs < RecentMs;
    read(now);
}

void QuoteFeed::read(const QDateTime& now) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        unusable("cannot be read (" + file.errorString() + ')');
        return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() && everUsable_) {
        if (!emptySince_.isValid())
            emptySince_ = now;
        if (emptySince_.msecsTo(now) < EmptyGraceMs) {
            lookAgain_ = true;
            return;
        }
    } else {
        emptySince_ = QDateTime();
    }
    if (haveRead_ && bytes == readBytes_) {
        if (!readBytesUsable_) {
            unusable(readProblem_);
        } else if (!problem_.isEmpty()) {
            problem_.clear();
            say(path_ + ": can be read again: " + symbolCount(quotes_.size()));
        }
        return;
    }
    haveRead_ = true;
    readBytes_ = bytes;

    const FeedContent content = parseQuoteFeed(bytes);
    QSet<QByteArray> skipped;
    for (const FeedLineProblem& problem : content.skipped) {
        skipped.insert(problem.text);
        if (!skippedLines_.contains(problem.text))
            say(QStringLiteral("%1:%2: line skipped: %3").arg(path_).arg(problem.line).arg(problem.reason));
    }
    // A file that cannot be used at all does not make the lines warned about new again.
    if (content.fatal.isEmpty())
        skippedLines_ = skipped;
    else
        skippedLines_.unite(skipped);
    readBytesUsable_ = content.fatal.isEmpty();
    readProblem_ = content.fatal;
    if (!readBytesUsable_) {
        unusable(content.fatal);
        return;
    }
    use(content, now);
}

void QuoteFeed::use(const FeedContent& content, const QDateTime& now) {
    QHash<QByteArray, Quote> quotes;
    quotes.reserve(content.quotes.size());
    for (const Quote& q : content.quotes) {
        quotes.insert(q.symbol, q);
        QList<SeenPrice>& seen = seenPrices_[q.symbol];
        if (seen.isEmpty() || seen.constLast().cents != q.priceCents) {
            seen.append({now, q.priceCents});
            if (seen.size() > MaxSeenPrices)
                seen.removeFirst();
        }
    }
    quotes_ = std::move(quotes);
    usedAt_ = now;
    const QString symbols = symbolCount(quotes_.size());
    if (!everUsable_)
        say("quotes from " + path_ + ": " + symbols);
    else if (!problem_.isEmpty())
        say(path_ + ": can be read again: " + symbols);
    everUsable_ = true;
    problem_.clear();
}

void QuoteFeed::unusable(const QString& problem) {
    if (problem == problem_)
        return;
    problem_ = problem;
    say(path_ + ": " + problem +
        (everUsable_ ? "; the last good prices stay until it can be read" : "; no quotes until it can be read"));
}

void QuoteFeed::say(const QString& text) const {
    std::fprintf(stderr, "tickwell-quoted: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

std::optional<Quote> QuoteFeed::quote(const QByteArray& symbol, const QDateTime&) const {
    const auto found = quotes_.constFind(symbol);
    if (found == quotes_.cend())
        return std::nullopt;
    return *found;
}

std::optional<DetailsContent> QuoteFeed::details(const QByteArray& symbol, const QDateTime&) const {
    const auto found = quotes_.constFind(symbol);
    if (found == quotes_.cend())
        return std::nullopt;
    DetailsContent content;
    const Quote& q = content.quote = *found;
    content.asOf = q.tradeState == TradeState::Traded ? "As of " + formatTradeTime(q.tradeTime) + " ET"
                                                      : QByteArray("The time of the last trade is not given");

    const QList<SeenPrice> seen = seenPrices_.value(symbol);
    if (seen.size() < 2) {
        content.chart = "<p class=\"history\">No price history yet: the chart starts when the feed gives " +
                        htmlEscape(symbol) + " a second price.</p>\n";
    } else {
        const QDateTime since = MarketModel::marketTime(seen.constFirst().at);
        content.chart = timeChartSvg(seen,
                                     symbol + ": prices read from the feed since " + formatTradeTime(since.time()) +
                                         " ET, " + since.date().toString("MMMM d").toLatin1(),
                                     q.direction);
        content.rangeLabel = "Range seen";
        content.lowCents = content.highCents = seen.constFirst().cents;
        for (const SeenPrice& price : seen) {
            content.lowCents = std::min(content.lowCents, price.cents);
            content.highCents = std::max(content.highCents, price.cents);
        }
    }
    content.note =
        "Prices from " + fileName_ + ", read again whenever it changes; last read at " + clockTime(usedAt_) + " ET.";
    return content;
}

QByteArray QuoteFeed::pageIntro() const {
    return "Tickwell quote server: quotes from a feed file, read again whenever it changes.";
}

QByteArray QuoteFeed::pageFootnote() const {
    return "Quotes come from a feed file. Symbols not in it have no row.";
}

QByteArray QuoteFeed::unknownSymbolHtml() const {
    return "It is not in the quote feed <code>" + htmlEscape(fileName_) + "</code>.";
}
