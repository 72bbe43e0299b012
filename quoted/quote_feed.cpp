#include "quote_feed.h"

#include "sources/history_feed.h"
#include "text_format.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimeZone>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int LookIntervalMs = 200;
// A file modified this recently may be written again within the file system clock's tick,
// leaving the same time and size: it is read again at each look until it is older.
constexpr qint64 RecentMs = 1000;
// A writer that truncates the file and then fills it leaves it empty for a moment: an empty
// file counts as one only once it has stayed empty this long.
constexpr qint64 EmptyGraceMs = 1000;
// How long a request waits for a look at a changed file before the last prices answer it.
constexpr int ChangeWaitMs = 30;
// A file is read in these pieces, up to these bounds; beyond them it is not used.
constexpr qsizetype ReadPieceBytes = 1 << 20;
constexpr qint64 MaxFileBytes = qint64(512) << 20;
constexpr qint64 MaxReadMs = 10000;
// Each symbol's chart keeps its latest prices, at most this many, and all charts this many.
constexpr qsizetype MaxSeenPrices = 2000;
constexpr qsizetype MaxChartPrices = 200000;
// Prices put in the charts per turn of the event loop, so that pages go on in between.
constexpr size_t RecordSlice = 2000;

QString notRegular(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    const char* kind = S_ISFIFO(mode)                   ? "a FIFO"
                       : S_ISDIR(mode)                  ? "a directory"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "not a file";
    return QStringLiteral("is %1, not a regular file").arg(kind);
}

struct FileState {
    int error = -1; // errno of the last look; 0 when the file was there
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileState& o) const {
        return error == o.error && device == o.device && inode == o.inode && mode == o.mode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
    qint64 modifiedMs() const { return qint64(modified.tv_sec) * 1000 + modified.tv_nsec / 1000000; }
    // One number for all of it, for a quick look whether anything changed.
    qint64 digest() const {
        return qint64(qHashMulti(0, error, device, inode, mode, size, modified.tv_sec, modified.tv_nsec));
    }
};

FileState stateOf(const QString& path) {
    struct stat info {};
    FileState state;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        state.error = errno;
        return state;
    }
    state.error = 0;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    state.mode = info.st_mode;
    state.size = info.st_size;
    state.modified = info.st_mtim;
    return state;
}

} // namespace

