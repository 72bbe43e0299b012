#pragma once
// What delayed rows do to the window: the grid QT1, the hidden mirror DisplayQR and the
// data file. Runs on the window thread.
#include <QString>
#include <cstdio>

#include "quotes/core/quote_page.h"

class TFormQuote;

class QuoteViewSink : public QuotePageSink {
public:
    QuoteViewSink(TFormQuote& form, FILE* dataFile) : form_(form), dataFile_(dataFile) {}
    void writeDataLine(const char* wordLine) override;
    void appendRow(const char* line, double pct) override;

private:
    TFormQuote& form_;
    FILE* dataFile_;
};

// Writes row's cells (columns 0, 1, 2, 4, 5, 6) of QT1 from a display line.
void WriteQuoteCells(TFormQuote& form, int row, const char* line);

// Rewrites the mirror and the grid from the table, rows 0 to RowsLoaded - 1, after a sort.
void RefillQuoteViews(TFormQuote& form, bool repaintEachRow);

// The end of a load on the window thread: the automatic sort if one is chosen, the final
// status text and the grid's row count.
void CompleteQuoteLoad(TFormQuote& form, const QString& doneText);
