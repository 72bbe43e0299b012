#include "quote_server.h"

#include "connection.h"
#include "http_request.h"
#include "quote_feed.h"
#include "quote_sources.h"
#include "routes.h"

#include <QDateTime>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <sys/resource.h>

namespace {

// Descriptors kept for everything but connections: the listener, the feed, the log, Qt's own.
constexpr rlim_t SpareDescriptors = 64;
// Connections waiting to be accepted; the kernel caps it at its own limit.
constexpr int ListenBacklog = 1024;

int connectionLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return QuoteServer::MaxConnections;
    const rlim_t usable =
        limit.rlim_cur > SpareDescriptors * 2 ? limit.rlim_cur - SpareDescriptors : limit.rlim_cur / 2;
    return static_cast<int>(std::min<rlim_t>(usable, QuoteServer::MaxConnections));
}

} // namespace

QuoteServer::QuoteServer(const ServerOptions& options, const QList<SourceSettings>& sources,
                         std::shared_ptr<HistoryStore> history, QObject* parent)
    : QObject(parent), options_(options), log_(options.recordFile), maxConnections_(connectionLimit()) {
    clock_.start();
    if (!sources.isEmpty())
        source_ = std::make_unique<QuoteSources>(sources);
    else if (options.quotesFile.isEmpty())
        source_ = std::make_unique<MarketSource>(options.seed);
    else
        source_ = std::make_unique<QuoteFeed>(options.quotesFile);
    if (history && (!sources.isEmpty() || !options.quotesFile.isEmpty()))
        source_->keepHistory(std::move(history));
    server_.setListenBacklogSize(ListenBacklog);
    connect(&server_, &QTcpServer::newConnection, this, &QuoteServer::acceptConnections);
    // Out of descriptors after all (another process's share, say): make room and go on.
    connect(&server_, &QTcpServer::acceptError, this, [this] {
        dropLongestIdle();
        QTimer::singleShot(10, &server_, [this] { server_.resumeAccepting(); });
    });
}

QuoteServer::~QuoteServer() {
    // Connections report their end to this object: let them go while it is whole.
    qDeleteAll(findChildren<Connection*>(Qt::FindDirectChildrenOnly));
}

bool QuoteServer::listen(QString* error) {
    if (server_.listen(QHostAddress::LocalHost, options_.port))
        return true;
    *error = server_.errorString();
    return false;
}

void QuoteServer::acceptConnections() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (options_.refuse) {
            socket->close();
            socket->deleteLater();
            continue;
        }
        // The newcomer is served; the connection that has waited longest for nothing goes.
        if (connections_.size() >= maxConnections_)
            dropLongestIdle();
        connections_.insert(new Connection(socket, *this));
    }
}

void QuoteServer::dropLongestIdle() {
    if (connections_.isEmpty())
        return;
    const auto longestIdle = std::min_element(connections_.cbegin(), connections_.cend(),
                                              [](auto* a, auto* b) { return a->lastActive() < b->lastActive(); });
    (*longestIdle)->drop();
}

void QuoteServer::answer(const QByteArray& head, Connection* connection) {
    log_.append(head);
    const bool shortReply = options_.shortReplies < 0 || repliesSent_ < options_.shortReplies;
    ++repliesSent_;
    if (shortReply) {
        connection->startReply(shortBusyReply(options_.holdOpen));
        return;
    }
    source_->whenCurrent(connection, [this, head, connection = QPointer<Connection>(connection)] {
        if (connection)
            connection->startReply(replyTo(head));
    });
}

QByteArray QuoteServer::replyTo(const QByteArray& head) const {
    const HttpRequest request = parseRequestHead(head);
    const HttpReply reply = route(request, *source_, QDateTime::currentDateTimeUtc());
    return encodeReply(reply, options_.chunked ? Framing::Chunked : Framing::ContentLength, options_.holdOpen,
                       request.method != "HEAD");
}
