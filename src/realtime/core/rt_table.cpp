#include "realtime/core/rt_table.h"

char RtSymbols[QuoteTableCapacity][SymbolSlotSize];
int RtSymbolLengths[QuoteTableCapacity];
int RtSymbolCount = 0;
int RtBatch = 0;
int RtRowsLoaded = 0;
int RtSearchStart = 0;
float RtTradeDirections[QuoteTableCapacity];
float RtAfterHoursDirections[QuoteTableCapacity];
