// The window as a screen reader meets it, read through AT-SPI by a separate client on a private
// message bus under Xvfb: the boxes' names, a grid row, and the status line's changes heard.
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/quote_grid.h"
#include "support/quoted_process.h"

namespace {
const char* const SessionMark = "TICKWELL_ATSPI_SESSION";
const QString Probe = QStringLiteral(TICKWELL_TEST_SOURCES "/support/atspi_probe.py");

// What is missing to run these tests here, or empty.
QString missingTools() {
    for (const char* tool : {"dbus-run-session", "xvfb-run"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return QString("%1 is not installed").arg(tool);
    if (QProcess::execute("/usr/bin/python3", {"-c", "import pyatspi"}) != 0)
        return "python3-pyatspi is not installed";
    return {};
}

// The probe's lines, run against this process while the window thread keeps answering it.
QStringList probe(const QStringList& args, QProcess* process = nullptr) {
    QProcess own;
    QProcess& p = process ? *process : own;
    p.start("/usr/bin/python3", QStringList{Probe, QString::number(QCoreApplication::applicationPid())} + args);
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000))
        p.kill();
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    QuotedProcess server_;
    LoadFolder folder_;

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty(SessionMark))
            QSKIP(qPrintable("no accessibility session: " + missingTools()));
        QVERIFY(server_.isListening());
        UseQuoteServer(server_.port());
        folder_.writePortfolio(KnownSymbols(3));
        QWidget& window = TickwellWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(ShowTab("Quotes"));
    }

    // A load clicked with the mouse: the status line's new texts are heard as they come.
    void statusChangesAreHeard() {
        QProcess listener;
        listener.start("/usr/bin/python3", {Probe, QString::number(QCoreApplication::applicationPid()), "listen"});
        QVERIFY(QTest::qWaitFor([&] { return listener.canReadLine(); }, 20000));
        QCOMPARE(listener.readLine().trimmed(), QByteArray("ready"));
        QTest::qWait(500); // the window learns of the new listener through the bus
        QVERIFY(RunDelayedLoad());
        QByteArray heard;
        (void)QTest::qWaitFor(
            [&] {
                heard += listener.readAllStandardOutput();
                return heard.contains("status bar|Done getting quotes");
            },
            10000);
        listener.kill();
        listener.waitForFinished();
        QVERIFY2(heard.contains("status bar|Done getting quotes"), heard.constData());
    }

    // Every box the user types in or reads carries the name of the label or button beside it.
    void boxesAreNamedAfterTheirLabels() {
        const QStringList names = probe({"names"});
        for (const char* expected : {"text|Adv", "text|Decl", "text|UnChg", "text|Find symbol", "text|Display Details",
                                     "combo box|Refresh Time"})
            QVERIFY2(names.contains(expected), expected);
        QCOMPARE(names.count("text|Select Portfolio"), 2);
        QCOMPARE(names.count("combo box|Refresh Time"), 2);
    }

    // A row reads as its symbol and its values under their column titles.
    void gridRowReadsAsItsValues() {
        QVERIFY(RunDelayedLoad());
        auto* grid = Control<QuoteGrid>("QT1");
        QStringList values;
        for (int col = 0; col < grid->colCount(); ++col)
            values << grid->cell(col, 1);
        QCOMPARE(values.first().trimmed(), LoadedQuoteRows().value(1).symbol);
        QVERIFY(!values[1].trimmed().isEmpty() && !values[2].trimmed().isEmpty());
        const QStringList lines = probe({"row", "QT1", "1"});
        QCOMPARE(lines, QStringList({"titles|Symbol|Time|Price||Change|%Change|Volume", "cells|" + values.join('|')}));
    }
};

// Runs itself again on a private session bus under Xvfb with accessibility on, where the
// tools are installed; elsewhere the tests skip with the reason.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty(SessionMark)) {
        QCoreApplication probeApp(argc, argv);
        if (missingTools().isEmpty()) {
            QProcess session;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(SessionMark, "1");
            env.insert("QT_QPA_PLATFORM", "xcb");
            env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
            session.setProcessEnvironment(env);
            session.setProcessChannelMode(QProcess::ForwardedChannels);
            session.start("dbus-run-session", QStringList{"--", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24"} +
                                                  QCoreApplication::arguments());
            session.waitForFinished(240000);
            return session.exitStatus() == QProcess::NormalExit ? session.exitCode() : 1;
        }
    }
    QApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_accessibility.moc"
