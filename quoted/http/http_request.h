#pragma once
// A request line as the server reads it: method, one blank, target, one blank, HTTP/1.0 or
// HTTP/1.1. The target may hold blanks inside it, since Tickwell does not escape symbols.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <utility>

struct HttpRequest {
    QByteArray method;
    QByteArray target;                              // as sent
    QByteArray path;                                // the target's path, before '?' (an absolute form's too)
    QList<std::pair<QByteArray, QByteArray>> query; // as sent, not percent-decoded
    int minorVersion = 1;                           // of HTTP/1.x
    bool valid = false;     // a path or an http:// address: a target a page can be looked up for
    bool keepAlive = false; // the client lets the connection stay open after the reply

    // The first value of the key, if the query has it.
    std::optional<QByteArray> queryValue(QByteArrayView key) const;
};

enum class RequestLineVerdict { Sound, Malformed, UnsupportedVersion };

// Reads one request line (without its line end) into request.
RequestLineVerdict parseRequestLine(QByteArrayView line, HttpRequest& request);

// %XX escapes decoded; '+' stays as it is.
QByteArray percentDecoded(QByteArrayView text);
