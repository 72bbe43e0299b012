#include "sources/history_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The schema by version: step i takes a file from version i to i + 1. A newer server adds a
// step; open() runs the steps a file lacks in one transaction.
const char* const SchemaSteps[] = {
    "CREATE TABLE symbols(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE sources(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    // Ids, not names, in the rows: a year of 2,000 symbols is millions of them. The last day's
    // points, then the 5-minute ones in a table of their own: thinning moves the few it keeps
    // and frees the day's pages whole, so that both stay full instead of sparse.
    "CREATE TABLE points(symbol INTEGER NOT NULL, t INTEGER NOT NULL, price INTEGER NOT NULL,"
    " volume INTEGER NOT NULL, source INTEGER NOT NULL, PRIMARY KEY(symbol, t)) WITHOUT ROWID;"
    "CREATE TABLE buckets(symbol INTEGER NOT NULL, t INTEGER NOT NULL, price INTEGER NOT NULL,"
    " volume INTEGER NOT NULL, source INTEGER NOT NULL, PRIMARY KEY(symbol, t)) WITHOUT ROWID;"
    "CREATE TABLE daily(symbol INTEGER NOT NULL, day INTEGER NOT NULL, open INTEGER NOT NULL,"
    " high INTEGER NOT NULL, low INTEGER NOT NULL, close INTEGER NOT NULL, volume INTEGER NOT NULL,"
    " source INTEGER NOT NULL, PRIMARY KEY(symbol, day)) WITHOUT ROWID;",
};
static_assert(std::size(SchemaSteps) == HistoryStore::SchemaVersion);

constexpr qint64 ThinEverySeconds = 3600;

