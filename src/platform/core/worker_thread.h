#pragma once
// The worker-thread base of the loads: one virtual body, a blocking hand-over of steps to the
// window thread, and self-release when the body ends. Qt Core only: a load needs no window.
#include <functional>

class QThread;

class WorkerThread {
public:
    explicit WorkerThread(bool createSuspended);
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts a thread created suspended.
    void resume();

    // Runs step on the window thread and returns once it has run. On the window thread
    // itself it runs the step at once.
    static void synchronize(const std::function<void()>& step);

protected:
    virtual void run() = 0;

private:
    QThread* thread_ = nullptr;
    bool started_ = false;
};

// Hands a control change to the window thread without waiting for it. Steps handed over
// from one thread, by this or by Synchronize, run in the order they were handed over.
void onWindowThread(const std::function<void()>& step);
