// The socket side of a quote request against small loopback servers run in the test.
#include <QtTest>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/core/quote_fetch.h"

namespace {

using namespace std::chrono_literals;

struct ServerStep {
    QByteArray bytes;
    int pauseMs = 0; // before the bytes go out
};

enum class AfterReply { Close, Hold };

// Serves one connection on 127.0.0.1: reads the request, sends the steps, then closes or
// holds the connection open (as a keep-alive server does) until the client closes it.
// Every wait is bounded, so a failing test cannot hang it.
class LoopbackServer {
public:
    LoopbackServer(std::vector<ServerStep> steps, AfterReply after, bool readRequest = true)
        : steps_(std::move(steps)), after_(after), readRequest_(readRequest) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(listener_, 4) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~LoopbackServer() { finish(); }

    int port() const { return port_; }

    // The bytes the client sent; waits for the server to end.
    QByteArray request() {
        finish();
        return request_;
    }

private:
    static bool waitReadable(int socket, int ms) {
        pollfd entry{socket, POLLIN, 0};
        return ::poll(&entry, 1, ms) > 0;
    }

    void run() {
        if (port_ == 0 || !waitReadable(listener_, 5000))
            return;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        char chunk[4096];
        while (readRequest_ && !request_.contains("\n\n") && waitReadable(client, 2000)) {
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                break;
            request_.append(chunk, static_cast<int>(got));
        }
        for (const ServerStep& step : steps_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step.pauseMs));
            ::send(client, step.bytes.constData(), static_cast<size_t>(step.bytes.size()), MSG_NOSIGNAL);
        }
        if (after_ == AfterReply::Hold) {
            // Drains until the client closes (recv 0) or 10 s pass.
            for (int round = 0; round < 100; ++round) {
                if (waitReadable(client, 100) && ::recv(client, chunk, sizeof chunk, 0) <= 0)
                    break;
            }
        }
        ::close(client);
    }

    void finish() {
        if (thread_.joinable())
            thread_.join();
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
    }

    std::vector<ServerStep> steps_;
    AfterReply after_;
    bool readRequest_;
    int listener_ = -1;
    int port_ = 0;
    QByteArray request_;
    std::thread thread_;
};

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A loopback port with nobody listening: bound, then released.
int closedPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(socket);
    return ntohs(address.sin_port);
}

QByteArray contentLengthReply(const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

struct Fetched {
    QByteArray reply;
    qint64 elapsedMs = 0;
};

// One request as a loader makes it: connect, send, receive, close.
Fetched fetch(LoopbackServer& server, const FetchTimeouts& timeouts, int capacity = ReplyBufferSize) {
    Fetched result;
    const int socket = connectQuoteServer(loopback(server.port()), timeouts);
    if (socket < 0)
        return result;
    sendRequest(socket, "GET /q/cq?s=A,B&d=v1 HTTP/1.1\nHost: 127.0.0.1\n\n");
    QByteArray buffer(capacity, '\0');
    QElapsedTimer timer;
    timer.start();
    const int length = receiveReply(socket, buffer.data(), capacity, timeouts);
    result.elapsedMs = timer.elapsed();
    closeSocket(socket);
    result.reply = buffer.left(length);
    return result;
}

} // namespace

class TestQuoteFetch : public QObject {
    Q_OBJECT

private slots:
    void resolvesNumericLoopback();
    void contentLengthReplyHeldOpen();
    void chunkedReplyHeldOpen();
    void replyWithoutLengthEndsAtClose();
    void silentServerEndsAtIdleTimeout();
    void replyIsCutAtBufferSize();
    void refusedConnectFailsAfterOneRetry();
    void unansweredConnectFailsWithinBound();
    void sendToClosedPeerIsNotFatal();
    void responseComplete_data();
    void responseComplete();
};

