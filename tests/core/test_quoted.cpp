// tickwell-quoted over loopback: the pages it serves must be ones the program's scanners
// read row by row, and its test modes must behave as the loaders' tests expect.
#include "http/quote_server.h"
#include "http/request_reader.h"
#include "options.h"
#include "pages/quote_pages.h"
#include "pages/routes.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"
#include "sources/quote_feed.h"
#include "sources/sources_file.h"
#include "support/misbehaving_server.h"
#include "support/quoted_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qsizetype ShortReplyLimit = 1200;
constexpr qsizetype ReplyBufferSize = 81920;

struct HttpPage {
    bool framed = false; // headers found and the body complete by its framing
    int status = 0;
    QByteArray head;
    QByteArray body; // decoded
    bool chunked = false;
    QByteArrayList chunkSizeLines; // in order, the last "0" included
};

HttpPage readPage(const QByteArray& raw) {
    HttpPage page;
    const qsizetype headEnd = raw.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return page;
    page.head = raw.first(headEnd);
    const QByteArray rest = raw.sliced(headEnd + 4);
    static const QRegularExpression statusLine("^HTTP/1\\.1 (\\d{3}) ");
    const QRegularExpressionMatch status = statusLine.match(QString::fromLatin1(page.head));
    page.status = status.hasMatch() ? status.captured(1).toInt() : 0;

    page.chunked = page.head.contains("\r\nTransfer-Encoding: chunked");
    if (!page.chunked) {
        static const QRegularExpression lengthLine("\r\nContent-Length: (\\d+)");
        const QRegularExpressionMatch length = lengthLine.match(QString::fromLatin1(page.head));
        page.body = rest;
        page.framed = length.hasMatch() && length.captured(1).toLongLong() == rest.size();
        return page;
    }
    qsizetype at = 0;
    while (at < rest.size()) {
        const qsizetype lineEnd = rest.indexOf("\r\n", at);
        if (lineEnd < 0)
            return page;
        const QByteArray sizeLine = rest.sliced(at, lineEnd - at);
        page.chunkSizeLines.append(sizeLine);
        bool ok = false;
        const qsizetype size = sizeLine.toLongLong(&ok, 16);
        if (!ok || lineEnd + 2 + size + 2 > rest.size())
            return page;
        if (size == 0) {
            page.framed = rest.sliced(lineEnd + 2) == "\r\n";
            return page;
        }
        page.body += rest.sliced(lineEnd + 2, size);
        if (rest.sliced(lineEnd + 2 + size, 2) != "\r\n")
            return page;
        at = lineEnd + 2 + size + 2;
    }
    return page;
}

QByteArrayList quoteRows(const QByteArray& body) {
    QByteArrayList rows;
    for (const QByteArray& line : body.split('\n')) {
        if (line.startsWith("<tr class=\"q\">"))
            rows.append(line);
    }
    return rows;
}

QByteArray rowSymbol(const QByteArray& row) {
    static const QRegularExpression link("<a href=\"/q\\?s=([^\"]*)\">([^<]*)</a>");
    const QRegularExpressionMatch match = link.match(QString::fromLatin1(row));
    return match.hasMatch() && match.captured(1) == match.captured(2) ? match.captured(1).toLatin1() : QByteArray();
}

// The text of each cell of a row, tags dropped, &nbsp; as a blank.
QStringList cellTexts(const QByteArray& row) {
    static const QRegularExpression cell("<td[^>]*>(.*?)</td>");
    static const QRegularExpression tag("<[^>]*>");
    QStringList cells;
    for (const QRegularExpressionMatch& match : cell.globalMatch(QString::fromLatin1(row)))
        cells.append(match.captured(1).remove(tag).replace("&nbsp;", " ").trimmed());
    return cells;
}

QStringList fontColours(const QByteArray& row) {
    static const QRegularExpression font("<font color=\"(#[0-9a-fA-F]{6})\">");
    QStringList colours;
    for (const QRegularExpressionMatch& match : font.globalMatch(QString::fromLatin1(row)))
        colours.append(match.captured(1));
    return colours;
}

// Cents of "1,234.56".
qint64 centsOf(QString text) {
    text.remove(',');
    return qRound64(text.toDouble() * 100.0);
}

// Where a scanner finds the table: the first "sym" (any case) with '<' three bytes later.
qsizetype markerOf(const QByteArray& body) {
    const QByteArray lower = body.toLower();
    for (qsizetype i = 0; i + 6 < lower.size(); ++i) {
        if (lower.sliced(i, 3) == "sym" && lower[i + 6] == '<')
            return i;
    }
    return -1;
}

QByteArray quotePath(const QByteArray& symbols, const QByteArray& kind) {
    return "/q/cq?s=" + symbols + "&d=" + kind;
}

void fillBatch(char (*table)[SymbolSlotSize], int* lengths, const QByteArrayList& symbols) {
    for (int i = 0; i <= SymbolsPerBatch; ++i)
        table[i][0] = '\0';
    for (int i = 0; i < symbols.size() && i < SymbolsPerBatch; ++i) {
        qstrncpy(table[i], symbols[i].constData(), SymbolSlotSize);
        lengths[i] = static_cast<int>(std::strlen(table[i]));
    }
}

struct DelayedRows : QuotePageSink {
    QByteArrayList dataLines;
    void writeDataLine(const char* wordLine) override { dataLines.append(wordLine); }
    void appendRow(const char*, double) override {}
};

struct RealTimeRows : RtPageSink {
    QByteArrayList dataLines;
    QList<double> tradeDirections;
    void writeDataLine(const char* squeezed) override { dataLines.append(squeezed); }
    void appendRow(const char*, double trade, double) override { tradeDirections.append(trade); }
};

// One complete reply read from a connection that stays open: headers, then the body
// its Content-Length announces (none when the request was HEAD). Events run meanwhile, so a
// server in this process answers too.
QByteArray readOneReply(QTcpSocket& socket, int timeoutMs, bool bodyless = false) {
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const HttpPage page = readPage(bytes);
        if (page.framed || (bodyless && !page.head.isEmpty()))
            return bytes;
        if (!QSignalSpy(&socket, &QIODevice::readyRead).wait(std::max<int>(1, deadline.remainingTime())))
            break;
        bytes += socket.readAll();
    }
    return bytes;
}

struct QuotedRun {
    bool exited = false; // ended by itself, within the time
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs tickwell-quoted with the arguments and no display of any kind, for up to 10 s.
QuotedRun runQuoted(const QStringList& args) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TICKWELL_QUOTED_BINARY), args);
    QuotedRun run;
    run.exited = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    if (!run.exited) {
        process.kill();
        process.waitForFinished(3000);
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Commands bounded by 1 s, and every and stale_after as short as 1 s, for the servers started
// while it stands.
struct ShortBounds {
    ShortBounds() { qputenv("TICKWELL_QUOTED_TEST_BOUND", "1"); }
    ~ShortBounds() { qunsetenv("TICKWELL_QUOTED_TEST_BOUND"); }
};

// What is written on standard error while it stands, kept in a file instead.
class StandardErrorCapture {
public:
    StandardErrorCapture() : saved_(::dup(STDERR_FILENO)) {
        if (!file_.open())
            qFatal("cannot open a file for standard error");
        std::fflush(stderr);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QByteArray text() {
        std::fflush(stderr);
        QFile written(file_.fileName());
        return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    }

private:
    QTemporaryFile file_;
    const int saved_;
};

const QString Time = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ";

} // namespace

class TestQuoted : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void quotePageRows_data();
    void quotePageRows();
    void scannersFindEveryRow_data();
    void scannersFindEveryRow();
    void realTimeAgreesWithDelayed();
    void defaultSeedDirections_data();
    void defaultSeedDirections();
    void chunkedFraming_data();
    void chunkedFraming();
    void shortReplies_data();
    void shortReplies();
    void holdOpenKeepsTheConnection();
    void refuseClosesWithoutReply();
    void recordKeepsTheExactBytes();
    void slowRepliesComeInPieces();
    void detailsPage_data();
    void detailsPage();
    void otherRequests_data();
    void otherRequests();
    void idleAndStalledClients();
    void feedFileRules_data();
    void feedFileRules();
    void feedSwappedWhileRunning();
    void commandSourceFaults();
    void failoverBetweenSources();
    void urlSourceAnswers();
    void httpsSourceWithPrivateAuthority();
    void sampleSourcesRun();
    void sameMinuteSamePage();
    void seedChangesThePrices();
    void exitsByItself();
    void sourcesFileLines_data();
    void sourcesFileLines();
    void answersWithoutServing_data();
    void answersWithoutServing();
    void helpNamesEveryOption_data();
    void helpNamesEveryOption();

private:
    HttpPage fetch(quint16 port, const QByteArray& path);
    // Raw replies to the requests, all answered within one minute of the market's clock:
    // a page bracketing them reads the same before and after. Empty if no minute held still.
    QByteArrayList withinOneMinute(const QList<std::pair<quint16, QByteArray>>& requests);
    // Writes a file in the scratch folder at once (a reader never sees half of it); its path.
    QString writeScratch(const QString& name, const QByteArray& bytes);
    // The prices the delayed page shows for the symbols, in its order.
    QStringList prices(quint16 port, const QByteArray& symbols);

    std::unique_ptr<QuotedProcess> plain_;
    // The server's library in this process, serving as the process does by default and under
    // --hold-open.
    MarketSource market_{ServerOptions().seed};
    Routes routes_{market_, {}};
    const RequestLog noRecord_{QString()};
    QuoteServer plainHere_{routes_, noRecord_, {0, false, {false, 0}}};
    QuoteServer heldHere_{routes_, noRecord_, {0, false, {true, 0}}};
    QTemporaryDir scratch_; // a FIFO and feeds
};

