// The network side of a quote request: the reply framing, and whole requests against small
// loopback servers run in the test, well-behaved and not.
#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "net/core/batch_fetch.h"
#include "net/core/http_reply.h"
#include "net/core/quote_fetch.h"

namespace {

using namespace std::chrono_literals;
using State = HttpReplyReader::State;

struct ServerStep {
    QByteArray bytes;
    int pauseMs = 0; // before the bytes go out
};

enum class AfterReply { Close, Hold };

// Serves up to `connections` connections one after the other on the loopback address of
// the family: reads each request, sends the steps, then closes or holds the connection open
// (as a keep-alive server does) until the client closes it. Every wait is bounded, so a
// failing test cannot hang it.
class LoopbackServer {
public:
    LoopbackServer(std::vector<ServerStep> steps, AfterReply after, int family = AF_INET, int connections = 1)
        : steps_(std::move(steps)), after_(after), connections_(connections) {
        listener_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_storage address{};
        socklen_t size = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        if (family == AF_INET6) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
            v6->sin6_family = AF_INET6;
            v6->sin6_addr = in6addr_loopback;
        } else {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
            v4->sin_family = AF_INET;
            v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        }
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 && ::listen(listener_, 4) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~LoopbackServer() { finish(); }

    int port() const { return port_; }
    int accepted() const { return accepted_; }

    // The bytes the client sent on its first connection; waits for the server to end.
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
        for (int served = 0; served < connections_ && port_ != 0 && waitReadable(listener_, 5000); ++served) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            ++accepted_;
            serve(client, served == 0);
            ::close(client);
        }
    }

    void serve(int client, bool keepRequest) {
        char chunk[4096];
        QByteArray request;
        while (!request.contains("\r\n\r\n") && waitReadable(client, 2000)) {
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                break;
            request.append(chunk, static_cast<int>(got));
        }
        if (keepRequest)
            request_ = request;
        for (const ServerStep& step : steps_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step.pauseMs));
            ::send(client, step.bytes.constData(), static_cast<size_t>(step.bytes.size()), MSG_NOSIGNAL);
        }
        if (after_ == AfterReply::Hold) {
            // Drains until the client closes (recv 0) or 15 s pass.
            for (int round = 0; round < 150; ++round) {
                if (waitReadable(client, 100) && ::recv(client, chunk, sizeof chunk, 0) <= 0)
                    break;
            }
        }
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
    int connections_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    QByteArray request_;
    std::thread thread_;
};

// A socket listening on a free IPv4 loopback port with the given backlog; sets port. -1 on failure.
int loopbackListener(int backlog, int* port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listener >= 0)
            ::close(listener);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return listener;
}

// A loopback port with nobody listening: bound, then released.
int closedPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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

const QByteArray Request = "GET /q/cq?s=A,B&d=v1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

struct Fetched {
    FetchReply reply;
    QByteArray bytes;
    qint64 elapsedMs = 0;
};

Fetched fetch(const std::string& host, int port, const FetchTimeouts& timeouts, int capacity = ReplyBufferSize) {
    Fetched result;
    QByteArray buffer(capacity, '\0');
    QElapsedTimer timer;
    timer.start();
    result.reply = fetchReply(resolveQuoteServer(host, port), Request.toStdString(), buffer.data(), capacity, timeouts);
    result.elapsedMs = timer.elapsed();
    result.bytes = buffer.left(result.reply.length);
    return result;
}

Fetched fetch(LoopbackServer& server, const FetchTimeouts& timeouts = {}) {
    return fetch("127.0.0.1", server.port(), timeouts);
}

} // namespace

Q_DECLARE_METATYPE(State)

class TestQuoteFetch : public QObject {
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void wholeReplies_data();
    void wholeReplies();
    void failedReplies_data();
    void failedReplies();
    void refusedConnectFailsAfterOneRetry();
    void unansweredConnectFailsWithinBound();
    void fetchesFromIpv6Loopback();
    void unresolvableNameIsNamed();
    void shortRepliesAreRepeatedBoundedly();
    void failuresAreNotRepeated();
    void closedPeerIsNotFatal();
};

