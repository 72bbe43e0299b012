#pragma once
// The two orderings of the delayed-quote table: quicksort with a Hoare two-scan
// partition around the middle element, moving symbol, line and percent change together.

// Case-insensitive locale collation: punctuation before digits before letters,
// a prefix before the longer text; <0, 0, >0. Holds in the C locale too. Safe on any
// thread (each thread keeps its own collator).
int compareSymbols(const char* a, const char* b);

// Both sort rows low to high inclusive of the quote table in place; a range with high < low
// (an empty table) or outside the table is left alone.
void sortAlphabetically(int low, int high);
void sortByChange(int low, int high);