void sayOnStandardError(const QString& text) {
    std::fprintf(stderr, "tickwell-quoted: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

QString symbolCount(qsizetype count) {
    return count == 1 ? QString("1 symbol") : QString::number(count) + " symbols";
}

QByteArray marketClockTime(const QDateTime& moment) {
    const QTime time = MarketModel::marketTime(moment).time();
    QByteArray text = formatTradeTime(time);
    return text.insert(text.size() - 2, ':' + QByteArray::number(time.second()).rightJustified(2, '0'));
}

// Looks at the file and reads it on a thread of its own; says on standard error what goes
// wrong, and hands each new set of good prices to the feed.
class FeedReader {
public:
    using Deliver =
        std::function<void(quint64 look, std::shared_ptr<const FeedSnapshot>, std::vector<PriceSeen>, QString problem)>;

    FeedReader(QString path, FeedFormat format, QString label, Deliver deliver)
        : path_(std::move(path)), format_(std::move(format)), label_(std::move(label)), deliver_(std::move(deliver)) {}
    ~FeedReader() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }

    // The first look, on the caller's thread; then the thread looks on its own.
    void start() {
        lookOnce(0);
        thread_ = std::thread([this] { run(); });
    }

    // True while a look is under way.
    bool looking() const { return looking_; }
    // Lets an old set of prices go on this thread: a million rows take a while to free.
    void retire(std::shared_ptr<const FeedSnapshot> snapshot) {
        {
            const std::lock_guard lock(mutex_);
            retired_.push_back(std::move(snapshot));
        }
        wake_.notify_one();
    }

    // Asks for a look now; returns its number.
    quint64 lookNow() {
        quint64 look;
        {
            const std::lock_guard lock(mutex_);
            look = ++looksAsked_;
        }
        wake_.notify_one();
        return look;
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            const bool asked = wake_.wait_for(lock, std::chrono::milliseconds(LookIntervalMs), [this] {
                return stopping_ || looksAsked_ > looksDone_ || !retired_.empty();
            });
            if (stopping_)
                break;
            std::vector<std::shared_ptr<const FeedSnapshot>> retired;
            retired.swap(retired_);
            if (asked && looksAsked_ == looksDone_) { // only something to free
                lock.unlock();
                release(retired);
                lock.lock();
                continue;
            }
            const quint64 look = looksAsked_;
            looking_ = true;
            lock.unlock();
            release(retired);
            lookOnce(look);
            lock.lock();
            looking_ = false;
            looksDone_ = look;
        }
    }

    // Frees old prices here, not on the thread that answers pages: a million rows take a while.
    static void release(std::vector<std::shared_ptr<const FeedSnapshot>>& retired) { retired.clear(); }

    void lookOnce(quint64 look) {
        published_.reset();
        prices_.clear();
        const FileState state = stateOf(path_);
        if (!(state == seen_) || lookAgain_) {
            seen_ = state;
            lookAgain_ = false;
            const QDateTime now = QDateTime::currentDateTimeUtc();
            if (state.error != 0) {
                unusable(QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(state.error))));
            } else if (!S_ISREG(state.mode)) {
                unusable(notRegular(state.mode));
            } else {
                lookAgain_ = now.toMSecsSinceEpoch() - state.modifiedMs() < RecentMs;
                try {
                    read(now);
                } catch (const std::bad_alloc&) {
                    unusable("cannot be held in memory");
                }
            }
        }
        deliver_(look, std::move(published_), std::move(prices_), problem_);
    }

    void read(const QDateTime& now) {
        // O_NONBLOCK: should a FIFO take the file's place after the look, opening it does not wait.
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            unusable(QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        const struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{fd};
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            unusable(notRegular(info.st_mode));
            return;
        }
        if (info.st_size > MaxFileBytes) {
            unusable(QStringLiteral("is larger than %1 MB").arg(MaxFileBytes >> 20));
            return;
        }
        // First only the bytes' hash: a file read again unchanged (one written a moment ago is,
        // at every look) costs no parsing and no second set of prices.
        QElapsedTimer clock;
        clock.start();
        size_t hash = 0;
        qint64 total = 0;
        if (!readAll(fd, clock, &hash, &total, nullptr))
            return;
        const bool same = haveRead_ && hash == readHash_ && total == readBytes_;
        FeedParser parser(format_);
        if (!same && (::lseek(fd, 0, SEEK_SET) != 0 || !readAll(fd, clock, &hash, &total, &parser)))
            return;

        if (total == 0 && everUsable_) {
            if (!emptySince_.isValid())
                emptySince_ = now;
            if (emptySince_.msecsTo(now) < EmptyGraceMs) {
                lookAgain_ = true;
                return;
            }
        } else {
            emptySince_ = QDateTime();
        }
        if (same) {
            if (!readUsable_) {
                unusable(readProblem_);
            } else if (!problem_.isEmpty()) {
                problem_.clear();
                sayOnStandardError(label_ + ": can be read again: " + symbolCount(last_->table.size()));
            }
            return;
        }
        haveRead_ = true;
        readHash_ = hash;
        readBytes_ = total;

        FeedContent content = parser.finish();
        QSet<quint64> skipped;
        for (const FeedLineProblem& problem : content.skipped) {
            skipped.insert(problem.textHash);
            if (!skippedLines_.contains(problem.textHash))
                sayOnStandardError(
                    QStringLiteral("%1:%2: line skipped: %3").arg(label_).arg(problem.line).arg(problem.reason));
        }
        // A file that cannot be used at all does not make the lines warned about new again.
        if (content.fatal.isEmpty())
            skippedLines_ = skipped;
        else
            skippedLines_.unite(skipped);
        readUsable_ = content.fatal.isEmpty();
        readProblem_ = content.fatal;
        if (!readUsable_) {
            unusable(content.fatal);
            return;
        }
        use(std::move(content.table), now);
    }

    // The whole file through its hash (and the parser, if given), within the bounds of size
    // and time; false, said, when it cannot be read within them.
    bool readAll(int fd, const QElapsedTimer& clock, size_t* hash, qint64* total, FeedParser* parser) {
        QByteArray piece(ReadPieceBytes, Qt::Uninitialized);
        *hash = 0;
        *total = 0;
        while (true) {
            const ssize_t got = ::read(fd, piece.data(), size_t(piece.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                unusable(QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
                return false;
            }
            if (got == 0)
                return true;
            *total += got;
            if (*total > MaxFileBytes) {
                unusable(QStringLiteral("is larger than %1 MB").arg(MaxFileBytes >> 20));
                return false;
            }
            *hash = qHashBits(piece.constData(), size_t(got), *hash);
            if (parser)
                parser->feed(QByteArrayView(piece.constData(), got));
            if (clock.elapsed() > MaxReadMs) {
                unusable(QStringLiteral("takes longer than %1 s to read").arg(MaxReadMs / 1000));
                return false;
            }
        }
    }

    void use(FeedTable&& table, const QDateTime& now) {
        auto snapshot = std::make_shared<FeedSnapshot>(FeedSnapshot{std::move(table), now});
        // The prices that are new since the last good read: both tables run by key.
        const FeedTable* before = last_ ? &last_->table : nullptr;
        const FeedTable& after = snapshot->table;
        const qint64 atMs = now.toMSecsSinceEpoch();
        auto eachNewPrice = [&](auto&& take) {
            qsizetype b = 0;
            for (qsizetype a = 0; a < after.size(); ++a) {
                const FeedRow& row = after.byKey(a);
                while (before && b < before->size() && before->byKey(b).key < row.key)
                    ++b;
                if (!before || b >= before->size() || before->byKey(b).key != row.key ||
                    before->byKey(b).priceCents != row.priceCents)
                    take(row);
            }
        };
        // Only the last of them that the charts can hold in all: the others would go at once.
        qsizetype count = 0;
        eachNewPrice([&](const FeedRow&) { ++count; });
        qsizetype skip = std::max<qsizetype>(0, count - MaxChartPrices);
        prices_.reserve(size_t(count - skip));
        eachNewPrice([&](const FeedRow& row) {
            if (skip > 0)
                --skip;
            else
                prices_.push_back({row.key, row.priceCents, atMs});
        });
        const QString symbols = symbolCount(after.size());
        if (!everUsable_)
            sayOnStandardError("quotes from " + label_ + ": " + symbols);
        else if (!problem_.isEmpty())
            sayOnStandardError(label_ + ": can be read again: " + symbols);
        everUsable_ = true;
        problem_.clear();
        last_ = snapshot;
        published_ = std::move(snapshot);
    }

    void unusable(const QString& problem) {
        if (problem == problem_)
            return;
        problem_ = problem;
        sayOnStandardError(
            label_ + ": " + problem +
            (everUsable_ ? "; the last good prices stay until it can be read" : "; no quotes until it can be read"));
    }

    const QString path_;
    const FeedFormat format_;
    const QString label_;
    const Deliver deliver_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::atomic<bool> looking_ = false;
    std::vector<std::shared_ptr<const FeedSnapshot>> retired_;
    quint64 looksAsked_ = 0;
    quint64 looksDone_ = 0;

    // The rest belongs to the reading thread.
    FileState seen_;
    bool lookAgain_ = false; // the file was read in the same moment as it was written
    QDateTime emptySince_;   // when the file was first seen empty, while it stays so
    bool haveRead_ = false;
    size_t readHash_ = 0;
    qint64 readBytes_ = 0;
    bool readUsable_ = false;
    QString readProblem_;        // why the bytes read last cannot be used
    QSet<quint64> skippedLines_; // lines already warned about, as they stand
    std::shared_ptr<const FeedSnapshot> last_;
    bool everUsable_ = false;
    QString problem_; // what keeps the file from being used; empty when it is used
    std::shared_ptr<const FeedSnapshot> published_;
    std::vector<PriceSeen> prices_;
};

QString QuoteFeed::notRegularFile(const QString& path) {
    const FileState state = stateOf(path);
    return state.error == 0 ? notRegular(state.mode) : QString();
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
    lastSeenState_ = stateOf(path_).digest();
}

QuoteFeed::~QuoteFeed() {
    reader_.reset(); // no look runs once the rest goes
}

void QuoteFeed::whenCurrent(QObject* context, std::function<void()> ready) {
    // One stat call: a file unchanged since the last look, and not written a moment ago, is
    // what the pages show already.
    const FileState state = stateOf(path_);
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

QByteArray QuoteFeed::statusText(const QDateTime&) const {
    return statusLine(
        {QString::fromUtf8(fileName_), "file", current_ ? (problem_.isEmpty() ? "fresh" : "stale") : "empty",
         current_ ? current_->table.size() : 0, current_ ? current_->readAt : QDateTime(), problem_, QDateTime()});
}
