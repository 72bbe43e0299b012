#pragma once
// The pages of a status rather than of quotes: an error page, and the busy page of --short.
#include "http/http_reply.h"

#include <QByteArray>
#include <QByteArrayView>

// A small HTML page for a status (404, 400, ...).
HttpReply statusPage(int status, QByteArrayView message);

// The reply of --short: a complete 200 "busy" page under 1200 bytes in all, headers included,
// as a server that is too busy to quote answers; the loaders ask again.
QByteArray shortBusyReply(bool keepAlive);