void TestQuoteFetch::framing_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("closed"); // the server closed after these bytes
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("failure");

    const QByteArray chunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    QTest::newRow("nothing yet") << QByteArray() << false << State::Reading << "reply not complete";
    QTest::newRow("nothing, closed") << QByteArray() << true << State::CutShort << "closed without answering";
    QTest::newRow("status line only") << QByteArray("HTTP/1.1 200 OK\r\n") << false << State::Reading << "";
    QTest::newRow("header block ends at CR")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r") << false << State::Reading << "";
    QTest::newRow("length reached") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello") << false
                                    << State::Complete << "";
    QTest::newRow("length short, closed") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhell") << true
                                          << State::CutShort << "reply cut short";
    QTest::newRow("zero length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n") << false
                                 << State::Complete << "";
    QTest::newRow("LF-only, lower-case name, blanks")
        << QByteArray("HTTP/1.0 200 OK\ncontent-length:  2 \n\nok") << false << State::Complete << "";
    QTest::newRow("two different lengths")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r") << false << State::Malformed
        << "malformed reply: conflicting Content-Length";
    QTest::newRow("length not a number") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2x\r\nX") << false
                                         << State::Malformed << "malformed reply: malformed Content-Length";
    QTest::newRow("unframed body ends at the close")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<html></html>") << true << State::Complete
        << "";
    QTest::newRow("unframed body, still open")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n<html></html>") << false << State::Reading << "";
    QTest::newRow("headers cut") << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: te") << true << State::CutShort
                                 << "reply cut short";
    QTest::newRow("chunked, complete") << chunkedHead + "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n"
                                       << false << State::Complete << "";
    QTest::newRow("chunked, cut mid-chunk")
        << chunkedHead + "100\r\n" + QByteArray(100, 'c') << true << State::CutShort << "reply cut short";
    QTest::newRow("chunked, last chunk without its empty line") << chunkedHead + "5\r\nhello\r\n0\r\n"
                                                                << true << State::CutShort << "reply cut short";
    QTest::newRow("chunk data holding a zero line") << chunkedHead + "8\r\n0\r\n\r\nab\r\n"
                                                    << false << State::Reading << "";
    QTest::newRow("chunk extensions, hex sizes, trailers")
        << chunkedHead + "A;name=value\r\n0123456789\r\n0;last\r\nX-Check: 1\r\n\r\n"
        << false << State::Complete << "";
    QTest::newRow("chunked, LF only") << QByteArray("HTTP/1.1 200 OK\nTransfer-Encoding: Chunked\n\n2\nok\n0\n\n")
                                      << false << State::Complete << "";
    QTest::newRow("chunk longer than its size") << chunkedHead + "2\r\nhello\r\n0\r\n\r\n"
                                                << false << State::Malformed << "malformed reply: malformed chunk";
    QTest::newRow("chunk size not hex") << chunkedHead + "zz\r\n"
                                        << false << State::Malformed << "malformed reply: malformed chunk size";
    QTest::newRow("chunked wins over a length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n") << false
        << State::Reading << "";
    // The head by the letter: each fault is named as soon as its bytes are in, with no close.
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const auto malformed = [](const char* name, const QByteArray& reply, const char* what) {
        QTest::newRow(name) << reply << false << State::Malformed << QString("malformed reply: ") + what;
    };
    malformed("bare CR in the status line", "HTTP/1.1 200 OK\rContent-Length: 0\r\n", "bare CR in the header section");
    malformed("NUL in a field", ok + QByteArray("X: a\0b\r\n", 8), "malformed header line");
    malformed("blank before the first field", ok + " Content-Length: 2\r\n", "whitespace before the first header");
    malformed("tab before the first field of a 100", "HTTP/1.1 100 Continue\r\n\tX: 1\r\n",
              "whitespace before the first header");
    malformed("a length folded into another", ok + "Content-Length: 2\r\n 3\r\n\r\n", "malformed Content-Length");
    malformed("a bare CR after a chunk size", chunkedHead + "2\rok", "malformed chunk size");
    malformed("a trailer without a colon", chunkedHead + "0\r\nX-Check 1\r\n", "malformed trailer");
    malformed("a stray line end after a 100", "HTTP/1.1 100 Continue\r\n\r\n\r\nHTTP/1.1 200 OK\r\n",
              "malformed status line");
    // Leniencies kept: they read as the plain page.
    QTest::newRow("folded field, equal lengths, blank after a chunk size, empty extension")
        << ok + "X: a\r\n\tb\r\nContent-Length: 2, 2\r\nTransfer-Encoding: chunked\r\n\r\n2 \r\nok\r\n1;\r\n!\r\n0\r\n"
                "X: 1\r\n folded\r\n\r\n"
        << false << State::Complete << "";
    QTest::newRow("bytes after the length")
        << ok + "Content-Length: 2\r\n\r\nok and more" << true << State::Complete << "";
    QTest::newRow("101 is no page") << QByteArray("HTTP/1.1 101 Switching Protocols\r\n\r\n") << false << State::NotOk
                                    << "answered 101 Switching Protocols";
    QTest::newRow("400 page") << QByteArray("HTTP/1.1 400 Bad Request\r\nContent-Length: 2000\r\n\r\n") << false
                              << State::NotOk << "answered 400 Bad Request";
    QTest::newRow("500 without reason") << QByteArray("HTTP/1.0 500\r\n") << false << State::NotOk << "answered 500";
    QTest::newRow("404, reason cleaned") << QByteArray("HTTP/1.1 404 Not\xff Found \r\n") << false << State::NotOk
                                         << "answered 404 Not Found";
    QTest::newRow("a redirect is no page") << QByteArray("HTTP/1.1 301 Moved Permanently\r\n") << false << State::NotOk
                                           << "answered 301 Moved Permanently";
    QTest::newRow("garbage, told at once") << QByteArray("\x89PNG") << false << State::NotHttp << "not an HTTP reply";
    QTest::newRow("HTTP/2 status line") << QByteArray("HTTP/2 200\r\n") << false << State::NotHttp
                                        << "not an HTTP reply";
    QTest::newRow("status code too short")
        << QByteArray("HTTP/1.1 20 OK\r\n") << false << State::Malformed << "malformed reply: malformed status line";
    QTest::newRow("endless status line") << "HTTP/1.1 200 " + QByteArray(9000, 'x') << false << State::NotHttp
                                         << "not an HTTP reply";
}

