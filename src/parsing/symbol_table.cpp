#include "parsing/symbol_table.h"

#include <cstring>

bool isEndOfSymbols(const char* slot) {
    return slot[0] == '\0' || static_cast<unsigned char>(slot[0]) == 0xFF;
}

bool isPlaceableSymbol(const char* slot, int length) {
    return length >= 1 && length <= SymbolLengthMax && length <= static_cast<int>(strnlen(slot, SymbolLengthMax));
}
