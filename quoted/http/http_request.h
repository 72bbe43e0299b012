#pragma once
// The request as Tickwell sends it: "GET <path> HTTP/1.1", LF (or CR LF) line ends,
// a Host line and an empty line.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <utility>

// Length of the complete request head at the start of data, through its first empty
// line (empty lines before the request line are part of it), or 0 while it is incomplete.
qsizetype requestHeadLength(QByteArrayView data);

struct HttpRequest {
    bool valid = false;
    QByteArray method;
    QByteArray target;                              // as sent; may hold blanks, since Tickwell does not escape symbols
    QByteArray path;                                // the target before '?'
    QList<std::pair<QByteArray, QByteArray>> query; // as sent, not percent-decoded

    // The first value of the key, if the query has it.
    std::optional<QByteArray> queryValue(QByteArrayView key) const;
};

HttpRequest parseRequestHead(QByteArrayView head);

// %XX escapes decoded; '+' stays as it is.
QByteArray percentDecoded(QByteArrayView text);
