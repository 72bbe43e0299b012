// tickwell-quoted --quotes FILE.csv end to end: the user's own quotes through Tickwell's loaders,
// edits and faults of the file, the details page, and the speed of a large feed.
#include <QRegularExpression>
#include <QSaveFile>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/page_fixtures.h"
#include "support/quoted_process.h"

namespace {

const QByteArray Header = "symbol,name,last,change,volume,time,bid,ask,after_hours_change\n";

// One line of a feed, cell by cell as the file holds them.
struct FeedLine {
    QString symbol, name, last, change, volume, time, bid, ask, afterHours;

    QByteArray csv() const {
        const QString quotedName = '"' + QString(name).replace('"', "\"\"") + '"';
        return QStringList{symbol, quotedName, last, change, volume, time, bid, ask, afterHours}.join(',').toUtf8() +
               '\n';
    }
};

// What the pages show for the values: cents from "189.84" (two decimals at most here),
// "1,234.56", counts with thousands commas, the percent of a change over its base.
qint64 cents(const QString& value) {
    return qRound64(value.toDouble() * 100);
}
QString grouped(qint64 number) {
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, ',');
    return digits;
}
QString money(qint64 amount) {
    return grouped(qAbs(amount) / 100) + '.' + QString::number(qAbs(amount) % 100).rightJustified(2, '0');
}
QString percentOf(qint64 change, qint64 base) {
    return change == 0 ? "0.00" : money(qMax<qint64>(1, qRound64(qAbs(change) * 10000.0 / base)));
}
QString sign(qint64 value) {
    return value > 0 ? "+" : (value < 0 ? "-" : "");
}
QString shownTime(const QString& time) {
    return time.isEmpty() ? "Unknown" : QTime::fromString(time, "H:mm").toString("h:mmAP");
}

QStringList cut(const QString& line, const QList<std::pair<int, int>>& cells) {
    QStringList texts;
    for (const auto& [from, length] : cells)
        texts << line.mid(from, length);
    return texts;
}

// The data-file line and the grid cells of a row of each tab, from the line's values.
struct Expected {
    QString delayedLine, realTimeLine;
    QStringList delayedCells, realTimeCells;
};
Expected expectedOf(const FeedLine& f) {
    const qint64 last = cents(f.last), change = cents(f.change), afterHours = cents(f.afterHours);
    const QString time = shownTime(f.time), changeText = money(change), volume = grouped(f.volume.toLongLong());
    const QString percent = sign(change) + percentOf(change, last - change) + '%';
    const QString bracketed = changeText + " (" + percentOf(change, last - change) + "%)";
    const QString afterHoursText =
        f.afterHours.isEmpty() ? "N/A" : money(afterHours) + " (" + percentOf(afterHours, last) + "%)";
    const QString bid = f.bid.isEmpty() ? "N/A" : money(cents(f.bid));
    const QString ask = f.ask.isEmpty() ? "N/A" : money(cents(f.ask));
    Expected e;
    e.delayedLine = QStringList{"", f.symbol, time, "ET", money(last), changeText, percent, volume, ""}.join(' ');
    e.realTimeLine =
        QStringList{" " + f.symbol, time + " ET", money(last), bracketed, afterHoursText, bid, ask + " "}.join("   ");
    const QString delayed = QString::fromLatin1(placed(79, {{0, f.symbol.toLatin1()},
                                                            {8, time.toLatin1()},
                                                            {15, "ET"},
                                                            {21, money(last).toLatin1()},
                                                            {35, change < 0 ? "-" : "+"},
                                                            {36, changeText.toLatin1()},
                                                            {45, percent.toLatin1()},
                                                            {55, volume.toLatin1()}}));
    e.delayedCells = cut(delayed, {{0, 7}, {7, 10}, {20, 12}, {0, 0}, {32, 10}, {43, 10}, {54, 14}});
    e.delayedCells[1] = " " + time + " ET"; // a seven-character time too keeps its blank before the zone
    const QString afterHoursSign = f.afterHours.isEmpty() ? "" : sign(afterHours);
    const QString realTime =
        QString::fromLatin1(placed(92, {{0, f.symbol.toLatin1()},
                                        {10, (time + " ET").toLatin1()},
                                        {22, money(last).toLatin1()},
                                        {35, (change == 0 ? " " : sign(change)).toLatin1()},
                                        {36, bracketed.toLatin1()},
                                        {53, (afterHoursSign.isEmpty() ? " " : afterHoursSign).toLatin1()},
                                        {54, afterHoursText.toLatin1()},
                                        {70, bid.toLatin1()},
                                        {81, ask.toLatin1()}}));
    e.realTimeCells = cut(realTime, {{0, 9}, {9, 12}, {20, 10}, {34, 14}, {52, 14}, {69, 12}, {80, 12}});
    // A change and its percent that run past their cut show whole, brackets and all.
    const QString changes[] = {realTime.mid(34, 2) + bracketed, realTime.mid(52, 2) + afterHoursText};
    for (int i = 0; i < 2; ++i)
        e.realTimeCells[3 + i] = changes[i].size() > 14 ? changes[i] : e.realTimeCells[3 + i];
    return e;
}

