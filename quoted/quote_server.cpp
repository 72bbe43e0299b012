#include "quote_server.h"

#include "connection.h"
#include "http_request.h"
#include "quote_feed.h"
#include "routes.h"

#include <QDateTime>
#include <QTcpSocket>

namespace {

constexpr int MaxOpenConnections = 64;

} // namespace

QuoteServer::QuoteServer(const ServerOptions& options, QObject* parent)
    : QObject(parent), options_(options), log_(options.recordFile) {
    if (options.quotesFile.isEmpty())
        source_ = std::make_unique<MarketSource>(options.seed);
    else
        source_ = std::make_unique<QuoteFeed>(options.quotesFile);
    connect(&server_, &QTcpServer::newConnection, this, &QuoteServer::acceptConnections);
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
        if (options_.refuse || openConnections_ >= MaxOpenConnections) {
            socket->close();
            socket->deleteLater();
            continue;
        }
        ++openConnections_;
        new Connection(socket, *this);
    }
}

QByteArray QuoteServer::replyTo(QByteArrayView head) {
    log_.append(head);
    const bool shortReply = options_.shortReplies < 0 || repliesSent_ < options_.shortReplies;
    ++repliesSent_;
    if (shortReply)
        return shortBusyReply(options_.holdOpen);
    source_->refresh();
    const HttpReply reply = route(parseRequestHead(head), *source_, QDateTime::currentDateTimeUtc());
    return encodeReply(reply, options_.chunked ? Framing::Chunked : Framing::ContentLength, options_.holdOpen);
}
