#include "http/http_request.h"

#include "net/core/http_grammar.h"

#include <algorithm>
#include <string_view>

namespace {

std::string_view viewOf(QByteArrayView bytes) {
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

// Visible ASCII and obs-text; a blank too, which the target's ends are checked for apart.
bool isTargetChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7f;
}

// The origin form of a target: an absolute-form one ("http://host:port/q/cq?s=A") is served by
// its path and query, "/" when it has none; empty when it names no host. Other targets stay.
QByteArray originForm(QByteArrayView target) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        const auto size = static_cast<qsizetype>(scheme.size());
        if (target.size() <= size || !HttpGrammar::fieldNameIs(viewOf(target.first(size)), scheme))
            continue;
        const QByteArrayView rest = target.sliced(size);
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '/' && rest[end] != '?')
            ++end;
        if (end == 0)
            return {};
        return end == rest.size() || rest[end] == '?' ? "/" + rest.sliced(end).toByteArray()
                                                      : rest.sliced(end).toByteArray();
    }
    return target.toByteArray();
}

} // namespace

std::optional<QByteArray> HttpRequest::queryValue(QByteArrayView key) const {
    for (const auto& [name, value] : query) {
        if (name == key)
            return value;
    }
    return std::nullopt;
}

RequestLineVerdict parseRequestLine(QByteArrayView line, HttpRequest& request) {
    const qsizetype firstBlank = line.indexOf(' ');
    const qsizetype lastBlank = line.lastIndexOf(' ');
    if (firstBlank <= 0 || lastBlank <= firstBlank + 1)
        return RequestLineVerdict::Malformed;
    const QByteArrayView target = line.sliced(firstBlank + 1, lastBlank - firstBlank - 1);
    if (!HttpGrammar::isToken(viewOf(line.first(firstBlank))) || target.front() == ' ' || target.back() == ' ' ||
        !std::all_of(target.begin(), target.end(), isTargetChar))
        return RequestLineVerdict::Malformed;
    const std::optional<HttpGrammar::HttpVersion> version =
        HttpGrammar::parseHttpVersion(viewOf(line.sliced(lastBlank + 1)));
    if (!version)
        return RequestLineVerdict::Malformed;
    if (version->major != 1 || version->minor > 1)
        return RequestLineVerdict::UnsupportedVersion;

    request.method = line.first(firstBlank).toByteArray();
    request.target = target.toByteArray();
    request.minorVersion = version->minor;
    const QByteArray origin = originForm(target);
    const qsizetype question = origin.indexOf('?');
    request.path = question < 0 ? origin : origin.first(question);
    if (question >= 0) {
        for (const QByteArray& pair : origin.sliced(question + 1).split('&')) {
            const qsizetype equals = pair.indexOf('=');
            if (equals < 0)
                request.query.append({pair, QByteArray()});
            else
                request.query.append({pair.first(equals), pair.sliced(equals + 1)});
        }
    }
    request.valid = request.path.startsWith('/');
    return RequestLineVerdict::Sound;
}

QByteArray percentDecoded(QByteArrayView text) {
    return QByteArray::fromPercentEncoding(text.toByteArray());
}
