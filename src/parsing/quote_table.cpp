#include "parsing/quote_table.h"

#include <cstring>

SymbolTable QuoteTable;
char QuoteLines[QuoteTableCapacity][QuoteLineSize];
float QuotePctChanges[QuoteTableCapacity];

char CurrentLine[QuoteLineSize];
double CurrentPct = 0.0;

void storeQuoteRow(const char* line, double pct) {
    if (QuoteTable.rowsLoaded >= 0 && QuoteTable.rowsLoaded < QuoteTableCapacity) {
        std::memcpy(QuoteLines[QuoteTable.rowsLoaded], line, QuoteLineSize);
        QuotePctChanges[QuoteTable.rowsLoaded] = static_cast<float>(pct);
    }
    ++QuoteTable.rowsLoaded;
}
