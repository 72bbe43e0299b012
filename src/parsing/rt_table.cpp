#include "parsing/rt_table.h"

SymbolTable RtTable;
float RtTradeDirections[QuoteTableCapacity];
float RtAfterHoursDirections[QuoteTableCapacity];
