#pragma once
// The listening side: accepts loopback connections and hands each to a Connection,
// or closes it at once under --refuse.
#include "options.h"
#include "quote_source.h"
#include "request_log.h"
#include "sources_file.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTcpServer>

#include <memory>

class Connection;

class QuoteServer : public QObject {
    Q_OBJECT
public:
    // At most this many connections at once; the file-descriptor limit may make it fewer.
    static constexpr int MaxConnections = 4096;

    // The quotes come from the sources when there are any, else as the options say; history,
    // when given, keeps a feed's or the sources' prices (the simulated market keeps none).
    explicit QuoteServer(const ServerOptions& options, const QList<SourceSettings>& sources = {},
                         std::shared_ptr<HistoryStore> history = {}, QObject* parent = nullptr);
    ~QuoteServer() override;

    bool listen(QString* error);
    quint16 port() const { return server_.serverPort(); }
    const ServerOptions& options() const { return options_; }

    // Records the request, then hands the connection its encoded reply (counted against
    // --short): at once, or when a re-read of the quotes under way has ended (a short while).
    void answer(const QByteArray& head, Connection* connection);
    // Bytes a connection received but never completed into a request.
    void recordUnfinished(QByteArrayView raw) const { log_.append(raw); }

    void connectionClosed(Connection* connection) { connections_.remove(connection); }
    qint64 clock() const { return clock_.elapsed(); }

private:
    void acceptConnections();
    void dropLongestIdle();
    QByteArray replyTo(const QByteArray& head) const;

    ServerOptions options_;
    std::unique_ptr<QuoteSource> source_; // the simulated market, the --quotes file or the --sources
    RequestLog log_;
    QTcpServer server_;
    QElapsedTimer clock_;
    int maxConnections_;
    int repliesSent_ = 0;
    QSet<Connection*> connections_;
};
