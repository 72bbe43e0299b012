#pragma once
// A delayed-quote load: up to 100 batches of the Quotes tab's portfolio into its rows, asked
// with "&d=v1", written to "%s_data_qt1.txt".
#include <QStringList>

#include "load/core/quote_load.h"

extern const QuoteLoadKind DelayedLoad;

// The Quotes grid's cells of a display line and its word line: columns 0, 1, 2, 4, 5 and 6 (see
// quoteRowCells), and a null text for the narrow spacer column 3, which is never written.
QStringList delayedRowCells(const char* line, const char* wordLine);
