#pragma once
// The Quotes tab's rows: per row shown, its symbol, display line, word line and percent change;
// row i of each describes the same stock. The tab stores the rows as a load hands them over;
// the sorts permute them, the grid, find and completion read them.
#include "parsing/symbol_table.h"

constexpr int QuoteLineSize = 80; // 79 characters and the NUL
constexpr int QuoteLineLength = 79;

// The start of each row's word line, from which its cells show values whole where the display
// line cuts them (quoteRowCells); a row stored without one shows the line's cuts.
constexpr int QuoteWordLineKept = 96;
constexpr int QuoteWordLineSize = QuoteWordLineKept + 1;

struct QuoteRows {
    char symbols[QuoteTableCapacity][SymbolSlotSize];
    char lines[QuoteTableCapacity][QuoteLineSize];
    float pctChanges[QuoteTableCapacity];
    char wordLines[QuoteTableCapacity][QuoteWordLineSize];
    int count;       // rows the last load stored; the rows past them keep what they held
    int searchStart; // where the last load's search stopped: the next load goes on from there
};

// Stores a row at rows.count (while that is within the table) and counts it.
void storeQuoteRow(QuoteRows& rows, const char* symbol, const char* line, double pct, const char* wordLine = "");
