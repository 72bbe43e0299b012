#include "parsing/rt_table.h"

SymbolTable RtTable;
float RtTradeDirections[QuoteTableCapacity];
float RtAfterHoursDirections[QuoteTableCapacity];

void storeRtDirections(double tradeDirection, double afterHoursDirection) {
    if (RtTable.rowsLoaded >= 0 && RtTable.rowsLoaded < QuoteTableCapacity) {
        RtTradeDirections[RtTable.rowsLoaded] = static_cast<float>(tradeDirection);
        RtAfterHoursDirections[RtTable.rowsLoaded] = static_cast<float>(afterHoursDirection);
    }
    ++RtTable.rowsLoaded;
}
