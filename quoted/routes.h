#pragma once
// What each address answers.
#include "http_reply.h"
#include "http_request.h"
#include "quote_source.h"

#include <QDateTime>

//   /q/cq?s=A,B,...&d=v1   delayed quotes (d missing: the same)
//   /q/cq?s=A,B,...&d=e    real-time quotes
//   /q/bc?s=SYM&t=1y       details page (status 200 for any symbol)
//   /status                the sources' state, plain text (quote_source.h)
//   /history?s=SYM&...     a symbol's stored prices, CSV (sources/history_query.h)
// Anything else is a 404 page; a request line that cannot be read, 400; neither GET nor HEAD,
// 405 with the methods that are. HEAD is routed as GET; its reply goes without the body.
HttpReply route(const HttpRequest& request, const QuoteSource& source, const QDateTime& now);

// The 414 page of a request over the symbol limit; named is how many it names (0: unknown, as
// for a request line too long to read).
HttpReply tooManySymbols(qsizetype named);