QStringList gridRow(const char* grid, int row) {
    QStringList cells;
    for (int column = 0; column < 7; ++column)
        cells << control<QuoteGrid>(grid)->cell(column, row);
    return cells;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path); // a new file in the old one's place at once, as a careful writer does
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray fetch(quint16 port, const QByteArray& path) {
    const QByteArray reply = exchangeRaw(port, quoteRequest(path)).bytes;
    return reply.mid(reply.indexOf("\r\n\r\n") + 4);
}

QString priceShown(int row) {
    return control<QuoteGrid>("QT1")->cell(2, row).trimmed();
}

// Four-letter symbols the simulated market lists as well: AAAA, AAAB, ...
QStringList letterSymbols(int count) {
    QStringList symbols;
    for (int i = 0; i < count; ++i)
        symbols << QString("A%1%2%3").arg(QChar('A' + i / 676)).arg(QChar('A' + i / 26 % 26)).arg(QChar('A' + i % 26));
    return symbols;
}

} // namespace

class QuoteFeedTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tickwellWindow(); }
    void cleanup() { QVERIFY(waitForLoadsToEnd()); }

    void everyRowAndDataLineComesFromTheFile() {
        const QList<FeedLine> lines{
            {"AAPL", "Apple Inc.", "189.84", "1.21", "52164500", "16:00", "189.80", "189.88", "-0.35"},
            {"MSFT", "Microsoft Corporation", "415.26", "-3.05", "18741200", "15:59", "415.20", "415.30", "0.62"},
            {"F", "Ford Motor Company, \"F\"", "12.48", "-0.07", "45210800", "9:30", "12.47", "12.48", ""},
            {"BRK.B", "Berkshire Hathaway Inc.", "408.53", "0", "3400100", "16:00", "", "", "0"},
            {"SAP", "", "172.36", "", "", "", "", "", ""},
            {"^GSPC", "S&P 500", "5123.41", "10.72", "", "16:00", "", "", ""},
            {"NESN", "Nestlé S.A.", "96.42", "+0.58", "3120400", "11:30", "96.40", "96.44", "0.05"},
            {"KO", "The Coca-Cola Company", "61.02", "6.02", "11870300", "16:00", "61.01", "61.03", "-6.10"},
        };
        LoadFolder folder;
        QByteArray feed = Header;
        for (const FeedLine& line : lines)
            feed += line.csv();
        writeFile(folder.path("quotes.csv"), feed);
        QuotedProcess server({"--quotes", folder.path("quotes.csv")});
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        // IBM is not in the feed: Tickwell finds no row for it.
        folder.writePortfolio({"AAPL", "MSFT", "IBM", "F", "BRK.B", "SAP", "^GSPC", "NESN", "KO"});
        QVERIFY(runDelayedLoad());
        QVERIFY(runRealTimeLoad());
        QCOMPARE(control<StatusLine>("StatusBar1")->simpleText(), QString("Done getting quotes (1 symbol not found)"));
        QCOMPARE(control<StatusLine>("StatusBar2")->simpleText(), QString("Done getting quotes (1 symbol not found)"));

        const QStringList delayed = folder.readLines("input_data_qt1.txt");
        const QStringList realTime = folder.readLines("input_data_qt2.txt");
        QCOMPARE(delayed.size(), 9);
        QCOMPARE(realTime.size(), 9);
        QCOMPARE(delayed[2], QString(" IBM symbol not found 0.00 +0.00% 0 "));
        QVERIFY2(realTime[2].contains("symbol not found"), qPrintable(realTime[2]));
        QCOMPARE(gridRow("RT1", 2).mid(1), QStringList({"     N/A", "", "", "", "", ""}));
        for (int i = 0, row = 0; i < lines.size(); ++i, ++row) {
            row += row == 2; // IBM's row
            const Expected expected = expectedOf(lines[i]);
            QCOMPARE(delayed[row], expected.delayedLine);
            QCOMPARE(realTime[row], expected.realTimeLine);
            QCOMPARE(gridRow("QT1", row), expected.delayedCells);
            QCOMPARE(gridRow("RT1", row), expected.realTimeCells);
        }
        QCOMPARE(server.errorOutput(),
                 "tickwell-quoted: quotes from " + folder.path("quotes.csv").toUtf8() + ": 8 symbols\n");
    }

    void sampleFeedIsReadWhole() {
        const QString sample = QStringLiteral(TICKWELL_TEST_DATA "/../../samples/quotes.csv");
        QuotedProcess server({"--quotes", sample});
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        QCOMPARE(server.errorOutput(), "tickwell-quoted: quotes from " + sample.toUtf8() + ": 12 symbols\n");
    }

    void editsAndFaultsOfTheFile() {
        LoadFolder folder;
        const QString path = folder.path("quotes.csv");
        const QByteArray name = path.toUtf8();
        writeFile(path, Header + "AAPL,Apple Inc.,189.84,1.21\nMSFT,Microsoft,415.26,-3.05\n");
        QuotedProcess server({"--quotes", path});
        useQuoteServer(server.port());
        folder.writePortfolio({"AAPL", "MSFT"});
        QVERIFY(runDelayedLoad());
        QCOMPARE(priceShown(0), QString("189.84"));

        // An edit shows in the next load; a line that cannot be read is skipped and named once.
        writeFile(path, Header + "AAPL,Apple Inc.,190.02,1.39\nMSFT,Microsoft,415.2x,-3.05\n");
        QVERIFY(runDelayedLoad());
        QCOMPARE(priceShown(0), QString("190.02"));
        QVERIFY(loadedQuoteRows()[1].line.simplified().contains("symbol not found"));
        const QByteArray skipped = name + ":3: line skipped: last \"415.2x\" is not a number such as 12.34\n";
        QVERIFY2(server.errorOutput().contains(skipped), server.errorOutput().constData());

        // Gone, then without a usable header: the last good prices stay, each said once.
        QVERIFY(QFile::remove(path));
        QVERIFY(runDelayedLoad());
        QTest::qWait(500); // the server looks at the file on its own as well
        QVERIFY(runDelayedLoad());
        QCOMPARE(priceShown(0), QString("190.02"));
        writeFile(path, "symbol,price\nAAPL,1.00\n");
        QVERIFY(runDelayedLoad());
        QCOMPARE(priceShown(0), QString("190.02"));
        writeFile(path, Header + "AAPL,Apple Inc.,191.00,2.37\nMSFT,Microsoft,415.2x,-3.05\n");
        QVERIFY(runDelayedLoad());
        QCOMPARE(priceShown(0), QString("191.00"));
        QTest::qWait(500);
        const QByteArray err = server.errorOutput();
        const QByteArray kept = "; the last good prices stay until it can be read\n";
        QCOMPARE(err.count(skipped), qsizetype(1));
        QCOMPARE(err.count(name + ": cannot be read (No such file or directory)" + kept), qsizetype(1));
        QCOMPARE(err.count(name + ": its header row (line 1) has no column \"last\"" + kept), qsizetype(1));
        QCOMPARE(err.count(name + ": can be read again: 1 symbol\n"), qsizetype(1));
        QCOMPARE(err.count('\n'), qsizetype(5)); // with the first "quotes from" line
    }

    // Bytes of the details page: names beyond ASCII as character references, no chart before a
    // second price, then the prices seen (without a stored history, every price read).
    void detailsPage() {
        LoadFolder folder;
        const QString path = folder.path("quotes.csv");
        writeFile(path, "\xEF\xBB\xBFsymbol,last,name\r\nNESN,96.42,Nestlé S.A.\r\n7203,3350,トヨタ自動車\r\n");
        QuotedProcess server({"--quotes", path, "--no-history"});
        QByteArray page = fetch(server.port(), "/q/bc?s=nesn&t=1y");
        QVERIFY2(page.contains("<h1>Nestl&#233; S.A. <span class=\"ticker\">(NESN)</span></h1>"), page.constData());
        QVERIFY(page.contains("<div class=\"last\">96.42<span class=\"change flat\">0.00 (0.00%)</span></div>"));
        QVERIFY(page.contains("No price history yet"));
        QVERIFY(!page.contains("<svg"));
        QVERIFY(std::all_of(page.cbegin(), page.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        QVERIFY(fetch(server.port(), "/q/bc?s=7203").contains("<h1>&#12488;&#12520;&#12479;&#33258;&#21205;&#36554; "));
        QVERIFY(fetch(server.port(), "/q/bc?s=MSFT").contains("<h1>No such symbol</h1>"));

        writeFile(path, "symbol,last,name\nNESN,97.10,Nestlé S.A.\n");
        page = fetch(server.port(), "/q/bc?s=NESN");
        static const QRegularExpression pricePath("<path class=\"price\" d=\"M[\\d.]+,[\\d.]+( L[\\d.]+,[\\d.]+)*\"");
        const QRegularExpressionMatch chart = pricePath.match(QString::fromLatin1(page));
        QVERIFY2(chart.hasMatch(), page.constData());
        QCOMPARE(chart.captured(0).count(" L"), 1); // two prices seen
        QVERIFY(page.contains("<tr><th>Range seen</th><td>96.42 - 97.10</td></tr>"));
        QVERIFY(!page.contains("No price history yet"));
    }

    // A sources file behind the server: a command printing a spreadsheet's CSV, mapped, before the feed
    // file; a click loads the command's price for AAPL and the file's for MSFT, which only it holds.
    void sourcesFileServesTheFirstSource() {
        const FeedLine sheet{"AAPL", "", "1234.50", "-3.10", "1200", "", "", "", ""};
        const FeedLine feed{"MSFT", "", "415.26", "-3.05", "18741200", "16:00", "", "", ""};
        LoadFolder folder;
        writeFile(folder.path("quotes.csv"), Header + "AAPL,,189.84\n" + feed.csv());
        writeFile(folder.path("sheet.csv"), "Ticker,Price,Chg,Shares\nAAPL,\"$1,234.50\",-$3.10,\"1,200\"\n");
        writeFile(folder.path("sources.conf"), "[sheet]\ncommand = cat sheet.csv\ncolumns = symbol=Ticker, "
                                               "last=Price, change=Chg, volume=Shares\n\n[feed]\nfile = quotes.csv\n");
        QuotedProcess server({"--sources", folder.path("sources.conf")});
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        folder.writePortfolio({"AAPL", "MSFT"});
        QVERIFY(runDelayedLoad());
        QCOMPARE(folder.readLines("input_data_qt1.txt"),
                 (QStringList{expectedOf(sheet).delayedLine, expectedOf(feed).delayedLine}));
    }

    void fiveThousandRowsAsFastAsTheMarket() {
        LoadFolder folder;
        const QStringList symbols = letterSymbols(5000);
        QByteArray feed = Header;
        for (int i = 0; i < symbols.size(); ++i) {
            feed += FeedLine{symbols[i],
                             "Company " + QString::number(i),
                             money(1000 + i * 7),
                             money(i % 50),
                             "1500000",
                             "16:00",
                             "",
                             "",
                             ""}
                        .csv();
        }
        writeFile(folder.path("quotes.csv"), feed);
        QuotedProcess fed({"--quotes", folder.path("quotes.csv")});
        QuotedProcess market;
        folder.writePortfolio(symbols.mid(0, 2000)); // 100 pages
        qint64 best[2] = {-1, -1};
        for (int round = 0; round < 2; ++round) {
            for (int server = 0; server < 2; ++server) {
                useQuoteServer(server == 0 ? market.port() : fed.port());
                const qint64 ms = clickGetQuotes(QuoteTab::Quotes, 120000);
                QVERIFY(ms >= 0);
                QCOMPARE(loadedQuoteRows().size(), 2000);
                QVERIFY(!loadedQuoteRows().constLast().line.contains("not found"));
                best[server] = best[server] < 0 ? ms : qMin(best[server], ms);
            }
        }
        QCOMPARE(priceShown(1), money(1007)); // AAAB, from the feed
        qInfo("2000 symbols in 100 pages: simulated market %lld ms, feed of 5000 rows %lld ms", best[0], best[1]);
        QVERIFY2(best[1] <= best[0] * 3 / 2 + 300, "the feed is slower than the simulated market");
    }
};

QTEST_MAIN(QuoteFeedTest)
#include "test_quote_feed.moc"
