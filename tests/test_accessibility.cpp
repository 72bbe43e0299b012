// The window as a screen reader meets it, read through AT-SPI by another process (the test
// runs itself again on a private session bus under Xvfb).
#include <QApplication>
#include <QLineEdit>
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

    // A box read word by word, sentence by sentence or line by line up to its very end (its text
    // ending in a word) answers there at once, a box typed in as one the load filled: the word
    // and the sentence there are empty, the line is the whole text.
    void boxIsReadToItsEnd_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Find symbol, typed") << "Edit2"
                                            << "Find symbol"
                                            << "ibm msft";
        QTest::newRow("Display Details, typed") << "Edit1"
                                                << "Display Details"
                                                << "msft";
        QTest::newRow("advancing count, read-only") << "Adv"
                                                    << "Adv"
                                                    << "";
    }
    void boxIsReadToItsEnd() {
        QFETCH(QString, box);
        QFETCH(QString, name);
        QFETCH(QString, typed);
        auto* edit = control<QLineEdit>(box);
        QTest::mouseClick(edit, Qt::LeftButton);
        if (!typed.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, typed);
        }
        const QString text = edit->text();
        QVERIFY2(!text.isEmpty(), qPrintable(box));
        const QString end = QString::number(text.size());
        QCOMPARE(probe({"ends", name}), QStringList({"word||" + end + "|" + end, "sentence||" + end + "|" + end,
                                                     "line|" + text + "|0|" + end}));
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
    // A window thread that stops answering the probe never comes back to fail the test: Qt's
    // watchdog ends a test function that runs longer than this.
    env.insert("QTEST_FUNCTION_TIMEOUT", "90000");
    session.setProcessEnvironment(env);
    session.setProcessChannelMode(QProcess::ForwardedChannels);
    session.start("dbus-run-session", QStringList{"--", "xvfb-run", "-a"} + app.arguments());
    if (!session.waitForFinished(240000))
        return 1;
    return session.exitStatus() == QProcess::NormalExit ? session.exitCode() : 1;
}

#include "test_accessibility.moc"
