#pragma once
// The delayed-quote table: the Quotes tab's symbols and, per row shown, its display line and
// percent change; row i of each describes the same stock. The symbols are written by the
// delayed load, the rows by the Quotes tab as it shows them; the sort permutes them, the grid,
// find and completion read them.
#include "parsing/symbol_table.h"

constexpr int QuoteLineSize = 80; // 79 characters and the NUL
constexpr int QuoteLineLength = 79;

extern SymbolTable QuoteTable;
extern char QuoteLines[QuoteTableCapacity][QuoteLineSize];
extern float QuotePctChanges[QuoteTableCapacity];
// The start of each row's word line, from which its cells show values whole where the display
// line cuts them (quoteRowCells); a row stored without one shows the line's cuts.
constexpr int QuoteWordLineKept = 96;
constexpr int QuoteWordLineSize = QuoteWordLineKept + 1;
extern char QuoteWordLines[QuoteTableCapacity][QuoteWordLineSize];

extern char CurrentLine[QuoteLineSize]; // the row being built by the parser
extern double CurrentPct;

// Stores a row at QuoteTable.rowsLoaded (while that is within the table) and counts it.
void storeQuoteRow(const char* line, double pct, const char* wordLine = "");