void TestQuoted::initTestCase() {
    plain_ = std::make_unique<QuotedProcess>();
    QVERIFY2(plain_->isListening(), qPrintable(plain_->errorText()));
    QString why;
    QVERIFY2(plainHere_.listen(&why) && heldHere_.listen(&why), qPrintable(why));
    QCOMPARE(::mkfifo(QFile::encodeName(scratch_.filePath("fifo.csv")).constData(), 0600), 0);
}

HttpPage TestQuoted::fetch(quint16 port, const QByteArray& path) {
    const RawExchange exchange = exchangeRaw(port, quoteRequest(path));
    return exchange.closedByServer ? readPage(exchange.bytes) : HttpPage();
}

QString TestQuoted::writeScratch(const QString& name, const QByteArray& bytes) {
    QSaveFile file(scratch_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

QStringList TestQuoted::prices(quint16 port, const QByteArray& symbols) {
    QStringList shown;
    for (const QByteArray& row : quoteRows(fetch(port, quotePath(symbols, "v1")).body))
        shown.append(cellTexts(row).value(2));
    return shown;
}

QByteArrayList TestQuoted::withinOneMinute(const QList<std::pair<quint16, QByteArray>>& requests) {
    const QByteArray clock = quoteRequest(quotePath("MSFT", "v1"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QByteArray before = exchangeRaw(plain_->port(), clock).bytes;
        QByteArrayList replies;
        for (const auto& [port, request] : requests)
            replies.append(exchangeRaw(port, request).bytes);
        if (!before.isEmpty() && exchangeRaw(plain_->port(), clock).bytes == before)
            return replies;
    }
    return {};
}

void TestQuoted::quotePageRows_data() {
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("symbols");
    QTest::addColumn<QByteArrayList>("rows");

    for (const QByteArray kind : {"v1", "e"}) {
        QTest::addRow("known and unknown, %s", kind.constData())
            << kind << QByteArray("MSFT,ZZZZ,ibm,xxxx") << QByteArrayList{"MSFT", "IBM"};
        QTest::addRow("indexes, %s", kind.constData())
            << kind << QByteArray("^DJI,^ixic,^GSPC,^FOO") << QByteArrayList{"^DJI", "^IXIC", "^GSPC"};
        QTest::addRow("characters, %s", kind.constData())
            << kind << QByteArray("BRK.A,abc-d,A$B,12345,TOOLONG,zz9") << QByteArrayList{"BRK.A", "ABC-D"};
        QTest::addRow("no trade and repeats, %s", kind.constData())
            << kind << QByteArray("ABCDQ,,ABCDW,GE,GE") << QByteArrayList{"ABCDQ", "ABCDW", "GE", "GE"};
        QTest::addRow("no listed symbol, %s", kind.constData()) << kind << QByteArray("xxxx,ZZTOP") << QByteArrayList{};
    }
}

void TestQuoted::quotePageRows() {
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, symbols);
    QFETCH(QByteArrayList, rows);

    const RawExchange exchange = exchangeRaw(plain_->port(), quoteRequest(quotePath(symbols, kind)));
    QVERIFY(exchange.closedByServer);
    // A reply under 1200 bytes makes the loaders ask again; a page is never that short.
    QVERIFY(exchange.bytes.size() >= ShortReplyLimit);
    const HttpPage page = readPage(exchange.bytes);
    QVERIFY(page.framed);
    QCOMPARE(page.status, 200);

    const qsizetype marker = markerOf(page.body);
    QCOMPARE(marker, page.body.indexOf("Symbol</th>"));
    QVERIFY(!page.body.toLower().contains("colum"));

    const QByteArrayList found = quoteRows(page.body);
    QByteArrayList foundSymbols;
    for (const QByteArray& row : found)
        foundSymbols.append(rowSymbol(row));
    QCOMPARE(foundSymbols, rows);
    if (found.isEmpty())
        return;

    // A scanner that misses a symbol moves on 100 bytes: 19 misses must not carry it
    // past a row, whether they come before the first row or between two rows.
    QCOMPARE(page.body.indexOf(found.constFirst()) - marker, qsizetype(2100));
    for (const QByteArray& row : found) {
        const QByteArray symbol = rowSymbol(row);
        QVERIFY2(row.size() + 1 == 2048, symbol.constData());
        // Only the symbol's own link ends in the symbol and '">'.
        QCOMPARE(row.count(symbol + "\">"), qsizetype(1));
        const QStringList cells = cellTexts(row);
        const QStringList colours = fontColours(row);
        if (kind == "e" && symbol.contains('.')) {
            QCOMPARE(cells.value(1), QString("Real-time data no longer available for this symbol"));
            QVERIFY(!row.contains("color"));
            continue;
        }
        QCOMPARE(cells.size(), 7);
        static const QRegularExpression time("^(\\d{1,2}:\\d\\d[AP]M ET|ET|)$");
        static const QRegularExpression money("^\\d{1,3}(,\\d{3})*\\.\\d\\d$");
        QVERIFY2(time.match(cells[1]).hasMatch(), qPrintable(cells[1]));
        QVERIFY2(money.match(cells[2]).hasMatch(), qPrintable(cells[2]));
        if (kind == "v1") {
            static const QRegularExpression percent("^([+-]\\d+\\.\\d\\d|0\\.00)%$");
            static const QRegularExpression count("^\\d{1,3}(,\\d{3})*$");
            QVERIFY2(money.match(cells[3]).hasMatch(), qPrintable(cells[3]));
            QVERIFY2(percent.match(cells[4]).hasMatch(), qPrintable(cells[4]));
            QVERIFY2(count.match(cells[5]).hasMatch(), qPrintable(cells[5]));
            const int sign = cells[4].startsWith('+') ? 1 : (cells[4].startsWith('-') ? -1 : 0);
            QCOMPARE(row.contains("alt=\"Up\""), sign > 0);
            QCOMPARE(row.contains("alt=\"Down\""), sign < 0);
            QCOMPARE(centsOf(cells[3]) == 0, sign == 0);
            // The percent is the change over the previous close.
            const qint64 change = centsOf(cells[3]);
            const qint64 previousClose = centsOf(cells[2]) - sign * change;
            const double expected = 100.0 * change / previousClose;
            QVERIFY2(qAbs(cells[4].chopped(1).toDouble() - sign * expected) <= 0.006, qPrintable(cells[4]));
            QVERIFY(colours.isEmpty());
        } else {
            static const QRegularExpression change("^\\d{1,3}(,\\d{3})*\\.\\d\\d \\(\\d+\\.\\d\\d%\\)$");
            QVERIFY2(change.match(cells[3]).hasMatch(), qPrintable(cells[3]));
            QVERIFY2(change.match(cells[4]).hasMatch() || cells[4] == "N/A", qPrintable(cells[4]));
            QCOMPARE(colours.size(), 2);
            if (cells[4] == "N/A")
                QCOMPARE(colours[1], QString("#000000"));
            QVERIFY(row.contains("&nbsp;"));
        }
    }
}

void TestQuoted::scannersFindEveryRow_data() {
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("chunked");
    QTest::addColumn<QByteArrayList>("symbols");
    QTest::addColumn<QByteArrayList>("absent");

    QByteArrayList misses;
    for (int i = 1; i <= 18; ++i)
        misses.append("ZZ" + QByteArray::number(i).rightJustified(2, '0'));
    const QByteArrayList tails{"MSFT", "SFT", "FT", "T", "ET", "ABCDQ", "ABCDW", "A", "xxxx"};
    const QByteArrayList mixed{"msft", "brk.b", "^dji", "^GSPC", "abcdq", "QQQ", "12345", "A$B", "GE"};
    const QByteArrayList sixes{"IBM", "GOOGLE", "nasdaq", "MSFT", "BRK.BB", "F", "ABCDEF", "ZZZZZZ", "KO", "AGOOGL"};

    for (const bool chunked : {false, true}) {
        for (const QByteArray kind : {"v1", "e"}) {
            const char* framing = chunked ? "chunked" : "plain";
            QTest::addRow("symbol tails, %s, %s", kind.constData(), framing)
                << kind << chunked << tails << QByteArrayList{"xxxx"};
            QTest::addRow("18 misses first, %s, %s", kind.constData(), framing)
                << kind << chunked << (misses + QByteArrayList{"IBM", "GE"}) << misses;
            QTest::addRow("18 misses between, %s, %s", kind.constData(), framing)
                << kind << chunked << (QByteArrayList{"IBM"} + misses + QByteArrayList{"F"}) << misses;
            QTest::addRow("case, dots, indexes, %s, %s", kind.constData(), framing)
                << kind << chunked << mixed << QByteArrayList{"12345", "A$B"};
            QTest::addRow("six characters among others, %s, %s", kind.constData(), framing)
                << kind << chunked << sixes << QByteArrayList{"ZZZZZZ"};
        }
    }
}

void TestQuoted::scannersFindEveryRow() {
    QFETCH(QByteArray, kind);
    QFETCH(bool, chunked);
    QFETCH(QByteArrayList, symbols);
    QFETCH(QByteArrayList, absent);

    QuotedProcess chunkedServer({"--chunked"});
    if (chunked)
        QVERIFY2(chunkedServer.isListening(), qPrintable(chunkedServer.errorText()));
    const quint16 port = chunked ? chunkedServer.port() : plain_->port();
    const RawExchange exchange = exchangeRaw(port, quoteRequest(quotePath(symbols.join(','), kind)));
    QVERIFY(exchange.closedByServer);
    QVERIFY(exchange.bytes.size() < ReplyBufferSize);
    QByteArray reply = exchange.bytes;

    QByteArrayList dataLines;
    QList<double> directions;
    const auto table = std::make_unique<SymbolTable>(); // a new load's: batch 0, searched from 0
    fillBatch(table->symbols, table->lengths, symbols);
    if (kind == "v1") {
        DelayedRows sink;
        parseQuotePage(reply.data(), static_cast<int>(reply.size()), *table, sink);
        dataLines = sink.dataLines;
    } else {
        RealTimeRows sink;
        parseRtPage(reply.data(), static_cast<int>(reply.size()), *table, sink);
        dataLines = sink.dataLines;
        directions = sink.tradeDirections;
    }

    QCOMPARE(dataLines.size(), symbols.size());
    for (qsizetype i = 0; i < symbols.size(); ++i) {
        const QByteArray symbol = symbols[i].toUpper();
        const QByteArray line = dataLines[i];
        if (absent.contains(symbols[i])) {
            QVERIFY2(line.contains(" symbol not found "), line.constData());
            continue;
        }
        // The row found is the symbol's own: its first word is the symbol.
        QVERIFY2(!line.contains(" symbol not found "), line.constData());
        if (kind == "v1") {
            const QByteArrayList words = line.trimmed().split(' ');
            QCOMPARE(words.size(), 7);
            QCOMPARE(words[0], symbol);
            QVERIFY2(words[2] == "ET", line.constData());
            if (symbol == "ABCDQ" || symbol == "ABCDW")
                QCOMPARE(words[1], QByteArray("Unknown"));
            QVERIFY2(QRegularExpression("^([+-]\\d+\\.\\d\\d|0\\.00)%$").match(QString(words[5])).hasMatch(),
                     line.constData());
        } else {
            const QByteArrayList fields = line.trimmed().split(' ');
            QCOMPARE(fields.value(0), symbol);
            if (symbol.contains('.'))
                QCOMPARE(directions[i], -100.0);
            else
                QVERIFY2(directions[i] == 1 || directions[i] == -1 || directions[i] == 0, line.constData());
            if (symbol == "ABCDQ")
                QVERIFY2(line.contains("   Unknown ET   "), line.constData());
        }
    }
}

void TestQuoted::realTimeAgreesWithDelayed() {
    // With the default seed AAPL rises, MSFT falls and AMD is unchanged.
    const QByteArray symbols = "AAPL,MSFT,AMD,ABCDQ,^DJI,BRK.A,GE,INTC";
    const QByteArrayList replies = withinOneMinute({{plain_->port(), quoteRequest(quotePath(symbols, "v1"))},
                                                    {plain_->port(), quoteRequest(quotePath(symbols, "e"))}});
    QCOMPARE(replies.size(), 2);
    const QByteArrayList delayedRows = quoteRows(readPage(replies[0]).body);
    const QByteArrayList realTimeRows = quoteRows(readPage(replies[1]).body);
    QCOMPARE(delayedRows.size(), 8);
    QCOMPARE(realTimeRows.size(), 8);

    int up = 0, down = 0, unchanged = 0;
    for (qsizetype i = 0; i < delayedRows.size(); ++i) {
        const QStringList delayed = cellTexts(delayedRows[i]);
        const QStringList realTime = cellTexts(realTimeRows[i]);
        QCOMPARE(rowSymbol(realTimeRows[i]), rowSymbol(delayedRows[i]));
        if (rowSymbol(delayedRows[i]) == "BRK.A") {
            QVERIFY(fontColours(realTimeRows[i]).isEmpty());
            continue;
        }
        QCOMPARE(realTime[1], delayed[1]); // time
        QCOMPARE(realTime[2], delayed[2]); // price
        const QString percent = delayed[4];
        const QString unsignedPercent = percent.startsWith('+') || percent.startsWith('-') ? percent.mid(1) : percent;
        QCOMPARE(realTime[3], delayed[3] + " (" + unsignedPercent + ")");
        const QString colour = fontColours(realTimeRows[i]).value(0);
        if (percent.startsWith('+')) {
            QCOMPARE(colour, QString("#008800"));
            ++up;
        } else if (percent.startsWith('-')) {
            QCOMPARE(colour, QString("#cc0000"));
            ++down;
        } else {
            QCOMPARE(colour, QString("#000000"));
            ++unchanged;
        }
    }
    QVERIFY(up > 0 && down > 0 && unchanged > 0);
}

void TestQuoted::defaultSeedDirections_data() {
    QTest::addColumn<QByteArray>("symbols");
    QTest::addColumn<QString>("percentSign"); // "+", "-", or "" for 0.00%
    QTest::addRow("rising") << QByteArray("AAPL,C,INTC,XOM,^DJI") << "+";
    QTest::addRow("falling") << QByteArray("MSFT,IBM,GE,JPM,T") << "-";
    QTest::addRow("unchanged") << QByteArray("AMD,AMZN,BAC,D,ABCDQ,ABCDW") << "";
}

void TestQuoted::defaultSeedDirections() {
    QFETCH(QByteArray, symbols);
    QFETCH(QString, percentSign);
    const HttpPage page = fetch(plain_->port(), quotePath(symbols, "v1"));
    QVERIFY(page.framed);
    const QByteArrayList rows = quoteRows(page.body);
    QCOMPARE(rows.size(), symbols.count(',') + 1);
    for (const QByteArray& row : rows) {
        const QString percent = cellTexts(row).value(4);
        if (percentSign.isEmpty())
            QVERIFY2(percent == "0.00%", qPrintable(percent));
        else
            QVERIFY2(percent.startsWith(percentSign), qPrintable(rowSymbol(row) + ' ' + percent));
    }
}

void TestQuoted::chunkedFraming_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addRow("delayed") << quotePath("MSFT,IBM,^DJI,ZZZZ,ABCDQ,1ABC", "v1");
    QTest::addRow("real-time") << quotePath("MSFT,IBM,^DJI,ZZZZ,BRK.A,1ABC", "e");
    QTest::addRow("details") << QByteArray("/q/bc?s=MSFT&t=1y");
    QTest::addRow("not found") << QByteArray("/nowhere");
}

void TestQuoted::chunkedFraming() {
    QFETCH(QByteArray, path);
    QuotedProcess chunkedServer({"--chunked"});
    QVERIFY2(chunkedServer.isListening(), qPrintable(chunkedServer.errorText()));

    const QByteArrayList replies =
        withinOneMinute({{plain_->port(), quoteRequest(path)}, {chunkedServer.port(), quoteRequest(path)}});
    QCOMPARE(replies.size(), 2);
    const HttpPage plain = readPage(replies[0]);
    const HttpPage chunked = readPage(replies[1]);
    QVERIFY(plain.framed);
    QVERIFY(chunked.framed);
    QVERIFY(chunked.chunked);
    QVERIFY(!chunked.head.contains("Content-Length"));
    QCOMPARE(chunked.status, plain.status);
    QCOMPARE(chunked.body, plain.body);
    // No page line the scanners' skip rules could eat: none of one character, none
    // starting with '1', no three line breaks in a row.
    QVERIFY(!plain.body.contains("\n\n\n"));
    for (const QByteArray& line : plain.body.split('\n')) {
        if (!line.isEmpty())
            QVERIFY2(line.size() > 1 && !line.startsWith('1'), line.constData());
    }

    QVERIFY(chunked.chunkSizeLines.size() >= 2);
    QCOMPARE(chunked.chunkSizeLines.constLast(), QByteArray("0"));
    qsizetype border = 0;
    for (qsizetype i = 0; i + 1 < chunked.chunkSizeLines.size(); ++i) {
        const QByteArray& size = chunked.chunkSizeLines[i];
        QVERIFY2(size.size() == 3 && size.toInt(nullptr, 16) >= 0x100 && size.toInt(nullptr, 16) <= 0x1ff,
                 size.constData());
        if (i > 0) {
            // The scanners drop a size line cleanly only between printable bytes and
            // when no '1' follows it.
            auto printable = [](char c) { return c >= 32 && c <= 126; };
            const QByteArray around = chunked.body.sliced(border - 3, 6);
            QVERIFY2(std::all_of(around.cbegin(), around.cend(), printable) && around[3] != '1',
                     around.toPercentEncoding().constData());
        }
        border += size.toInt(nullptr, 16);
    }
}

void TestQuoted::shortReplies_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("replies"); // S short, F full, in order
    QTest::addRow("first two") << QStringList{"--short", "2"} << QByteArray("SSFF");
    QTest::addRow("always") << QStringList{"--short", "-1"} << QByteArray("SSSS");
    QTest::addRow("never") << QStringList{} << QByteArray("FF");
}

