#pragma once
// The user's price history: the prices a feed or a source gave, kept in one SQLite file that
// outlives the server, and read back for the details page's chart and GET /history.
//
// One server owns the file at a time (an flock on FILE.lock). A file that cannot be read, is
// not a database or was written by a newer server is left exactly as it is: open() says why and
// the server runs without history. Prices are written by one thread of its own, in batches, in
// WAL mode, so that a page never waits for a write and a killed server loses at most the batch
// under way. What a symbol keeps as it ages: history_thinning.h.
#include "sources/history_thinning.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct sqlite3;

struct OfferedPrice {
    QByteArray symbol; // upper case
    HistoryPoint point;
};

// What the details page charts: the year's days, then the latest day's points.
struct HistorySeries {
    std::vector<DailyBar> days;          // oldest first, before the latest day
    std::vector<HistoryPoint> latestDay; // oldest first; empty when the latest is a day's row
    QByteArray source;                   // of the latest point or row
    qint64 lastTime = 0;                 // UTC seconds of the latest point, or the start of its day
    qsizetype size() const { return qsizetype(days.size() + latestDay.size()); }
};

class HistoryStore {
public:
    static constexpr int SchemaVersion = 1;
    // Writes are batched this long at most.
    static constexpr int BatchMs = 1000;

    struct Opened {
        std::unique_ptr<HistoryStore> store;
        QString problem; // why there is none: says the file and that it is kept
    };
    // Takes the lock, creates the file (and its folder) when there is none, and upgrades an older
    // schema in one transaction.
    static Opened open(const QString& path);
    // $XDG_DATA_HOME/tickwell/history.sqlite, ~/.local/share/... when the variable is not set.
    static QString defaultPath();

    ~HistoryStore(); // writes what was offered, then lets the file go
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const QString& path() const { return path_; }

    // Hands prices to the writer thread; collect runs there, so that a large feed is compared
    // with its last prices off the thread that answers pages. A symbol's point is stored when its
    // price or volume changed, at most one each MinSecondsBetweenPoints: a change that comes
    // sooner waits for its slot (a later change takes its place).
    void offer(QByteArray source, std::function<std::vector<OfferedPrice>()> collect);
    // Returns once everything offered before the call is written.
    void flush();
    // Writes at once on the calling thread, by the same rules (the benchmark builds a year so);
    // points still waiting for their slot at now are written.
    void write(const QByteArray& source, const std::vector<OfferedPrice>& prices, qint64 now);
    // Thins every symbol as of now (the writer does so at start and every hour).
    void thin(qint64 now);

    // Stores daily rows (symbol, bar) in one transaction, replacing what is stored for those
    // days; empty, or the reason nothing was stored.
    QString importDaily(const QByteArray& source, const std::vector<std::pair<QByteArray, DailyBar>>& rows);

    // Reading, on the thread that answers pages (a connection of its own).
    bool holds(const QByteArray& symbol) const { return readSymbolId(symbol) != 0; }
    HistorySeries chartSeries(const QByteArray& symbol, qint64 now) const;
    // Days fromDay..toDay (Julian): the stored rows, and days still held as points made into rows.
    std::vector<DailyBar> daily(const QByteArray& symbol, qint64 fromDay, qint64 toDay) const;
    // Points from..to (UTC seconds, to excluded).
    std::vector<HistoryPoint> intraday(const QByteArray& symbol, qint64 from, qint64 to) const;

private:
    struct Last {
        HistoryPoint stored{-1, 0, 0}; // t < 0: none yet
        bool waiting = false;
        HistoryPoint next; // waits for its slot
        int source = 0;
    };
    struct Job {
        QByteArray source;
        std::function<std::vector<OfferedPrice>()> collect;
    };
    struct Row {
        int symbol;
        int source;
        HistoryPoint point;
    };

    HistoryStore(QString path, int lockFd, sqlite3* writer, sqlite3* reader);
    void run();
    void take(const QByteArray& source, const std::vector<OfferedPrice>& prices, std::vector<Row>* rows);
    void dueWaiting(qint64 now, std::vector<Row>* rows);
    void writeRows(const std::vector<Row>& rows);
    int symbolId(const QByteArray& symbol);
    int sourceId(const QByteArray& source);
    // The id of a name in the table insertSql adds to, added when new; ids caches them.
    int nameId(QHash<QByteArray, int>& ids, const char* insertSql, const QByteArray& name);
    int readSymbolId(const QByteArray& symbol) const;
    QByteArray sourceName(int id) const;
    void loadLast();

    const QString path_;
    const int lockFd_;
    sqlite3* const writer_; // the writer thread's (or the caller's under writeMutex_)
    sqlite3* const reader_; // the pages'

    std::mutex writeMutex_; // the writer connection and everything below it
    QHash<QByteArray, int> symbolIds_;
    QHash<QByteArray, int> sourceIds_;
    QHash<int, Last> last_; // by symbol id
    qint64 thinnedAt_ = 0;
    bool damaged_ = false; // the writer's own look found the file damaged

    std::mutex queueMutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::vector<Job> queue_;
    quint64 offered_ = 0;
    quint64 done_ = 0;
    bool flushAsked_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
