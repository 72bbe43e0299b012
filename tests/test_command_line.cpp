// Tickwell's command line, as a user types it: --help and --version without a display, a
// mistyped option, --server winning over TICKWELL_QUOTE_SERVER, a portfolio for both tabs.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "support/file_bytes.h"
#include "support/quoted_process.h"

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
        const QString& folder = QString()) {
    QProcess process;
    process.setProcessEnvironment(env);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return result;
    }
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QProcessEnvironment withoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    return env;
}

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}
} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    // Answered before any window system is asked for; the window alone needs a display.
    void answeredWithoutDisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected"); // in what it prints, on either stream
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "tickwell " TICKWELL_VERSION "\n";
        QTest::newRow("-v") << QStringList{"-v"} << 0 << "tickwell " TICKWELL_VERSION "\n";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "--server <HOST[:PORT]>";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "[PORTFOLIO]";
        QTest::newRow("the window") << QStringList{} << 1
                                    << "needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                                       "tickwell --print [PORTFOLIO] prints";
    }
    void answeredWithoutDisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, expected);
        const Run result = run(TICKWELL_BINARY, arguments, withoutDisplay());
        QCOMPARE(result.code, code);
        QVERIFY2((code == 0 ? result.out : result.err).contains(expected), qPrintable(result.out + result.err));
    }

    void mistakesEndWithCodeTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "Unknown option 'bogus'";
        QTest::newRow("bad server") << QStringList{"--server", "host:port"} << "--server host:port is not";
        QTest::newRow("user in server") << QStringList{"--server", "me@host"} << "--server me@host is not";
        QTest::newRow("two portfolios") << QStringList{"a.txt", "b.txt"} << "one portfolio at most";
        QTest::newRow("unknown format") << QStringList{"--print", "--format", "xml"} << "--format xml is not";
        QTest::newRow("watch too often") << QStringList{"--print", "--watch", "4"} << "--watch 4 is not";
        QTest::newRow("realtime without print") << QStringList{"--realtime"} << "go with --print";
        QTest::newRow("no value") << QStringList{"--server"} << "Missing value after '--server'";
        QTest::newRow("blank in server") << QStringList{"--server", "a b"} << "--server a b is not";
        QTest::newRow("unknown option with --print") << QStringList{"--print", "--bogus"} << "Unknown option 'bogus'";
        QTest::newRow("history and print")
            << QStringList{"--history", "IBM", "--print"} << "--history goes with neither";
        QTest::newRow("history as a table")
            << QStringList{"--history", "IBM", "--format", "table"} << "--history prints csv or json";
        QTest::newRow("from without history") << QStringList{"--from", "2025-01-02"} << "go with --history";
    }
    // Told before any window system is asked for: no display is needed to learn of a mistake.
    void mistakesEndWithCodeTwo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, complaint);
        const Run result = run(TICKWELL_BINARY, arguments, withoutDisplay());
        QCOMPARE(result.code, 2);
        QVERIFY2(result.err.contains(complaint), qPrintable(result.err));
        QVERIFY(result.err.contains("tickwell --help"));
    }

    // The portfolio named on the command line, in another folder or after "--" with a name like
    // an option, is on both tabs and loads from the server that --server names, though the
    // variable names another; its data file goes beside it, and the next start finds it.
    void serverAndPortfolioFromTheCommandLine_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("elsewhere");
        QTest::addColumn<bool>("platformOption"); // Qt's -platform on the command line, with no display
        QTest::newRow("another folder") << "mine.txt"
                                        << "mine_data_qt1.txt" << true << false;
        QTest::newRow("after --, named -h, -platform") << "-h"
                                                       << "-h_data_qt1.txt" << false << true;
    }
    void serverAndPortfolioFromTheCommandLine() {
        QFETCH(QString, name);
        QFETCH(QString, data);
        QFETCH(bool, elsewhere);
        QFETCH(bool, platformOption);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        QTemporaryDir start, other, config;
        const QString portfolio = (elsewhere ? other : start).filePath(name);
        QVERIFY(writeFileBytes(portfolio, "IBM\nKO\n"));
        QProcessEnvironment env = platformOption ? withoutDisplay() : offscreen();
        env.insert("TICKWELL_QUOTE_SERVER", "127.0.0.1:1");
        env.insert("XDG_CONFIG_HOME", config.path());
        const QStringList named = elsewhere ? QStringList{portfolio} : QStringList{"--", name};
        const QStringList platform = platformOption ? QStringList{"-platform", "offscreen"} : QStringList();
        const Run result = run(COMMAND_LINE_PROBE_BINARY,
                               platform + QStringList{"--server", QString("127.0.0.1:%1").arg(server.port())} + named,
                               env, start.path());
        QCOMPARE(result.code, 0);
        QVERIFY2(result.out.contains("portfolios: " + name + ", " + name), qPrintable(result.out + result.err));
        QVERIFY2(result.out.contains("status: Done getting quotes\n"), qPrintable(result.out + result.err));
        QCOMPARE(server.recordedRequests().size(), 1);
        QVERIFY(server.recordedRequests().first().contains("s=IBM,KO&"));
        QVERIFY(QFile::exists(QFileInfo(portfolio).dir().filePath(data)));
        QCOMPARE(QDir(start.path()).entryList(QDir::Files | QDir::Hidden),
                 elsewhere ? QStringList() : QStringList({name, data}));
        // Remembered like a choice: the next start, named no portfolio, finds it on both tabs.
        const Run next =
            run(COMMAND_LINE_PROBE_BINARY,
                platform + QStringList{"--server", QString("127.0.0.1:%1").arg(server.port())}, env, start.path());
        QVERIFY2(next.out.contains("portfolios: " + name + ", " + name), qPrintable(next.out + next.err));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
