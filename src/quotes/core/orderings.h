#pragma once
// The two orderings of the Quotes tab's rows: quicksort with a Hoare two-scan partition around
// the middle element, moving symbol, line, word line and percent change together.

// Case-insensitive locale collation: punctuation before digits before letters,
// a prefix before the longer text; <0, 0, >0. Holds in the C locale too. Safe on any
// thread (each thread keeps its own collator).
int compareSymbols(const char* a, const char* b);

struct QuoteRows;

// Both sort rows low to high inclusive in place; a range with high < low (no rows) or outside
// the table is left alone.
void sortAlphabetically(QuoteRows& rows, int low, int high);
void sortByChange(QuoteRows& rows, int low, int high);
