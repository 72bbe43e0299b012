#pragma once
// The real-time table, separate from the delayed one: symbols in portfolio order and,
// per parsed row, the directions read from the page's colour codes
// (1 up, -1 down, 0 unchanged, -100 unknown).
#include "quotes/core/quote_table.h"

constexpr int RtBatchLimit = 3; // at most 60 symbols per load
constexpr float RtDirectionUnknown = -100.0f;

extern char RtSymbols[QuoteTableCapacity][SymbolSlotSize];
extern int RtSymbolLengths[QuoteTableCapacity];
extern int RtSymbolCount;   // lines read from the portfolio by the current or last load
extern int RtBatch;         // batch in progress, 0 to 2
extern int RtRowsLoaded;    // rows this load has parsed
extern int RtSearchStart;   // where the next symbol's text window starts in the reply
extern float RtTradeDirections[QuoteTableCapacity];
extern float RtAfterHoursDirections[QuoteTableCapacity];
