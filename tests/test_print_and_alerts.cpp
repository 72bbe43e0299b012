// tickwell --print and the price alerts as a user meets them: the program run as a process with
// no display against tickwell-quoted, and the window's alerts read back from a real notification
// daemon (dunst) on the test's own session bus, or from its status line where none answers. The
// test runs itself again on a private bus without service activation, under Xvfb for dunst.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <cstdio>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/status_line.h"
#include "support/file_bytes.h"
#include "support/quoted_process.h"

namespace {
const bool InNoticeSession = qEnvironmentVariableIsSet("TICKWELL_NOTICE_SESSION");

struct Run {
    int code = -1;
    QByteArray out, err;
};

// tickwell --print in the current folder, with no display at all.
Run print(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    process.setProcessEnvironment(env);
    process.start(TICKWELL_BINARY, QStringList{"--print"} + arguments);
    const bool ended = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

double number(QString word) {
    return word.remove(',').remove('%').remove('+').toDouble();
}

// The printed rows, each as its values (empty where none), in the order of the columns.
QList<QStringList> printedRows(const QByteArray& out, const QString& format, const QStringList& columns) {
    QList<QStringList> rows;
    for (const QJsonValue row : QJsonDocument::fromJson(out)["rows"].toArray()) {
        rows << QStringList();
        for (const QString& column : columns)
            rows.last() << (row[column].isDouble() ? QString::number(row[column].toDouble(), 'f', 4)
                                                   : row[column].toString());
    }
    for (const QByteArray& line : out.split('\n').mid(1)) { // past the header; a table's counts follow a blank line
        if (format == "json" || line.isEmpty())
            break;
        QStringList values = QString(line).split(QRegularExpression(format == "csv" ? "," : " {2,}"));
        values.replaceInStrings(QRegularExpression("^(N/A|symbol not found)$"), QString());
        rows << values + QStringList(columns.size() - values.size(), QString());
    }
    return rows;
}

// The data-file line's words in the order of the printed columns.
QStringList dataWords(const QString& line, bool realTime) {
    QStringList w =
        realTime ? line.trimmed().split(QRegularExpression(R"(\)?   | \()")) : line.split(' ', Qt::SkipEmptyParts);
    if (!realTime)
        w[1] += ' ' + w.takeAt(2); // the time and its zone
    else if (w[5] != "N/A")
        w.removeAt(6); // the after-hours percent
    return w;
}

// A quotes feed of AAPL and IBM at these prices and changes, put in place whole; AAPL left out
// when its price is 0.
void writeFeed(const QString& path, double aapl, double ibmChange) {
    const QByteArray aaplLine = aapl > 0 ? "AAPL," + QByteArray::number(aapl, 'f', 2) + ",1.00,16:00\n" : "";
    QVERIFY(writeFileBytes(path + ".new", "symbol,last,change,time\n" + aaplLine + "IBM,150.00," +
                                              QByteArray::number(ibmChange, 'f', 2) + ",16:00\n"));
    QVERIFY(std::rename(qPrintable(path + ".new"), qPrintable(path)) == 0);
}

// The summaries dunst has shown, with their app names and bodies.
QStringList shownNotices() {
    QProcess::execute("dunstctl", {"close-all"}); // only closed notices go into the history
    QProcess history;
    history.start("dunstctl", {"history"});
    history.waitForFinished(5000);
    QStringList notices;
    for (const QJsonValue n : QJsonDocument::fromJson(history.readAllStandardOutput())["data"][0].toArray())
        notices << n["appname"]["data"].toString() + '|' + n["summary"]["data"].toString() + '|' +
                       n["body"]["data"].toString();
    return notices;
}
} // namespace

class TestPrintAndAlerts : public QObject {
    Q_OBJECT
    QuotedProcess server_;
    QString serverAddress_;
    QTemporaryDir feedFolder_;
    std::unique_ptr<QuotedProcess> fed_; // a feed's server, which keeps a history

private slots:
    void initTestCase() {
        QVERIFY2(server_.isListening(), qPrintable(server_.errorText()));
        serverAddress_ = useQuoteServer(server_.port()); // and the settings of this run alone
    }

