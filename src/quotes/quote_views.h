#pragma once
// What delayed rows do to the window: the grid QT1, the hidden mirror DisplayQR and the
// data file. Runs on the window thread.
#include <QString>
#include <cstdio>

#include "parsing/quote_page.h"
#include "quotes/tab_load_view.h"

class TFormQuote;

class QuoteViewSink : public QuotePageSink {
public:
    QuoteViewSink(TFormQuote& form, FILE* dataFile) : QuotePageSink(dataFile), form_(form) {}
    void appendRow(const char* line, double pct) override;

private:
    TFormQuote& form_;
};

// Writes row's cells (columns 0, 1, 2, 4, 5, 6) of QT1 from a display line.
void WriteQuoteCells(TFormQuote& form, int row, const char* line);

// Rewrites the mirror and the grid from the table, rows 0 to QuoteTable.rowsLoaded - 1, after a sort.
void RefillQuoteViews(TFormQuote& form, bool repaintEachRow);

// The end of a load on the window thread: the automatic sort if one is chosen, the final
// status text and the grid's row count.
void CompleteQuoteLoad(TFormQuote& form, const QString& doneText);

// The Quotes tab as its loads see it.
class QuotesLoadView : public TabLoadView {
public:
    explicit QuotesLoadView(TFormQuote& form);
    bool showPage(char* reply, int length, FILE* data) override;
    // The counts of advancing, declining and unchanged issues, the controls enabled, then
    // the completion.
    void finished(const QString& doneText) override;

private:
    TFormQuote& form_;
};
