#include "parsing/rt_table.h"

#include <cstring>

void storeRtRow(RtRows& rows, const char* symbol, double tradeDirection, double afterHoursDirection) {
    if (rows.count >= 0 && rows.count < QuoteTableCapacity) {
        const std::size_t length = strnlen(symbol, SymbolLengthMax);
        std::memcpy(rows.symbols[rows.count], symbol, length);
        std::memset(rows.symbols[rows.count] + length, 0, SymbolSlotSize - length);
        rows.tradeDirections[rows.count] = static_cast<float>(tradeDirection);
        rows.afterHoursDirections[rows.count] = static_cast<float>(afterHoursDirection);
    }
    ++rows.count;
}
