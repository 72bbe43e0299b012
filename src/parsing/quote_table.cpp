#include "parsing/quote_table.h"

SymbolTable QuoteTable;
char QuoteLines[QuoteTableCapacity][QuoteLineSize];
float QuotePctChanges[QuoteTableCapacity];

char CurrentLine[QuoteLineSize];
double CurrentPct = 0.0;
