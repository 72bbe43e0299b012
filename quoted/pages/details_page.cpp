#include "pages/details_page.h"

#include "pages/price_chart.h"
#include "pages/text_format.h"

namespace {

QByteArray pageStart(const QByteArray& title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"iso-8859-1\">\n<title>" + htmlEscape(title) +
           "</title>\n<style>\n"
           "body { font-family: sans-serif; margin: 0; background: #f4f6f8; color: #1f2328; }\n"
           "main { max-width: 800px; margin: 24px auto; background: #ffffff; padding: 20px 24px 24px;"
           " border: 1px solid #dde1e6; border-radius: 6px; }\n"
           "h1 { font-size: 22px; font-weight: 600; margin: 0 0 4px; }\n"
           "h1 .ticker { color: #5b6470; font-weight: normal; }\n"
           ".last { font-size: 30px; font-weight: 600; margin: 10px 0 2px; }\n"
           ".change { font-size: 18px; margin-left: 10px; }\n"
           ".up { color: #0a7d28; } .down { color: #c62828; } .flat { color: #5b6470; }\n"
           ".asof { color: #5b6470; font-size: 13px; margin-bottom: 14px; }\n"
           "svg.chart { display: block; max-width: 100%; height: auto; }\n"
           "table.figures { border-collapse: collapse; margin-top: 14px; font-size: 14px; }\n"
           "table.figures th { text-align: left; font-weight: normal; color: #5b6470; padding: 3px 24px 3px 0; }\n"
           "table.figures td { text-align: right; padding: 3px 0; }\n"
           "p.note { color: #5b6470; font-size: 12px; margin-top: 18px; }\n"
           "code { background: #f0f2f4; padding: 1px 4px; }\n"
           "</style>\n</head>\n<body>\n<main>\n";
}

const char* pageEnd() {
    return "</main>\n</body>\n</html>\n";
}

QByteArray noSymbolPage() {
    return pageStart("No symbol given - Tickwell") +
           "<h1>No symbol given</h1>\n<p>Ask for a symbol's page, for example "
           "<code>/q/bc?s=MSFT&amp;t=1y</code>.</p>\n" +
           pageEnd();
}

QByteArray notListedPage(const QByteArray& symbol, const NoQuoteReason& why) {
    QByteArrayList names;
    for (const QByteArray& name : why.names)
        names.append("<code>" + htmlEscape(name) + "</code>");
    return pageStart("No such symbol: " + symbol + " - Tickwell") +
           "<h1>No such symbol</h1>\n<p>There is no quote for <b>" + htmlEscape(symbol) + "</b>. " +
           htmlEscape(why.lead) + names.join(", ") + htmlEscape(why.tail) + "</p>\n" + pageEnd();
}

QByteArray chartSvg(const DetailsChart& chart, const QByteArray& symbol, int direction) {
    if (!chart.dailyCloses.isEmpty() && !chart.title.isEmpty())
        return historyChartSvg(chart.dailyCloses, chart.seenPrices, chart.title, direction);
    if (!chart.dailyCloses.isEmpty())
        return dailyChartSvg(chart.dailyCloses, symbol, direction);
    return timeChartSvg(chart.seenPrices, chart.title, direction);
}

QByteArray chartHtml(const DetailsChart& chart, const QByteArray& symbol, int direction) {
    if (chart.dailyCloses.isEmpty() && chart.seenPrices.isEmpty())
        return "<p class=\"history\">" + htmlEscape(chart.whyNone) + "</p>\n";
    QByteArray html = chartSvg(chart, symbol, direction);
    if (!chart.caption.isEmpty())
        html += "<p class=\"history\">" + htmlEscape(chart.caption) + "</p>\n";
    return html;
}

QByteArray signedCents(int direction, qint64 cents) {
    return (direction > 0 ? "+" : (direction < 0 ? "-" : "")) + formatCents(cents);
}

QByteArray figureRow(const char* label, const QByteArray& value) {
    return QByteArray("<tr><th>") + label + "</th><td>" + value + "</td></tr>\n";
}

} // namespace

QByteArray detailsPage(const QuoteSource& source, QByteArrayView requestedSymbol, const QDateTime& now) {
    const QByteArray symbol = upperSymbol(requestedSymbol.trimmed());
    if (symbol.isEmpty())
        return noSymbolPage();
    const std::optional<DetailsContent> content = source.details(symbol, now);
    if (!content)
        return notListedPage(symbol, source.noQuoteReason());

    const Quote& q = content->quote;
    const char* trend = q.direction > 0 ? "up" : (q.direction < 0 ? "down" : "flat");
    const QByteArray percent =
        (q.direction > 0 ? "+" : (q.direction < 0 ? "-" : "")) + formatHundredths(q.percentHundredths) + '%';
    const QByteArray& name = q.listing.name;

    QByteArray page = pageStart(name.isEmpty() ? symbol + " - Tickwell" : symbol + ": " + name + " - Tickwell");
    page += name.isEmpty()
                ? "<h1><span class=\"ticker\">" + htmlEscape(symbol) + "</span></h1>\n"
                : "<h1>" + htmlEscape(name) + " <span class=\"ticker\">(" + htmlEscape(symbol) + ")</span></h1>\n";
    page += "<div class=\"last\">" + formatCents(q.priceCents) + "<span class=\"change " + trend + "\">" +
            signedCents(q.direction, q.changeCents) + " (" + percent + ")</span></div>\n";
    page += "<div class=\"asof\">" + htmlEscape(content->asOf) + "</div>\n";
    page += chartHtml(content->chart, symbol, q.direction);
    page += "<table class=\"figures\">\n";
    page += figureRow("Previous close", formatCents(q.previousCloseCents));
    page += figureRow("Volume", formatCount(q.volume));
    if (q.hasBid)
        page += figureRow("Bid", formatCents(q.bidCents));
    if (q.hasAsk)
        page += figureRow("Ask", formatCents(q.askCents));
    if (!content->rangeLabel.isEmpty()) {
        page += figureRow(content->rangeLabel.constData(),
                          formatCents(content->lowCents) + " - " + formatCents(content->highCents));
    }
    page += "</table>\n<p class=\"note\">" + htmlEscape(content->note) + "</p>\n";
    return page + pageEnd();
}
