#include "quotes/core/quote_table.h"

char QuoteSymbols[QuoteTableCapacity][SymbolSlotSize];
int QuoteSymbolLengths[QuoteTableCapacity];
char QuoteLines[QuoteTableCapacity][QuoteLineSize];
float QuotePctChanges[QuoteTableCapacity];

int QuoteCount = 0;
int QuoteBatch = 0;
int RowsLoaded = 0;
int SearchStart = 0;

char CurrentLine[QuoteLineSize];
double CurrentPct = 0.0;
