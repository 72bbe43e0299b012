#pragma once
// A loopback quote server that answers badly, for the loads' failure paths: plain POSIX
// sockets on its own thread, one connection at a time. Every wait is bounded; the thread
// ends by itself once its lifetime has passed, and at the latest when the object goes away.
#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class MisbehavingServer {
public:
    enum class Mode {
        Reply,     // reads the request, sends the reply bytes, closes
        ReplyHold, // reads the request, sends the reply bytes, keeps the connection open
        Silent,    // reads the request and never answers
        Trickle,   // reads the request, then sends the reply one byte every TrickleMs
        Flood,     // as Reply, then its body (or a header block's last line) over and over
        FullQueue, // listens with a backlog of 0 and never accepts
        Refused,   // the port is bound but does not listen: every connect is refused
    };
    static constexpr int TrickleMs = 2000;

    // The nth connection gets the nth reply, and every later one the last.
    explicit MisbehavingServer(Mode mode, QList<QByteArray> replies = {}, int lifetimeMs = 30000);
    ~MisbehavingServer();
    MisbehavingServer(const MisbehavingServer&) = delete;
    MisbehavingServer& operator=(const MisbehavingServer&) = delete;

    bool isReady() const { return port_ != 0; }
    quint16 port() const { return port_; }
    // Connections accepted so far.
    int connections() const { return connections_; }
    // The requests read so far, each up to its blank line.
    QList<QByteArray> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

    // FullQueue: connects to the port until a connect is left unanswered for waitMs, so that
    // the next client's connect hangs too. False when no connect was left hanging.
    bool fillAcceptQueue(int maxConnections = 8, int waitMs = 300);

private:
    void serve();
    void answer(int client);
    bool stopping() const; // asked to stop, or its lifetime has passed
    // Waits up to ms (in short steps) for the client to close; true when it did.
    bool clientClosedWithin(int client, int ms);

    const Mode mode_;
    const QList<QByteArray> replies_;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end_; // the server stops by itself then
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::vector<int> fillers_;
    mutable std::mutex mutex_; // over requests_
    QList<QByteArray> requests_;
    std::thread thread_;
};
