#pragma once
// The real-time table, separate from the delayed one: the RealTime tab's symbols and, per row
// shown, the directions read from the page's colour codes (1 up, -1 down, 0 unchanged,
// -100 unknown). The RealTime tab stores the rows as it shows them.
#include "parsing/symbol_table.h"

constexpr int RtBatchLimit = 3; // at most 60 symbols per load

extern SymbolTable RtTable;
extern float RtTradeDirections[QuoteTableCapacity];
extern float RtAfterHoursDirections[QuoteTableCapacity];

// Stores a row's directions at RtTable.rowsLoaded (while that is within the table) and counts it.
void storeRtDirections(double tradeDirection, double afterHoursDirection);
