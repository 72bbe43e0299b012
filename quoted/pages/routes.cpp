#include "pages/routes.h"

#include "pages/details_page.h"
#include "pages/quote_pages.h"
#include "pages/status_page.h"
#include "sources/history_query.h"

#include <QPointer>

namespace {

// The symbols travel percent-encoded, separated by bare commas.
QList<QByteArray> symbolList(const QByteArray& value) {
    QList<QByteArray> symbols;
    for (const QByteArray& symbol : value.split(',')) {
        if (!symbol.isEmpty())
            symbols.append(percentDecoded(symbol));
    }
    return symbols;
}

} // namespace

HttpReply tooManySymbols(qsizetype named) {
    return statusPage(414, "A request names at most " + QByteArray::number(MaxSymbolsPerPage) + " symbols" +
                               (named > 0 ? "; this one names " + QByteArray::number(named) + '.' : QByteArray(".")));
}

HttpReply route(const HttpRequest& request, const QuoteSource& source, const QDateTime& now) {
    // Whatever target another method names (CONNECT's host:port, OPTIONS's *), it is not served.
    if (request.method != "GET" && request.method != "HEAD") {
        HttpReply reply = statusPage(405, "Only GET and HEAD are answered here.");
        reply.extraHeaders = "Allow: GET, HEAD\r\n";
        return reply;
    }
    if (!request.valid)
        return statusPage(400, "The request target is neither a path nor an http:// address.");

    if (request.path == "/q/cq") {
        const QByteArray kind = request.queryValue("d").value_or("v1");
        if (kind != "v1" && kind != "e")
            return statusPage(404, "Quote pages are d=v1 (delayed) and d=e (real-time).");
        const QList<QByteArray> symbols = symbolList(request.queryValue("s").value_or(QByteArray()));
        if (symbols.size() > MaxSymbolsPerPage)
            return tooManySymbols(symbols.size());
        return {
            200, quotePage(kind == "e" ? QuotePageKind::RealTime : QuotePageKind::Delayed, source, symbols, now), {}};
    }
    if (request.path == "/status") {
        HttpReply reply{200, source.statusText(now), {}};
        reply.contentType = "text/plain; charset=UTF-8";
        return reply;
    }
    if (request.path == "/history") {
        QList<std::pair<QByteArray, QByteArray>> query;
        for (const auto& [key, value] : request.query)
            query.append({key, percentDecoded(value)});
        const HistoryAnswer answer = source.history() ? historyAnswer(*source.history(), query, now.toSecsSinceEpoch())
                                                      : HistoryAnswer{404, source.historyAbsence()};
        HttpReply reply{answer.status, answer.status == 200 ? answer.body : answer.body + '\n', {}};
        reply.contentType = answer.status == 200 ? "text/csv; charset=UTF-8" : "text/plain; charset=UTF-8";
        return reply;
    }
    if (request.path == "/q/bc")
        return {200, detailsPage(source, percentDecoded(request.queryValue("s").value_or(QByteArray())), now), {}};
    return statusPage(404, "There is no page at this address.");
}

void Routes::answer(const HttpRequest& request, bool keepAlive, QObject* context, Send send) {
    const bool shortReply = settings_.shortReplies < 0 || repliesSent_ < settings_.shortReplies;
    ++repliesSent_;
    if (shortReply) {
        send(shortBusyReply(keepAlive), keepAlive);
        return;
    }
    source_.whenCurrent(context,
                        [this, request, keepAlive, context = QPointer<QObject>(context), send = std::move(send)] {
                            if (!context)
                                return;
                            const HttpReply reply = route(request, source_, QDateTime::currentDateTimeUtc());
                            // After a 4xx or 5xx the client's next bytes may not start a request: the connection ends.
                            const bool staysOpen = keepAlive && reply.status < 400;
                            send(encodeReply(reply, settings_.chunked ? Framing::Chunked : Framing::ContentLength,
                                             staysOpen, request.method != "HEAD"),
                                 staysOpen);
                        });
}

QByteArray Routes::refusal(int status, const QByteArray& reason) const {
    return encodeReply(status == 414 ? tooManySymbols(0) : statusPage(status, reason), Framing::ContentLength, false);
}
