#include "pages/quote_pages.h"

#include "market/market_clock.h"
#include "pages/text_format.h"

namespace {

// Every row is this long, line feed included. A scanner that misses a symbol moves on
// 100 bytes, so 19 absent symbols of a 20-symbol batch never carry it past the next row.
constexpr qsizetype RowBytes = 2048;
// The first row starts this far after the "S" of the "Symbol</th>" marker, for the same
// reason when the absent symbols come first.
constexpr qsizetype FirstRowDistance = 2100;

// A comment of blanks: invisible in a browser, and no pattern can match inside it.
QByteArray blankComment(qsizetype totalBytes) {
    return "<!--" + QByteArray(totalBytes - 7, ' ') + "-->";
}

QByteArray padRow(const QByteArray& cells) {
    static const QByteArray end = "</tr>\n";
    Q_ASSERT(cells.size() + 7 + end.size() <= RowBytes);
    return cells + blankComment(RowBytes - cells.size() - end.size()) + end;
}

QByteArray symbolCell(const QByteArray& symbol) {
    // The link's query ends in the symbol and '">', the cell text is the symbol.
    return "<tr class=\"q\"><td class=\"s\"><a href=\"/q?s=" + symbol + "\">" + symbol + "</a></td>";
}

QByteArray timeCell(const Quote& q) {
    QByteArray text;
    switch (q.tradeState) {
    case TradeState::Traded:
        text = formatTradeTime(q.tradeTime) + " ET";
        break;
    case TradeState::NoTradeEmpty:
        break;
    case TradeState::NoTradeEt:
        text = "ET";
        break;
    }
    return "<td align=\"center\">" + text + "</td>";
}

QByteArray priceCell(const Quote& q) {
    return "<td class=\"p\"><b>" + formatCents(q.priceCents) + "</b></td>";
}

// No link here ends in the symbol: the next symbol's search must not match its tail.
QByteArray linksCell(const QByteArray& symbol) {
    return "<td class=\"l\"><a href=\"/q/bc?s=" + symbol + "&amp;t=1y\">Chart</a>, <a href=\"/q/h?s=" + symbol +
           "&amp;r=n\">News</a></td>";
}

QByteArray signedPercent(int direction, int hundredths) {
    const QByteArray sign = direction > 0 ? "+" : (direction < 0 ? "-" : "");
    return sign + formatHundredths(hundredths) + '%';
}

QByteArray delayedRow(const Quote& q) {
    QByteArray change;
    if (q.direction > 0)
        change = "<img src=\"/i/up_g.gif\" alt=\"Up\" border=\"0\"> ";
    else if (q.direction < 0)
        change = "<img src=\"/i/down_r.gif\" alt=\"Down\" border=\"0\"> ";
    change += formatCents(q.changeCents);
    return padRow(symbolCell(q.symbol) + timeCell(q) + priceCell(q) + "<td class=\"c\">" + change + "</td>" +
                  "<td class=\"c\">" + signedPercent(q.direction, q.percentHundredths) + "</td>" + "<td class=\"v\">" +
                  formatCount(q.volume) + "</td>" + linksCell(q.symbol));
}

const char* colourOf(int direction) {
    return direction > 0 ? "#008800" : (direction < 0 ? "#cc0000" : "#000000");
}

QByteArray colouredCell(int direction, const QByteArray& text) {
    return QByteArray("<td class=\"c\"><font color=\"") + colourOf(direction) + "\">" + text + "</font></td>";
}

QByteArray realTimeRow(const Quote& q) {
    if (!q.realTimeAvailable) {
        // No colour code and no further text in this row: the scanner reads "no long" as unknown.
        return padRow(symbolCell(q.symbol) + "<td class=\"n\">Real-time data no longer available for this symbol</td>");
    }
    const QByteArray change = formatCents(q.changeCents) + " (" + formatHundredths(q.percentHundredths) + "%)";
    // The after-hours cell always carries a colour, so its code is always the row's second.
    const QByteArray afterHours = q.hasAfterHours ? formatCents(q.afterHoursChangeCents) + " (" +
                                                        formatHundredths(q.afterHoursPercentHundredths) + "%)"
                                                  : QByteArray("N/A");
    const QByteArray bid = q.hasBid ? formatCents(q.bidCents) : QByteArray("N/A");
    const QByteArray ask = q.hasAsk ? formatCents(q.askCents) : QByteArray("N/A");
    return padRow(symbolCell(q.symbol) + timeCell(q) + priceCell(q) + colouredCell(q.direction, change) +
                  colouredCell(q.hasAfterHours ? q.afterHoursDirection : 0, afterHours) + "<td class=\"b\">" + bid +
                  "&nbsp;" + ask + "</td>" + linksCell(q.symbol));
}

QByteArray pageHead(QuotePageKind kind, const QuoteSource& source) {
    const bool delayed = kind == QuotePageKind::Delayed;
    QByteArray head = "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n";
    head += delayed ? "<title>Tickwell delayed quotes</title>\n" : "<title>Tickwell real-time quotes</title>\n";
    head += "<style>\n"
            "body { font-family: sans-serif; margin: 16px 24px; color: #222222; }\n"
            "h2 { font-weight: normal; margin-bottom: 4px; }\n"
            "table.quotes { border-collapse: collapse; margin-top: 12px; }\n"
            "table.quotes th { background: #dde3ea; text-align: left; padding: 4px 10px; }\n"
            "table.quotes td { padding: 4px 10px; border-bottom: 1px solid #e6e6e6; }\n"
            "td.p, td.c, td.v, td.b { text-align: right; }\n"
            "td.n { color: #777777; font-style: italic; }\n"
            "</style>\n</head>\n<body>\n";
    head += delayed ? "<h2>Delayed quotes</h2>\n" : "<h2>Real-time quotes</h2>\n";
    head += "<p>" + source.pageIntro() + "</p>\n";
    head += "<table class=\"quotes\" cellspacing=\"0\">\n";
    return head;
}

QByteArray headerRow(QuotePageKind kind) {
    if (kind == QuotePageKind::Delayed) {
        return "<tr><th>Symbol</th><th>Time</th><th>Last Trade</th><th>Change</th><th>% Chg</th><th>Volume</th>"
               "<th>More</th></tr>\n";
    }
    return "<tr><th>Symbol</th><th>Time</th><th>Trade</th><th>Change</th><th>After Hours</th><th>Bid / Ask</th>"
           "<th>More</th></tr>\n";
}

} // namespace

QByteArray quotePage(QuotePageKind kind, const QuoteSource& source, const QList<QByteArray>& requestedSymbols,
                     const QDateTime& now) {
    QByteArray page = pageHead(kind, source);
    const qsizetype marker = page.size() + 8; // the "S" after "<tr><th>"
    page += headerRow(kind);
    page += blankComment(marker + FirstRowDistance - page.size() - 1) + '\n';

    for (const QByteArray& requested : requestedSymbols) {
        const std::optional<Quote> q = source.quote(upperSymbol(requested), now);
        if (!q)
            continue;
        page += kind == QuotePageKind::Delayed ? delayedRow(*q) : realTimeRow(*q);
    }
    page += "</table>\n<p>" + source.pageFootnote() + "</p>\n</body>\n</html>\n";
    return page;
}
