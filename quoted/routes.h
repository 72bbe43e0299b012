#pragma once
// What each address answers.
#include "http_reply.h"
#include "http_request.h"
#include "quote_source.h"

#include <QDateTime>

//   /q/cq?s=A,B,...&d=v1   delayed quotes (d missing: the same)
//   /q/cq?s=A,B,...&d=e    real-time quotes
//   /q/bc?s=SYM&t=1y       details page (status 200 for any symbol)
// Anything else is a 404 page; a request line that cannot be read, 400; not GET, 405.
HttpReply route(const HttpRequest& request, const QuoteSource& source, const QDateTime& now);
