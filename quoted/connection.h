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
    ~Connection() override;

private:
    void readRequests();
    void startReply(const QByteArray& bytes);
    void sendNextPiece();
    void replySent();
    void finish();

    QTcpSocket* socket_;
    QuoteServer& server_;
    QByteArray received_;
    QByteArray pending_;
    QTimer pieceTimer_;
    QTimer deadline_; // no connection outlives it, whatever the client does
    bool replying_ = false;
    bool closing_ = false;
    bool finished_ = false;
};
