#pragma once
// The listening side: accepts loopback connections and hands each to a Connection, which
// hands its requests to the handler; or closes each at once under --refuse.
#include "http/connection.h"
#include "http/request_handler.h"
#include "http/request_log.h"

#include <QObject>
#include <QSet>
#include <QTcpServer>

struct ServerSettings {
    quint16 port = 8080;
    bool refuse = false; // every connection is closed at once, unanswered
    ConnectionSettings connection;
};

class QuoteServer : public QObject {
    Q_OBJECT
public:
    // At most this many connections at once; the file-descriptor limit may make it fewer.
    static constexpr int MaxConnections = 4096;

    // The handler and the log outlive the server.
    QuoteServer(RequestHandler& handler, const RequestLog& log, ServerSettings settings, QObject* parent = nullptr);
    ~QuoteServer() override;

    bool listen(QString* why);
    quint16 port() const { return server_.serverPort(); }

private:
    void acceptConnections();
    void dropLongestIdle();

    RequestHandler& handler_;
    const RequestLog& log_;
    const ServerSettings settings_;
    QTcpServer server_;
    int maxConnections_;
    QSet<Connection*> connections_;
};