// The same verdict and page whether the bytes come at once or one by one.
void TestQuoteFetch::framing() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, closed);
    QFETCH(State, state);
    QFETCH(QString, failure);

    QByteArray wholePage(512, '\0'), bytewisePage(512, '\0');
    HttpReplyReader whole(wholePage.data(), 512), bytewise(bytewisePage.data(), 512);
    whole.feed(reply.constData(), static_cast<std::size_t>(reply.size()));
    for (const char c : reply)
        bytewise.feed(&c, 1);
    if (closed) {
        whole.close();
        bytewise.close();
    }
    QCOMPARE(whole.state(), state);
    QCOMPARE(bytewise.state(), state);
    if (!failure.isEmpty()) {
        QCOMPARE(QString::fromStdString(whole.failure()), failure);
        QCOMPARE(QString::fromStdString(bytewise.failure()), failure);
    }
    QCOMPARE(bytewisePage.left(bytewise.pageLength()), wholePage.left(whole.pageLength()));
}

void TestQuoteFetch::wholeReplies_data() {
    QTest::addColumn<QList<QByteArray>>("pieces"); // sent 30 ms apart
    QTest::addColumn<bool>("hold");
    QTest::addColumn<QByteArray>("expected"); // what the buffer holds: the head, the body decoded

    const QByteArray page = contentLengthReply(QByteArray(3000, 'q'));
    QTest::newRow("length, held open") << QList<QByteArray>{page.left(100), page.mid(100)} << true << page;
    const QByteArray head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray chunk = "100\r\n" + QByteArray(256, 'c') + "\r\n";
    // Split inside a size line and inside the data, the last chunk arriving on its own.
    QTest::newRow("chunked, held open") << QList<QByteArray>{head + "1", "00\r\n" + QByteArray(100, 'c'),
                                                             QByteArray(156, 'c') + "\r\n" + chunk, "0\r\n", "\r\n"}
                                        << true << head + QByteArray(512, 'c');
    const QByteArray unframed = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + QByteArray(5000, 'x');
    QTest::newRow("unframed, ended by the close")
        << QList<QByteArray>{unframed.left(2000), unframed.mid(2000)} << false << unframed;
    // A page beyond the buffer is still received whole, so that it is known to be complete.
    const QByteArray big = contentLengthReply(QByteArray(200000, 'z'));
    QTest::newRow("beyond the buffer") << QList<QByteArray>{big} << true << big.left(ReplyBufferSize);
}

