#pragma once
// The details page a browser shows for one symbol: name line, last price and change,
// a few figures and the chart.
#include "sources/quote_source.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

// requestedSymbol as decoded from the address, any case, blanks around it ignored.
// A symbol that is empty or has no quote gets a plain page that says so.
QByteArray detailsPage(const QuoteSource& source, QByteArrayView requestedSymbol, const QDateTime& now);
