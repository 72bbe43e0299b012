// Delayed loads and a sort through the real window, as a user drives them: F5, then the Sort
// menu. Run in a folder holding the portfolio input.txt.
//
//   bench_window PORT LOADS [READER [--before-each]]
//
// READER, when given, is a command run once the window shows and before the first load, with
// this process's id as its last argument: an accessibility client that reads the window, as a screen
// reader does. The loads start once it has printed its first line. With --before-each it runs
// again, to its end, before every load, as an inspector that walks the window does; its time is
// not the load's.
// Prints one line per load (seconds from F5 to "Done getting quotes", the rows, the
// longest the window thread did not answer, the peak resident memory), then one line for
// each sort (its window-thread time and how often the grid was painted).
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "net/core/server_address.h"
#include "parsing/quote_table.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "quotes/quotes_tab.h"

namespace {
// The window thread's pulse: a 1 ms timer; the longest gap between two beats is the longest
// the window did not answer.
class Pulse {
public:
    Pulse() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { beat(); });
        timer_.start();
    }
    void restart() {
        longestMs_ = 0;
        busyMs_ = 0;
        last_.start();
    }
    double longestMs() const { return longestMs_; }
    // Time beyond the beats themselves: what the window thread spent on other work.
    double busyMs() const { return busyMs_; }

private:
    void beat() {
        const double gap = last_.isValid() ? last_.nsecsElapsed() / 1e6 : 0;
        last_.start();
        longestMs_ = std::max(longestMs_, gap);
        if (gap > 2)
            busyMs_ += gap - 1;
    }
    QTimer timer_;
    QElapsedTimer last_;
    double longestMs_ = 0;
    double busyMs_ = 0;
};

// Runs the event loop as the program's own loop runs it, until done() or timeoutMs; QTest's
// waits would sleep between their rounds and delay every hand-over to the window thread.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void runFor(int ms) {
    runUntil([] { return false; }, ms);
}

long statusKb(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_window PORT LOADS [READER]\n");
        return 2;
    }
    QApplication app(argc, argv);
    installFontSubstitutions();
    MessageBoxSeam::answerInTests();
    const int loads = std::atoi(argv[2]);

    MainWindow* window = createTickwellWindows();
    window->useServer({"127.0.0.1", std::atoi(argv[1])});
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    // F5 is a key of the window: it must be the active one.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        std::fprintf(stderr, "the window did not become active\n");
        return 1;
    }
    std::printf("accessibility %s\n", QAccessible::isActive() ? "on" : "off");
    auto* status = window->findChild<StatusLine*>("StatusBar1");
    auto* grid = window->findChild<QuoteGrid*>("QT1");
    QuotesTab& quotes = window->quotesTab();
    Pulse pulse;
    runFor(200);
    // A reader may stay until the end, listening to the window as a screen reader does.
    QProcess reader;
    if (argc > 3) {
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList command = QProcess::splitCommand(QString::fromLocal8Bit(argv[3]));
        reader.start(command.takeFirst(), command << QString::number(QCoreApplication::applicationPid()));
        // The window thread keeps running while the reader asks it for its objects.
        if (!runUntil([&] { return reader.canReadLine() || reader.state() == QProcess::NotRunning; }, 60000) ||
            !reader.canReadLine()) {
            std::fprintf(stderr, "the reader %s failed\n", argv[3]);
            return 1;
        }
        std::printf("%s", reader.readLine().constData());
        std::fflush(stdout);
    }

    const bool beforeEach = argc > 4 && qstrcmp(argv[4], "--before-each") == 0;
    std::vector<double> times;
    for (int load = 1; load <= loads; ++load) {
        if (beforeEach && load > 1) {
            QProcess walk;
            QStringList command = QProcess::splitCommand(QString::fromLocal8Bit(argv[3]));
            walk.start(command.takeFirst(), command << QString::number(QCoreApplication::applicationPid()));
            if (!runUntil([&] { return walk.state() == QProcess::NotRunning; }, 300000)) {
                std::fprintf(stderr, "the walk before load %d did not end\n", load);
                return 1;
            }
            std::printf("%s", walk.readAllStandardOutput().constData());
        }
        pulse.restart();
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(window, Qt::Key_F5);
        if (!quotes.loadFlagged()) {
            std::fprintf(stderr, "F5 started no load %d\n", load);
            return 1;
        }
        if (!runUntil([&] { return !quotes.loadFlagged(); }, 120000)) {
            std::fprintf(stderr, "load %d did not end\n", load);
            return 1;
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        times.push_back(seconds);
        std::printf("load %d: %.3f s, rows %d, longest stall %.1f ms, peak RSS %ld kB, status \"%s\"\n", load, seconds,
                    quotes.rows().count, pulse.longestMs(), statusKb("VmHWM:"), qPrintable(status->simpleText()));
        std::fflush(stdout);
        runFor(100);
    }

    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf("median of %zu loads: %.3f s\n", times.size(), times[times.size() / 2]);

    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);
    for (const char* item : {"Alphabetically1", "byChange1"}) {
        runFor(200);
        counter.paints = 0;
        pulse.restart();
        window->findChild<QAction*>(item)->trigger();
        runFor(1000);
        std::printf("sort %s: window thread %.1f ms, longest stall %.1f ms, grid paints %d\n", item, pulse.busyMs(),
                    pulse.longestMs(), counter.paints);
    }
    if (reader.state() != QProcess::NotRunning) {
        reader.terminate();
        runUntil([&] { return reader.state() == QProcess::NotRunning; }, 5000);
        std::printf("%s", reader.readAll().constData());
    }
    std::fflush(nullptr);
    std::_Exit(0);
}