void TestQuoted::shortReplies() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, replies);
    QuotedProcess server(args);
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));

    for (const char expected : replies) {
        const RawExchange exchange = exchangeRaw(server.port(), quoteRequest(quotePath("MSFT,IBM", "v1")));
        QVERIFY(exchange.closedByServer);
        const HttpPage page = readPage(exchange.bytes);
        QVERIFY(page.framed);
        if (expected == 'S') {
            QVERIFY2(exchange.bytes.size() < ShortReplyLimit, QByteArray::number(exchange.bytes.size()).constData());
            QCOMPARE(page.status, 200);
        } else {
            QVERIFY(exchange.bytes.size() >= ShortReplyLimit);
            QCOMPARE(page.status, 200);
            QCOMPARE(quoteRows(page.body).size(), 2);
        }
    }
}

void TestQuoted::holdOpenKeepsTheConnection() {
    QuotedProcess server({"--hold-open"});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(socket.waitForConnected(5000));
    for (const QByteArray& symbols : {QByteArray("MSFT"), QByteArray("IBM,GE")}) {
        socket.write(quoteRequest(quotePath(symbols, "v1")));
        const HttpPage page = readPage(readOneReply(socket, 10000));
        QVERIFY(page.framed);
        QCOMPARE(page.status, 200);
        QVERIFY(page.head.contains("\r\nConnection: keep-alive"));
        QCOMPARE(quoteRows(page.body).size(), symbols.count(',') + 1);
        // The reply is complete, yet the server keeps the connection.
        QVERIFY(!socket.waitForDisconnected(700));
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(socket.bytesAvailable(), qint64(0));
    }
    socket.disconnectFromHost();
}