void TestQuoteFetch::wholeReplies() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(bool, hold);
    QFETCH(QByteArray, expected);
    std::vector<ServerStep> steps;
    for (const QByteArray& piece : pieces)
        steps.push_back({piece, steps.empty() ? 0 : 30});
    LoopbackServer server(steps, hold ? AfterReply::Hold : AfterReply::Close);
    const Fetched got = fetch(server);
    QVERIFY2(got.reply.ok, got.reply.reason.c_str());
    QCOMPARE(got.bytes, expected);
    QVERIFY2(got.elapsedMs < 2000, qPrintable(QString::number(got.elapsedMs)));
    QCOMPARE(server.request(), Request);
}

void TestQuoteFetch::failedReplies_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("pauseMs"); // between pieces
    QTest::addColumn<bool>("hold");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("atLeastMs");
    QTest::addColumn<int>("underMs");

    const QByteArray page400 = "HTTP/1.1 400 Bad Request\r\nContent-Length: 1500\r\n\r\n" + QByteArray(1500, 'e');
    QTest::newRow("400 page") << QList<QByteArray>{page400} << 0 << true << "answered 400 Bad Request" << 0 << 1000;
    QByteArray garbage(2000000, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    QTest::newRow("garbage") << QList<QByteArray>{garbage} << 0 << true << "not an HTTP reply" << 0 << 1000;
    QTest::newRow("chunk cut, closed")
        << QList<QByteArray>{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n800\r\n" + QByteArray(1000, 'c')}
        << 0 << false << "reply cut short" << 0 << 1000;
    QTest::newRow("length never reached, held open")
        << QList<QByteArray>{contentLengthReply(QByteArray(2000, 'q')).chopped(10)} << 0 << true
        << "reply not complete within 1 s" << 900 << 2500;
    QTest::newRow("silent") << QList<QByteArray>{} << 0 << true << "no answer within 1 s" << 900 << 2500;
    QTest::newRow("trickle") << QList<QByteArray>{"H", "T", "T", "P"} << 400 << true << "no answer within 1 s" << 900
                             << 2500;
}

// Every answer that is not a whole 200 page fails, says why, and within the request's deadline.
void TestQuoteFetch::failedReplies() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, pauseMs);
    QFETCH(bool, hold);
    QFETCH(QString, reason);
    QFETCH(int, atLeastMs);
    QFETCH(int, underMs);
    std::vector<ServerStep> steps;
    for (const QByteArray& piece : pieces)
        steps.push_back({piece, pauseMs});
    LoopbackServer server(steps, hold ? AfterReply::Hold : AfterReply::Close);
    FetchTimeouts timeouts;
    timeouts.requestMs = 1000;
    const Fetched got = fetch(server, timeouts);
    QVERIFY(!got.reply.ok);
    QCOMPARE(QString::fromStdString(got.reply.reason), reason);
    QVERIFY2(got.elapsedMs >= atLeastMs && got.elapsedMs < underMs, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::refusedConnectFailsAfterOneRetry() {
    FetchTimeouts timeouts;
    const Fetched got = fetch("127.0.0.1", closedPort(), timeouts);
    QCOMPARE(QString::fromStdString(got.reply.reason), QString("connection refused"));
    QVERIFY2(got.elapsedMs >= timeouts.retryPauseMs - 50 && got.elapsedMs < timeouts.retryPauseMs + 1000,
             qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::unansweredConnectFailsWithinBound() {
    // A listener whose accept queue is full drops new handshakes: a connect to it never completes.
    int port = 0;
    const int listener = loopbackListener(0, &port);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const socklen_t size = sizeof address;
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), size);
        fillers.push_back(filler);
    }
    std::this_thread::sleep_for(100ms);

    // The real bounds: two 4 s attempts and the 1.5 s pause stay inside the 10 s deadline.
    const Fetched got = fetch("127.0.0.1", port, {});
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
    QCOMPARE(QString::fromStdString(got.reply.reason), QString("no answer within 10 s"));
    QVERIFY2(got.elapsedMs >= 9000 && got.elapsedMs <= 10000, qPrintable(QString::number(got.elapsedMs)));
}

