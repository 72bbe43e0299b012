#include "parsing/quote_table.h"

#include <cstring>

SymbolTable QuoteTable;
char QuoteLines[QuoteTableCapacity][QuoteLineSize];
float QuotePctChanges[QuoteTableCapacity];
char QuoteWordLines[QuoteTableCapacity][QuoteWordLineSize];

char CurrentLine[QuoteLineSize];
double CurrentPct = 0.0;

void storeQuoteRow(const char* line, double pct, const char* wordLine) {
    if (QuoteTable.rowsLoaded >= 0 && QuoteTable.rowsLoaded < QuoteTableCapacity) {
        char* stored = QuoteLines[QuoteTable.rowsLoaded];
        const std::size_t length = strnlen(line, QuoteLineLength);
        std::memcpy(stored, line, length);
        std::memset(stored + length, 0, QuoteLineSize - length);
        QuotePctChanges[QuoteTable.rowsLoaded] = static_cast<float>(pct);
        char* words = QuoteWordLines[QuoteTable.rowsLoaded];
        const std::size_t kept = strnlen(wordLine, QuoteWordLineSize - 1);
        std::memcpy(words, wordLine, kept);
        std::memset(words + kept, 0, QuoteWordLineSize - kept);
    }
    ++QuoteTable.rowsLoaded;
}
