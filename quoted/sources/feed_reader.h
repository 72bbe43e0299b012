#pragma once
// Looks at a feed file and reads it on a thread of its own; says on standard error what goes
// wrong, and hands each new set of good prices to the feed.
#include "sources/feed_csv.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

struct FeedSnapshot {
    FeedTable table;
    QDateTime readAt;
};

struct PriceSeen {
    quint64 key;
    qint64 cents;
    qint64 atMs; // since the epoch
};

namespace feed_reading {

// A file modified this recently may be written again within the file system clock's tick,
// leaving the same time and size: it is read again at each look until it is older.
constexpr qint64 RecentMs = 1000;
// All charts together keep at most this many prices.
constexpr qsizetype MaxChartPrices = 200000;

} // namespace feed_reading

// A file as one stat call finds it.
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

FileState fileStateOf(const QString& path);
// Why a file of this mode, not a regular one, cannot serve as a feed ("is a FIFO, not a regular file").
QString notRegular(mode_t mode);

class FeedReader {
public:
    using Deliver =
        std::function<void(quint64 look, std::shared_ptr<const FeedSnapshot>, std::vector<PriceSeen>, QString problem)>;

    FeedReader(QString path, FeedFormat format, QString label, Deliver deliver);
    ~FeedReader();

    // The first look, on the caller's thread; then the thread looks on its own.
    void start();
    // True while a look is under way.
    bool looking() const { return looking_; }
    // Lets an old set of prices go on this thread: a million rows take a while to free.
    void retire(std::shared_ptr<const FeedSnapshot> snapshot);
    // Asks for a look now; returns its number.
    quint64 lookNow();

private:
    void run();
    void lookOnce(quint64 look);
    void read(const QDateTime& now);
    bool readAll(int fd, const QElapsedTimer& clock, size_t* hash, qint64* total, FeedParser* parser);
    void use(FeedTable&& table, const QDateTime& now);
    void unusable(const QString& problem);

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
