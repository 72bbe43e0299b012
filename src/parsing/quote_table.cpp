#include "parsing/quote_table.h"

#include <cstring>

namespace {
// Copies at most size - 1 characters of text into slot and fills the rest with NULs.
void keepText(char* slot, const char* text, int size) {
    const std::size_t length = strnlen(text, static_cast<std::size_t>(size - 1));
    std::memcpy(slot, text, length);
    std::memset(slot + length, 0, static_cast<std::size_t>(size) - length);
}
} // namespace

void storeQuoteRow(QuoteRows& rows, const char* symbol, const char* line, double pct, const char* wordLine) {
    if (rows.count >= 0 && rows.count < QuoteTableCapacity) {
        keepText(rows.symbols[rows.count], symbol, SymbolSlotSize);
        keepText(rows.lines[rows.count], line, QuoteLineSize);
        rows.pctChanges[rows.count] = static_cast<float>(pct);
        keepText(rows.wordLines[rows.count], wordLine, QuoteWordLineSize);
    }
    ++rows.count;
}