// One prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK; }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return ok_; }
    Statement& bind(int i, qint64 value) {
        sqlite3_bind_int64(stmt_, i, value);
        return *this;
    }
    Statement& bind(int i, const QByteArray& text) {
        sqlite3_bind_text(stmt_, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool step() { return ok_ && sqlite3_step(stmt_) == SQLITE_ROW; }
    int run() { // for statements that return no row
        const int code = ok_ ? sqlite3_step(stmt_) : SQLITE_ERROR;
        sqlite3_reset(stmt_);
        return code;
    }
    void reset() { sqlite3_reset(stmt_); }
    qint64 number(int column) const { return sqlite3_column_int64(stmt_, column); }
    QByteArray text(int column) const {
        return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                          sqlite3_column_bytes(stmt_, column));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

int exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

QString errorOf(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

void closeAll(sqlite3* a, sqlite3* b, int lockFd) {
    sqlite3_close_v2(a);
    sqlite3_close_v2(b);
    if (lockFd >= 0)
        ::close(lockFd);
}

sqlite3* connect(const QString& path, int flags) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (db)
        sqlite3_busy_timeout(db, 2000);
    return db;
}

// One day's row, through an INSERT into daily of its eight columns in their order.
int storeDay(Statement& insert, qint64 symbol, const DailyBar& bar, qint64 source) {
    return insert.bind(1, symbol)
        .bind(2, bar.day)
        .bind(3, bar.open)
        .bind(4, bar.high)
        .bind(5, bar.low)
        .bind(6, bar.close)
        .bind(7, bar.volume)
        .bind(8, source)
        .run();
}

} // namespace

QString HistoryStore::defaultPath() {
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    const QString base = !home.isEmpty() && QDir::isAbsolutePath(QString::fromLocal8Bit(home))
                             ? QString::fromLocal8Bit(home)
                             : QDir::homePath() + "/.local/share";
    return base + "/tickwell/history.sqlite";
}

HistoryStore::Opened HistoryStore::open(const QString& path) {
    Opened result;
    const QString kept = "; the file is kept as it is, and the server runs without history";
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString lockPath = path + ".lock";
    const int lockFd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0) {
        result.problem = path + ": cannot take its lock " + lockPath + " (" +
                         QString::fromLocal8Bit(std::strerror(errno)) + ")" + kept;
        return result;
    }
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd);
        result.problem =
            path + " is in use by another server (it holds " + lockPath + "); this one runs without history";
        return result;
    }
    const bool existed = QFileInfo::exists(path);
    if (existed && !QFileInfo(path).isFile()) {
        ::close(lockFd);
        result.problem = path + " is not a regular file" + kept;
        return result;
    }
    sqlite3* writer = connect(path, SQLITE_OPEN_READWRITE | (existed ? 0 : SQLITE_OPEN_CREATE));
    auto fail = [&](const QString& why, sqlite3* reader = nullptr) {
        result.problem = path + ": " + why + kept;
        closeAll(writer, reader, lockFd);
        return std::move(result);
    };
    if (!writer || sqlite3_errcode(writer) != SQLITE_OK)
        return fail("cannot be opened (" + (writer ? errorOf(writer) : QString("out of memory")) + ")");
    if (sqlite3_db_readonly(writer, "main") == 1)
        return fail("cannot be written");
    // Read before anything is written: a file that is not a database, or a newer one, stays whole.
    int version = 0;
    {
        Statement read(writer, "PRAGMA user_version");
        if (!read.step())
            return fail("cannot be read as a history (" + errorOf(writer) + ")");
        version = int(read.number(0));
    }
    if (version > SchemaVersion) {
        return fail(QStringLiteral("was written by a newer server (history version %1; this one reads up to %2)")
                        .arg(version)
                        .arg(SchemaVersion));
    }
    {
        // The schema is read whole here; a page damaged deeper is found by the writer's check.
        Statement schema(writer, "SELECT count(*) FROM sqlite_master");
        if (!schema.step())
            return fail("is damaged (" + errorOf(writer) + ")");
    }
    // Each 10-second round writes a point into every symbol's own page: small pages keep what
    // a round rewrites small (it takes effect on a new file only).
    if (version == 0)
        exec(writer, "PRAGMA page_size=1024");
    if (exec(writer, "PRAGMA journal_mode=WAL") != SQLITE_OK || exec(writer, "PRAGMA synchronous=NORMAL") != SQLITE_OK)
        return fail("cannot be put in WAL mode (" + errorOf(writer) + ")");
    if (version < SchemaVersion) {
        bool upgraded = exec(writer, "BEGIN IMMEDIATE") == SQLITE_OK;
        for (int step = version; upgraded && step < SchemaVersion; ++step)
            upgraded = exec(writer, SchemaSteps[step]) == SQLITE_OK;
        const QByteArray setVersion = "PRAGMA user_version=" + QByteArray::number(SchemaVersion);
        upgraded = upgraded && exec(writer, setVersion.constData()) == SQLITE_OK && exec(writer, "COMMIT") == SQLITE_OK;
        if (!upgraded) {
            const QString why = errorOf(writer);
            exec(writer, "ROLLBACK");
            return fail(QStringLiteral("cannot be brought to history version %1 (%2)").arg(SchemaVersion).arg(why));
        }
    }
    sqlite3* reader = connect(path, SQLITE_OPEN_READWRITE);
    if (!reader || sqlite3_errcode(reader) != SQLITE_OK)
        return fail("cannot be opened for reading (" + (reader ? errorOf(reader) : QString("out of memory")) + ")",
                    reader);
    result.store.reset(new HistoryStore(path, lockFd, writer, reader));
    return result;
}

HistoryStore::HistoryStore(QString path, int lockFd, sqlite3* writer, sqlite3* reader)
    : path_(std::move(path)), lockFd_(lockFd), writer_(writer), reader_(reader) {
    loadLast();
}

