// The worker-thread hand-over: Synchronize runs its step on the window thread and returns
// only after it has run; steps handed over keep their order; a worker frees itself.
#include <QtTest>
#include <atomic>

#include "platform/core/worker_thread.h"

namespace {
std::atomic<int> liveWorkers{0};

class RecordingWorker : public WorkerThread {
public:
    RecordingWorker(QList<QString>* log, QThread** stepThread, bool* ranBeforeReturn)
        : WorkerThread(true), log_(log), stepThread_(stepThread), ranBeforeReturn_(ranBeforeReturn) {
        ++liveWorkers;
    }
    ~RecordingWorker() override { --liveWorkers; }

protected:
    void run() override {
        bool ran = false;
        onWindowThread([log = log_] { log->append("posted 1"); });
        synchronize([&] {
            QThread::msleep(50); // the worker must still be waiting after this
            *stepThread_ = QThread::currentThread();
            log_->append("synchronized");
            ran = true;
        });
        *ranBeforeReturn_ = ran;
        onWindowThread([log = log_] { log->append("posted 2"); });
    }

private:
    QList<QString>* log_;
    QThread** stepThread_;
    bool* ranBeforeReturn_;
};
} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void synchronizeRunsOnWindowThreadAndWaits() {
        QList<QString> log;
        QThread* stepThread = nullptr;
        bool ranBeforeReturn = false;
        auto* worker = new RecordingWorker(&log, &stepThread, &ranBeforeReturn);
        QCOMPARE(liveWorkers.load(), 1);
        worker->resume();
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), 3, 5000);
        QCOMPARE(stepThread, QThread::currentThread());
        QVERIFY(ranBeforeReturn);
        QCOMPARE(log, QList<QString>({"posted 1", "synchronized", "posted 2"}));
        // The worker object releases itself once its body has ended.
        QTRY_COMPARE_WITH_TIMEOUT(liveWorkers.load(), 0, 5000);
    }

    void synchronizeOnWindowThreadRunsAtOnce() {
        bool ran = false;
        WorkerThread::synchronize([&] { ran = true; });
        QVERIFY(ran);
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
