#include "parsing/symbol_table.h"

bool isEndOfSymbols(const char* slot) {
    return slot[0] == '\0';
}
