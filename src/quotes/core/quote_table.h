#pragma once
// The delayed-quote table: parallel fixed-capacity tables indexed by row number.
// Row i of every table describes the same stock. Written by the delayed loader and
// its page parser, permuted by the sort, read by the grid, find and completion.

constexpr int QuoteTableCapacity = 4000;
constexpr int LoadCapacity = 2000; // 100 batches of 20 symbols
constexpr int SymbolsPerBatch = 20;
constexpr int SymbolSlotSize = 7;  // 6 characters and the NUL
constexpr int QuoteLineSize = 80;  // 79 characters and the NUL
constexpr int QuoteLineLength = 79;

extern char QuoteSymbols[QuoteTableCapacity][SymbolSlotSize];
extern int QuoteSymbolLengths[QuoteTableCapacity];
extern char QuoteLines[QuoteTableCapacity][QuoteLineSize];
extern float QuotePctChanges[QuoteTableCapacity];

extern int QuoteCount;  // symbol lines read from the portfolio by the current or last load
extern int QuoteBatch;  // batch in progress; batch b covers rows 20b to 20b+19
extern int RowsLoaded;  // rows this load has stored; the rows every reader walks after a load
extern int SearchStart; // where the next symbol's text window starts in the reply

extern char CurrentLine[QuoteLineSize]; // the row being built by the parser
extern double CurrentPct;
