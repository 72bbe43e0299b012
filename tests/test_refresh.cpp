// Automatic refresh of both quote tabs: check boxes and "Refresh Time" boxes driven as the
// user drives them, each timer's state read back, ticks and the loads they start.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "load/core/view_calls.h"
#include "platform/message_box.h"
#include "support/quoted_process.h"

namespace {
enum Tab { QuotesTab, RealTimeTab };

// The items of each tab's "Refresh Time" box and the interval each one selects.
const QStringList QuotesItems = {"2 minutes",  "5 minutes",  "10 minutes", "15 minutes",
                                 "20 minutes", "30 minutes", "45 minutes", "60 minutes"};
const QList<int> QuotesIntervals = {120000, 300000, 600000, 900000, 1200000, 1800000, 2700000, 3600000};
const QStringList RealTimeItems = {"30 seconds", "1 minute",   "2 minutes", "5 minutes",
                                   "10 minutes", "15 minutes", "20 minutes"};
const QList<int> RealTimeIntervals = {30000, 60000, 120000, 300000, 600000, 900000, 1200000};

struct RefreshControls {
    QCheckBox* box;
    QComboBox* combo;
    QString timer;
    QString page;
    QuoteTab load;
};

RefreshControls controls(int tab) {
    if (tab == QuotesTab)
        return {control<QCheckBox>("CheckBox"), control<QComboBox>("ComboBox"), "Timer", "Quotes", QuoteTab::Quotes};
    return {control<QCheckBox>("CheckBox3"), control<QComboBox>("ComboBox1"), "Timer1", "RealTime", QuoteTab::RealTime};
}

QTimer* timerOf(int tab) {
    return control<QTimer>(controls(tab).timer);
}

QString item(int tab, int index) {
    return (tab == QuotesTab ? QuotesItems : RealTimeItems)[index];
}

int interval(int tab, int index) {
    return (tab == QuotesTab ? QuotesIntervals : RealTimeIntervals)[index];
}

QString currentPage() {
    return control<QTabWidget>("PgC1")->currentWidget()->objectName();
}

// Both tabs back to their state at start, without running any handler.
void resetRefresh() {
    for (int tab : {QuotesTab, RealTimeTab}) {
        const RefreshControls c = controls(tab);
        {
            const QSignalBlocker quietBox(c.box);
            c.box->setChecked(false);
        }
        timerOf(tab)->stop();
        const QSignalBlocker quietCombo(c.combo);
        c.combo->setCurrentIndex(-1);
        c.combo->setEditText("Refresh Time");
        c.combo->lineEdit()->setModified(false);
    }
}

void clickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
}

