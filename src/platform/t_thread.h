#pragma once
// The worker-thread base of the loaders and the sort: one virtual body, a blocking
// hand-over of steps to the window thread, and self-release when the body ends.
#include <functional>

class QThread;

class TThread {
public:
    explicit TThread(bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a thread created suspended.
    void Resume();

    // Runs step on the window thread and returns once it has run. On the window thread
    // itself it runs the step at once.
    static void Synchronize(const std::function<void()>& step);

protected:
    virtual void Execute() = 0;

private:
    QThread* thread_ = nullptr;
    bool started_ = false;
};

// Hands a control change to the window thread without waiting for it. Steps handed over
// from one thread, by this or by Synchronize, run in the order they were handed over.
void OnWindowThread(const std::function<void()>& step);

// Pauses the calling thread (the window thread's fixed pauses).
void Sleep(int milliseconds);