void TestQuoted::refuseClosesWithoutReply() {
    QuotedProcess server({"--refuse"});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    for (int i = 0; i < 2; ++i) {
        const RawExchange exchange = exchangeRaw(server.port(), quoteRequest(quotePath("MSFT", "v1")), 5000);
        QVERIFY(exchange.connected);
        QVERIFY(exchange.closedByServer);
        QCOMPARE(exchange.bytes, QByteArray());
    }
}

void TestQuoted::recordKeepsTheExactBytes() {
    QuotedProcess server({}, QuotedProcess::Recording::On);
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    const QByteArrayList requests{
        "GET /q/cq?s=MSFT,IBM&d=v1 HTTP/1.1\nHost: localhost\n\n",
        "GET /q/cq?s=msft,xxxx&d=e HTTP/1.1\r\nHost: localhost\r\n\r\n",
        // A portfolio line with a trailing blank is sent as it is.
        "GET /q/cq?s=IBM ,GE&d=v1 HTTP/1.1\nHost: quotes.example:8080\n\n",
    };
    const QList<int> rows{2, 1, 1};
    for (qsizetype i = 0; i < requests.size(); ++i) {
        const RawExchange exchange = exchangeRaw(server.port(), requests[i]);
        QVERIFY(exchange.closedByServer);
        const HttpPage page = readPage(exchange.bytes);
        QCOMPARE(page.status, 200);
        QCOMPARE(quoteRows(page.body).size(), rows[i]);
    }
    QCOMPARE(server.recordedRequests(), requests);
}

void TestQuoted::slowRepliesComeInPieces() {
    constexpr int pauseMs = 40;
    QuotedProcess server({"--slow", QString::number(pauseMs)});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QElapsedTimer timer;
    timer.start();
    const RawExchange exchange = exchangeRaw(server.port(), quoteRequest(quotePath("MSFT,IBM", "v1")), 30000);
    const qint64 elapsed = timer.elapsed();
    QVERIFY(exchange.closedByServer);
    const HttpPage page = readPage(exchange.bytes);
    QVERIFY(page.framed);
    QCOMPARE(quoteRows(page.body).size(), 2);
    const qint64 pieces = (exchange.bytes.size() + 511) / 512;
    QVERIFY2(elapsed >= (pieces - 1) * pauseMs * 8 / 10, QByteArray::number(elapsed).constData());
}

void TestQuoted::detailsPage_data() {
    QTest::addColumn<QByteArray>("symbol");
    QTest::addColumn<bool>("chart");
    QTest::addColumn<QByteArray>("text");
    QTest::addRow("stock") << QByteArray("MSFT") << true << QByteArray("<h1>Microsoft Corporation <span");
    QTest::addRow("index, lower case") << QByteArray("^dji") << true << QByteArray("Dow Jones Industrial Average");
    QTest::addRow("escaped index") << QByteArray("%5EGSPC") << true << QByteArray("S&amp;P 500");
    QTest::addRow("made-up name") << QByteArray("qwer") << true << QByteArray("(QWER)");
    QTest::addRow("no trade yet") << QByteArray("ABCDQ") << true << QByteArray("No trade yet today");
    QTest::addRow("unknown") << QByteArray("ZZZZ") << false << QByteArray("No such symbol");
    QTest::addRow("blanks only") << QByteArray("%20%20") << false << QByteArray("No symbol given");
    QTest::addRow("empty") << QByteArray("") << false << QByteArray("No symbol given");
}

void TestQuoted::detailsPage() {
    QFETCH(QByteArray, symbol);
    QFETCH(bool, chart);
    QFETCH(QByteArray, text);

    const HttpPage page = fetch(plain_->port(), "/q/bc?s=" + symbol + "&t=1y");
    QVERIFY(page.framed);
    QCOMPARE(page.status, 200);
    QVERIFY2(page.body.contains(text), page.body.constData());
    // Nothing from outside: no script, no font, no address to fetch.
    QVERIFY(!page.body.contains("<script"));
    QVERIFY(!page.body.contains("http:") && !page.body.contains("https:"));
    QVERIFY(!page.body.contains("@font-face") && !page.body.contains("url("));
    QCOMPARE(page.body.count("<svg"), qsizetype(chart ? 1 : 0));
    if (!chart)
        return;

    static const QRegularExpression pricePath("<path class=\"price\" d=\"M[\\d.]+,[\\d.]+((?: L[\\d.]+,[\\d.]+)+)\"");
    const QRegularExpressionMatch path = pricePath.match(QString::fromLatin1(page.body));
    QVERIFY(path.hasMatch());
    const qsizetype points = path.captured(1).count(" L") + 1;
    QVERIFY2(points >= 240 && points <= 270, QByteArray::number(points).constData()); // a year of weekdays

    static const QRegularExpression monthLabel("<text[^>]*>(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)</text>");
    QSet<QString> months;
    for (const QRegularExpressionMatch& match : monthLabel.globalMatch(QString::fromLatin1(page.body)))
        months.insert(match.captured(1));
    QVERIFY2(months.size() >= 11, QByteArray::number(months.size()).constData());
    static const QRegularExpression priceLabel("<text[^>]*>\\d{1,3}(,\\d{3})*(\\.\\d+)?</text>");
    qsizetype priceLabels = 0;
    for (auto it = priceLabel.globalMatch(QString::fromLatin1(page.body)); it.hasNext(); it.next())
        ++priceLabels;
    QVERIFY(priceLabels >= 4);
}