// One user step: "check", "uncheck", "choose N" (an item chosen), "pick N" (the list opened by
// key and an item clicked in it), "down" (the next item by keyboard), "type TEXT" (the box's text
// selected and overtyped) or "tick" (the timer times out).
bool runStep(int tab, const QString& step) {
    const RefreshControls c = controls(tab);
    if (step == "check" || step == "uncheck") {
        const bool wanted = step == "check";
        clickBox(c.box);
        return c.box->isChecked() == wanted;
    }
    if (step.startsWith("choose ")) {
        c.combo->setCurrentIndex(step.mid(7).toInt());
        return true;
    }
    if (step.startsWith("pick ")) {
        QTest::keyClick(c.combo, Qt::Key_F4);
        QAbstractItemView* list = c.combo->view();
        if (!QTest::qWaitForWindowExposed(list->window()))
            return false;
        const QRect picked = list->visualRect(list->model()->index(step.mid(5).toInt(), 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, picked.center());
        return QTest::qWaitFor([list] { return !list->isVisible(); }, 2000);
    }
    if (step == "down") {
        QTest::keyClick(c.combo, Qt::Key_Down);
        return true;
    }
    if (step.startsWith("type ")) {
        QTest::mouseClick(c.combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(c.combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(c.combo->lineEdit(), step.mid(5));
        return true;
    }
    if (step == "tick")
        return tickRefreshTimer(c.timer);
    return false;
}

bool runSteps(int tab, const QStringList& steps) {
    for (const QString& step : steps)
        if (!runStep(tab, step))
            return false;
    return true;
}

// Arms a tab's refresh with its first item, as the user does.
bool arm(int tab) {
    return runSteps(tab, {"check", "choose 0"}) && timerOf(tab)->isActive();
}
} // namespace

class RefreshTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QWidget& window = tickwellWindow();
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        MessageBoxSeam::clear();
    }
    void init() { MessageBoxSeam::clear(); }
    // After each test, so that the first one sees the windows as they were created.
    void cleanup() {
        resetRefresh();
        control<QTextEdit>("RichEdit2")->clear();
        QVERIFY(waitForLoadsToEnd());
    }

    // Declared first: it looks at the state the windows were created in.
    void startsOff() {
        for (int tab : {QuotesTab, RealTimeTab}) {
            const RefreshControls c = controls(tab);
            QVERIFY(!timerOf(tab)->isActive());
            QVERIFY(!timerOf(tab)->isSingleShot());
            QVERIFY(!c.box->isChecked());
            QCOMPARE(c.box->text(), QString("Automatic  Refresh Enabled"));
            QVERIFY(c.combo->isEditable());
            QCOMPARE(c.combo->currentIndex(), -1);
            QCOMPARE(c.combo->currentText(), QString("Refresh Time"));
        }
    }

    void itemsAndTheirIntervals_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("intervalMs");
        for (int i = 0; i < QuotesItems.size(); ++i)
            QTest::addRow("Quotes %d", i) << int(QuotesTab) << i << QuotesItems[i] << QuotesIntervals[i];
        for (int i = 0; i < RealTimeItems.size(); ++i)
            QTest::addRow("RealTime %d", i) << int(RealTimeTab) << i << RealTimeItems[i] << RealTimeIntervals[i];
    }
    void itemsAndTheirIntervals() {
        QFETCH(int, tab);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, intervalMs);
        const RefreshControls c = controls(tab);
        QCOMPARE(c.combo->count(), tab == QuotesTab ? 8 : 7);
        QCOMPARE(c.combo->itemText(index), text);
        QVERIFY(runSteps(tab, {"check", QString("choose %1").arg(index)}));
        QVERIFY(timerOf(tab)->isActive());
        QCOMPARE(timerOf(tab)->interval(), intervalMs);
        QCOMPARE(c.combo->currentText(), text);
    }

    // Each row is a user's sequence of steps; the last one is the transition under test.
    void transitions_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("intervalItem"); // the item whose interval the timer has; -1: not looked at
        QTest::addColumn<QString>("text");     // null: not looked at
        // The typed text is one that inline completion would fill in to an item's text, which a
        // handler could not tell from choosing that item: the boxes have no completion.
        QTest::addColumn<bool>("completed");

        const QString typed = "7 minutes";
        const QStringList armed = {"check", "choose 0"};
        auto add = [](int tab, const char* what, const QStringList& steps, bool running, int intervalItem,
                      const QString& text, bool completed = false) {
            QTest::addRow("%s: %s", tab == QuotesTab ? "Quotes" : "RealTime", what)
                << tab << steps << running << intervalItem << text << completed;
        };
        for (int tab : {QuotesTab, RealTimeTab}) {
            // The same on both tabs.
            add(tab, "off, checked, item chosen -> running", armed + QStringList{"uncheck", "tick", "check"}, true, 0,
                item(tab, 0));
            add(tab, "off, checked, nothing chosen -> off", {"check"}, false, -1, "Refresh Time");
            add(tab, "off, item chosen while checked -> running", {"check", "choose 2"}, true, 2, item(tab, 2));
            add(tab, "off, next item by keyboard while checked -> running", {"check", "down"}, true, 0, item(tab, 0));
            add(tab, "running, other item chosen -> running with it", armed + QStringList{"choose 2"}, true, 2,
                item(tab, 2));
            add(tab, "running, unchecked -> running until the tick", armed + QStringList{"uncheck"}, true, 0,
                item(tab, 0));
            add(tab, "running, tick while unchecked -> off", armed + QStringList{"uncheck", "tick"}, false, -1,
                item(tab, 0));
            add(tab, "running, text typed while unchecked, checked -> off",
                armed + QStringList{"uncheck", "type " + typed, "check"}, false, -1, typed);
            add(tab, "running, item's own text typed while unchecked, checked -> off",
                armed + QStringList{"uncheck", "type " + item(tab, 0), "check"}, false, -1, item(tab, 0), true);
        }
        const int Q = QuotesTab, RT = RealTimeTab;
        // Choosing while unchecked.
        add(Q, "off, item chosen while unchecked -> off, box emptied", {"choose 1"}, false, -1, "");
        add(Q, "off, item chosen while unchecked, then checked -> off", {"choose 1", "check"}, false, -1, "");
        add(Q, "running, item chosen while unchecked -> off, box emptied", armed + QStringList{"uncheck", "choose 2"},
            false, -1, "");
        add(RT, "off, item chosen while unchecked -> off, choice kept", {"choose 1"}, false, -1, item(RT, 1));
        add(RT, "off, item chosen while unchecked, then checked -> running", {"choose 1", "check"}, true, 1,
            item(RT, 1));
        add(RT, "running, item chosen while unchecked -> unchanged", armed + QStringList{"uncheck", "choose 2"}, true,
            0, item(RT, 2));
        add(RT, "running, item chosen while unchecked, then checked -> running with it",
            armed + QStringList{"uncheck", "choose 2", "check"}, true, 2, item(RT, 2));
        // Typing while checked.
        add(Q, "running, text typed while checked -> unchanged", armed + QStringList{"type " + typed}, true, 0, typed);
        add(Q, "running, start of its item typed while checked -> unchanged", armed + QStringList{"type 2"}, true, 0,
            QString());
        add(RT, "running, text typed while checked -> off", armed + QStringList{"type " + typed}, false, -1, typed);
        add(RT, "running, start of its item typed while checked -> off", armed + QStringList{"type 3"}, false, -1,
            QString(), true);
        add(RT, "running, item's own text typed while checked -> off", armed + QStringList{"type " + item(RT, 0)},
            false, -1, item(RT, 0));
        // The typed text of an item, then that same item picked from the list: a choice.
        add(Q, "text of an item typed while checked, then that item picked -> running with it",
            armed + QStringList{"type " + item(Q, 1), "pick 1"}, true, 1, item(Q, 1));
        add(RT, "text of an item typed while checked, then that item picked -> running with it",
            {"check", "type " + item(RT, 1), "pick 1"}, true, 1, item(RT, 1));
        // Typing while unchecked.
        add(Q, "off, text typed while unchecked -> off, text kept", {"type " + typed}, false, -1, typed);
        add(Q, "running, text typed while unchecked -> off, text kept", armed + QStringList{"uncheck", "type " + typed},
            false, -1, typed);
        add(RT, "running, text typed while unchecked -> unchanged", armed + QStringList{"uncheck", "type " + typed},
            true, 0, typed);
        add(RT, "off, text typed while unchecked -> off", {"type " + typed}, false, -1, typed);
    }
    void transitions() {
        QFETCH(int, tab);
        QFETCH(QStringList, steps);
        QFETCH(bool, running);
        QFETCH(int, intervalItem);
        QFETCH(QString, text);
        QFETCH(bool, completed);
        const RefreshControls c = controls(tab);
        QVERIFY(runSteps(tab, steps));
        if (completed)
            QVERIFY2(!c.combo->completer(), "inline completion would make this typed text look chosen");
        QCOMPARE(timerOf(tab)->isActive(), running);
        if (intervalItem >= 0)
            QCOMPARE(timerOf(tab)->interval(), interval(tab, intervalItem));
        if (!text.isNull())
            QCOMPARE(c.combo->currentText(), text);
        QVERIFY(MessageBoxSeam::shown().isEmpty());
        QVERIFY(!loadRunning(c.load));
    }

    // An equal interval leaves the countdown alone. Qt rounds these long timers to whole
    // seconds, so a restart shows only once a second has passed: then it adds about a second.
    void sameIntervalKeepsTheCountdown_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("Quotes: box unchecked and checked again") << int(QuotesTab) << QStringList{"uncheck", "check"};
        QTest::newRow("RealTime: box unchecked and checked again")
            << int(RealTimeTab) << QStringList{"uncheck", "check"};
        QTest::newRow("Quotes: text typed, same item chosen again")
            << int(QuotesTab) << QStringList{"type 7 minutes", "choose 0"};
    }
    void sameIntervalKeepsTheCountdown() {
        QFETCH(int, tab);
        QFETCH(QStringList, steps);
        QTimer* timer = timerOf(tab);
        QVERIFY(arm(tab));
        QTest::qWait(1100);
        const int before = timer->remainingTime();
        QVERIFY(runSteps(tab, steps));
        const int after = timer->remainingTime();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), interval(tab, 0));
        QVERIFY2(after <= before, qPrintable(QString("%1 ms left before, %2 ms after").arg(before).arg(after)));
    }

    void newIntervalRestartsTheCountdown_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("Quotes") << int(QuotesTab);
        QTest::newRow("RealTime") << int(RealTimeTab);
    }
    void newIntervalRestartsTheCountdown() {
        QFETCH(int, tab);
        QTimer* timer = timerOf(tab);
        QVERIFY(arm(tab));
        QTest::qWait(50);
        QVERIFY(runStep(tab, "choose 4"));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), interval(tab, 4));
        // Far above anything left of the first item's countdown.
        QVERIFY2(timer->remainingTime() > interval(tab, 4) - 1000, qPrintable(QString::number(timer->remainingTime())));
    }

    // The tick brings its tab to the front with the keyboard on it, unless the user is typing a
    // portfolio that is not saved yet: then it loads behind the editor, which keeps the keys.
    void armingLoadsOnlyAtTheTick_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("startPage");
        QTest::addColumn<bool>("typing");
        for (int tab : {QuotesTab, RealTimeTab}) {
            const char* name = tab == QuotesTab ? "Quotes" : "RealTime";
            QTest::addRow("%s, checked, from Portfolios", name) << tab << true << 2 << false;
            QTest::addRow("%s, unchecked, from Portfolios", name) << tab << false << 2 << false;
            QTest::addRow("%s, checked, from the other quote tab", name)
                << tab << true << (tab == QuotesTab ? 1 : 0) << false;
            QTest::addRow("%s, checked, typing in the editor", name) << tab << true << 2 << true;
        }
    }
    void armingLoadsOnlyAtTheTick() {
        QFETCH(int, tab);
        QFETCH(bool, checked);
        QFETCH(int, startPage);
        QFETCH(bool, typing);
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"IBM"});
        const RefreshControls c = controls(tab);

        QVERIFY(arm(tab));
        if (!checked)
            QVERIFY(runStep(tab, "uncheck"));
        QVERIFY(showTab(QStringList{"Quotes", "RealTime", "Historical"}[startPage]));
        auto* editor = control<QTextEdit>("RichEdit2");
        if (typing) {
            QTest::mouseClick(editor->viewport(), Qt::LeftButton);
            QTest::keyClicks(editor, "PEP");
        } else // on the tab bar, which no page switch moves the keyboard from
            control("qt_tabwidget_tabbar")->setFocus(Qt::BacktabFocusReason);
        QTest::qWait(200);
        QVERIFY(!loadRunning(c.load));
        QCOMPARE(server.recordedRequests().size(), 0);

        // A refresh that ends normally is not announced to a screen reader, as a load asked for is.
        auto* announcer = control<QWidget>(c.page)->findChild<QWidget*>("StatusAnnouncer");
        const QString announced = announcer->accessibleName();
        QVERIFY(runStep(tab, "tick"));
        QCOMPARE(currentPage(), typing ? "Historical" : c.page);
        QCOMPARE(loadRunning(c.load), checked);
        QVERIFY(waitForLoadsToEnd());
        QCOMPARE(server.recordedRequests().size(), checked ? 1 : 0);
        QCOMPARE(timerOf(tab)->isActive(), checked);
        QCOMPARE(announcer->accessibleName(), announced);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->isVisible() && control<QWidget>(currentPage())->isAncestorOf(focus));
        QTest::keyClicks(focus, "MORE");
        QCOMPARE(editor->toPlainText(), QString(typing ? "PEPMORE" : ""));
    }

    void timerTimeoutRunsTheTick_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("Quotes") << int(QuotesTab);
        QTest::newRow("RealTime") << int(RealTimeTab);
    }
    // The last tick after unchecking, from the timer itself: a short interval instead of minutes.
    void timerTimeoutRunsTheTick() {
        QFETCH(int, tab);
        const RefreshControls c = controls(tab);
        QTimer* timer = timerOf(tab);
        QVERIFY(arm(tab));
        QVERIFY(runStep(tab, "uncheck"));
        QVERIFY(showTab("Historical"));
        timer->setInterval(50);
        QVERIFY(QTest::qWaitFor([&] { return !timer->isActive(); }, 2000));
        QCOMPARE(currentPage(), c.page);
        QVERIFY(!loadRunning(c.load));
    }

    void tickDuringALoadStartsNone_data() {
        QTest::addColumn<int>("tab");
        QTest::newRow("Quotes") << int(QuotesTab);
        QTest::newRow("RealTime") << int(RealTimeTab);
    }
    void tickDuringALoadStartsNone() {
        QFETCH(int, tab);
        QuotedProcess server({"--slow", "20"}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"IBM", "MSFT"});
        const RefreshControls c = controls(tab);
        QVERIFY(arm(tab));
        QVERIFY(runStep(tab, "tick"));
        QVERIFY(QTest::qWaitFor([&] { return server.recordedRequests().size() == 1; }, 10000));
        QVERIFY2(loadRunning(c.load), "the slow reply should still be arriving");
        QVERIFY(runStep(tab, "tick"));
        QVERIFY(waitForLoadsToEnd());
        QCOMPARE(server.recordedRequests().size(), 1);
        QVERIFY(timerOf(tab)->isActive());
    }

    // A trading day in little: both refreshes at a fraction of their items' intervals (the test
    // aid), 50 loads through the timers; a load's worker, view calls and pages go with it.
    void loadsLeaveNothingBehind() {
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(30)); // two pages a load
        qputenv("TICKWELL_REFRESH_SPEEDUP", "400");
        const bool armed = arm(QuotesTab) && arm(RealTimeTab);
        qunsetenv("TICKWELL_REFRESH_SPEEDUP");
        QVERIFY(armed);
        QCOMPARE(timerOf(RealTimeTab)->interval(), 75);
        QVERIFY(QTest::qWaitFor([&] { return server.recordedRequests().size() >= 100; }, 60000));
        QVERIFY(runSteps(QuotesTab, {"uncheck"}) && runSteps(RealTimeTab, {"uncheck"}));
        QVERIFY(
            QTest::qWaitFor([] { return !timerOf(QuotesTab)->isActive() && !timerOf(RealTimeTab)->isActive(); }, 2000));
        QVERIFY(waitForLoadsToEnd());
        const auto alive = [] {
            return QList<int>{LiveCount<QuoteLoadThread>::alive(), LiveCount<ViewCalls>::alive(),
                              LiveCount<ParsedPage>::alive()};
        };
        // The last worker is freed once its thread has ended; the comparison says what is left.
        (void)QTest::qWaitFor([&] { return alive() == QList<int>{0, 0, 0}; }, 2000);
        QCOMPARE(alive(), (QList<int>{0, 0, 0}));
        QVERIFY(MessageBoxSeam::shown().isEmpty());
    }
};

QTEST_MAIN(RefreshTest)
#include "test_refresh.moc"
