// Closes the main window while a worker of its own waits in Synchronize and another keeps
// handing steps over; the program must still end at once with exit code 0.
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/main_window.h"
#include "platform/core/worker_thread.h"

namespace {
class BusyWorker : public WorkerThread {
public:
    BusyWorker(MainWindow& window, bool blockForever)
        : WorkerThread(false), window_(window), blockForever_(blockForever) {}

protected:
    void run() override {
        if (blockForever_) {
            // Parks the window thread's hand-over queue behind a step that never returns
            // before the window closes.
            synchronize([this] { QTimer::singleShot(0, &window_, [this] { window_.close(); }); });
            synchronize([] {});
            for (int i = 0; i < 1000; ++i)
                synchronize([] {});
        } else {
            for (int i = 0; i < 100000; ++i) {
                onWindowThread([this] { window_.setWindowTitle("Tickwell"); });
                QThread::msleep(1);
            }
        }
    }

private:
    MainWindow& window_;
    bool blockForever_;
};
} // namespace

int main(int argc, char** argv) {
    const int code = runTickwell(argc, argv, [](MainWindow& window) {
        new BusyWorker(window, false);
        QTimer::singleShot(200, [&window] { new BusyWorker(window, true); });
    });
    std::fflush(nullptr);
    std::_Exit(code);
}
