#pragma once
// One accepted connection: reads a request, sends the reply (at once or in slow pieces),
// then closes, or under --hold-open stays open for further requests.
#include <QByteArray>
#include <QObject>
#include <QTimer>

class QTcpSocket;
class QuoteServer;

class Connection : public QObject {
    Q_OBJECT
public:
    // Takes ownership of the socket; deletes itself when the connection is over.
    Connection(QTcpSocket* socket, QuoteServer& server);

    // Sends the reply to the request last handed to the server.
    void startReply(const QByteArray& bytes);
    // Ends the connection at once (the server makes room for a newcomer).
    void drop();
    // When bytes last came in or went out, on the server's clock.
    qint64 lastActive() const { return lastActive_; }

private:
    void readRequests();
    void sendNextPiece();
    void replySent();
    void wroteSome();
    void finish();

    QTcpSocket* socket_;
    QuoteServer& server_;
    QByteArray received_;
    QByteArray pending_;
    QTimer pieceTimer_;
    QTimer deadline_; // no connection outlives it, whatever the client does
    qint64 lastActive_ = 0;
    bool replying_ = false; // from a complete request until its reply is written
    bool closing_ = false;
    bool finished_ = false;
};
