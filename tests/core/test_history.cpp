// The price history tickwell-quoted keeps of a feed: its rules called in the library (what is
// stored, what thinning keeps, imports, /history), then the server and tickwell --history as a
// user runs them: restarts, kill -9, a damaged or held file.
#include "sources/history_import.h"
#include "sources/history_query.h"
#include "sources/history_store.h"
#include "support/quoted_process.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTest>
#include <QTimeZone>

#include <sqlite3.h>

namespace {

// Monday 2026-06-15, 16:00 US Eastern (EDT).
const qint64 Now = QDateTime(QDate(2026, 6, 15), QTime(20, 0), QTimeZone::utc()).toSecsSinceEpoch();

qint64 eastern(int month, int day, int hour, int minute) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), QTimeZone("America/New_York")).toSecsSinceEpoch();
}

QByteArray barText(const DailyBar& bar) {
    return QDate::fromJulianDay(bar.day).toString(Qt::ISODate).toLatin1() + ' ' +
           QByteArrayList{decimalText(bar.open), decimalText(bar.high), decimalText(bar.low), decimalText(bar.close),
                          QByteArray::number(bar.volume)}
               .join(' ');
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QByteArray integrityOf(const QString& path) {
    sqlite3* db = nullptr;
    QByteArray answer = "(cannot open)";
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
        answer = sqlite3_step(stmt) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                                                  : sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return answer;
}

struct Run {
    int code = -1;
    QByteArray out, err;
};

Run runProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    Run run;
    if (!process.waitForFinished(15000))
        process.kill(), process.waitForFinished(3000);
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray body(quint16 port, const QByteArray& path) {
    const QByteArray raw = exchangeRaw(port, quoteRequest(path)).bytes;
    return raw.sliced(raw.indexOf("\r\n\r\n") + 4);
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    std::unique_ptr<HistoryStore> queryStore_;

    std::unique_ptr<HistoryStore> openStore(const QString& name) {
        HistoryStore::Opened opened = HistoryStore::open(scratch_.filePath(name));
        if (!opened.store)
            qWarning("%s", qPrintable(opened.problem));
        return std::move(opened.store);
    }

private slots:
    // Each row: points as seconds before Now, the ones thinning removes, and the rows of days it makes.
    void thinning_data() {
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QList<qint64>>("removed");
        QTest::addColumn<QByteArrayList>("days");
        const qint64 day = 86400;
        QTest::newRow("a day's points all stay")
            << QList<qint64>{day - 1, 600, 10, 0} << QList<qint64>{} << QByteArrayList{};
        // Now is on a bucket's edge: day + 300 ... day + 1 is the bucket before the line.
        QTest::newRow("older: the last of each 5-minute bucket")
            << QList<qint64>{day + 600, day + 310, day + 299, day + 200, day + 1, day - 10}
            << QList<qint64>{day + 600, day + 299, day + 200} << QByteArrayList{};
        const qint64 may1 = Now - eastern(5, 1, 9, 30);
        QTest::newRow("an Eastern day past 30 days becomes its row")
            << QList<qint64>{may1, may1 - 3600, may1 - 6 * 3600} << QList<qint64>{may1, may1 - 3600, may1 - 6 * 3600}
            << QByteArrayList{"2026-05-01 1.00 3.00 1.00 3.00 3"};
        // 23:30 and 00:30 Eastern fall on one UTC day but two Eastern ones.
        QTest::newRow("days are Eastern, not UTC")
            << QList<qint64>{Now - eastern(5, 1, 23, 30), Now - eastern(5, 2, 0, 30)}
            << QList<qint64>{Now - eastern(5, 1, 23, 30), Now - eastern(5, 2, 0, 30)}
            << QByteArrayList{"2026-05-01 1.00 1.00 1.00 1.00 1", "2026-05-02 2.00 2.00 2.00 2.00 2"};
        const qint64 line = Now - eastern(5, 16, 12, 0); // the 30-day line falls on May 16
        QTest::newRow("the day the 30-day line crosses keeps its points")
            << QList<qint64>{line + 60, line + 30} << QList<qint64>{line + 60} << QByteArrayList{};
    }
    void thinning() {
        QFETCH(QList<qint64>, times);
        QFETCH(QList<qint64>, removed);
        QFETCH(QByteArrayList, days);
        std::vector<HistoryPoint> points;
        for (qsizetype i = 0; i < times.size(); ++i) // prices and volumes 1, 2, 3, ... oldest first
            points.push_back({Now - times[i], 100 * (i + 1), i + 1});
        const ThinningPlan plan = planThinning(points, Now);
        QList<qint64> gone;
        for (const qint64 t : plan.removed)
            gone.append(Now - t);
        QCOMPARE(gone, removed);
        QByteArrayList made;
        for (const DailyBar& bar : plan.days)
            made.append(barText(bar));
        QCOMPARE(made, days);
    }

    // Prices offered in turn (time, cents, volume), then the points stored.
    void storeRules_data() {
        QTest::addColumn<QList<QList<qint64>>>("offered");
        QTest::addColumn<QList<QList<qint64>>>("stored");
        QTest::newRow("unchanged is not stored")
            << QList<QList<qint64>>{{0, 100, 1}, {20, 100, 1}} << QList<QList<qint64>>{{0, 100, 1}};
        QTest::newRow("a volume change is")
            << QList<QList<qint64>>{{0, 100, 1}, {20, 100, 2}} << QList<QList<qint64>>{{0, 100, 1}, {20, 100, 2}};
        QTest::newRow("a change within 10 s waits for its slot")
            << QList<QList<qint64>>{{0, 100, 1}, {3, 101, 1}} << QList<QList<qint64>>{{0, 100, 1}, {10, 101, 1}};
        QTest::newRow("a later change takes the waiting one's place")
            << QList<QList<qint64>>{{0, 100, 1}, {3, 101, 1}, {6, 102, 1}}
            << QList<QList<qint64>>{{0, 100, 1}, {10, 102, 1}};
        QTest::newRow("changed and back within 10 s")
            << QList<QList<qint64>>{{0, 100, 1}, {3, 101, 1}, {6, 100, 1}} << QList<QList<qint64>>{{0, 100, 1}};
    }
    void storeRules() {
        QFETCH(QList<QList<qint64>>, offered);
        QFETCH(QList<QList<qint64>>, stored);
        auto store = openStore(QString("rules-%1.sqlite").arg(QTest::currentDataTag()));
        QVERIFY(store);
        for (const QList<qint64>& price : offered) // each offered while the one before still waits
            store->write("feed.csv", {{"IBM", {Now + price[0], price[1], price[2]}}}, Now + price[0]);
        store->write("feed.csv", {}, Now + 60);
        QList<QList<qint64>> points;
        for (const HistoryPoint& p : store->intraday("IBM", Now - 1, Now + 3600))
            points.append({p.t - Now, p.cents, p.volume});
        QCOMPARE(points, stored);
    }

    // A file the server cannot use is never changed; an older one is brought up to date.
    void opening_data() {
        QTest::addColumn<QByteArray>("before"); // "" none; SQL run on a fresh file; else its bytes
        QTest::addColumn<QString>("problem");
        QTest::newRow("none yet") << QByteArray() << QString();
        QTest::newRow("an older, empty database") << QByteArray("SQL:PRAGMA user_version=0") << QString();
        QTest::newRow("not a database") << QByteArray("date,close\n2025-01-02,1\n")
                                        << QString("cannot be read as a history (file is not a database)");
        QTest::newRow("a newer server's")
            << QByteArray("SQL:PRAGMA user_version=7")
            << QString("was written by a newer server (history version 7; this one reads up to 1)");
    }
    void opening() {
        QFETCH(QByteArray, before);
        QFETCH(QString, problem);
        const QString path = scratch_.filePath(QString("open-%1.sqlite").arg(QTest::currentDataTag()));
        if (before.startsWith("SQL:")) {
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            sqlite3_exec(db, before.sliced(4).constData(), nullptr, nullptr, nullptr);
            sqlite3_exec(db, "CREATE TABLE other(x)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else if (!before.isEmpty()) {
            writeFile(path, before);
        }
        const QByteArray bytes = fileBytes(path);
        HistoryStore::Opened opened = HistoryStore::open(path);
        if (problem.isEmpty()) {
            QVERIFY2(opened.store, qPrintable(opened.problem));
            QCOMPARE(opened.store->importDaily("test", {{"IBM", {2460000, 1, 1, 1, 1, 1}}}), QString());
            QCOMPARE(opened.store->daily("IBM", 2460000, 2460000).size(), size_t(1));
            return;
        }
        QVERIFY(!opened.store);
        QCOMPARE(opened.problem,
                 path + ": " + problem + "; the file is kept as it is, and the server runs without history");
        QCOMPARE(fileBytes(path), bytes);
        // And a second owner is turned away while the first holds the file.
        auto first = openStore("held.sqlite");
        QVERIFY(first);
        QVERIFY(HistoryStore::open(scratch_.filePath("held.sqlite")).problem.contains("is in use by another server"));
    }

    void parseDaily_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("symbol");
        QTest::addColumn<QByteArrayList>("rows"); // "SYM date open high low close volume"
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QString>("error");
        QTest::newRow("any order and case, other columns ignored")
            << QByteArray(
                   "\xEF\xBB\xBFvolume,CLOSE,Adj Close,date,Open,high,LOW\r\n1200,10.5,9,2025-03-14,10,11,9.995\r\n")
            << QByteArray("aapl") << QByteArrayList{"AAPL 2025-03-14 10.00 11.00 10.00 10.50 1200"} << 0 << QString();
        QTest::newRow("symbol column, empty and null prices skipped")
            << QByteArray("Symbol,Date,Close\nMSFT,2025-03-13,1\nibm,2025-03-13,null\nIBM,2025-03-14,\n\nIBM,"
                          "2025-03-17,2.5\n")
            << QByteArray()
            << QByteArrayList{"MSFT 2025-03-13 1.00 1.00 1.00 1.00 0", "IBM 2025-03-17 2.50 2.50 2.50 2.50 0"} << 2
            << QString();
        QTest::newRow("no symbol anywhere")
            << QByteArray("Date,Close\n2025-03-14,1\n") << QByteArray() << QByteArrayList{} << 0
            << QString("line 1: the header names no Symbol column: give the file's "
                       "symbol with --symbol SYM");
        QTest::newRow("no close column") << QByteArray("Date,Open\n") << QByteArray("X") << QByteArrayList{} << 0
                                         << QString("line 1: the header must name Date and Close (and may name "
                                                    "Open, High, Low, Volume, Symbol)");
        QTest::newRow("a date that is not ISO")
            << QByteArray("Date,Close\n2025-03-13,1\n14/03/2025,2\n") << QByteArray("X") << QByteArrayList{} << 0
            << QString("line 3: \"14/03/2025\" is not a date like 2025-03-14");
        QTest::newRow("a decimal comma") << QByteArray("Date,Close,High\n2025-03-13,1,\"1,5\"\n") << QByteArray("X")
                                         << QByteArrayList{} << 0
                                         << QString("line 2: high \"1,5\" is not a number like 12.34");
        QTest::newRow("a short line") << QByteArray("Date,Close,Volume\n2025-03-13,1,5\n2025-03-14\n")
                                      << QByteArray("X") << QByteArrayList{} << 0
                                      << QString("line 3: 1 cells where the header has 3");
    }
    void parseDaily() {
        QFETCH(QByteArray, csv);
        QFETCH(QByteArray, symbol);
        QFETCH(QByteArrayList, rows);
        QFETCH(int, skipped);
        QFETCH(QString, error);
        const DailyImport parsed = parseDailyCsv(csv, symbol);
        QCOMPARE(parsed.error, error);
        QByteArrayList got;
        for (const auto& [sym, bar] : parsed.rows)
            got.append(sym + ' ' + barText(bar));
        QCOMPARE(got, rows);
        QCOMPARE(parsed.skipped, skipped);
    }

    // GET /history on a store with imported days and a day of points.
    void historyQuery_data() {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("a year back: daily, the points' day made a row")
            << QByteArray("s=ibm") << 200
            << QByteArray("date,open,high,low,close,volume\n2026-03-02,1.00,1.00,1.00,1.00,10\n"
                          "2026-06-15,2.00,3.00,2.00,3.00,30\n");
        QTest::newRow("a week back: intraday, times in UTC")
            << QByteArray("s=IBM&from=2026-06-08") << 200
            << QByteArray("time,price,volume\n2026-06-15T14:00:00Z,2.00,20\n2026-06-15T15:00:00Z,3.00,30\n");
        QTest::newRow("daily asked for a week") << QByteArray("s=IBM&from=2026-06-08&kind=daily") << 200
                                                << QByteArray("date,open,high,low,close,volume\n"
                                                              "2026-06-15,2.00,3.00,2.00,3.00,30\n");
        QTest::newRow("a range wider than the store") << QByteArray("s=IBM&from=1990-01-01&to=2026-03-02") << 200
                                                      << QByteArray("date,open,high,low,close,volume\n"
                                                                    "2026-03-02,1.00,1.00,1.00,1.00,10\n");
        QTest::newRow("no symbol") << QByteArray("kind=daily") << 400 << QByteArray("Name the symbol: /history?s=SYM");
        QTest::newRow("bad kind") << QByteArray("s=IBM&kind=weekly") << 400
                                  << QByteArray("kind \"weekly\" is not daily or intraday");
        QTest::newRow("bad date") << QByteArray("s=IBM&to=2026-13-01") << 400
                                  << QByteArray("to \"2026-13-01\" is not a date like 2025-03-14");
        QTest::newRow("backwards") << QByteArray("s=IBM&from=2026-06-02&to=2026-06-01") << 400
                                   << QByteArray("from 2026-06-02 is after to 2026-06-01");
        QTest::newRow("quotes in the symbol stay a symbol")
            << QByteArray("s=IBM'%20OR%201=1--") << 404 << QByteArray("No stored history for IBM' OR 1=1--");
    }
    void historyQuery() {
        QFETCH(QByteArray, query);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        if (!queryStore_) {
            queryStore_ = openStore("query.sqlite");
            queryStore_->importDaily("import of ibm.csv",
                                     {{"IBM", {QDate(2026, 3, 2).toJulianDay(), 100, 100, 100, 100, 10}}});
            queryStore_->write("feed.csv", {{"IBM", {eastern(6, 15, 10, 0), 200, 20}}}, Now);
            queryStore_->write("feed.csv", {{"IBM", {eastern(6, 15, 11, 0), 300, 30}}}, Now);
            queryStore_->thin(Now + 2 * 86400); // the points move to the 5-minute table, and read the same
        }
        QList<std::pair<QByteArray, QByteArray>> pairs;
        for (const QByteArray& pair : query.split('&'))
            pairs.append(
                {pair.left(pair.indexOf('=')), QByteArray::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1))});
        const HistoryAnswer answer = historyAnswer(*queryStore_, pairs, Now);
        QCOMPARE(answer.body, body);
        QCOMPARE(answer.status, status);
    }

    // A feed whose price changes, a server that is restarted on the same file: the page still
    // charts the prices and names their source.
    void pricesOutliveTheServer() {
        const QString feed = writeFile(scratch_.filePath("feed.csv"), "symbol,last,volume\nIBM,12.50,100\n");
        const QString file = scratch_.filePath("kept.sqlite");
        {
            QuotedProcess server({"--quotes", feed, "--history-file", file});
            QVERIFY2(server.isListening(), qPrintable(server.errorText()));
            QVERIFY(server.waitForErrorOutput("quotes from "));
            QVERIFY(QFile::exists(file));
            QTest::qWait(10500); // the next point's slot
            writeFile(feed, "symbol,last,volume\nIBM,12.75,300\n");
            QVERIFY(QTest::qWaitFor([&] { return body(server.port(), "/q/bc?s=IBM").contains("12.75"); }, 5000));
        }
        QuotedProcess server({"--quotes", feed, "--history-file", file});
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        const QByteArray page = body(server.port(), "/q/bc?s=IBM");
        QVERIFY2(page.contains("<path class=\"price\"") && page.contains("Prices stored from feed.csv; the last at "),
                 page.constData());

        const QByteArray intraday = body(server.port(), "/history?s=ibm&kind=intraday");
        QVERIFY2(intraday.startsWith("time,price,volume\n") && intraday.count('\n') == 3 &&
                     intraday.endsWith(",12.75,300\n"),
                 intraday.constData());

        QuotedProcess market;
        QCOMPARE(body(market.port(), "/history?s=IBM"), QByteArray("No stored history for the simulated market\n"));
    }

    // Of a symbol that two sources hold, the history keeps the prices of the one serving it.
    void sourcesKeepTheServingOne() {
        writeFile(scratch_.filePath("first.csv"), "symbol,last\nIBM,1.00\n");
        writeFile(scratch_.filePath("second.csv"), "symbol,last\nIBM,2.00\nMSFT,3.00\n");
        const QString conf =
            writeFile(scratch_.filePath("two.conf"), "[first]\nfile = first.csv\n[second]\nfile = second.csv\n");
        const QString file = scratch_.filePath("sources.sqlite");
        {
            QuotedProcess server({"--sources", conf, "--history-file", file});
            QVERIFY2(server.isListening(), qPrintable(server.errorText()));
            QVERIFY(QTest::qWaitFor([&] { return body(server.port(), "/history?s=MSFT").contains("3.00"); }, 5000));
        }
        HistoryStore::Opened opened = HistoryStore::open(file);
        QVERIFY2(opened.store, qPrintable(opened.problem));
        const std::vector<HistoryPoint> ibm = opened.store->intraday("IBM", 0, Now * 2);
        QCOMPARE(ibm.size(), size_t(1));
        QCOMPARE(ibm.front().cents, 100);
    }

    // An import stores all of a file or nothing; a killed server leaves a whole file; a damaged
    // one is kept and said; a second server finds the lock.
    void fileSafety() {
        const QString file = scratch_.filePath("safety.sqlite");
        const QString good = writeFile(scratch_.filePath("good.csv"), "Date,Close,Volume\n2025-03-13,1.5,10\n"
                                                                      "2025-03-14,null,\n2025-03-17,2,20\n");
        const Run stored =
            runProgram(TICKWELL_QUOTED_BINARY, {"--history-file", file, "--import-history", good, "--symbol", "aapl"});
        QCOMPARE(stored.out, QFile::encodeName(good) + ": stored 2 points for AAPL; skipped 1 row without a price\n");
        QCOMPARE(stored.code, 0);
        const QString bad = writeFile(scratch_.filePath("bad.csv"), "Date,Close\n2025-03-13,9\n2025-03-18,x\n");
        const Run failed =
            runProgram(TICKWELL_QUOTED_BINARY, {"--history-file", file, "--import-history", bad, "--symbol", "AAPL"});
        QCOMPARE(failed.code, 1);
        QCOMPARE(failed.err, "tickwell-quoted: " + QFile::encodeName(bad) +
                                 ": line 3: close \"x\" is not a number like 12.34; nothing imported\n");

        // Many symbols changing every 200 ms, killed while it writes.
        const QString feed = scratch_.filePath("busy.csv");
        auto busyFeed = [&](int round) {
            QByteArray csv = "symbol,last,volume\n";
            for (int s = 0; s < 2000; ++s)
                csv += "S" + QByteArray::number(s) + ',' + QByteArray::number(10 + round) + ".00," +
                       QByteArray::number(round) + '\n';
            writeFile(feed, csv);
        };
        busyFeed(0);
        {
            QuotedProcess server({"--quotes", feed, "--history-file", file});
            QVERIFY2(server.isListening(), qPrintable(server.errorText()));
            // Held: a second server runs without it and says so.
            QuotedProcess second({"--quotes", feed, "--history-file", file});
            QVERIFY(second.waitForErrorOutput(QFile::encodeName(file) + " is in use by another server (it holds " +
                                              QFile::encodeName(file) + ".lock); this one runs without history"));
            for (int round = 1; round < 15; ++round) {
                busyFeed(round);
                QTest::qWait(200);
            }
            server.killNow();
        }
        QCOMPARE(integrityOf(file), QByteArray("ok"));
        HistoryStore::Opened opened = HistoryStore::open(file);
        QVERIFY2(opened.store, qPrintable(opened.problem));
        const std::vector<DailyBar> kept = opened.store->daily("AAPL", 0, 3000000);
        QCOMPARE(kept.size(), size_t(2));
        QCOMPARE(kept.front().close, 150); // not the failed import's 9.00
        QVERIFY(opened.store->holds("S1999"));
        opened.store.reset();

        const QString damaged = writeFile(scratch_.filePath("damaged.sqlite"), "not a database at all\n");
        QuotedProcess server({"--quotes", feed, "--history-file", damaged});
        QVERIFY(server.waitForErrorOutput(QFile::encodeName(damaged) + ": cannot be read as a history"));
        QCOMPARE(fileBytes(damaged), QByteArray("not a database at all\n"));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
