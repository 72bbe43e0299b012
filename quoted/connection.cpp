#include "connection.h"

#include "http_reply.h"
#include "http_request.h"
#include "quote_server.h"

#include <QTcpSocket>

namespace {

constexpr int RequestWaitMs = 10000;
constexpr int HoldOpenMs = 30000;
constexpr qsizetype MaxRequestBytes = 16384;
constexpr qsizetype SlowPieceBytes = 512;

} // namespace

Connection::Connection(QTcpSocket* socket, QuoteServer& server) : QObject(&server), socket_(socket), server_(server) {
    socket_->setParent(this);
    pieceTimer_.setSingleShot(true);
    pieceTimer_.setTimerType(Qt::PreciseTimer);
    deadline_.setSingleShot(true);
    connect(&pieceTimer_, &QTimer::timeout, this, &Connection::sendNextPiece);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        socket_->abort();
        finish();
    });
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::readRequests);
    connect(socket_, &QTcpSocket::disconnected, this, &Connection::finish);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Connection::finish);
    deadline_.start(RequestWaitMs);
    readRequests();
}

Connection::~Connection() {
    server_.connectionClosed();
}

void Connection::readRequests() {
    if (finished_)
        return;
    received_ += socket_->readAll();
    while (!replying_ && !closing_) { // under --hold-open, one reply per request already here
        const qsizetype headLength = requestHeadLength(received_);
        if (headLength == 0) {
            if (received_.size() > MaxRequestBytes) {
                closing_ = true;
                received_.clear();
                startReply(encodeReply(statusPage(400, "The request is too long."), Framing::ContentLength, false));
            }
            return;
        }
        const QByteArray head = received_.first(headLength);
        received_.remove(0, headLength);
        startReply(server_.replyTo(head));
    }
}

void Connection::startReply(const QByteArray& bytes) {
    replying_ = true;
    pending_ = bytes;
    const int slowMs = server_.options().slowMs;
    if (slowMs > 0) {
        const qsizetype pieces = (pending_.size() + SlowPieceBytes - 1) / SlowPieceBytes;
        deadline_.start(static_cast<int>(std::min<qint64>(pieces * slowMs + RequestWaitMs, 3600 * 1000)));
        sendNextPiece();
        return;
    }
    socket_->write(pending_);
    pending_.clear();
    replySent();
}

void Connection::sendNextPiece() {
    if (finished_)
        return;
    socket_->write(pending_.first(std::min(SlowPieceBytes, pending_.size())));
    socket_->flush();
    pending_.remove(0, std::min(SlowPieceBytes, pending_.size()));
    if (pending_.isEmpty())
        replySent();
    else
        pieceTimer_.start(server_.options().slowMs);
}

void Connection::replySent() {
    replying_ = false;
    if (server_.options().holdOpen && !closing_) {
        // As a keep-alive server: wait for the client's next request or its close.
        deadline_.start(HoldOpenMs);
        QMetaObject::invokeMethod(this, &Connection::readRequests, Qt::QueuedConnection);
        return;
    }
    closing_ = true;
    deadline_.start(RequestWaitMs); // time to flush what is written
    socket_->disconnectFromHost();
}

void Connection::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (!closing_ && !received_.isEmpty())
        server_.recordUnfinished(received_);
    pieceTimer_.stop();
    deadline_.stop();
    deleteLater();
}