void TestQuoted::otherRequests_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("text"); // in the head, or the body when there is one
    QTest::addColumn<bool>("keepsOpen");  // under --hold-open, after the reply
    const auto row = [](const char* name, const QByteArray& request, int status, const QByteArray& text,
                        bool keepsOpen = false) {
        QTest::addRow("%s", name) << request << status << text << keepsOpen;
    };

    const QByteArray names100 = QByteArrayList(100, "IBM").join(',');
    const QByteArray notFound("<h1>404");
    row("root", quoteRequest("/"), 404, notFound);
    row("icon", quoteRequest("/favicon.ico"), 404, notFound);
    row("other quote key", quoteRequest(quotePath("MSFT", "zz")), 404, notFound);
    row("other page", quoteRequest("/q/xx?s=MSFT"), 404, notFound);
    const QByteArray allow("\r\nAllow: GET, HEAD\r\n");
    row("post", "POST /q/cq?s=MSFT&d=v1 HTTP/1.1\nHost: localhost\n\n", 405, allow);
    row("connect", "CONNECT localhost:443 HTTP/1.1\r\nHost: localhost:443\r\n\r\n", 405, allow);
    row("m-search", "M-SEARCH * HTTP/1.1\r\nHost: 239.255.255.250:1900\r\n\r\n", 405, allow);
    row("no request line", "HELLO\n\n", 400, "<h1>400");
    // HEAD: the headers GET has, no body.
    row("head", "HEAD /q/cq?s=MSFT&d=v1 HTTP/1.1\nHost: localhost\n\n", 200, "\r\nContent-Length: ", true);
    row("100 symbols", quoteRequest(quotePath(names100, "e")), 200, "IBM</a>", true);
    row("101 symbols", quoteRequest(quotePath(names100 + ",,GE", "v1")), 414,
        "at most 100 symbols; this one names 101.");
    row("20000 symbols", quoteRequest(quotePath(QByteArrayList(20000, "GE").join(','), "v1")), 414,
        "at most 100 symbols.");
    row("status", quoteRequest("/status"), 200, "market\tsimulated\tfresh\t-\t-\t-\t-\n", true);

    // The request line and the connection's end.
    const QByteArray quote("MSFT</a>");
    row("empty lines first, blank in the target", "\r\n\nGET /q/cq?s=IBM ,MSFT&d=v1 HTTP/1.1\nHost: localhost\n\n", 200,
        quote, true);
    row("absolute form", "GET http://127.0.0.1:1/q/cq?s=MSFT&d=v1 HTTP/1.1\r\nHost: x\r\n\r\n", 200, quote, true);
    row("HTTP/1.0", "GET /q/cq?s=MSFT&d=v1 HTTP/1.0\r\n\r\n", 200, quote);
    row("HTTP/1.0 keep-alive", "GET /q/cq?s=MSFT&d=v1 HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", 200, quote, true);
    const QByteArray get = "GET /q/cq?s=MSFT&d=v1 HTTP/1.1\r\nHost: localhost\r\n";
    row("connection close", get + "Connection: TE, close\r\n\r\n", 200, quote);
    row("HTTP/5.6", "GET / HTTP/5.6\r\nHost: localhost\r\n\r\n", 505, "Only HTTP/1.0 and HTTP/1.1");
    const QByteArray badLine("Malformed request line");
    row("method not a token", "GE{T / HTTP/1.1\r\nHost: localhost\r\n\r\n", 400, badLine);
    row("two blanks", "GET  / HTTP/1.1\r\nHost: localhost\r\n\r\n", 400, badLine);
    row("no version", "GET /q/cq?s=MSFT&d=v1\r\n\r\n", 400, badLine);
    row("no host", "GET / HTTP/1.1\r\n\r\n", 400, "No Host header.");
    row("two hosts", get + "Host: localhost\r\n\r\n", 400, "More than one Host");

    // The head's letter; an unfinished head is answered as soon as it breaks it.
    const QByteArray bareCr("Bare CR in the header section.");
    const QByteArray badField("Malformed header line.");
    row("bare CR in the request line", "GET /q/cq?s=MSFT&d=v1\rHTTP/1.1\r\nHost: localhost\r\n\r\n", 400, bareCr);
    row("bare CR in a field", get + "Foo: 1\rTransfer-Encoding: chunked\r\n\r\n", 400, bareCr);
    row("blank before the colon", get + "Transfer-Encoding : chunked\r\n\r\n", 400, badField);
    row("name not a token", get + "X(a): 1\r\n\r\n", 400, badField);
    row("NUL in a value", get + "X-A: 1" + '\0' + "2\r\n\r\n", 400, badField);
    row("control byte in a value", get + "X-A: \x01\r\n\r\n", 400, badField);
    row("no colon, head unfinished", get + "Accept\r\n", 400, badField);
    row("whitespace before the first header", "GET / HTTP/1.1\r\n Host: localhost\r\n\r\n", 400,
        "Whitespace before the first header.");
    row("folded line", get + "X-A: 1\r\n 2\r\n\r\n", 400, "Folded header line.");

    // Bodies are framed and dropped.
    row("length body", get + "Content-Length: 5\r\n\r\nGET /", 200, quote, true);
    const QByteArray asRequest = quoteRequest(quotePath("AAPL,C,INTC", "v1"));
    row("body that reads as a request",
        get + "Content-Length: " + QByteArray::number(asRequest.size()) + "\r\n\r\n" + asRequest, 200, quote, true);
    row("equal lengths", get + "Content-Length: 3, 3\r\n\r\nabc", 200, quote, true);
    row("chunked body, extension, trailer",
        get + "Transfer-Encoding: chunked\r\n\r\n3;a=\"b\"\r\nabc\n0\r\nX-T: 1\r\n\r\n", 200, quote, true);
    const QByteArray tooLarge("at most 65536 bytes");
    const QByteArray chunked = get + "Transfer-Encoding: chunked\r\n\r\n";
    row("length over 64 KB", get + "Content-Length: 65537\r\n\r\n", 413, tooLarge);
    row("chunks over 64 KB", chunked + "8000\r\n" + QByteArray(0x8000, 'x') + "\r\n8001\r\n", 413, tooLarge);
    row("chunk size with junk", chunked + "2 erfrferferf\r\nab\r\n0\r\n\r\n", 400, "Malformed chunk size.");
    row("chunk past its size", chunked + "2\r\nabc\r\n", 400, "Malformed chunk");
    row("both framing fields", get + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\nabc", 400,
        "Both Content-Length and Transfer-Encoding.");
    const QByteArray conflicting("Conflicting Content-Length.");
    row("differing lengths", get + "Content-Length: 3, 4\r\n\r\nabc", 400, conflicting);
    row("differing length fields", get + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabc", 400, conflicting);
    row("unknown coding", get + "Transfer-Encoding: gzip, chunked\r\n\r\n", 501, "Only the chunked transfer coding");
    row("chunked not last", get + "Transfer-Encoding: chunked, gzip\r\n\r\n", 400,
        "Chunked is not the last transfer coding.");
}

// Each request as the reader frames it and the routes answer it: a fault is refused on the bytes
// that break the rules, waiting for no more. Then on the wire, in both modes.
void TestQuoted::otherRequests() {
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(QByteArray, text);
    QFETCH(bool, keepsOpen);
    RequestReader reader;
    const qsizetype taken = reader.take(request);
    const bool refused = reader.step() == RequestReader::Step::Refused;
    const HttpReply routed = refused ? HttpReply{} : route(reader.request(), market_, QDateTime::currentDateTimeUtc());
    QCOMPARE(refused ? reader.refusalStatus() : routed.status, status);
    // A sound request is whole, its body read to its end and dropped.
    QVERIFY(refused || (reader.step() == RequestReader::Step::Request && taken == request.size()));

    const bool head = request.startsWith("HEAD");
    for (const QuoteServer* server : {&plainHere_, &heldHere_}) {
        const bool open = keepsOpen && server == &heldHere_;
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server->port());
        socket.write(request);
        const HttpPage page = readPage(readOneReply(socket, 5000, head));
        QCOMPARE(page.status, status);
        QVERIFY2(page.head.endsWith(open ? "\r\nConnection: keep-alive" : "\r\nConnection: close"),
                 page.head.constData());
        QVERIFY2((page.head + page.body).contains(text), page.head.constData());
        // HEAD: the length of GET's body, and no body.
        QVERIFY(head ? page.body.isEmpty() &&
                           page.head.contains("\r\nContent-Length: " + QByteArray::number(routed.body.size()) + "\r\n")
                     : page.framed);
        if (open) { // the next request is read from its first byte
            socket.write(quoteRequest(quotePath("MSFT", "v1")));
            QCOMPARE(readPage(readOneReply(socket, 5000)).status, 200);
        } else { // the server ends the connection after the reply
            QVERIFY(socket.state() == QAbstractSocket::UnconnectedState ||
                    QSignalSpy(&socket, &QAbstractSocket::disconnected).wait(5000));
        }
        QCOMPARE(socket.readAll(), QByteArray()); // nothing more came
    }
}

namespace {

int connectRaw(quint16 port, int receiveBuffer = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// How many of the sockets the server has ended (hung up or reset), without reading from them.
qsizetype endedBy(const std::vector<int>& sockets) {
    std::vector<pollfd> polls;
    for (int fd : sockets)
        polls.push_back({fd, POLLRDHUP, 0});
    ::poll(polls.data(), polls.size(), 0);
    return std::count_if(polls.cbegin(), polls.cend(),
                         [](const pollfd& p) { return p.revents & (POLLHUP | POLLERR | POLLRDHUP); });
}

} // namespace

// 1,000 idle connections and one that never reads its long pages (more than the kernel's
// buffers hold) do not keep a client out, and each ends at its deadline.
// How soon a page comes after another client's flood. The sanitizer build reads every byte of
// the flood several times slower, and is there for memory faults, not for this bound.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 FloodAnswerMs = 300;
#else
constexpr qint64 FloodAnswerMs = 100;
#endif

void TestQuoted::idleAndStalledClients() {
    constexpr int IdleClients = 1000;
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < IdleClients + 100)
        QSKIP("the open-file limit is too low for 1,000 connections");

    QuotedProcess server({"--hold-open"});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    std::vector<int> sockets;
    const auto closeAll = qScopeGuard([&] {
        for (int fd : sockets)
            ::close(fd);
    });
    for (int i = 0; i < IdleClients; ++i) {
        sockets.push_back(connectRaw(server.port()));
        QVERIFY(sockets.back() >= 0);
    }
    const int stalled = connectRaw(server.port(), 2048);
    QVERIFY(stalled >= 0);
    sockets.push_back(stalled);
    const QByteArray longPage =
        QByteArrayList(40, quoteRequest(quotePath(QByteArrayList(100, "MSFT").join(','), "v1"))).join();
    QCOMPARE(::send(stalled, longPage.constData(), size_t(longPage.size()), 0), ssize_t(longPage.size()));

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer timer;
        timer.start();
        QTcpSocket client; // held open, as the server holds it
        client.connectToHost(QHostAddress::LocalHost, server.port());
        QVERIFY(client.waitForConnected(5000));
        client.write(quoteRequest(quotePath("MSFT", "v1")));
        QCOMPARE(readPage(readOneReply(client, 5000)).status, 200);
        if (i == 1) // the first page after the flood waits for it to be accepted
            QVERIFY2(timer.elapsed() <= FloodAnswerMs, QByteArray::number(timer.elapsed()).constData());
    }
    QCOMPARE(endedBy(sockets), qsizetype(0));
    QVERIFY(QTest::qWaitFor([&] { return endedBy(sockets) == qsizetype(sockets.size()); }, 16000));
    QVERIFY2(clock.elapsed() >= 9000, QByteArray::number(clock.elapsed()).constData());
}

