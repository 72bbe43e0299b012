#pragma once
// What a connection hands each request to. The transport knows nothing of pages or quotes.
#include <QByteArray>
#include <QObject>

#include <functional>

class RequestHandler {
public:
    using Send = std::function<void(const QByteArray& reply)>;

    virtual ~RequestHandler() = default;

    // Answers a complete request head with the whole reply, framed, through send: at once, or
    // later (while the quotes are made current), and then only while context lives.
    virtual void answer(const QByteArray& head, QObject* context, Send send) = 0;
    // The reply to a request that grew past the limit without ending; lineEnded is false when
    // not even its request line ended.
    virtual QByteArray tooLongReply(bool lineEnded) const = 0;
};
