#pragma once
// The RealTime tab's rows, separate from the delayed ones: per row shown, its symbol and the
// directions read from the page's colour codes (1 up, -1 down, 0 unchanged, -100 unknown).
// The RealTime tab stores the rows as a load hands them over.
#include "parsing/symbol_table.h"

constexpr int RtBatchLimit = 3; // at most 60 symbols per load

struct RtRows {
    char symbols[QuoteTableCapacity][SymbolSlotSize];
    float tradeDirections[QuoteTableCapacity];
    float afterHoursDirections[QuoteTableCapacity];
    int count;       // rows the last load stored; the rows past them keep what they held
    int searchStart; // where the last load's search stopped: the next load goes on from there
};

// Stores a row at rows.count (while that is within the table) and counts it.
void storeRtRow(RtRows& rows, const char* symbol, double tradeDirection, double afterHoursDirection);