// A FIFO or a device in the file's place keeps the last good prices, said once; a server never
// starts on one.
void TestQuoted::feedFileRules_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");      // of the delayed page for A,B,C,D,E,F,G,H, cells joined by |
    QTest::addColumn<QByteArrayList>("errors"); // after the file's name
    QTest::newRow("columns in any order, others ignored, CRLF and byte-order mark")
        << QByteArray("\xEF\xBB\xBFLast , Extra,SYMBOL,time,volume\r\n12.5,x,b,4:05pm,1234567\r\n")
        << QStringList{"B|4:05PM ET|12.50|0.00|0.00%|1,234,567"} << QByteArrayList{};
    QTest::newRow("quoted cells") << QByteArray("symbol,name,last,change\n\"A\",\"The \"\"Real\"\" Thing, Inc.\", "
                                                "\"61.02\" ,\"-0.5\"\n")
                                  << QStringList{"A||61.02|0.50|-0.81%|0"} << QByteArrayList{};
    QTest::newRow("digits past the cent, times")
        << QByteArray("symbol,last,change,time\nA,0.125,-0.005,09:30:59\nB,7,,0:05\nC,7,,12:00PM\n")
        << QStringList{"A|9:30AM ET|0.13|0.01|-7.14%|0", "B|12:05AM ET|7.00|0.00|0.00%|0",
                       "C|12:00PM ET|7.00|0.00|0.00%|0"}
        << QByteArrayList{};
    QTest::newRow("a later line of a symbol wins")
        << QByteArray("symbol,last\nA,1\nB,2\nA,3\n") << QStringList{"A||3.00|0.00|0.00%|0", "B||2.00|0.00|0.00%|0"}
        << QByteArrayList{};
    QTest::newRow("lines that cannot be read")
        << QByteArray("symbol,last,change,time\nA,1.00\nB,\nC,1,5\n\"D,1.00\nE,1,2,3,4\n,1.00\nF$,1\nG,-1\n"
                      "\nH,1.00,,25:00\nB,2\n")
        << QStringList{"A||1.00|0.00|0.00%|0", "B||2.00|0.00|0.00%|0"}
        << QByteArrayList{":3: line skipped: last is empty\n",
                          ":4: line skipped: change \"5\" leaves no previous close above 0.00 for last \"1\"\n",
                          ":5: line skipped: a double quote is not closed on its line\n",
                          ":6: line skipped: 5 cells where the header has 4 (a cell with a comma needs double "
                          "quotes)\n",
                          ":7: line skipped: the symbol is empty\n",
                          ":8: line skipped: symbol \"F$\" is not 1 to 6 letters, digits, '.' or '-' (or a '^' "
                          "and those)\n",
                          ":9: line skipped: last \"-1\" is not a number such as 12.34\n",
                          ":11: line skipped: time \"25:00\" is not a time such as 16:00 or 4:00PM\n"};
    QTest::newRow("a line over 4 KB") << "symbol,last,name\nA,1.00,x\nB,2.00," + QByteArray(4090, 'n') + "\n"
                                      << QStringList{"A||1.00|0.00|0.00%|0"}
                                      << QByteArrayList{":3: line skipped: it is 4097 bytes long, over the 4096 a "
                                                        "line may hold\n"};
}

void TestQuoted::feedFileRules() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    QFETCH(QByteArrayList, errors);
    const QString path = writeScratch("rules.csv", file);
    StandardErrorCapture said;
    QByteArray page;
    {
        QuoteFeed feed(path); // read once before it is made
        page = quotePage(QuotePageKind::Delayed, feed, QByteArray("A,B,C,D,E,F,G,H").split(','),
                         QDateTime::currentDateTimeUtc());
    }
    QStringList shown;
    for (const QByteArray& row : quoteRows(page))
        shown.append(cellTexts(row).mid(0, 6).join('|'));
    QCOMPARE(shown, rows);
    QByteArray expected;
    for (const QByteArray& error : errors)
        expected += "tickwell-quoted: " + path.toUtf8() + error;
    expected += "tickwell-quoted: quotes from " + path.toUtf8() + ": " + QByteArray::number(rows.size()) +
                (rows.size() == 1 ? " symbol\n" : " symbols\n");
    QCOMPARE(said.text(), expected);
}

void TestQuoted::feedSwappedWhileRunning() {
    const QString feed = scratch_.filePath("swapped.csv");
    QFile file(feed);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("symbol,last\nIBM,12.50\n");
    file.close();
    QuotedProcess server({"--quotes", feed});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    const QByteArray name = QFile::encodeName(feed);
    const QByteArray kept = "; the last good prices stay until it can be read\n";
    const QList<std::pair<QString, QByteArray>> swaps{{scratch_.filePath("fifo.csv"), "is a FIFO"},
                                                      {"/dev/zero", "is a device"}};
    for (const auto& [target, kind] : swaps) {
        const QString link = scratch_.filePath("link");
        QVERIFY(QFile::link(target, link));
        QCOMPARE(::rename(QFile::encodeName(link).constData(), name.constData()), 0);
        const QByteArray message = name + ": " + kind + ", not a regular file" + kept;
        QVERIFY2(server.waitForErrorOutput(message), server.errorOutput().constData());
        QCOMPARE(cellTexts(quoteRows(fetch(server.port(), quotePath("IBM", "v1")).body).value(0)).value(2),
                 QString("12.50"));
        QTest::qWait(500);
        QCOMPARE(server.errorOutput().count(message), qsizetype(1));
    }
}

// A command source that prints a feed, then fails, prints no feed, hangs past its bound: its last
// good prices stay, the fault is said once and the recovery once.
void TestQuoted::commandSourceFaults() {
    const ShortBounds bounds;
    writeScratch("mode", "feed");
    writeScratch("cmd.csv", "symbol,last\nIBM,12.50\nMSFT,\"12,50\"\n");
    QuotedProcess server({"--sources", writeScratch("cmd.conf", "[cmd]\ncommand = case $(cat mode) in feed) cat "
                                                                "cmd.csv;; fail) echo broken >&2; exit 1;; junk) "
                                                                "echo junk;; *) exec sleep 9;; esac\nevery = 1\n")});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"12.50"}); // the first page waits for the first run
    const QList<std::pair<QByteArray, QByteArray>> faults{
        {"fail", "exited with status 1"},
        {"junk", "output: its header row (line 1) has no column \"symbol\" and no column \"last\""},
        {"hang", "did not finish within 1 s"}};
    for (const auto& [mode, error] : faults) {
        writeScratch("mode", mode);
        QVERIFY2(
            QTest::qWaitFor([&] { return fetch(server.port(), "/status").body.contains('\t' + error + '\t'); }, 8000),
            fetch(server.port(), "/status").body.constData());
        QCOMPARE(prices(server.port(), "IBM"), QStringList{"12.50"});
    }
    writeScratch("cmd.csv", "symbol,last\nIBM,13.00\n");
    writeScratch("mode", "feed");
    QVERIFY2(server.waitForErrorOutput("tickwell-quoted: [cmd] works again: 1 symbol\n"), server.errorOutput());
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"13.00"});
    static const QRegularExpression status("^cmd\tcommand\tfresh\t1\t" + Time + "\t-\t" + Time + "\n$");
    QVERIFY(status.match(QString::fromUtf8(fetch(server.port(), "/status").body)).hasMatch());
    const QByteArray err = server.errorOutput();
    QCOMPARE(err.count("[cmd] fails: "), qsizetype(1));
    for (const QByteArray line :
         {"quotes from [cmd]: 1 symbol", "[cmd] broken", "[cmd] fails: exited with status 1; its last good prices stay",
          "[cmd] line 3 skipped: last \"12,50\" is not a number such as 1,234.56 or $12.34"})
        QCOMPARE(err.count("tickwell-quoted: " + line + '\n'), qsizetype(1));
}

