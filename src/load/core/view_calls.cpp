#include "load/core/view_calls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "platform/core/worker_thread.h"

void ViewCalls::post(Call call) {
    // On the window thread nothing may wait for the window.
    const QCoreApplication* app = QCoreApplication::instance();
    const bool worker = app && QThread::currentThread() != app->thread();
    bool askForTurn = false;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (worker)
            ran_.wait(lock, [this] { return calls_.size() < MostWaiting; });
        calls_.push_back(std::move(call));
        askForTurn = !turnDue_;
        turnDue_ = true;
    }
    if (askForTurn)
        onWindowThread([self = shared_from_this()] { self->runTurn(); });
}

void ViewCalls::runTurn() {
    // A call that shows a box runs the box's own event loop, which may start another turn:
    // that one leaves the calls to the turn already running, so their order holds.
    if (running_)
        return;
    running_ = true;
    QElapsedTimer turn;
    turn.start();
    for (;;) {
        Call call;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (calls_.empty()) {
                turnDue_ = false;
                break;
            }
            if (turn.elapsed() >= TurnMs) {
                // The rest in a later turn, after input, timers and painting have had theirs.
                QTimer::singleShot(0, QCoreApplication::instance(), [self = shared_from_this()] { self->runTurn(); });
                break;
            }
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        ran_.notify_one();
        call(*view_);
    }
    running_ = false;
}
