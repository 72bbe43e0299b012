// Delayed loads end to end: the real loader against tickwell-quoted on loopback.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/file_bytes.h"
#include "support/quoted_process.h"

namespace {
// The note on rows that an earlier test's load left in the grid, which these tests do not look at.
const QRegularExpression StaleRowsNote("; \\d+ rows? (is|are) from the load before");

QString statusText() {
    return control<StatusLine>("StatusBar1")->simpleText();
}

QStringList firstWords(const QStringList& lines) {
    QStringList words;
    for (const QString& line : lines)
        words << line.section(' ', 1, 1);
    return words;
}

QString countText(const char* box) {
    return control<QLineEdit>(box)->text();
}

QByteArray path(const QByteArray& request) {
    return request.split(' ').value(1);
}

QByteArray utf16(const QString& text, QStringEncoder::Encoding encoding) {
    return QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)(text);
}
} // namespace

class DelayedLoadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        tickwellWindow();
        MessageBoxSeam::clear();
    }
    void cleanup() {
        QVERIFY(waitForLoadsToEnd());
        MessageBoxSeam::clear();
    }

    void fortyOneSymbolsFillFortyOneRows() {
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        QStringList symbols = knownSymbols(41);
        symbols[3] = "GOOGLE"; // six characters, two side by side, among ordinary symbols
        symbols[4] = "NASDAQ";
        folder.writePortfolio(symbols);
        QVERIFY(runDelayedLoad());

        QCOMPARE(statusText(), QString("Done getting quotes"));
        const QList<QuoteRow> rows = loadedQuoteRows();
        QCOMPARE(rows.size(), 41);
        auto* grid = control<QuoteGrid>("QT1");
        QCOMPARE(grid->rowCount(), 41);
        const QStringList data = folder.readLines("input_data_qt1.txt");
        QCOMPARE(data.size(), 41);
        QCOMPARE(firstWords(data), symbols);
        const QStringList mirror = control<MirrorTextEdit>("DisplayQR")->lines();
        QCOMPARE(mirror.size(), 41);
        int advancers = 0, decliners = 0, unchanged = 0;
        for (int i = 0; i < 41; ++i) {
            QCOMPARE(rows[i].symbol, symbols[i]);
            QCOMPARE(rows[i].line.section(' ', 0, 0), symbols[i]);
            QCOMPARE(mirror[i], rows[i].line);
            QCOMPARE(grid->cell(0, i).trimmed(), symbols[i]);
            QVERIFY2(!rows[i].line.contains("not found"), qPrintable(rows[i].line));
            advancers += rows[i].change > 0;
            decliners += rows[i].change < 0;
            unchanged += rows[i].change == 0;
        }
        QCOMPARE(countText("Adv"), QString::number(advancers));
        QCOMPARE(countText("Decl"), QString::number(decliners));
        QCOMPARE(countText("NoChg"), QString::number(unchanged));
        QVERIFY(control("BtnQuote")->isEnabled());

        const QList<QByteArray> requests = server.recordedRequests();
        QCOMPARE(requests.size(), 3);
        QCOMPARE(path(requests[0]), ("/q/cq?s=" + symbols.mid(0, 20).join(',') + "&d=v1").toLatin1());
        QCOMPARE(path(requests[1]), ("/q/cq?s=" + symbols.mid(20, 20).join(',') + "&d=v1").toLatin1());
        QCOMPARE(path(requests[2]), ("/q/cq?s=" + symbols[40] + ",xxxx&d=v1").toLatin1());
    }

    void requestBytes_data() {
        QTest::addColumn<QStringList>("portfolio");
        QTest::addColumn<QList<QByteArray>>("paths");
        QTest::addColumn<QString>("notes"); // in brackets after "Done getting quotes"
        QTest::newRow("two symbols") << QStringList{"A", "B"} << QList<QByteArray>{"/q/cq?s=A,B&d=v1"} << QString();
        QTest::newRow("one symbol") << QStringList{"IBM"} << QList<QByteArray>{"/q/cq?s=IBM,xxxx&d=v1"} << QString();
        const QStringList forty = knownSymbols(40);
        QTest::newRow("forty symbols")
            << forty
            << QList<QByteArray>{("/q/cq?s=" + forty.mid(0, 20).join(',') + "&d=v1").toLatin1(),
                                 ("/q/cq?s=" + forty.mid(20).join(',') + "&d=v1").toLatin1()}
            << QString();
        QTest::newRow("lone comma") << QStringList{","} << QList<QByteArray>{"/q/cq?s=%2C,xxxx&d=v1"}
                                    << "1 symbol not found";
        QTest::newRow("blank inside a symbol")
            << QStringList{"A B", "C"} << QList<QByteArray>{"/q/cq?s=A%20B,C&d=v1"} << "1 symbol not found";
        QTest::newRow("empty first line") << QStringList{"", "IBM"} << QList<QByteArray>{}
                                          << "list ends at the blank line 1: 1 symbol below it not loaded";
        QTest::newRow("empty line ends the list")
            << (knownSymbols(25) << ""
                                 << "IBM")
            << QList<QByteArray>{("/q/cq?s=" + knownSymbols(20).join(',') + "&d=v1").toLatin1(),
                                 ("/q/cq?s=" + knownSymbols(25).mid(20).join(',') + "&d=v1").toLatin1()}
            << "list ends at the blank line 26: 1 symbol below it not loaded";
        QTest::newRow("overlong lines never requested")
            << QStringList{"MSFT", "GOOGLEX", "IBM", "NASDAQ100"} << QList<QByteArray>{"/q/cq?s=MSFT,IBM&d=v1"}
            << "2 symbols not found";
    }
    void requestBytes() {
        QFETCH(QStringList, portfolio);
        QFETCH(QList<QByteArray>, paths);
        QFETCH(QString, notes);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(portfolio);
        QVERIFY(runDelayedLoad());
        QCOMPARE(statusText(), notes.isEmpty() ? "Done getting quotes" : "Done getting quotes (" + notes + ")");
        const QList<QByteArray> requests = server.recordedRequests();
        QCOMPARE(requests.size(), paths.size());
        const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(server.port());
        for (int i = 0; i < paths.size(); ++i)
            QCOMPARE(requests[i], "GET " + paths[i] + " HTTP/1.1\r\n" + host + "\r\n\r\n");
    }

    void overlongLineShowsAsItsOwnRow() {
        QuotedProcess server;
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "GOOGLEX", "IBM"});
        QVERIFY(runDelayedLoad());
        const QList<QuoteRow> rows = loadedQuoteRows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].symbol, QString("GOOGL~"));
        QVERIFY(rows[1].line.simplified().contains("symbol not found"));
        QVERIFY(!rows[1].line.startsWith("GOOGLE "));
        QCOMPARE(rows[2].line.section(' ', 0, 0), QString("IBM"));
    }

    void windowsLineEndsLoadTheSameSymbols() {
        QuotedProcess server;
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM", "KO"}, "input.txt", "\r\n");
        QVERIFY(runDelayedLoad());
        QCOMPARE(loadedQuoteRows().size(), 3);
        QCOMPARE(firstWords(folder.readLines("input_data_qt1.txt")), QStringList({"MSFT", "IBM", "KO"}));
    }

    void keepAliveAndChunkedRepliesFinishPromptly_data() {
        QTest::addColumn<QStringList>("mode");
        QTest::newRow("held open") << QStringList{"--hold-open"};
        QTest::newRow("chunked, held open") << QStringList{"--chunked", "--hold-open"};
        QTest::newRow("slow") << QStringList{"--slow", "5"};
    }
    void keepAliveAndChunkedRepliesFinishPromptly() {
        QFETCH(QStringList, mode);
        QuotedProcess server(mode);
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(41));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(runDelayedLoad());
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(statusText(), QString("Done getting quotes"));
        const QList<QuoteRow> rows = loadedQuoteRows();
        QCOMPARE(rows.size(), 41);
        for (const QuoteRow& row : rows)
            QVERIFY2(!row.line.contains("not found"), qPrintable(row.line));
    }

    void refusedPortLosesTheConnection() {
        const int port = closedPort();
        useQuoteServer(port);
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM"});
        control<QLineEdit>("Adv")->setText("7");
        QVERIFY(runDelayedLoad());
        QCOMPARE(statusText().remove(StaleRowsNote),
                 QString("Connection lost...Reload quotes (127.0.0.1:%1: connection refused)").arg(port));
        QVERIFY(countText("Adv").isEmpty());
        QVERIFY(countText("Decl").isEmpty());
        QVERIFY(countText("NoChg").isEmpty());
        QVERIFY(control("BtnQuote")->isEnabled());
        QCOMPARE(loadedQuoteRows().size(), 0);
        QCOMPARE(control<MirrorTextEdit>("DisplayQR")->lines(), QStringList());
    }

    void shortRepliesAreRequestedAgain() {
        QuotedProcess server({"--short", "2"}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM"});
        QVERIFY(runDelayedLoad());
        QCOMPARE(statusText(), QString("Done getting quotes"));
        QCOMPARE(server.recordedRequests().size(), 3);
        QCOMPARE(loadedQuoteRows().size(), 2);
    }

    void endlessShortRepliesGiveUp() {
        QuotedProcess server({"--short", "-1"}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM"});
        QVERIFY(runDelayedLoad(20000));
        QCOMPARE(
            statusText().remove(StaleRowsNote),
            QString("Connection lost...Reload quotes (127.0.0.1:%1: reply too short, 6 tries)").arg(server.port()));
        QCOMPARE(server.recordedRequests().size(), 6); // the request and five repeats
    }

    // In brackets after "Done getting quotes": what the user would otherwise not learn.
    void notesInTheDoneText_data() {
        QTest::addColumn<QStringList>("portfolio");
        QTest::addColumn<bool>("dataFileBlocked"); // a folder where the data file would go
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("rows");
        QTest::newRow("more symbols than a load takes")
            << knownSymbols(2050) << false << "Done getting quotes (first 2000 of 2050 symbols)" << 100 << 2000;
        QTest::newRow("empty portfolio, data file blocked")
            << QStringList{} << true
            << "Done getting quotes (portfolio is empty; data file not written: Is a directory)" << 0 << 0;
    }
    void notesInTheDoneText() {
        QFETCH(QStringList, portfolio);
        QFETCH(bool, dataFileBlocked);
        QFETCH(QString, status);
        QFETCH(int, requests);
        QFETCH(int, rows);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(portfolio);
        if (dataFileBlocked)
            QVERIFY(QDir().mkdir(folder.path("input_data_qt1.txt")));
        QVERIFY(clickGetQuotes(QuoteTab::Quotes, 120000) >= 0);
        QCOMPARE(statusText(), status);
        QCOMPARE(server.recordedRequests().size(), requests);
        QCOMPARE(loadedQuoteRows().size(), rows);
        if (dataFileBlocked)
            QVERIFY(QFileInfo(folder.path("input_data_qt1.txt")).isDir());
        else
            QCOMPARE(folder.readLines("input_data_qt1.txt").size(), rows);
    }

    // Portfolios as users write them: the load's status and requests, with the data file beside
    // the portfolio; or the box that refuses one at once, the old data file untouched.
    void portfoliosAsWritten_data() {
        QTest::addColumn<QString>("name");     // in the scratch folder, chosen with "Select Portfolio"
        QTest::addColumn<QByteArray>("bytes"); // "FIFO": a named pipe
        QTest::addColumn<QString>("outcome");  // the final status, or the box's reason
        QTest::addColumn<QByteArray>("paths"); // the requests' paths, blank-separated
        const QString done = "Done getting quotes";
        const QByteArray ibmKo = "/q/cq?s=IBM,KO&d=v1";
        QTest::newRow("UTF-8 mark") << "input.txt" << QByteArray("\xEF\xBB\xBFIBM\nKO\n") << done << ibmKo;
        QTest::newRow("UTF-16 LE") << "input.txt" << utf16("IBM\r\nKO\r\n", QStringEncoder::Utf16LE) << done << ibmKo;
        QTest::newRow("UTF-16 BE") << "input.txt" << utf16("IBM\nKO", QStringEncoder::Utf16BE) << done << ibmKo;
        QTest::newRow("0xFF is a byte") << "input.txt" << QByteArray("IBM\n\xFF\nKO\n")
                                        << done + " (1 symbol not found)" << QByteArray("/q/cq?s=IBM,%FF,KO&d=v1");
        // Lines counted as the file has them, whatever the reads of 79 characters.
        QTest::newRow("blank line")
            << "input.txt"
            << "IBM\r\n" + QByteArray(100, 'A') + "\r\nKO\r\n\r\nGE\r\n \r\nF"
            << done + " (list ends at the blank line 4: 2 symbols below it not loaded; 2 symbols not found)" << ibmKo;
        QTest::newRow("blank last line") << "input.txt" << QByteArray("IBM\nKO\n\n \n") << done << ibmKo;
        QTest::newRow("folder/ab") << "folder/ab" << QByteArray("IBM\nKO\n") << done << ibmKo;
        QTest::newRow("NUL byte") << "input.txt" << QByteArray("IBM\nK\0O\n", 8)
                                  << "Not a text file (it holds a NUL byte)" << QByteArray();
        QTest::newRow("FIFO") << "input.txt" << QByteArray("FIFO") << "Not a regular file" << QByteArray();
    }
    void portfoliosAsWritten() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        QFETCH(QByteArray, paths);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        const QString portfolio = folder.path(name);
        const QString data = name == "input.txt" ? "input_data_qt1.txt" : name + "_data_qt1.txt";
        QVERIFY(QDir().mkpath(QFileInfo(portfolio).path()));
        if (bytes == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(portfolio).constData(), 0600), 0);
        else
            QVERIFY(writeFileBytes(portfolio, bytes));
        const QByteArray old = " OLD 4:00PM ET 1.00 0.00 +0.00% 1 \n";
        QVERIFY(writeFileBytes(folder.path(data), old));
        if (name != "input.txt") {
            QVERIFY(showTab("Quotes"));
            OpenDialogSeam::queueAnswer(portfolio);
            QTest::mouseClick(control<QPushButton>("PortName"), Qt::LeftButton);
        }
        QVERIFY(runDelayedLoad());
        forgetChosenFolders();
        namePortfolio(QuoteTab::Quotes, "input.txt");

        QList<QByteArray> requested;
        for (const QByteArray& request : server.recordedRequests())
            requested << path(request);
        QCOMPARE(requested.join(' '), paths);
        QVERIFY(control("BtnQuote")->isEnabled());
        if (paths.isEmpty()) {
            QCOMPARE(MessageBoxSeam::shown().size(), 1);
            QCOMPARE(MessageBoxSeam::shown()[0].text,
                     "File in use by another application.\n" + portfolio + ": " + outcome);
            QCOMPARE(MessageBoxSeam::shown()[0].caption, QString("Alter"));
            QCOMPARE(fileBytes(folder.path(data)), old);
            return;
        }
        QCOMPARE(statusText(), outcome);
        const QStringList symbols = firstWords(folder.readLines(data));
        QCOMPARE(symbols.size(), loadedQuoteRows().size());
        QCOMPARE(symbols.value(0), QString("IBM"));
    }

    void portfolioThatCannotBeOpenedSaysSo_data() {
        QTest::addColumn<bool>("folderOfThatName");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << false << "No such file or directory";
        QTest::newRow("a folder of that name") << true << "Is a directory";
    }
    void portfolioThatCannotBeOpenedSaysSo() {
        QFETCH(bool, folderOfThatName);
        QFETCH(QString, error);
        LoadFolder folder;
        if (folderOfThatName)
            QVERIFY(QDir().mkdir(folder.path("input.txt")));
        QVERIFY(clickGetQuotes(QuoteTab::Quotes) >= 0);
        QCOMPARE(MessageBoxSeam::shown().size(), 1);
        QCOMPARE(MessageBoxSeam::shown()[0].text,
                 "File in use by another application.\n" + folder.path("input.txt") + ": " + error);
        QCOMPARE(MessageBoxSeam::shown()[0].caption, QString("Alter"));
        QVERIFY(control("BtnQuote")->isEnabled());
    }

    void secondGetQuotesDuringALoadStartsNothing() {
        QuotedProcess server({"--slow", "20"}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM"});
        // Automatic refresh armed, so that a tick is a "Get Quotes" of its own.
        auto* refresh = control<QCheckBox>("CheckBox");
        QTest::mouseClick(refresh, Qt::LeftButton, {}, refresh->rect().center());
        control<QComboBox>("ComboBox")->setCurrentIndex(0);
        QVERIFY(showTab("Quotes"));
        auto* getQuotes = control<QPushButton>("BtnQuote");
        QTest::mouseClick(getQuotes, Qt::LeftButton);
        QVERIFY(loadRunning(QuoteTab::Quotes));
        QTest::mouseClick(getQuotes, Qt::LeftButton); // a quick second click
        QVERIFY(tickRefreshTimer("Timer"));           // and a refresh tick
        QVERIFY(waitForLoadsToEnd());
        QCOMPARE(server.recordedRequests().size(), 1);
        QCOMPARE(loadedQuoteRows().size(), 2);
        // Refresh off again: unchecked, its next tick stops the timer.
        QTest::mouseClick(refresh, Qt::LeftButton, {}, refresh->rect().center());
        QVERIFY(tickRefreshTimer("Timer"));
        QVERIFY(!control<QTimer>("Timer")->isActive());
        QCOMPARE(server.recordedRequests().size(), 1);
    }

    // What the user sees during a load comes in order: rows a whole page at a time, top down in
    // the portfolio's order; the counts only with the last row; "Done getting quotes" last.
    void pagesShowInOrderAndCountsComeLast() {
        QuotedProcess server({"--slow", "5"});
        useQuoteServer(server.port());
        LoadFolder folder;
        QStringList symbols = knownSymbols(50);
        std::reverse(symbols.begin(), symbols.end()); // rows of earlier loads do not match
        folder.writePortfolio(symbols);
        auto* grid = control<QuoteGrid>("QT1");
        struct Seen {
            int rows; // leading rows that show the portfolio's symbols in order
            QString counts;
            QString status;
        };
        QList<Seen> seen;
        auto look = [&] {
            int rows = 0;
            while (rows < symbols.size() && grid->cell(0, rows).trimmed() == symbols[rows])
                ++rows;
            seen << Seen{rows, countText("Adv") + countText("Decl") + countText("NoChg"), statusText()};
        };
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, look);
        sampler.start(3);
        QVERIFY(runDelayedLoad());
        sampler.stop();
        look();

        QCOMPARE(seen.last().rows, 50);
        QVERIFY(!seen.last().counts.isEmpty());
        QCOMPARE(seen.last().status, QString("Done getting quotes"));
        // From the load's first status on: an earlier load's "Done" may show until then.
        int start = 0;
        while (start < seen.size() && seen[start].status.startsWith("Done"))
            ++start;
        QSet<int> partial, progress;
        for (int i = start; i < seen.size(); ++i) {
            // How far the load is: the symbols whose page has come, of the 50 it asks for.
            if (seen[i].status.startsWith("Getting")) {
                const int done = seen[i].status.section('(', 1).section(' ', 0, 0).toInt();
                QCOMPARE(seen[i].status, QString("Getting quotes... (%1 of 50 symbols)").arg(done));
                QVERIFY2(done <= seen[i].rows, qPrintable(seen[i].status));
                progress << done;
            }
            if (i > start)
                QVERIFY2(seen[i].rows >= seen[i - 1].rows, "rows shown went back");
            if (seen[i].rows < 50) {
                partial << seen[i].rows;
                QVERIFY2(seen[i].rows % 20 == 0,
                         qPrintable(QString("%1 rows shown: not whole pages").arg(seen[i].rows)));
                QVERIFY2(seen[i].counts.isEmpty(), "counts shown before the last row");
                QVERIFY2(!seen[i].status.startsWith("Done"), "done before the last row");
            }
        }
        QVERIFY2(partial.contains(20) && partial.contains(40), "the pages were not seen one at a time");
        QCOMPARE(progress, QSet<int>({0, 20, 40}));
    }

    void rowsOfAnEarlierLoadAreNotThisLoads() {
        QuotedProcess server;
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(10));
        QVERIFY(runDelayedLoad());
        QCOMPARE(loadedQuoteRows().size(), 10);
        // A portfolio whose second line is empty: one row this time, not ten.
        folder.writePortfolio({"IBM", "", "MSFT", "KO", "PEP"});
        QVERIFY(runDelayedLoad());
        QCOMPARE(statusText(),
                 QString("Done getting quotes (list ends at the blank line 2: 3 symbols below it not loaded)"));
        QCOMPARE(loadedQuoteRows().size(), 1);
        QCOMPARE(control<QuoteGrid>("QT1")->rowCount(), 1);
        QCOMPARE(control<MirrorTextEdit>("DisplayQR")->lines().size(), 1);
        QCOMPARE(countText("Adv").toInt() + countText("Decl").toInt() + countText("NoChg").toInt(), 1);
    }
};

QTEST_MAIN(DelayedLoadTest)
#include "test_delayed_load.moc"