void TestQuoteFetch::resolvesNumericLoopback() {
    sockaddr_in address{};
    QVERIFY(resolveQuoteServer("127.0.0.1", 8080, &address));
    QCOMPARE(address.sin_family, sa_family_t(AF_INET));
    QCOMPARE(ntohs(address.sin_port), uint16_t(8080));
    QCOMPARE(ntohl(address.sin_addr.s_addr), uint32_t(INADDR_LOOPBACK));
}

void TestQuoteFetch::contentLengthReplyHeldOpen() {
    const QByteArray reply = contentLengthReply(QByteArray(3000, 'q'));
    LoopbackServer server({{reply.left(100), 0}, {reply.mid(100), 50}}, AfterReply::Hold);
    const Fetched got = fetch(server, {2000, 4000});
    QCOMPARE(got.reply, reply);
    QVERIFY2(got.elapsedMs < 2000, qPrintable(QString::number(got.elapsedMs)));
    QCOMPARE(server.request(), QByteArray("GET /q/cq?s=A,B&d=v1 HTTP/1.1\nHost: 127.0.0.1\n\n"));
}

void TestQuoteFetch::chunkedReplyHeldOpen() {
    const QByteArray head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray chunk = "100\r\n" + QByteArray(256, 'c') + "\r\n";
    // Split inside a size line and inside the data, the last chunk arriving on its own.
    LoopbackServer server({{head + "1", 0},
                           {"00\r\n" + QByteArray(100, 'c'), 30},
                           {QByteArray(156, 'c') + "\r\n" + chunk, 30},
                           {"0\r\n", 30},
                           {"\r\n", 30}},
                          AfterReply::Hold);
    const Fetched got = fetch(server, {2000, 4000});
    QCOMPARE(got.reply, head + chunk + chunk + "0\r\n\r\n");
    QVERIFY2(got.elapsedMs < 2000, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::replyWithoutLengthEndsAtClose() {
    const QByteArray reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + QByteArray(5000, 'x');
    LoopbackServer server({{reply.left(2000), 0}, {reply.mid(2000), 50}}, AfterReply::Close);
    const Fetched got = fetch(server, {2000, 4000});
    QCOMPARE(got.reply, reply);
    QVERIFY2(got.elapsedMs < 2000, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::silentServerEndsAtIdleTimeout() {
    LoopbackServer server({{"HTTP/1.1 200 OK\r\nContent-Le", 0}}, AfterReply::Hold);
    const Fetched got = fetch(server, {2000, 300});
    QCOMPARE(got.reply, QByteArray("HTTP/1.1 200 OK\r\nContent-Le"));
    QVERIFY2(got.elapsedMs >= 250 && got.elapsedMs < 3000, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::replyIsCutAtBufferSize() {
    const QByteArray reply = "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(100000, 'z');
    LoopbackServer server({{reply, 0}}, AfterReply::Hold);
    const Fetched got = fetch(server, {2000, 4000});
    QCOMPARE(got.reply.size(), ReplyBufferSize);
    QCOMPARE(got.reply, reply.left(ReplyBufferSize));
    QVERIFY2(got.elapsedMs < 3000, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::refusedConnectFailsAfterOneRetry() {
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(connectQuoteServer(loopback(closedPort()), {1000, 1000}), -1);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= ConnectRetryDelayMs - 50 && elapsed < ConnectRetryDelayMs + 1500,
             qPrintable(QString::number(elapsed)));
}

void TestQuoteFetch::unansweredConnectFailsWithinBound() {
    // A listener whose accept queue is full drops new handshakes: a connect to it never completes.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    QCOMPARE(::listen(listener, 0), 0);
    QCOMPARE(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), size);
        fillers.push_back(filler);
    }
    std::this_thread::sleep_for(100ms);

    QElapsedTimer timer;
    timer.start();
    const int socket = connectQuoteServer(address, {300, 1000});
    const qint64 elapsed = timer.elapsed();
    closeSocket(socket);
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
    QCOMPARE(socket, -1);
    // Two bounded attempts and the pause between them.
    QVERIFY2(elapsed >= ConnectRetryDelayMs + 500 && elapsed < ConnectRetryDelayMs + 2000,
             qPrintable(QString::number(elapsed)));
}

void TestQuoteFetch::sendToClosedPeerIsNotFatal() {
    // The default action of SIGPIPE ends the process: the send must not raise it.
    std::signal(SIGPIPE, SIG_DFL);
    LoopbackServer server({}, AfterReply::Close, false);
    const int socket = connectQuoteServer(loopback(server.port()), {2000, 2000});
    QVERIFY(socket >= 0);
    char byte;
    pollfd entry{socket, POLLIN, 0};
    QVERIFY(::poll(&entry, 1, 5000) > 0);
    QCOMPARE(::recv(socket, &byte, 1, 0), ssize_t(0));

    // Once a probe sees EPIPE the connection is broken: a plain send would raise SIGPIPE.
    bool broken = false;
    for (int round = 0; round < 100 && !broken; ++round) {
        sendRequest(socket, "GET / HTTP/1.1\nHost: 127.0.0.1\n\n");
        broken = ::send(socket, "x", 1, MSG_NOSIGNAL) < 0 && errno == EPIPE;
        if (!broken)
            std::this_thread::sleep_for(10ms);
    }
    QVERIFY(broken);
    sendRequest(socket, "GET / HTTP/1.1\nHost: 127.0.0.1\n\n");
    closeSocket(socket);
}

void TestQuoteFetch::responseComplete_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("complete");

    QTest::newRow("nothing") << QByteArray() << false;
    QTest::newRow("status line only") << QByteArray("HTTP/1.1 200 OK\r\n") << false;
    QTest::newRow("partial headers") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n") << false;
    QTest::newRow("header block ends at CR") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r") << false;
    QTest::newRow("length reached") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello") << true;
    QTest::newRow("length short") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhell") << false;
    QTest::newRow("zero length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n") << true;
    QTest::newRow("LF-only headers") << QByteArray("HTTP/1.1 200 OK\nContent-Length: 2\n\nok") << true;
    QTest::newRow("LF-only headers, short") << QByteArray("HTTP/1.1 200 OK\nContent-Length: 3\n\nok") << false;
    QTest::newRow("header name in lower case")
        << QByteArray("HTTP/1.1 200 OK\r\ncontent-length:  2 \r\n\r\nok") << true;
    QTest::newRow("no length: only the close ends it")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<html></html>") << false;
    QTest::newRow("chunked, complete") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                     "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n")
                                       << true;
    QTest::newRow("chunked, partial chunk")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel") << false;
    QTest::newRow("chunked, partial size line")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n1") << false;
    QTest::newRow("chunked, last chunk without final line ending")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n") << false;
    QTest::newRow("chunked, data holding a zero line")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8\r\n0\r\n\r\nab\r\n") << false;
    QTest::newRow("chunk size with extensions")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;name=value\r\nhello\r\n0;last\r\n\r\n")
        << true;
    QTest::newRow("chunk size in hex") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                     "A\r\n0123456789\r\n0\r\n\r\n")
                                       << true;
    QTest::newRow("chunk longer than its size: not framing, wait for the close")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nhello\r\n0\r\n\r\n") << false;
    QTest::newRow("chunk size not hex") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                      "zz\r\n0\r\n\r\n")
                                        << false;
    QTest::newRow("chunked with trailers")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\nX-Check: 1\r\n\r\n")
        << true;
    QTest::newRow("chunked, trailer not ended")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\nX-Check: 1\r\n") << false;
    QTest::newRow("chunked, LF only") << QByteArray("HTTP/1.1 200 OK\nTransfer-Encoding: Chunked\n\n2\nok\n0\n\n")
                                      << true;
    QTest::newRow("chunked wins over a length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n") << false;
}

void TestQuoteFetch::responseComplete() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, complete);
    QCOMPARE(::responseComplete(reply.constData(), static_cast<int>(reply.size())), complete);
}

QTEST_GUILESS_MAIN(TestQuoteFetch)
#include "test_quote_fetch.moc"
