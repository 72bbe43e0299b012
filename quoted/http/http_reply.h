#pragma once
// Reply framing: status line, headers, and the body with a Content-Length or in chunks.
#include <QByteArray>
#include <QByteArrayView>

struct HttpReply {
    int status = 200;
    QByteArray body;
    QByteArray extraHeaders; // whole header lines, each ending in CR LF
    QByteArray contentType = "text/html; charset=ISO-8859-1";
};

enum class Framing { ContentLength, Chunked };

// The whole reply; without the body (its headers as they would be) when withBody is false, as
// HEAD asks. A chunked body shorter than a smallest chunk goes out with a
// Content-Length instead, since no size line below 100 (hex) may appear.
QByteArray encodeReply(const HttpReply& reply, Framing framing, bool keepAlive, bool withBody = true);

// The body as chunks of 256 to 511 bytes, each size line 3 hex digits from 100 to 1ff,
// then the last "0" chunk. Chunk borders fall between printable bytes, never before a
// '1': a scanner that drops the size lines then sees the body's bytes unchanged.
QByteArray chunkedBody(QByteArrayView body);

// "OK", "Not Found", ...: the words after the status code.
const char* reasonPhrase(int status);
