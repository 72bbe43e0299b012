#pragma once
// One accepted connection: reads requests by the letter of HTTP/1.1, sends each reply (at once
// or in slow pieces), then closes, or under --hold-open stays open for the next request while
// the client lets it.
#include "http/request_reader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTcpSocket;
class RequestHandler;

struct ConnectionSettings {
    bool holdOpen = false; // as a keep-alive server: after a reply, wait for the next request
    int slowMs = 0;        // pause between the pieces of a reply; 0 sends it at once
};

class Connection : public QObject {
    Q_OBJECT
public:
    // Takes ownership of the socket; deletes itself when the connection is over.
    Connection(QTcpSocket* socket, RequestHandler& handler, ConnectionSettings settings, QObject* parent);

    // Begins reading requests; the signals are connected by then.
    void start();
    // Ends the connection at once (the server makes room for a newcomer).
    void drop();
    // How long since bytes last came in or went out.
    qint64 idleMs() const { return sinceActive_.elapsed(); }

signals:
    // A request's head, byte for byte, before it is answered: a sound one or one refused.
    void requestRead(const QByteArray& head);
    // The connection is over; unfinished holds what it received but never completed into a request.
    void closed(const QByteArray& unfinished);

private:
    void readRequests();
    void startReply(const QByteArray& bytes, bool keepOpen);
    void sendNextPiece();
    void replySent();
    void wroteSome();
    void closeWhenFlushed();
    void finish();

    QTcpSocket* socket_;
    RequestHandler& handler_;
    const ConnectionSettings settings_;
    RequestReader reader_;
    QByteArray received_; // read from the socket, not yet taken by the reader
    QByteArray pending_;
    QTimer pieceTimer_;
    QTimer deadline_; // no connection outlives it, whatever the client does
    QElapsedTimer sinceActive_;
    bool replying_ = false; // from a complete request until its reply is written
    bool keepOpen_ = false; // the reply under way leaves the connection open
    bool closing_ = false;  // the last reply is chosen: what comes in now is dropped
    bool halfClosed_ = false;
    bool finished_ = false;
};
