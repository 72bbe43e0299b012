#pragma once
// What a connection hands each request to. The transport knows nothing of pages or quotes.
#include "http/http_request.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class RequestHandler {
public:
    // The whole reply, framed; keepOpen: the connection then waits for the client's next request.
    using Send = std::function<void(const QByteArray& reply, bool keepOpen)>;

    virtual ~RequestHandler() = default;

    // Answers a request through send: at once, or later (while the quotes are made current), and
    // then only while context lives. keepAlive: both the client and the server let the
    // connection stay open after the reply.
    virtual void answer(const HttpRequest& request, bool keepAlive, QObject* context, Send send) = 0;
    // The reply to a request that breaks the rules, after which the connection closes: the
    // status and a one-line reason.
    virtual QByteArray refusal(int status, const QByteArray& reason) const = 0;
};