    // Every printed value is the number of the word of the data-file line the same load wrote.
    void printedValuesAreTheDataFileWords_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("realTime");
        for (const char* format : {"csv", "json", "table"}) {
            QTest::addRow("%s", format) << format << false;
            QTest::addRow("%s, real-time", format) << format << true;
        }
    }
    void printedValuesAreTheDataFileWords() {
        QFETCH(QString, format);
        QFETCH(bool, realTime);
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(4) + QStringList{"^DJI", "ABCDQ", "ZZZZ"}); // N/A values, not found
        const Run run = print(QStringList{"--format", format, "--server", serverAddress_} +
                              (realTime ? QStringList{"--realtime"} : QStringList()));
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, QByteArray("Done getting quotes (1 symbol not found)\n"));
        const QStringList columns =
            realTime ? QStringList{"symbol", "time", "trade", "change", "percent", "after_hours_change", "bid", "ask"}
                     : QStringList{"symbol", "time", "price", "change", "percent", "volume"};
        if (format == "csv")
            QCOMPARE(run.out.left(run.out.indexOf('\n')), columns.join(',').toLatin1());
        const QList<QStringList> rows = printedRows(run.out, format, columns);
        const QStringList data = folder.readLines(realTime ? "input_data_qt2.txt" : "input_data_qt1.txt");
        QCOMPARE(rows.size(), 7);
        QCOMPARE(data.size(), 7);
        for (int r = 0; r < 7; ++r) {
            const QStringList& printed = rows[r];
            QCOMPARE(printed.size(), columns.size());
            QCOMPARE(printed[0], data[r].section(' ', 1, 1));
            if (data[r].contains("symbol not found")) {
                QCOMPARE(printed.join(""), printed[0]);
                continue;
            }
            const QStringList words = dataWords(data[r], realTime);
            QCOMPARE(printed[1], words[1] == "Unknown ET" ? QString() : words[1]);
            for (int c = 2; c < columns.size(); ++c) {
                QCOMPARE(printed[c].isEmpty(), words[c] == "N/A");
                QCOMPARE(qAbs(number(printed[c])), qAbs(number(words[c])));
            }
            // Changes carry the sign of the row's direction; the delayed page gives it with the percent.
            QCOMPARE(printed[3].startsWith('-'), printed[4].startsWith('-'));
            if (!realTime)
                QCOMPARE(printed[4].startsWith('-'), words[4].startsWith('-'));
        }
    }

    // A refused connection ends with 1; --watch prints a line a load, 5 s apart (whole seconds).
    void refusedConnectionAndWatch() {
        LoadFolder folder;
        folder.writePortfolio({"IBM"});
        const Run refused = print({"--server", QString("127.0.0.1:%1").arg(closedPort())});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.startsWith("Connection lost...Reload quotes (127.0.0.1:") && refused.out.isEmpty(),
                 refused.err);
        QProcess watch;
        watch.start(TICKWELL_BINARY, {"--print", "--format", "json", "--watch", "5", "--server", serverAddress_});
        QByteArray out;
        QVERIFY(QTest::qWaitFor([&] { return (out += watch.readAllStandardOutput()).count('\n') >= 2; }, 20000));
        const QJsonDocument first = QJsonDocument::fromJson(out.split('\n')[0]),
                            second = QJsonDocument::fromJson(out.split('\n')[1]);
        QCOMPARE(second["status"].toString() + second["rows"][0]["symbol"].toString(), "Done getting quotesIBM");
        QVERIFY2(QDateTime::fromString(first["time"].toString(), Qt::ISODate)
                         .secsTo(QDateTime::fromString(second["time"].toString(), Qt::ISODate)) >= 4,
                 out);
    }

    // tickwell --history prints the series a feed's server keeps, both kinds, without a display;
    // the simulated market keeps none.
    void historySeries_data() {
        QTest::addColumn<bool>("fed");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // a pattern
        const QString day = "\\d{4}-\\d\\d-\\d\\d";
        QTest::newRow("intraday, csv") << true << QStringList{"--kind", "intraday"} << 0
                                       << "time,price,volume\n" + day + "T\\d\\d:\\d\\d:\\d\\dZ,12.50,100\n";
        QTest::newRow("daily, json") << true << QStringList{"--format", "json"} << 0
                                     << "\\{\"kind\":\"daily\",\"points\":\\[\\{\"close\":12.5,\"date\":\"" + day +
                                            "\",\"high\":12.5,\"low\":12.5,\"open\":12.5,\"volume\":100\\}\\],"
                                            "\"symbol\":\"IBM\"\\}\n";
        QTest::newRow("simulated market") << false << QStringList{} << 1 << QString();
    }
    void historySeries() {
        QFETCH(bool, fed);
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, out);
        if (!fed_) {
            QVERIFY(writeFileBytes(feedFolder_.filePath("feed.csv"), "symbol,last,volume\nIBM,12.50,100\n"));
            fed_ = std::make_unique<QuotedProcess>(QStringList{"--quotes", feedFolder_.filePath("feed.csv")});
        }
        QuotedProcess& feed = *fed_;
        QVERIFY(feed.isListening());
        // The first point is in the store once the writer's first batch is.
        QVERIFY(QTest::qWaitFor(
            [&] { return exchangeRaw(feed.port(), quoteRequest("/history?s=IBM")).bytes.contains(",12.50,"); }, 5000));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        process.setProcessEnvironment(env);
        const QString server = fed ? QString("127.0.0.1:%1").arg(feed.port()) : serverAddress_;
        process.start(TICKWELL_BINARY, QStringList{"--history", "ibm", "--server", server} + arguments);
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitCode(), code);
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(QRegularExpression("^" + out + "$").match(printed).hasMatch(), qPrintable(printed));
        if (!fed)
            QVERIFY(process.readAllStandardError().contains("answered 404"));
    }

    // Alerts beside the portfolio, loaded by --print: each fires as it becomes true, stays quiet
    // while it stays true or its symbol is missing, and fires again after a load that re-armed it.
    void alertsCrossStayAndReArm() {
        LoadFolder folder;
        const QString feed = folder.path("feed.csv");
        writeFeed(feed, 201.15, -4);
        QuotedProcess market({"--quotes", feed});
        QVERIFY2(market.isListening(), qPrintable(market.errorText()));
        folder.writePortfolio({"AAPL", "IBM"});
        QVERIFY(writeFileBytes(folder.path("input.alerts"),
                               "# mine\nAAPL above 200\n\nibm CHANGE below -2%  # a fall\nAAPL abvoe 3\n"));
        const QString server = QString("127.0.0.1:%1").arg(market.port());
        const struct {
            double aapl, ibmChange;
            const char* fired;
            bool realTime;
        } steps[] = {{201.15, -4, "AAPL above 200.00 at 201.15|IBM change below -2.00% at -2.60%", false},
                     {202, -4, "", false},
                     {0, -4, "", false}, // AAPL missing: its state stays
                     {203, -1, "", false},
                     {199, -1, "", false},
                     {201.15, -4, "AAPL above 200.00 at 201.15|IBM change below -2.00% at -2.60%", false},
                     {201.15, -4, "AAPL above 200.00 at 201.15|IBM change below -2.00% at -2.60%", true}};
        for (const auto& step : steps) {
            writeFeed(feed, step.aapl, step.ibmChange);
            const Run run = print(QStringList{"--format", "json", "--server", server} +
                                  (step.realTime ? QStringList{"--realtime"} : QStringList()));
            QCOMPARE(run.code, 0);
            QStringList said, fired;
            for (const QString& line : QString(run.err).split('\n'))
                said << (line.startsWith("alert: ") ? line.mid(7) : QString());
            for (const QJsonValue alert : QJsonDocument::fromJson(run.out)["alerts"].toArray())
                fired << alert["rule"].toString();
            QCOMPARE(said.filter(" at ").join('|'), QString(step.fired));
            QCOMPARE(fired, said.filter(" at ").replaceInStrings(QRegularExpression(" at .*"), QString()));
            QVERIFY2(run.err.contains("Done getting quotes (" +
                                      QByteArray(step.aapl > 0 ? "" : "1 symbol not found; ") +
                                      "input.alerts line 5 is not a rule)\n"),
                     run.err.constData());
        }
    }

    // Where no notification service answers, the alert joins the reasons in the status line; dunst
    // shows each tab's alert once, and a load while the rule stays true brings no second one.
    void windowAlertsReachTheDaemonOrTheStatusLine() {
        if (!InNoticeSession)
            QSKIP("needs dbus-run-session, xvfb-run and dunst");
        LoadFolder folder;
        folder.writePortfolio({"IBM", "ZZZZ"});
        QVERIFY(writeFileBytes(folder.path("input.alerts"), "IBM above 0.01\n"));
        QVERIFY(runDelayedLoad());
        const QString price = folder.readLines("input_data_qt1.txt").value(0).section(' ', 4, 4).remove(',');
        QTRY_COMPARE(control<StatusLine>("StatusBar1")->simpleText(),
                     "Done getting quotes (1 symbol not found; alert: IBM above 0.01 at " + price + ")");

        QProcess dunst; // stopped when the test ends
        dunst.start("dunst");
        QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.Notifications"));
        QVERIFY(runRealTimeLoad()); // the RealTime tab's own state: its first alert
        const QString trade = folder.readLines("input_data_qt2.txt").value(0).split("   ").value(2).remove(',');
        QTRY_COMPARE_WITH_TIMEOUT(shownNotices().filter("Tickwell|IBM above 0.01|" + trade + " (").size(), 1, 10000);
        QCOMPARE(control<StatusLine>("StatusBar2")->simpleText(), QString("Done getting quotes (1 symbol not found)"));
        QVERIFY(runRealTimeLoad());
        QTest::qWait(1000);
        QCOMPARE(shownNotices().filter("|IBM above 0.01|").size(), 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto found = [](const char* tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); };
    if (InNoticeSession || !found("dbus-run-session") || !found("xvfb-run") || !found("dunst")) {
        TestPrintAndAlerts test;
        return QTest::qExec(&test, argc, argv);
    }
    // A bus of the test's own that starts no service when asked: without dunst, started by the
    // test, it is a desktop without a notification service.
    QTemporaryDir scratch;
    writeFileBytes(scratch.filePath("bus.conf"),
                   "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth><policy "
                   "context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                   "<allow own=\"*\"/></policy></busconfig>");
    qputenv("TICKWELL_NOTICE_SESSION", "1");
    QProcess session;
    session.setProcessChannelMode(QProcess::ForwardedChannels);
    session.start("dbus-run-session",
                  QStringList{"--config-file=" + scratch.filePath("bus.conf"), "--", "xvfb-run", "-a"} +
                      app.arguments());
    session.waitForFinished(240000);
    return session.exitStatus() == QProcess::NormalExit ? session.exitCode() : 1;
}

#include "test_print_and_alerts.moc"
