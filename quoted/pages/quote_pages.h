#pragma once
// The delayed and real-time quote pages: one row per listed symbol, in request order,
// laid out so that a scanner with fixed character patterns finds every row.
#include "sources/quote_source.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

enum class QuotePageKind { Delayed, RealTime };

// A request names at most this many symbols (a longer list gets 414): a page stays near 200 KB.
constexpr int MaxSymbolsPerPage = 100;

// requestedSymbols as they stand in the request (any case); those without a quote get no row.
QByteArray quotePage(QuotePageKind kind, const QuoteSource& source, const QList<QByteArray>& requestedSymbols,
                     const QDateTime& now);
