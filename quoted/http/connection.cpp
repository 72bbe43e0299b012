#include "http/connection.h"

#include "http/request_handler.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace {

constexpr int RequestWaitMs = 10000;  // from the connection, or the last reply, to a whole request
constexpr int KeepAliveMs = 15000;    // between requests on a connection held open
constexpr int StalledWriteMs = 10000; // a client that reads nothing of its reply for this long is gone
constexpr int LingerMs = 2000;        // from the server's end of a connection to the client's
constexpr qsizetype ReadBytes = 16384;
constexpr qsizetype SlowPieceBytes = 512;
// A client that sends requests without reading the replies gets no further answer until
// the unread ones shrink below this: the server holds no more than that for it.
constexpr qint64 MaxUnreadBytes = 512 * 1024;

} // namespace

Connection::Connection(QTcpSocket* socket, RequestHandler& handler, ConnectionSettings settings, QObject* parent)
    : QObject(parent), socket_(socket), handler_(handler), settings_(settings) {
    sinceActive_.start();
    socket_->setParent(this);
    // Bytes beyond what the reader takes stay with the kernel, so a flood of them costs nothing here.
    socket_->setReadBufferSize(ReadBytes);
    pieceTimer_.setSingleShot(true);
    pieceTimer_.setTimerType(Qt::PreciseTimer);
    deadline_.setSingleShot(true);
    connect(&pieceTimer_, &QTimer::timeout, this, &Connection::sendNextPiece);
    connect(&deadline_, &QTimer::timeout, this, &Connection::drop);
    connect(socket_, &QTcpSocket::readyRead, this, &Connection::readRequests);
    connect(socket_, &QTcpSocket::bytesWritten, this, &Connection::wroteSome);
    connect(socket_, &QTcpSocket::disconnected, this, &Connection::finish);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Connection::finish);
}

void Connection::start() {
    deadline_.start(RequestWaitMs);
    readRequests();
}

void Connection::readRequests() {
    if (finished_)
        return;
    if (closing_) {
        // The last reply is chosen: what the client still sends is dropped, never read as a request.
        socket_->readAll();
        return;
    }
    // Under --hold-open, one reply per request already here, while the client reads them.
    while (!replying_ && !closing_ && socket_->bytesToWrite() < MaxUnreadBytes) {
        if (received_.isEmpty()) {
            if (socket_->bytesAvailable() == 0)
                return;
            received_ = socket_->read(ReadBytes);
            sinceActive_.start();
        }
        received_.remove(0, reader_.take(received_));
        if (reader_.step() == RequestReader::Step::Refused) {
            closing_ = true;
            received_.clear();
            emit requestRead(reader_.head());
            startReply(handler_.refusal(reader_.refusalStatus(), reader_.refusalReason()), false);
        } else if (reader_.step() == RequestReader::Step::Request) {
            replying_ = true;
            const HttpRequest request = reader_.request();
            emit requestRead(reader_.head());
            reader_.next();
            const bool keepAlive = settings_.holdOpen && request.keepAlive;
            handler_.answer(request, keepAlive, this,
                            [this](const QByteArray& reply, bool keepOpen) { startReply(reply, keepOpen); });
        }
    }
}

void Connection::startReply(const QByteArray& bytes, bool keepOpen) {
    if (finished_)
        return;
    replying_ = true;
    keepOpen_ = keepOpen;
    pending_ = bytes;
    const int slowMs = settings_.slowMs;
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
        pieceTimer_.start(settings_.slowMs);
}

void Connection::replySent() {
    replying_ = false;
    if (keepOpen_ && !closing_) {
        // As a keep-alive server: wait for the client's next request or its close.
        deadline_.start(socket_->bytesToWrite() > 0 ? StalledWriteMs : KeepAliveMs);
        QMetaObject::invokeMethod(this, &Connection::readRequests, Qt::QueuedConnection);
        return;
    }
    closing_ = true;
    deadline_.start(StalledWriteMs); // time to flush what is written
    closeWhenFlushed();
}

void Connection::closeWhenFlushed() {
    if (replying_ || halfClosed_ || socket_->bytesToWrite() > 0)
        return;
    // A half close: the client reads the whole reply and then its end, while what it still sends
    // is dropped until it closes too. A close with unread bytes would reset the connection, which
    // can take the reply with it.
    halfClosed_ = true;
    ::shutdown(int(socket_->socketDescriptor()), SHUT_WR);
    socket_->readAll();
    deadline_.start(LingerMs);
}

void Connection::wroteSome() {
    sinceActive_.start();
    if (finished_)
        return;
    if (closing_)
        closeWhenFlushed();
    if (settings_.slowMs > 0 || halfClosed_)
        return;
    if (socket_->bytesToWrite() > 0) {
        deadline_.start(StalledWriteMs);
    } else if (!closing_ && !replying_) {
        deadline_.start(KeepAliveMs);
        readRequests(); // requests held back while the client was behind
    }
}

void Connection::drop() {
    if (finished_)
        return;
    // A reset, not a close: what the client never read goes at once instead of lingering in the
    // kernel, and the client learns that the connection is over.
    const linger reset{1, 0};
    ::setsockopt(int(socket_->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    socket_->abort();
    finish();
}

void Connection::finish() {
    if (finished_)
        return;
    finished_ = true;
    pieceTimer_.stop();
    deadline_.stop();
    emit closed(closing_ ? QByteArray() : reader_.head() + received_);
    deleteLater();
}
