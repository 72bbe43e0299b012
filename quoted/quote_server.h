#pragma once
// The listening side: accepts loopback connections and hands each to a Connection,
// or closes it at once under --refuse.
#include "options.h"
#include "quote_source.h"
#include "request_log.h"

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

#include <memory>

class QuoteServer : public QObject {
    Q_OBJECT
public:
    explicit QuoteServer(const ServerOptions& options, QObject* parent = nullptr);
    ~QuoteServer() override;

    bool listen(QString* error);
    quint16 port() const { return server_.serverPort(); }
    const ServerOptions& options() const { return options_; }

    // The encoded reply to one complete request head; records the request and counts
    // the reply against --short.
    QByteArray replyTo(QByteArrayView head);
    // Bytes a connection received but never completed into a request.
    void recordUnfinished(QByteArrayView raw) const { log_.append(raw); }

    void connectionClosed() { --openConnections_; }

private:
    void acceptConnections();

    ServerOptions options_;
    std::unique_ptr<QuoteSource> source_; // the simulated market, or the --quotes file
    RequestLog log_;
    QTcpServer server_;
    int repliesSent_ = 0;
    int openConnections_ = 0;
};