// Two sources of IBM, the first failing: it serves while fresh, the second once it is stale; with
// neither fresh the last known price stays; the first serves again once it recovers.
void TestQuoted::failoverBetweenSources() {
    const ShortBounds bounds;
    writeScratch("first.csv", "symbol,last\nIBM,10.00\n");
    writeScratch("second.csv", "Ticker,Price\nIBM,$20.00\nMSFT,\"$1,030.00\"\n");
    QuotedProcess server({"--sources", writeScratch("failover.conf", "[first]\ncommand = cat first.csv\nevery = "
                                                                     "1\nstale_after = 3\n[second]\ncommand = cat "
                                                                     "second.csv\ncolumns = symbol=Ticker, "
                                                                     "last=Price\nevery = 1\nstale_after = 3\n")});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QCOMPARE(prices(server.port(), "IBM,MSFT,ZZZZ"), (QStringList{"10.00", "1,030.00"}));
    QVERIFY(QFile::remove(scratch_.filePath("first.csv")));
    QVERIFY(server.waitForErrorOutput("tickwell-quoted: [first] fails: exited with status 1; its last good"));
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"10.00"}); // fresh for 3 s after its last success
    QVERIFY(QTest::qWaitFor([&] { return prices(server.port(), "IBM") == QStringList{"20.00"}; }, 8000));

    QVERIFY(QFile::remove(scratch_.filePath("second.csv")));
    QVERIFY(QTest::qWaitFor([&] { return fetch(server.port(), "/status").body.count("\tstale\t") == 2; }, 8000));
    QCOMPARE(prices(server.port(), "IBM,MSFT"), (QStringList{"20.00", "1,030.00"}));
    static const QRegularExpression status("^first\tcommand\tstale\t1\t" + Time + "\texited with status 1\t" + Time +
                                           "\nsecond\tcommand\tstale\t2\t" + Time + "\texited with status 1\t" + Time +
                                           "\n$");
    QVERIFY(status.match(QString::fromUtf8(fetch(server.port(), "/status").body)).hasMatch());
    const QByteArray details = fetch(server.port(), "/q/bc?s=IBM").body;
    static const QRegularExpression note("Price from the command source &quot;second&quot;, taken at "
                                         "\\d{1,2}:\\d\\d:\\d\\d[AP]M ET, \\w+ \\d+; no source holding IBM is fresh");
    QVERIFY2(note.match(QString::fromUtf8(details)).hasMatch(), details.constData());

    writeScratch("first.csv", "symbol,last\nIBM,11.00\n");
    QVERIFY(QTest::qWaitFor([&] { return prices(server.port(), "IBM") == QStringList{"11.00"}; }, 5000));
    QVERIFY(server.errorOutput().contains("tickwell-quoted: [first] works again: 1 symbol\n"));
}

// url sources: an answer with validators, then a 304 to them (no failure), then 500s (prices kept,
// stale after stale_after); an answer too slow to wait for; six redirects, then an answer.
void TestQuoted::urlSourceAnswers() {
    const ShortBounds bounds;
    const auto answer = [](const QByteArray& head, const QByteArray& body) {
        return "HTTP/1.1 " + head + "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body;
    };
    const QByteArray validators = "200 OK\r\nETag: \"v1\"\r\nLast-Modified: Tue, 08 Dec 2026 10:00:00 GMT";
    MisbehavingServer feed(MisbehavingServer::Mode::Reply,
                           {answer(validators, "symbol,last\r\nIBM,12.50\r\n"), answer("304 Not Modified", ""),
                            answer("500 Internal Server Error", "")});
    MisbehavingServer slow(MisbehavingServer::Mode::Trickle, {answer("200 OK", "last,symbol\n9,IBM\n")});
    MisbehavingServer loop(MisbehavingServer::Mode::Reply, QByteArrayList(6, answer("302 Found\r\nLocation: /on", ""))
                                                               << answer("200 OK", "symbol,last\nF,1\n"));
    QByteArray sources;
    for (const auto& [name, peer] : {std::pair{"etag", &feed}, {"slow", &slow}, {"loop", &loop}})
        sources += '[' + QByteArray(name) + "]\nurl = http://127.0.0.1:" + QByteArray::number(peer->port()) +
                   "/q.csv\nevery = 1\nstale_after = 3\n";
    QuotedProcess server({"--sources", writeScratch("url.conf", sources)});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"12.50"});
    static const QRegularExpression status("^etag\turl\tstale\t1\t" + Time + "\tHTTP 500 Internal Server Error\t" +
                                           Time + "\nslow\turl\tempty\t0\t-\ttimed out after 1 s\t" + Time +
                                           "\nloop\turl\tfresh\t1\t" + Time + "\t-\t" + Time + "\n$");
    QVERIFY2(
        QTest::qWaitFor(
            [&] { return status.match(QString::fromUtf8(fetch(server.port(), "/status").body)).hasMatch(); }, 10000),
        fetch(server.port(), "/status").body.constData());
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"12.50"});
    QCOMPARE(server.errorOutput().count("[etag] fails: "), qsizetype(1));
    QVERIFY(server.errorOutput().contains("[etag] fails: HTTP 500 Internal Server Error; its last good prices stay\n"));
    QVERIFY(server.errorOutput().contains("[loop] fails: too many redirects (more than 5); no quotes from it until"));
    const QByteArrayList requests = feed.requests();
    QVERIFY(requests.size() >= 3);
    for (qsizetype i = 0; i < 3; ++i) {
        QCOMPARE(requests[i].contains("\r\nIf-None-Match: \"v1\"\r\n"), i > 0);
        QCOMPARE(requests[i].contains("\r\nIf-Modified-Since: Tue, 08 Dec 2026 10:00:00 GMT\r\n"), i > 0);
    }
}

// An https source whose certificate comes from an authority made here: taken with it as
// ca_file, refused by the system's authorities alone.
void TestQuoted::httpsSourceWithPrivateAuthority() {
    const ShortBounds bounds;
    const auto openssl = [&](const QString& args) {
        QProcess run;
        run.setWorkingDirectory(scratch_.path());
        run.start("openssl",
                  QProcess::splitCommand(args + " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"));
        return run.waitForFinished(20000) && run.exitCode() == 0;
    };
    QVERIFY(openssl("req -x509 -keyout ca.key -out ca.pem -subj /CN=test-authority"));
    QVERIFY(openssl("req -x509 -keyout tls.key -out tls.pem -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
                    "-CA ca.pem -CAkey ca.key"));
    writeScratch("q.http", "HTTP/1.0 200 OK\r\nContent-Length: 21\r\n\r\nsymbol,last\nIBM,31.25\n");
    QProcess tls; // ends by itself after 60 s or 50 connections
    tls.setWorkingDirectory(scratch_.path());
    tls.start("timeout", {"60", "openssl", "s_server", "-HTTP", "-accept", "127.0.0.1:0", "-cert", "tls.pem", "-key",
                          "tls.key", "-naccept", "50"});
    const auto stop = qScopeGuard([&] {
        tls.terminate();
        tls.waitForFinished(3000);
    });
    static const QRegularExpression accept("ACCEPT 127\\.0\\.0\\.1:(\\d+)\n");
    QString port;
    QVERIFY(QTest::qWaitFor(
        [&] { return !(port = accept.match(QString::fromLatin1(tls.peek(4096))).captured(1)).isEmpty(); }, 10000));
    const QString url = "url = https://127.0.0.1:" + port + "/q.http\nevery = 1\n";
    QuotedProcess server({"--sources", writeScratch("https.conf", "[system]\n" + url.toUtf8() + "[private]\n" +
                                                                      url.toUtf8() + "ca_file = ca.pem\n")});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QCOMPARE(prices(server.port(), "IBM"), QStringList{"31.25"});
    static const QRegularExpression status(
        "^system\turl\tempty\t0\t-\tcertificate of 127\\.0\\.0\\.1 not trusted: [^\t]*issuer[^\t]*\t" + Time +
        "\nprivate\turl\tfresh\t1\t" + Time + "\t-\t" + Time + "\n$");
    const QByteArray lines = fetch(server.port(), "/status").body;
    QVERIFY2(status.match(QString::fromUtf8(lines)).hasMatch(), lines.constData());
}

