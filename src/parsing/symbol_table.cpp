#include "parsing/symbol_table.h"

#include <cstring>

bool isEndOfSymbols(const char* slot) {
    return slot[0] == '\0';
}

bool isPlaceableSymbol(const char* slot, int length) {
    return length >= 1 && length <= SymbolLengthMax && length <= static_cast<int>(strnlen(slot, SymbolLengthMax));
}
