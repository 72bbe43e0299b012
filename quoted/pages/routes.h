#pragma once
// What each address answers, and the handler that answers the server's requests with it.
#include "http/http_reply.h"
#include "http/http_request.h"
#include "http/request_handler.h"
#include "sources/quote_source.h"

#include <QDateTime>

//   /q/cq?s=A,B,...&d=v1   delayed quotes (d missing: the same)
//   /q/cq?s=A,B,...&d=e    real-time quotes
//   /q/bc?s=SYM&t=1y       details page (status 200 for any symbol)
//   /status                the sources' state, plain text (quote_source.h)
// Anything else is a 404 page; a target that is neither a path nor an http:// address, 400;
// neither GET nor HEAD, 405 with the methods that are. HEAD is routed as GET; its reply goes
// without the body.
HttpReply route(const HttpRequest& request, const QuoteSource& source, const QDateTime& now);

// The 414 page of a request over the symbol limit; named is how many it names (0: unknown, as
// for a request line too long to read).
HttpReply tooManySymbols(qsizetype named);

struct ReplySettings {
    bool chunked = false; // bodies in chunks (those long enough for one)
    int shortReplies = 0; // the first N replies are the busy page (--short); -1: all of them
};

class Routes : public RequestHandler {
public:
    // The source outlives the handler.
    Routes(QuoteSource& source, ReplySettings settings) : source_(source), settings_(settings) {}

    // Once the source is current, the routed page (counted against --short). After a 4xx or
    // 5xx page the connection closes, kept alive or not.
    void answer(const HttpRequest& request, bool keepAlive, QObject* context, Send send) override;
    // A request line too long to read names too many symbols: 414; any other fault is the
    // status page of its status.
    QByteArray refusal(int status, const QByteArray& reason) const override;

private:
    QuoteSource& source_;
    const ReplySettings settings_;
    int repliesSent_ = 0;
};
