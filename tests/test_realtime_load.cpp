// Real-time loads end to end against tickwell-quoted, alone and beside a delayed load.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/quoted_process.h"

namespace {
QByteArray pathOf(const QByteArray& request) {
    return request.split(' ').value(1);
}

// The note on rows that an earlier test's load left in the grid, which these tests do not look at.
const QRegularExpression StaleRowsNote("; \\d+ rows? (is|are) from the load before");

QString statusText(const char* bar) {
    return control<StatusLine>(bar)->simpleText();
}
} // namespace

class RealTimeLoadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tickwellWindow(); }
    void cleanup() {
        QVERIFY(waitForLoadsToEnd());
        MessageBoxSeam::clear();
    }

    void twentyFiveSymbols() {
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        QStringList symbols = knownSymbols(25);
        symbols[3] = "GOOGLE"; // six characters, two side by side, among ordinary symbols
        symbols[4] = "NASDAQ";
        folder.writePortfolio(symbols);
        QVERIFY(runRealTimeLoad());

        QCOMPARE(statusText("StatusBar2"), QString("Done getting quotes"));
        auto* grid = control<QuoteGrid>("RT1");
        QCOMPARE(grid->rowCount(), 25);
        const QStringList data = folder.readLines("input_data_qt2.txt");
        QCOMPARE(data.size(), 25);
        auto* mirror = control<MirrorTextEdit>("DisplayQR1");
        QCOMPARE(mirror->lines().size(), 25);
        int known = 0;
        for (int i = 0; i < 25; ++i) {
            QVERIFY2(data[i].startsWith(" " + symbols[i] + " "), qPrintable(data[i]));
            QVERIFY2(!data[i].contains("not found"), qPrintable(data[i]));
            QCOMPARE(grid->cell(0, i).trimmed(), symbols[i]);
            const float trade = realTimeTradeDirection(i);
            QVERIFY(trade == 1 || trade == -1 || trade == 0 || trade == -100);
            // The mirror's line is black for an unknown direction, green or red for a known one.
            QCOMPARE(mirror->lineColor(i) == QColor(0, 0, 0), trade == -100);
            if (trade != -100) {
                ++known;
                QVERIFY2(!grid->cell(2, i).trimmed().isEmpty(), qPrintable(symbols[i]));
            } else {
                QCOMPARE(grid->cell(1, i), QString("     N/A"));
            }
        }
        QVERIFY2(known >= 20, qPrintable(QString::number(known)));
        QVERIFY(control("BtnQuote1")->isEnabled());

        const QList<QByteArray> requests = server.recordedRequests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(pathOf(requests[0]), ("/q/cq?s=" + symbols.mid(0, 20).join(',') + "&d=e").toLatin1());
        QCOMPARE(pathOf(requests[1]), ("/q/cq?s=" + symbols.mid(20).join(',') + "&d=e").toLatin1());
    }

    void requestPaths_data() {
        QTest::addColumn<QStringList>("portfolio");
        QTest::addColumn<QList<QByteArray>>("paths");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("note"); // in brackets after "Done getting quotes"
        const QStringList sixtyOne = knownSymbols(61);
        QTest::newRow("one symbol") << QStringList{"IBM"} << QList<QByteArray>{"/q/cq?s=IBM,xxxx&d=e"} << 1 << "";
        QTest::newRow("exactly twenty")
            << knownSymbols(20) << QList<QByteArray>{("/q/cq?s=" + knownSymbols(20).join(',') + "&d=e").toLatin1()}
            << 20 << "";
        QTest::newRow("twenty-one") << knownSymbols(21)
                                    << QList<QByteArray>{("/q/cq?s=" + knownSymbols(20).join(',') + "&d=e").toLatin1(),
                                                         ("/q/cq?s=" + knownSymbols(21)[20] + ",xxxx&d=e").toLatin1()}
                                    << 21 << "";
        QTest::newRow("sixty-one requests sixty")
            << sixtyOne
            << QList<QByteArray>{("/q/cq?s=" + sixtyOne.mid(0, 20).join(',') + "&d=e").toLatin1(),
                                 ("/q/cq?s=" + sixtyOne.mid(20, 20).join(',') + "&d=e").toLatin1(),
                                 ("/q/cq?s=" + sixtyOne.mid(40, 20).join(',') + "&d=e").toLatin1()}
            << 60 << "first 60 of 61 symbols";
        QTest::newRow("blank line ends the list")
            << QStringList{"MSFT", "IBM", "", "KO"} << QList<QByteArray>{"/q/cq?s=MSFT,IBM&d=e"} << 2
            << "list ends at the blank line 3: 1 symbol below it not loaded";
        QTest::newRow("empty file") << QStringList{} << QList<QByteArray>{} << 0 << "portfolio is empty";
        QTest::newRow("six letters, then an overlong line")
            << QStringList{"MSFT", "GOOGLE", "GOOGLEX", "IBM"} << QList<QByteArray>{"/q/cq?s=MSFT,GOOGLE,IBM&d=e"} << 4
            << "1 symbol not found";
    }
    void requestPaths() {
        QFETCH(QStringList, portfolio);
        QFETCH(QList<QByteArray>, paths);
        QFETCH(int, rows);
        QFETCH(QString, note);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(portfolio);
        auto* grid = control<QuoteGrid>("RT1");
        grid->setRowCount(45);
        QVERIFY(runRealTimeLoad());
        QCOMPARE(statusText("StatusBar2"),
                 note.isEmpty() ? "Done getting quotes" : "Done getting quotes (" + note + ")");
        const QList<QByteArray> requests = server.recordedRequests();
        QCOMPARE(requests.size(), paths.size());
        const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(server.port());
        for (int i = 0; i < paths.size(); ++i)
            QCOMPARE(requests[i], "GET " + paths[i] + " HTTP/1.1\r\n" + host + "\r\n\r\n");
        QCOMPARE(control<MirrorTextEdit>("DisplayQR1")->lines().size(), rows);
        // The grid shows the rows this load parsed, never an earlier load's rows past them.
        QCOMPARE(grid->rowCount(), std::max(1, rows));
        QCOMPARE(folder.readLines("input_data_qt2.txt").size(), rows);
    }

    void dataFileThatCannotBeCreatedStillShowsRows() {
        QuotedProcess server;
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "IBM"});
        QDir().mkdir(folder.path("input_data_qt2.txt")); // a folder where the data file would go
        QVERIFY(runRealTimeLoad());
        QCOMPARE(statusText("StatusBar2"), QString("Done getting quotes (data file not written: Is a directory)"));
        QCOMPARE(control<MirrorTextEdit>("DisplayQR1")->lines().size(), 2);
        QCOMPARE(control<QuoteGrid>("RT1")->rowCount(), 2);
        QCOMPARE(control<QuoteGrid>("RT1")->cell(0, 1).trimmed(), QString("IBM"));
        QVERIFY(QFileInfo(folder.path("input_data_qt2.txt")).isDir());
    }

    void refusedPortLosesTheConnection() {
        const int port = closedPort();
        useQuoteServer(port);
        LoadFolder folder;
        folder.writePortfolio({"MSFT"});
        QVERIFY(runRealTimeLoad());
        QCOMPARE(statusText("StatusBar2").remove(StaleRowsNote),
                 QString("Connection lost...Reload quotes (127.0.0.1:%1: connection refused)").arg(port));
        QVERIFY(control("BtnQuote1")->isEnabled());
    }

    void missingPortfolioSaysSo() {
        LoadFolder folder;
        QVERIFY(runRealTimeLoad());
        QCOMPARE(MessageBoxSeam::shown().size(), 1);
        QCOMPARE(MessageBoxSeam::shown()[0].text,
                 "File in use by another application.\n" + folder.path("input.txt") + ": No such file or directory");
        QCOMPARE(MessageBoxSeam::shown()[0].caption, QString("Alter"));
    }

    void delayedAndRealTimeLoadsRunTogether() {
        QuotedProcess server({"--slow", "2"}, QuotedProcess::Recording::On);
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(41), "delayed.txt");
        folder.writePortfolio(knownSymbols(25).mid(5), "live.txt");
        // The boxes are read-only to the user: the names are set as the program would.
        namePortfolio(QuoteTab::Quotes, "delayed.txt");
        namePortfolio(QuoteTab::RealTime, "live.txt");
        QVERIFY(showTab("Quotes"));
        QTest::mouseClick(control<QPushButton>("BtnQuote"), Qt::LeftButton);
        QVERIFY(showTab("RealTime"));
        QTest::mouseClick(control<QPushButton>("BtnQuote1"), Qt::LeftButton);
        QVERIFY(loadRunning(QuoteTab::Quotes) && loadRunning(QuoteTab::RealTime));
        QVERIFY(waitForLoadsToEnd(60000));
        QCOMPARE(statusText("StatusBar1"), QString("Done getting quotes"));
        QCOMPARE(statusText("StatusBar2"), QString("Done getting quotes"));
        QCOMPARE(loadedQuoteRows().size(), 41);
        QCOMPARE(control<MirrorTextEdit>("DisplayQR1")->lines().size(), 20);
        QCOMPARE(folder.readLines("delayed_data_qt1.txt").size(), 41);
        QCOMPARE(folder.readLines("live_data_qt2.txt").size(), 20);
        QCOMPARE(control<QuoteGrid>("QT1")->cell(0, 0).trimmed(), knownSymbols(1)[0]);
        QCOMPARE(control<QuoteGrid>("RT1")->cell(0, 0).trimmed(), knownSymbols(6)[5]);
        QCOMPARE(server.recordedRequests().size(), 4);
        namePortfolio(QuoteTab::Quotes, "input.txt");
        namePortfolio(QuoteTab::RealTime, "input.txt");
    }
};

QTEST_MAIN(RealTimeLoadTest)
#include "test_realtime_load.moc"