// samples/sources.conf as the docs start it: the command and the file serve, the url just fails.
void TestQuoted::sampleSourcesRun() {
    // The sample as it stands, beside its files, but with its spreadsheet's address on a loopback
    // port nothing listens on: the test asks no name server.
    const QDir samples(QStringLiteral(TICKWELL_TEST_DATA "/../../samples"));
    QVERIFY(QDir(scratch_.path()).mkpath("sample"));
    for (const char* name : {"quotes-command.py", "quotes.json", "quotes.csv", "sources.conf"}) {
        QFile file(samples.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        if (qstrcmp(name, "sources.conf") == 0)
            bytes.replace("https://quotes.example.com/", "http://127.0.0.1:1/");
        writeScratch(QStringLiteral("sample/") + name, bytes);
    }
    QuotedProcess server({"--sources", scratch_.filePath("sample/sources.conf")});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QCOMPARE(prices(server.port(), "AAPL,NVDA,MSFT"), (QStringList{"190.12", "875.28", "415.26"}));
    static const QRegularExpression status("^broker\tcommand\tfresh\t3\t" + Time + "\t-\t" + Time +
                                           "\nsheet\turl\tempty\t0\t-\t[^\t]+\t" + Time + "\nfeed\tfile\tfresh\t12\t" +
                                           Time + "\t-\t-\n$");
    const QByteArray lines = fetch(server.port(), "/status").body;
    QVERIFY2(status.match(QString::fromUtf8(lines)).hasMatch(), lines.constData());
}

void TestQuoted::sameMinuteSamePage() {
    const QByteArray request = quoteRequest(quotePath("MSFT,IBM,^DJI,AAPL", "v1"));
    QByteArrayList replies;
    for (int i = 0; i < 3; ++i)
        replies.append(exchangeRaw(plain_->port(), request).bytes);
    // A minute turns at most once between three quick requests.
    QVERIFY(replies[0] == replies[1] || replies[1] == replies[2]);

    QuotedProcess twin;
    QVERIFY2(twin.isListening(), qPrintable(twin.errorText()));
    const QByteArrayList pair = withinOneMinute({{plain_->port(), request}, {twin.port(), request}});
    QCOMPARE(pair.size(), 2);
    QCOMPARE(pair[0], pair[1]);
}

void TestQuoted::seedChangesThePrices() {
    QuotedProcess other({"--seed", "7"});
    QVERIFY2(other.isListening(), qPrintable(other.errorText()));
    const QByteArray request = quoteRequest(quotePath("MSFT,IBM,QWER", "v1"));
    const QByteArrayList pair = withinOneMinute({{plain_->port(), request}, {other.port(), request}});
    QCOMPARE(pair.size(), 2);
    const QByteArrayList ours = quoteRows(readPage(pair[0]).body);
    const QByteArrayList theirs = quoteRows(readPage(pair[1]).body);
    QCOMPARE(ours.size(), 3);
    QCOMPARE(theirs.size(), 3);
    for (qsizetype i = 0; i < ours.size(); ++i)
        QVERIFY(cellTexts(ours[i]).value(2) != cellTexts(theirs[i]).value(2));
}

void TestQuoted::exitsByItself() {
    QuotedProcess server({"--exit-after", "1"});
    QVERIFY2(server.isListening(), qPrintable(server.errorText()));
    QVERIFY(server.waitForExit(10000));
}

void TestQuoted::sourcesFileLines_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("why");

    // Each fault of a sources file, named by line and section ("@": the scratch folder).
    const QList<std::pair<QByteArray, QByteArray>> badSources{
        {"[a]\nftp = x\n",
         "2: [a] unknown setting \"ftp\" (known: file, command, url, every, stale_after, columns, ca_file)"},
        {"[a]\ncommand = true\nurl = http://h/\n",
         "3: [a] two kinds in one section: command and url (a section is one source)"},
        {"[a]\nevery = 60\n\n[b]\ncommand = true\n",
         "1: [a] no kind: give one of file = PATH, command = CMD or url = URL"},
        {"# quotes\n[a]\nfile = none.csv\n", "3: [a] file @/none.csv does not exist"},
        {"[a]\nfile = fifo.csv\n", "2: [a] file @/fifo.csv is not a regular file"},
        {"[a]\nurl = ftp://h/q.csv\n",
         "2: [a] url \"ftp://h/q.csv\" is not an http:// or https:// address with a host"},
        {"[a]\nurl = http:///q.csv\n",
         "2: [a] url \"http:///q.csv\" is not an http:// or https:// address with a host"},
        {"[a]\ncommand = true\ncolumns = symbol=Ticker, last\n",
         "3: [a] columns: \"last\" is not FEED=HEADER, such as last=Price"},
        {"[a]\ncommand = true\ncolumns = price=Price\n",
         "3: [a] columns: \"price\" is not a feed column (symbol, name, last, change, volume, time, bid, ask, "
         "after_hours_change)"},
        {"[a]\ncommand = true\ncolumns = last=\n", "3: [a] columns: \"last=\" leaves a side of '=' empty"},
        {"[a]\ncommand = true\ncolumns = last=Price, LAST=Close\n", "3: [a] columns: last is mapped twice"},
        {"[a]\ncommand = true\nevery = 4\n", "3: [a] every is a whole number of seconds from 5 to 604800, not \"4\""},
        {"[a]\ncommand = true\nstale_after = soon\n",
         "3: [a] stale_after is a whole number of seconds from 5 to 604800, not \"soon\""},
        {"[a]\ncommand = true\n[a]\nurl = http://h/\n",
         "3: [a] a second section of this name (the first is at line 1)"},
        {"every = 60\n[a]\ncommand = true\n", "1: a setting before any [section]"},
        {"[a]\nurl = https://h/\nca_file = bad0.conf\n", "3: [a] ca_file @/bad0.conf holds no PEM certificate"},
    };
    for (qsizetype i = 0; i < badSources.size(); ++i) {
        const QString path = writeScratch(QString("bad%1.conf").arg(i), badSources[i].first);
        const QByteArray error = QByteArray(badSources[i].second).replace('@', QFile::encodeName(scratch_.path()));
        QTest::addRow("%s", badSources[i].second.constData()) << path << QFile::encodeName(path) + ':' + error;
    }
}

void TestQuoted::sourcesFileLines() {
    QFETCH(QString, path);
    QFETCH(QByteArray, why);
    QList<SourceSettings> sources;
    QString found;
    QVERIFY(!readSourcesFile(path, &sources, &found));
    QCOMPARE(found.toUtf8(), why);
    QVERIFY(sources.isEmpty());
}

void TestQuoted::answersWithoutServing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    const QByteArray version = "tickwell-quoted " TICKWELL_VERSION "\n";
    QTest::addRow("version") << QStringList{"--version"} << 0 << version << QByteArray();
    QTest::addRow("short version") << QStringList{"-v"} << 0 << version << QByteArray();
    // Asked for its version, it neither listens nor waits, whatever else is given.
    QTest::addRow("version among serving options")
        << QStringList{"--port", "0", "--chunked", "--version"} << 0 << version << QByteArray();
    QTest::addRow("unknown option") << QStringList{"--bogus"} << 2 << QByteArray()
                                    << QByteArray("tickwell-quoted: Unknown option 'bogus'.\nTry --help.\n");
    QTest::addRow("port out of range")
        << QStringList{"--port", "70000"} << 2 << QByteArray()
        << QByteArray("tickwell-quoted: --port needs a whole number from 0 to 65535, not \"70000\"\nTry --help.\n");
    QTest::addRow("stray argument") << QStringList{"8080"} << 2 << QByteArray()
                                    << QByteArray("tickwell-quoted: unexpected argument \"8080\"\nTry --help.\n");
    const QString fifo = scratch_.filePath("fifo.csv");
    QTest::addRow("FIFO as feed") << QStringList{"--quotes", fifo} << 2 << QByteArray()
                                  << "tickwell-quoted: " + fifo.toUtf8() + ": is a FIFO, not a regular file\n";
    QTest::addRow("device as feed") << QStringList{"--quotes", "/dev/zero"} << 2 << QByteArray()
                                    << QByteArray("tickwell-quoted: /dev/zero: is a device, not a regular file\n");
    QTest::addRow("directory as feed") << QStringList{"--quotes", "/"} << 2 << QByteArray()
                                       << QByteArray("tickwell-quoted: /: is a directory, not a regular file\n");
    QTest::addRow("history off and on") << QStringList{"--no-history", "--history-file", fifo} << 2 << QByteArray()
                                        << QByteArray("tickwell-quoted: --no-history goes with neither --history-file "
                                                      "nor --import-history\nTry --help.\n");
    QTest::addRow("symbol without import") << QStringList{"--symbol", "IBM"} << 2 << QByteArray()
                                           << QByteArray("tickwell-quoted: --symbol goes with --import-history\nTry "
                                                         "--help.\n");
    QTest::addRow("quotes and sources")
        << QStringList{"--quotes", fifo, "--sources", fifo} << 2 << QByteArray()
        << QByteArray("tickwell-quoted: --quotes and --sources cannot be given together: name the quotes file in the "
                      "sources file as a section with file = PATH\nTry --help.\n");

    // A sources file that cannot be used stops the server before it listens (sourcesFileLines
    // has every fault).
    const QString badSources = writeScratch("bad.conf", "[a]\nftp = x\n");
    QTest::addRow("sources file with a fault")
        << QStringList{"--sources", badSources} << 2 << QByteArray()
        << "tickwell-quoted: " + QFile::encodeName(badSources) +
               ":2: [a] unknown setting \"ftp\" (known: file, command, url, every, stale_after, columns, ca_file)\n";
}

void TestQuoted::answersWithoutServing() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const QuotedRun run = runQuoted(args);
    QVERIFY2(run.exited, run.out.constData());
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, err);
}

void TestQuoted::helpNamesEveryOption_data() {
    QTest::addColumn<QString>("option");
    QTest::addRow("long") << QString("--help");
    QTest::addRow("short") << QString("-h");
}

void TestQuoted::helpNamesEveryOption() {
    QFETCH(QString, option);
    const QuotedRun run = runQuoted({option});
    QVERIFY2(run.exited, run.out.constData());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY2(run.out.startsWith("Usage: " TICKWELL_QUOTED_BINARY " [options]\n"), run.out.constData());
    for (const QByteArray path : {"/q/cq?s=A,B,...&d=v1", "/q/cq?s=A,B,...&d=e", "/q/bc?s=SYM&t=1y", "/status",
                                  "/history?s=SYM&kind=daily|intraday&from=DATE&to=DATE"})
        QVERIFY2(run.out.contains("  GET " + path + " "), path.constData());
    // Each option starts a line of the option list, its value's name beside it.
    for (const QByteArray name : {"-h, --help", "-v, --version", "--port <N>", "--seed <N>", "--chunked", "--short <N>",
                                  "--hold-open", "--refuse", "--slow <MS>", "--record <FILE>", "--exit-after <SECONDS>",
                                  "--quotes <FILE.csv>", "--sources <FILE>", "--history-file <FILE>", "--no-history",
                                  "--import-history <DAILY.csv>", "--symbol <SYM>"})
        QVERIFY2(run.out.contains("\n  " + name + "  "), name.constData());
}

QTEST_GUILESS_MAIN(TestQuoted)
#include "test_quoted.moc"
