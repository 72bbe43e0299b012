#include "http/http_reply.h"

#include <algorithm>

namespace {

constexpr qsizetype MinChunk = 0x100;
constexpr qsizetype MaxChunk = 0x1ff;

} // namespace

const char* reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

namespace {

bool isPrintable(char c) {
    return c >= 32 && c <= 126;
}

// A border before body[at] that a size line can sit at without disturbing the bytes
// around it: three printable bytes on each side and no '1' right after it.
bool isSafeBorder(QByteArrayView body, qsizetype at) {
    if (at < 3 || at + 3 > body.size() || body[at] == '1')
        return false;
    for (qsizetype i = at - 3; i < at + 3; ++i) {
        if (!isPrintable(body[i]))
            return false;
    }
    return true;
}

// The size of the next chunk when `remaining` bytes are left: near `wanted`, leaving
// either nothing or at least a smallest chunk behind, at a safe border if there is one.
qsizetype nextChunkSize(QByteArrayView body, qsizetype offset, qsizetype wanted) {
    const qsizetype remaining = body.size() - offset;
    if (remaining <= MaxChunk)
        return remaining;
    auto allowed = [&](qsizetype size) { return size >= MinChunk && size <= MaxChunk && remaining - size >= MinChunk; };
    for (qsizetype step = 0; step <= MaxChunk - MinChunk; ++step) {
        for (qsizetype size : {wanted - step, wanted + step}) {
            if (allowed(size) && isSafeBorder(body, offset + size))
                return size;
        }
    }
    return std::min(wanted, remaining - MinChunk); // no safe border: keep the sizes right at least
}

QByteArray headers(int status, QByteArrayView extra, bool keepAlive,
                   QByteArrayView contentType = "text/html; charset=ISO-8859-1") {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
           "\r\nServer: tickwell-quoted\r\nContent-Type: " + contentType.toByteArray() + "\r\n" + extra.toByteArray() +
           (keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n");
}

} // namespace

QByteArray chunkedBody(QByteArrayView body) {
    QByteArray out;
    quint32 state = 0x2545f491u;
    qsizetype offset = 0;
    while (offset < body.size()) {
        state = state * 1664525u + 1013904223u;
        const qsizetype wanted = MinChunk + static_cast<qsizetype>((state >> 16) % (MaxChunk - MinChunk + 1));
        const qsizetype size = nextChunkSize(body, offset, wanted);
        out += QByteArray::number(size, 16) + "\r\n" + body.sliced(offset, size).toByteArray() + "\r\n";
        offset += size;
    }
    return out + "0\r\n\r\n";
}

QByteArray encodeReply(const HttpReply& reply, Framing framing, bool keepAlive, bool withBody) {
    if (framing == Framing::Chunked && reply.body.size() >= MinChunk) {
        return headers(reply.status, reply.extraHeaders + "Transfer-Encoding: chunked\r\n", keepAlive,
                       reply.contentType) +
               (withBody ? chunkedBody(reply.body) : QByteArray());
    }
    return headers(reply.status,
                   reply.extraHeaders + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n", keepAlive,
                   reply.contentType) +
           (withBody ? reply.body : QByteArray());
}
