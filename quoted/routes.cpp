#include "routes.h"

#include "details_page.h"
#include "quote_pages.h"
#include "sources/history_query.h"

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
    if (!request.valid)
        return statusPage(400, "The request line could not be read.");
    if (request.method != "GET" && request.method != "HEAD") {
        HttpReply reply = statusPage(405, "Only GET and HEAD are answered here.");
        reply.extraHeaders = "Allow: GET, HEAD\r\n";
        return reply;
    }

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
