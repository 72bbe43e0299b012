#include "parsing/symbol_table.h"

bool isEndOfSymbols(const char* slot) {
    return slot[0] == '\0' || static_cast<unsigned char>(slot[0]) == 0xFF;
}
