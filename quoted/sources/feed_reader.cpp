#include "sources/feed_reader.h"

#include "sources/feed_messages.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using feed_reading::MaxChartPrices;
using feed_reading::RecentMs;

namespace {

constexpr int LookIntervalMs = 200;
// A writer that truncates the file and then fills it leaves it empty for a moment: an empty
// file counts as one only once it has stayed empty this long.
constexpr qint64 EmptyGraceMs = 1000;
// A file is read in these pieces, up to these bounds; beyond them it is not used.
constexpr qsizetype ReadPieceBytes = 1 << 20;
constexpr qint64 MaxFileBytes = qint64(512) << 20;
constexpr qint64 MaxReadMs = 10000;

// Frees old prices here, not on the thread that answers pages: a million rows take a while.
void release(std::vector<std::shared_ptr<const FeedSnapshot>>& retired) {
    retired.clear();
}

} // namespace

QString notRegular(mode_t mode) {
    const char* kind = S_ISFIFO(mode)                   ? "a FIFO"
                       : S_ISDIR(mode)                  ? "a directory"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "not a file";
    return QStringLiteral("is %1, not a regular file").arg(kind);
}

FileState fileStateOf(const QString& path) {
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

FeedReader::FeedReader(QString path, FeedFormat format, QString label, Deliver deliver)
    : path_(std::move(path)), format_(std::move(format)), label_(std::move(label)), deliver_(std::move(deliver)) {}

FeedReader::~FeedReader() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void FeedReader::start() {
    lookOnce(0);
    thread_ = std::thread([this] { run(); });
}

void FeedReader::retire(std::shared_ptr<const FeedSnapshot> snapshot) {
    {
        const std::lock_guard lock(mutex_);
        retired_.push_back(std::move(snapshot));
    }
    wake_.notify_one();
}

quint64 FeedReader::lookNow() {
    quint64 look;
    {
        const std::lock_guard lock(mutex_);
        look = ++looksAsked_;
    }
    wake_.notify_one();
    return look;
}

void FeedReader::run() {
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

void FeedReader::lookOnce(quint64 look) {
    published_.reset();
    prices_.clear();
    const FileState state = fileStateOf(path_);
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

void FeedReader::read(const QDateTime& now) {
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
bool FeedReader::readAll(int fd, const QElapsedTimer& clock, size_t* hash, qint64* total, FeedParser* parser) {
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

void FeedReader::use(FeedTable&& table, const QDateTime& now) {
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

void FeedReader::unusable(const QString& problem) {
    if (problem == problem_)
        return;
    problem_ = problem;
    sayOnStandardError(
        label_ + ": " + problem +
        (everUsable_ ? "; the last good prices stay until it can be read" : "; no quotes until it can be read"));
}
