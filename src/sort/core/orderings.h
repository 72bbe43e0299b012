#pragma once
// The two orderings of the delayed-quote table: quicksort with a Hoare two-scan
// partition around the middle element, moving symbol, line and percent change together.

// Case-insensitive locale collation: punctuation before digits before letters,
// a prefix before the longer text; <0, 0, >0. Holds in the C locale too.
int compareSymbols(const char* a, const char* b);

void sortAlphabetically(int low, int high);
void sortByChange(int low, int high);
