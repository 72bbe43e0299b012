#include "http/quote_server.h"

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

QuoteServer::QuoteServer(RequestHandler& handler, const RequestLog& log, ServerSettings settings, QObject* parent)
    : QObject(parent), handler_(handler), log_(log), settings_(settings), maxConnections_(connectionLimit()) {
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

bool QuoteServer::listen(QString* why) {
    if (server_.listen(QHostAddress::LocalHost, settings_.port))
        return true;
    *why = server_.errorString();
    return false;
}

void QuoteServer::acceptConnections() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (settings_.refuse) {
            socket->close();
            socket->deleteLater();
            continue;
        }
        // The newcomer is served; the connection that has waited longest for nothing goes.
        if (connections_.size() >= maxConnections_)
            dropLongestIdle();
        auto* connection = new Connection(socket, handler_, settings_.connection, this);
        connections_.insert(connection);
        connect(connection, &Connection::requestRead, this, [this](const QByteArray& head) { log_.append(head); });
        connect(connection, &Connection::closed, this, [this, connection](const QByteArray& unfinished) {
            if (!unfinished.isEmpty())
                log_.append(unfinished);
            connections_.remove(connection);
        });
        connection->start();
    }
}

void QuoteServer::dropLongestIdle() {
    if (connections_.isEmpty())
        return;
    const auto longestIdle = std::max_element(connections_.cbegin(), connections_.cend(),
                                              [](auto* a, auto* b) { return a->idleMs() < b->idleMs(); });
    (*longestIdle)->drop();
}
