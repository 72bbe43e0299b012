// The window as a screen reader meets it, read through AT-SPI by another process (the test
// runs itself again on a private session bus under Xvfb).
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/quote_grid.h"
#include "support/quoted_process.h"

namespace {
bool atspiSession() {
    return !qEnvironmentVariableIsEmpty("TICKWELL_ATSPI_SESSION");
}

void startProbe(QProcess& probe, const QStringList& args) {
    probe.start("/usr/bin/python3", QStringList{TICKWELL_TEST_SOURCES "/support/atspi_probe.py",
                                                QString::number(QCoreApplication::applicationPid())} +
                                        args);
}

// The probe's lines; the window thread answers it meanwhile.
QStringList probe(const QStringList& args) {
    QProcess probe;
    startProbe(probe, args);
    (void)QTest::qWaitFor([&] { return probe.state() == QProcess::NotRunning; }, 20000);
    return QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    QuotedProcess server_;
    LoadFolder folder_;

private slots:
    void initTestCase() {
        if (!atspiSession())
            QSKIP("needs dbus-run-session, xvfb-run and python3-pyatspi");
        useQuoteServer(server_.port());
        folder_.writePortfolio(knownSymbols(3));
        tickwellWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tickwellWindow()));
    }

    // A load clicked with the mouse; its status line's last text is heard, and the grid claims no
    // focus it does not have; a row reads as its cells under the column titles, the untitled spacer
    // column left out.
    void loadIsHeardAndRowRead() {
        QProcess listener;
        startProbe(listener, {"listen"});
        QVERIFY(QTest::qWaitFor([&] { return listener.canReadLine(); }, 20000));
        QTest::qWait(500); // the window learns of the listener through the bus
        QVERIFY(runDelayedLoad());
        QByteArray heard;
        (void)QTest::qWaitFor([&] { return (heard += listener.readAllStandardOutput()).contains("status bar|Done"); });
        listener.kill();
        QVERIFY2(heard.contains("status bar|Done getting quotes\n"), heard.constData());
        QVERIFY2(!heard.contains("focus|table cell"), heard.constData());

        QStringList cells;
        for (int col : {0, 1, 2, 4, 5, 6})
            cells << control<QuoteGrid>("QT1")->cell(col, 1);
        QCOMPARE(cells[0].trimmed(), loadedQuoteRows().value(1).symbol);
        QCOMPARE(probe({"row", "Quotes", "1"}),
                 QStringList({"Symbol|Time|Price|Change|%Change|Volume", cells.join('|')}));
    }

    // Every box carries the name of the label or button beside it.
    void boxesAreNamedAfterTheirLabels() {
        const QStringList names = probe({"names"});
        for (const char* expected : {"text|Adv", "text|Decl", "text|UnChg", "text|Find symbol", "text|Display Details",
                                     "table|Quotes", "table|Real-time quotes", "text|Portfolio text"})
            QVERIFY2(names.contains(expected), expected);
        QCOMPARE(names.count("text|Select Portfolio"), 2);
        QCOMPARE(names.count("combo box|Refresh Time"), 2);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool tools = !QStandardPaths::findExecutable("dbus-run-session").isEmpty() &&
                       !QStandardPaths::findExecutable("xvfb-run").isEmpty() &&
                       QProcess::execute("/usr/bin/python3", {"-c", "import pyatspi"}) == 0;
    if (atspiSession() || !tools) {
        TestAccessibility test;
        return QTest::qExec(&test, argc, argv);
    }
    QProcess session;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("TICKWELL_ATSPI_SESSION", "1");
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    session.setProcessEnvironment(env);
    session.setProcessChannelMode(QProcess::ForwardedChannels);
    session.start("dbus-run-session", QStringList{"--", "xvfb-run", "-a"} + app.arguments());
    session.waitForFinished(240000);
    return session.exitStatus() == QProcess::NormalExit ? session.exitCode() : 1;
}

#include "test_accessibility.moc"
