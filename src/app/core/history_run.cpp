#include "app/core/history_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <cstdio>
#include <vector>

#include "net/core/http_request.h"
#include "net/core/quote_fetch.h"

namespace {

// A year of points at the densest the server keeps is well under this.
constexpr int SeriesBufferBytes = 64 << 20;

int fail(const QString& why) {
    std::fprintf(stderr, "tickwell: %s\n", why.toUtf8().constData());
    return 1;
}

// {"symbol", "kind", "points": [...]}: a point's fields named by the CSV's header, the date or
// time as text and the rest as numbers.
QByteArray jsonOf(const QString& symbol, const QByteArray& csv) {
    QList<QByteArray> lines = csv.split('\n');
    const QList<QByteArray> header = lines.value(0).split(',');
    QJsonArray points;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> cells = lines[i].split(',');
        QJsonObject point;
        for (qsizetype c = 0; c < header.size(); ++c) {
            const QString name = QString::fromLatin1(header[c]);
            point[name] =
                c == 0 ? QJsonValue(QString::fromLatin1(cells.value(c))) : QJsonValue(cells.value(c).toDouble());
        }
        points.append(point);
    }
    const QJsonObject series{
        {"symbol", symbol.toUpper()}, {"kind", header.value(0) == "time" ? "intraday" : "daily"}, {"points", points}};
    return QJsonDocument(series).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

int runHistory(const HistoryRequest& request) {
    QByteArray path = "/history?s=" + QUrl::toPercentEncoding(request.symbol);
    for (const auto& [key, value] : {std::pair{"kind", request.kind}, {"from", request.from}, {"to", request.to}}) {
        if (!value.isEmpty())
            path += QByteArray("&") + key + '=' + QUrl::toPercentEncoding(value);
    }
    const std::string where = request.server.authority();
    const std::vector<SocketAddress> addresses = resolveQuoteServer(request.server.host, request.server.port);
    if (addresses.empty())
        return fail(QString::fromStdString(request.server.host) + ": host not found");
    std::vector<char> buffer(SeriesBufferBytes);
    const FetchReply reply =
        fetchReply(addresses, requestText(path.toStdString(), where), buffer.data(), int(buffer.size()));
    if (!reply.ok)
        return fail(QString::fromStdString(where + ": " + reply.reason));
    if (reply.length >= int(buffer.size()))
        return fail(QString::fromStdString(where) + ": the series is larger than 64 MB; ask for a shorter range");
    const QByteArray page(buffer.data(), reply.length);
    const qsizetype bodyAt = page.indexOf("\r\n\r\n");
    const QByteArray csv = bodyAt < 0 ? QByteArray() : page.sliced(bodyAt + 4);
    const QByteArray out = request.json ? jsonOf(request.symbol, csv) : csv;
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return 0;
}
