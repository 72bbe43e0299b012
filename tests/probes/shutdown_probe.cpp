// Closes the main window while a worker of its own waits in Synchronize and another keeps
// handing steps over; the program must still end at once with exit code 0.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/form_quote.h"
#include "platform/t_thread.h"

namespace {
class BusyWorker : public TThread {
public:
    explicit BusyWorker(bool blockForever) : TThread(false), blockForever_(blockForever) {}

protected:
    void Execute() override {
        if (blockForever_) {
            // Parks the window thread's hand-over queue behind a step that never returns
            // before the window closes.
            Synchronize([] { QTimer::singleShot(0, [] { FormQuote->close(); }); });
            Synchronize([] {});
            for (int i = 0; i < 1000; ++i)
                Synchronize([] {});
        } else {
            for (int i = 0; i < 100000; ++i) {
                OnWindowThread([] { FormQuote->setWindowTitle("Tickwell"); });
                Sleep(1);
            }
        }
    }

private:
    bool blockForever_;
};
} // namespace

int main(int argc, char** argv) {
    const int code = RunTickwell(argc, argv, [] {
        new BusyWorker(false);
        QTimer::singleShot(200, [] { new BusyWorker(true); });
    });
    std::fflush(nullptr);
    std::_Exit(code);
}