void TestQuoteFetch::fetchesFromIpv6Loopback() {
    const QByteArray page = contentLengthReply(QByteArray(2000, 'q'));
    LoopbackServer server({{page, 0}}, AfterReply::Close, AF_INET6);
    QVERIFY(server.port() != 0);
    const std::vector<SocketAddress> addresses = resolveQuoteServer("::1", server.port());
    QCOMPARE(addresses.size(), std::size_t(1));
    QCOMPARE(int(addresses[0].address.ss_family), AF_INET6);
    QByteArray buffer(ReplyBufferSize, '\0');
    const BatchReply reply = fetchBatch({"::1", server.port()}, "/q/cq?s=A,B&d=v1", buffer.data(), ReplyBufferSize);
    QVERIFY2(reply.ok, reply.reason.c_str());
    QCOMPARE(buffer.left(reply.length), page);
    QCOMPARE(server.request(),
             "GET /q/cq?s=A,B&d=v1 HTTP/1.1\r\nHost: [::1]:" + QByteArray::number(server.port()) + "\r\n\r\n");
}

void TestQuoteFetch::unresolvableNameIsNamed() {
    QVERIFY(resolveQuoteServer("name.invalid", 8080).empty());
    QByteArray buffer(ReplyBufferSize, '\0');
    QElapsedTimer timer;
    timer.start();
    const BatchReply reply = fetchBatch({"name.invalid", 8080}, "/q/cq?s=A,B&d=v1", buffer.data(), ReplyBufferSize);
    QVERIFY(!reply.ok);
    QCOMPARE(QString::fromStdString(reply.reason), QString("name.invalid: host not found"));
    QVERIFY(timer.elapsed() < 5000);
}

void TestQuoteFetch::shortRepliesAreRepeatedBoundedly() {
    const QByteArray busy = contentLengthReply("<p>busy</p>");
    LoopbackServer server({{busy, 0}}, AfterReply::Close, AF_INET, ShortReplyRepeatLimit + 3);
    QByteArray buffer(ReplyBufferSize, '\0');
    const BatchReply reply =
        fetchBatch({"127.0.0.1", server.port()}, "/q/cq?s=A,B&d=v1", buffer.data(), ReplyBufferSize);
    QVERIFY(!reply.ok);
    QCOMPARE(QString::fromStdString(reply.reason),
             QString("127.0.0.1:%1: reply too short, %2 tries").arg(server.port()).arg(ShortReplyRepeatLimit + 1));
    QCOMPARE(server.accepted(), ShortReplyRepeatLimit + 1);
}

void TestQuoteFetch::failuresAreNotRepeated() {
    const QByteArray page404 = "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found";
    LoopbackServer server({{page404, 0}}, AfterReply::Close, AF_INET, 3);
    QByteArray buffer(ReplyBufferSize, '\0');
    const BatchReply reply =
        fetchBatch({"127.0.0.1", server.port()}, "/q/cq?s=A,B&d=v1", buffer.data(), ReplyBufferSize);
    QCOMPARE(QString::fromStdString(reply.reason), QString("127.0.0.1:%1: answered 404 Not Found").arg(server.port()));
    QCOMPARE(server.accepted(), 1);
}

void TestQuoteFetch::closedPeerIsNotFatal() {
    // The default action of SIGPIPE ends the process: sending to a peer that is gone must not raise it.
    std::signal(SIGPIPE, SIG_DFL);
    int port = 0;
    const int listener = loopbackListener(4, &port);
    QVERIFY(listener >= 0);
    // Accepts and resets at once (linger 0), before the request can arrive.
    std::thread resetter([listener] {
        pollfd entry{listener, POLLIN, 0};
        if (::poll(&entry, 1, 5000) <= 0)
            return;
        const int client = ::accept(listener, nullptr, nullptr);
        linger reset{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(client);
    });
    std::string big(1 << 20, 'x'); // a request too big to fit the socket buffers before the reset
    QByteArray buffer(ReplyBufferSize, '\0');
    const FetchReply reply = fetchReply(resolveQuoteServer("127.0.0.1", port), big, buffer.data(), ReplyBufferSize, {});
    resetter.join();
    ::close(listener);
    QVERIFY(!reply.ok);
    QVERIFY2(!reply.reason.empty(), "a reset connection is named");
}

QTEST_GUILESS_MAIN(TestQuoteFetch)
#include "test_quote_fetch.moc"