HistoryStore::~HistoryStore() {
    {
        const std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    closeAll(writer_, reader_, lockFd_);
}

void HistoryStore::loadLast() {
    Statement names(writer_, "SELECT id, name FROM symbols");
    while (names.step())
        symbolIds_.insert(names.text(1), int(names.number(0)));
    Statement sources(writer_, "SELECT id, name FROM sources");
    while (sources.step())
        sourceIds_.insert(sources.text(1), int(sources.number(0)));
    Statement latest(writer_, "SELECT symbol, t, price, volume, source FROM (SELECT * FROM points WHERE symbol = ?1 "
                              "ORDER BY t DESC LIMIT 1) UNION ALL SELECT * FROM (SELECT symbol, t, price, volume, "
                              "source FROM buckets WHERE symbol = ?1 ORDER BY t DESC LIMIT 1) ORDER BY t DESC LIMIT 1");
    for (const int id : std::as_const(symbolIds_)) {
        if (latest.bind(1, id).step())
            last_[id] = {{latest.number(1), latest.number(2), latest.number(3)}, false, {}, int(latest.number(4))};
        latest.reset();
    }
}

void HistoryStore::offer(QByteArray source, std::function<std::vector<OfferedPrice>()> collect) {
    {
        const std::lock_guard lock(queueMutex_);
        // A source's newer prices take the place of those still waiting: a large feed that
        // changes faster than it is written holds one set in the queue, not one per change.
        const auto waiting =
            std::find_if(queue_.begin(), queue_.end(), [&](const Job& job) { return job.source == source; });
        if (waiting != queue_.end())
            waiting->collect = std::move(collect);
        else
            queue_.push_back({std::move(source), std::move(collect)});
        ++offered_;
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void HistoryStore::flush() {
    std::unique_lock lock(queueMutex_);
    if (!thread_.joinable())
        return;
    const quint64 target = offered_;
    flushAsked_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return done_ >= target; });
}

void HistoryStore::run() {
    {
        // A whole look at a large file takes seconds: here, before the first write, and not
        // while the server starts. A damaged file is written no more.
        const std::lock_guard writing(writeMutex_);
        Statement check(writer_, "PRAGMA quick_check(1)");
        const QByteArray answer = check.step() ? check.text(0) : errorOf(writer_).toUtf8();
        if (answer != "ok") {
            damaged_ = true;
            std::fprintf(stderr,
                         "tickwell-quoted: %s is damaged (%s); the file is kept as it is, and no more prices "
                         "are written to it\n",
                         QFile::encodeName(path_).constData(), answer.constData());
        }
    }
    std::unique_lock lock(queueMutex_);
    while (true) {
        wake_.wait_for(lock, std::chrono::milliseconds(BatchMs), [this] { return stopping_ || flushAsked_; });
        std::vector<Job> jobs;
        jobs.swap(queue_);
        const quint64 taken = offered_;
        const bool stopping = stopping_;
        flushAsked_ = false;
        lock.unlock();
        {
            const std::lock_guard writing(writeMutex_);
            std::vector<Row> rows;
            for (const Job& job : jobs)
                take(job.source, damaged_ ? std::vector<OfferedPrice>() : job.collect(), &rows);
            const qint64 now = QDateTime::currentSecsSinceEpoch();
            dueWaiting(now, &rows);
            writeRows(rows);
        }
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        if (!stopping && !damaged_ && now - thinnedAt_ >= ThinEverySeconds)
            thin(now);
        lock.lock();
        done_ = taken;
        written_.notify_all();
        if (stopping)
            return;
    }
}

void HistoryStore::write(const QByteArray& source, const std::vector<OfferedPrice>& prices, qint64 now) {
    const std::lock_guard writing(writeMutex_);
    std::vector<Row> rows;
    take(source, prices, &rows);
    dueWaiting(now, &rows);
    writeRows(rows);
}

void HistoryStore::take(const QByteArray& source, const std::vector<OfferedPrice>& prices, std::vector<Row>* rows) {
    if (prices.empty())
        return;
    const int sourceNumber = sourceId(source);
    for (const OfferedPrice& price : prices) {
        const int symbol = symbolId(price.symbol);
        if (symbol == 0)
            continue;
        auto entry = last_.find(symbol);
        if (entry == last_.end())
            entry = last_.insert(symbol, Last{});
        Last& last = entry.value();
        const HistoryPoint& before = last.waiting ? last.next : last.stored;
        if (before.t >= 0 && before.cents == price.point.cents && before.volume == price.point.volume)
            continue; // unchanged
        if (last.stored.t < 0 || price.point.t - last.stored.t >= MinSecondsBetweenPoints) {
            last.stored = price.point;
            last.waiting = false;
            last.source = sourceNumber;
            rows->push_back({symbol, sourceNumber, price.point});
        } else {
            last.waiting = true;
            last.next = price.point;
            last.source = sourceNumber;
        }
    }
}

void HistoryStore::dueWaiting(qint64 now, std::vector<Row>* rows) {
    for (auto it = last_.begin(); it != last_.end(); ++it) {
        Last& last = it.value();
        if (!last.waiting || now < last.stored.t + MinSecondsBetweenPoints)
            continue;
        last.waiting = false;
        if (last.next.cents == last.stored.cents && last.next.volume == last.stored.volume)
            continue; // changed and changed back while it waited
        // The waiting price was the price when its slot came.
        const qint64 slot = last.stored.t + MinSecondsBetweenPoints;
        last.stored = last.next;
        last.stored.t = std::max(last.next.t, slot);
        rows->push_back({it.key(), last.source, last.stored});
    }
}

void HistoryStore::writeRows(const std::vector<Row>& rows) {
    if (rows.empty())
        return;
    exec(writer_, "BEGIN IMMEDIATE");
    Statement insert(writer_, "INSERT OR REPLACE INTO points(symbol, t, price, volume, source) VALUES(?, ?, ?, ?, ?)");
    for (const Row& row : rows)
        insert.bind(1, row.symbol)
            .bind(2, row.point.t)
            .bind(3, row.point.cents)
            .bind(4, row.point.volume)
            .bind(5, row.source)
            .run();
    if (exec(writer_, "COMMIT") != SQLITE_OK)
        exec(writer_, "ROLLBACK");
}

int HistoryStore::symbolId(const QByteArray& symbol) {
    return nameId(symbolIds_, "INSERT INTO symbols(name) VALUES(?)", symbol);
}

int HistoryStore::sourceId(const QByteArray& source) {
    return nameId(sourceIds_, "INSERT INTO sources(name) VALUES(?)", source);
}

int HistoryStore::nameId(QHash<QByteArray, int>& ids, const char* insertSql, const QByteArray& name) {
    if (const auto found = ids.constFind(name); found != ids.cend())
        return found.value();
    Statement insert(writer_, insertSql);
    if (insert.bind(1, name).run() != SQLITE_DONE)
        return 0;
    const int id = int(sqlite3_last_insert_rowid(writer_));
    ids.insert(name, id);
    return id;
}

void HistoryStore::thin(qint64 now) {
    std::vector<int> symbols;
    {
        const std::lock_guard writing(writeMutex_);
        thinnedAt_ = now;
        for (const int id : std::as_const(symbolIds_))
            symbols.push_back(id);
    }
    // Whole 5-minute buckets older than a day leave the points; the days past the 30-day line
    // leave the buckets.
    const qint64 cutoff = (now - KeepEverySecondsFor) / BucketSeconds * BucketSeconds;
    const qint64 dayCutoff = easternDayStart(easternDay(now - KeepIntradayFor));
    // A symbol a transaction, so that the writer's batches go on in between.
    for (const int symbol : symbols) {
        const std::lock_guard writing(writeMutex_);
        std::vector<HistoryPoint> old;
        std::vector<int> sources;
        {
            Statement read(writer_,
                           "SELECT t, price, volume, source FROM buckets WHERE symbol = ?1 AND t < ?2 UNION ALL "
                           "SELECT t, price, volume, source FROM points WHERE symbol = ?1 AND t < ?3 ORDER BY t");
            read.bind(1, symbol).bind(2, dayCutoff).bind(3, cutoff);
            while (read.step()) {
                old.push_back({read.number(0), read.number(1), read.number(2)});
                sources.push_back(int(read.number(3)));
            }
        }
        if (old.empty())
            continue;
        const ThinningPlan plan = planThinning(old, now);
        const QSet<qint64> removed(plan.removed.cbegin(), plan.removed.cend());
        exec(writer_, "BEGIN IMMEDIATE");
        Statement move(writer_,
                       "INSERT OR REPLACE INTO buckets(symbol, t, price, volume, source) VALUES(?, ?, ?, ?, ?)");
        for (size_t i = 0; i < old.size(); ++i) {
            if (removed.contains(old[i].t))
                continue;
            move.bind(1, symbol)
                .bind(2, old[i].t)
                .bind(3, old[i].cents)
                .bind(4, old[i].volume)
                .bind(5, sources[i])
                .run();
        }
        Statement clearPoints(writer_, "DELETE FROM points WHERE symbol = ? AND t < ?");
        clearPoints.bind(1, symbol).bind(2, cutoff).run();
        Statement clearBuckets(writer_, "DELETE FROM buckets WHERE symbol = ? AND t = ?");
        for (const qint64 t : plan.removed)
            clearBuckets.bind(1, symbol).bind(2, t).run();
        Statement insert(writer_, "INSERT OR REPLACE INTO daily(symbol, day, open, high, low, close, volume, source) "
                                  "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
        for (const DailyBar& bar : plan.days)
            storeDay(insert, symbol, bar, sources.back());
        if (exec(writer_, "COMMIT") != SQLITE_OK)
            exec(writer_, "ROLLBACK");
    }
}

QString HistoryStore::importDaily(const QByteArray& source, const std::vector<std::pair<QByteArray, DailyBar>>& rows) {
    const std::lock_guard writing(writeMutex_);
    if (exec(writer_, "BEGIN IMMEDIATE") != SQLITE_OK)
        return errorOf(writer_);
    // Ids taken inside the transaction are forgotten again if it does not commit.
    const auto symbolsBefore = symbolIds_;
    const auto sourcesBefore = sourceIds_;
    const int sourceNumber = sourceId(source);
    Statement insert(writer_, "INSERT OR REPLACE INTO daily(symbol, day, open, high, low, close, volume, source) "
                              "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    Statement remove(writer_, "DELETE FROM points WHERE symbol = ?1 AND t >= ?2 AND t < ?3");
    Statement removeBuckets(writer_, "DELETE FROM buckets WHERE symbol = ?1 AND t >= ?2 AND t < ?3");
    bool ok = sourceNumber != 0;
    for (const auto& [symbol, bar] : rows) {
        const int id = symbolId(symbol);
        ok = ok && id != 0 && storeDay(insert, id, bar, sourceNumber) == SQLITE_DONE &&
             remove.bind(1, id).bind(2, easternDayStart(bar.day)).bind(3, easternDayStart(bar.day + 1)).run() ==
                 SQLITE_DONE &&
             removeBuckets.bind(1, id).bind(2, easternDayStart(bar.day)).bind(3, easternDayStart(bar.day + 1)).run() ==
                 SQLITE_DONE;
        if (!ok)
            break;
    }
    if (ok && exec(writer_, "COMMIT") == SQLITE_OK)
        return {};
    const QString why = errorOf(writer_);
    exec(writer_, "ROLLBACK");
    symbolIds_ = symbolsBefore;
    sourceIds_ = sourcesBefore;
    return why;
}

int HistoryStore::readSymbolId(const QByteArray& symbol) const {
    Statement find(reader_, "SELECT id FROM symbols WHERE name = ?");
    return find.bind(1, symbol).step() ? int(find.number(0)) : 0;
}

QByteArray HistoryStore::sourceName(int id) const {
    Statement find(reader_, "SELECT name FROM sources WHERE id = ?");
    return find.bind(1, id).step() ? find.text(0) : QByteArray();
}

std::vector<HistoryPoint> HistoryStore::intraday(const QByteArray& symbol, qint64 from, qint64 to) const {
    std::vector<HistoryPoint> points;
    const int id = readSymbolId(symbol);
    if (id == 0)
        return points;
    Statement read(reader_, "SELECT t, price, volume FROM buckets WHERE symbol = ?1 AND t >= ?2 AND t < ?3 UNION ALL "
                            "SELECT t, price, volume FROM points WHERE symbol = ?1 AND t >= ?2 AND t < ?3 ORDER BY t");
    read.bind(1, id).bind(2, from).bind(3, to);
    while (read.step())
        points.push_back({read.number(0), read.number(1), read.number(2)});
    return points;
}

std::vector<DailyBar> HistoryStore::daily(const QByteArray& symbol, qint64 fromDay, qint64 toDay) const {
    std::map<qint64, DailyBar> days;
    const int id = readSymbolId(symbol);
    if (id == 0 || fromDay > toDay)
        return {};
    Statement read(reader_, "SELECT day, open, high, low, close, volume FROM daily WHERE symbol = ? AND day >= ? AND "
                            "day <= ? ORDER BY day");
    read.bind(1, id).bind(2, fromDay).bind(3, toDay);
    while (read.step())
        days[read.number(0)] = {read.number(0), read.number(1), read.number(2),
                                read.number(3), read.number(4), read.number(5)};
    // Days of the last month are still points: each becomes a row the way thinning makes it.
    std::map<qint64, DailyBar> fromPoints;
    for (const HistoryPoint& point : intraday(symbol, easternDayStart(fromDay), easternDayStart(toDay + 1))) {
        const qint64 day = easternDay(point.t);
        if (days.count(day))
            continue;
        const auto [bar, first] = fromPoints.try_emplace(day, DailyBar{day, 0, 0, 0, 0, 0});
        addToBar(bar->second, point, first);
    }
    days.merge(fromPoints);
    std::vector<DailyBar> result;
    result.reserve(days.size());
    for (const auto& [day, bar] : days)
        result.push_back(bar);
    return result;
}

HistorySeries HistoryStore::chartSeries(const QByteArray& symbol, qint64 now) const {
    HistorySeries series;
    const int id = readSymbolId(symbol);
    if (id == 0)
        return series;
    qint64 lastPoint = -1, lastDay = -1;
    int pointSource = 0, daySource = 0;
    {
        Statement read(reader_, "SELECT t, source FROM (SELECT t, source FROM points WHERE symbol = ?1 ORDER BY t DESC "
                                "LIMIT 1) UNION ALL SELECT * FROM (SELECT t, source FROM buckets WHERE symbol = ?1 "
                                "ORDER BY t DESC LIMIT 1) ORDER BY t DESC LIMIT 1");
        if (read.bind(1, id).step()) {
            lastPoint = read.number(0);
            pointSource = int(read.number(1));
        }
    }
    {
        Statement read(reader_, "SELECT day, source FROM daily WHERE symbol = ? ORDER BY day DESC LIMIT 1");
        if (read.bind(1, id).step()) {
            lastDay = read.number(0);
            daySource = int(read.number(1));
        }
    }
    const qint64 yearAgo = easternDay(now) - 365;
    if (lastPoint >= 0 && easternDay(lastPoint) > lastDay) {
        const qint64 latest = easternDay(lastPoint);
        series.latestDay = intraday(symbol, easternDayStart(latest), easternDayStart(latest + 1));
        series.days = daily(symbol, yearAgo, latest - 1);
        series.source = sourceName(pointSource);
        series.lastTime = lastPoint;
    } else if (lastDay >= 0) {
        series.days = daily(symbol, yearAgo, lastDay);
        series.source = sourceName(daySource);
        series.lastTime = easternDayStart(lastDay);
    }
    return series;
}
