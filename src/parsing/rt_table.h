#pragma once
// The real-time table, separate from the delayed one: the RealTime tab's symbols and, per
// parsed row, the directions read from the page's colour codes (1 up, -1 down, 0 unchanged,
// -100 unknown).
#include "parsing/symbol_table.h"

constexpr int RtBatchLimit = 3; // at most 60 symbols per load

extern SymbolTable RtTable;
extern float RtTradeDirections[QuoteTableCapacity];
extern float RtAfterHoursDirections[QuoteTableCapacity];
