#include "platform/core/worker_thread.h"

#include <QCoreApplication>
#include <QThread>

WorkerThread::WorkerThread(bool createSuspended) {
    thread_ = QThread::create([this] { run(); });
    // The object frees itself once its body has ended; the release runs on the window thread.
    QObject::connect(thread_, &QThread::finished, QCoreApplication::instance(), [this] {
        thread_->deleteLater();
        thread_ = nullptr;
        delete this;
    });
    // A running thread starts once the window thread is back in its loop: by then the derived
    // object is complete, so its body is never called half-built.
    if (!createSuspended)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { resume(); }, Qt::QueuedConnection);
}

WorkerThread::~WorkerThread() = default;

void WorkerThread::resume() {
    if (started_ || !thread_)
        return;
    started_ = true;
    thread_->start();
}

static bool onWindowThread() {
    auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void WorkerThread::synchronize(const std::function<void()>& step) {
    if (onWindowThread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), step, Qt::BlockingQueuedConnection);
}

void onWindowThread(const std::function<void()>& step) {
    if (onWindowThread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), step, Qt::QueuedConnection);
}
