#include "http/http_request.h"

namespace {

QByteArrayView withoutCr(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

} // namespace

qsizetype requestHeadLength(QByteArrayView data) {
    bool seenRequestLine = false;
    qsizetype lineStart = 0;
    while (lineStart < data.size()) {
        const qsizetype lineEnd = data.indexOf('\n', lineStart);
        if (lineEnd < 0)
            return 0;
        const bool empty = withoutCr(data.sliced(lineStart, lineEnd - lineStart)).isEmpty();
        if (empty && seenRequestLine)
            return lineEnd + 1;
        seenRequestLine = seenRequestLine || !empty;
        lineStart = lineEnd + 1;
    }
    return 0;
}

std::optional<QByteArray> HttpRequest::queryValue(QByteArrayView key) const {
    for (const auto& [name, value] : query) {
        if (name == key)
            return value;
    }
    return std::nullopt;
}

HttpRequest parseRequestHead(QByteArrayView head) {
    HttpRequest request;
    qsizetype start = 0;
    while (start < head.size() && (head[start] == '\r' || head[start] == '\n'))
        ++start;
    const qsizetype end = head.indexOf('\n', start);
    const QByteArrayView line = withoutCr(head.sliced(start, (end < 0 ? head.size() : end) - start));

    const qsizetype firstBlank = line.indexOf(' ');
    const qsizetype lastBlank = line.lastIndexOf(' ');
    if (firstBlank <= 0 || lastBlank <= firstBlank + 1 || !line.sliced(lastBlank + 1).startsWith("HTTP/"))
        return request;

    request.method = line.first(firstBlank).toByteArray();
    request.target = line.sliced(firstBlank + 1, lastBlank - firstBlank - 1).toByteArray();
    const qsizetype question = request.target.indexOf('?');
    request.path = question < 0 ? request.target : request.target.first(question);
    if (question >= 0) {
        for (const QByteArray& pair : request.target.sliced(question + 1).split('&')) {
            const qsizetype equals = pair.indexOf('=');
            if (equals < 0)
                request.query.append({pair, QByteArray()});
            else
                request.query.append({pair.first(equals), pair.sliced(equals + 1)});
        }
    }
    request.valid = request.target.startsWith('/');
    return request;
}

QByteArray percentDecoded(QByteArrayView text) {
    return QByteArray::fromPercentEncoding(text.toByteArray());
}
