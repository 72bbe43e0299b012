#pragma once
// The quote feed's file format: CSV with a header row naming the columns
//   symbol,name,last,change,volume,time,bid,ask,after_hours_change
// in any order; symbol and last are required, the others may be left out or left empty, and
// columns of other names are ignored. docs/quote-feed.md states the rules.
#include "market.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

struct FeedLineProblem {
    int line = 0;    // 1-based
    QByteArray text; // the line as it stands in the file
    QString reason;
};

struct FeedContent {
    // Non-empty when the file cannot be used at all: no header row, one without symbol or
    // last, or lines of quotes of which not one can be read (skipped then says why).
    QString fatal;
    QList<Quote> quotes; // in file order; a symbol's later line has replaced its earlier one
    QList<FeedLineProblem> skipped;
};

FeedContent parseQuoteFeed(QByteArrayView bytes);

// The cells of one CSV line: separated by commas, each trimmed of blanks; a cell that starts
// with a double quote runs to the next lone double quote, and two double quotes inside it
// stand for one. False, with the reason, when a quote is not closed or text follows it.
bool splitCsvLine(QByteArrayView line, QList<QByteArray>* cells, QString* reason);
