#pragma once
// tickwell --history SYM: a symbol's stored prices, read from the quote server's GET /history
// and printed for scripts, as CSV (the server's own) or JSON. Qt Core only: no display.
#include <QString>

#include "net/core/server_address.h"

struct HistoryRequest {
    QString symbol;
    QString kind;     // daily or intraday; empty: the server's default for the range
    QString from, to; // YYYY-MM-DD; empty: the server's default
    ServerAddress server;
    bool json = false;
};

// Returns what --print returns: 0 when the series was printed, 1 when it could not be had (the
// reason on standard error).
int runHistory(const HistoryRequest& request);
