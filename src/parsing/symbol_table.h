#pragma once
// The symbols of one quote tab's load, in portfolio order, and where the parse of its pages
// stands. Each load has its own; the rows the tabs keep live in their own values.

constexpr int QuoteTableCapacity = 4000;
constexpr int LoadCapacity = 2000; // 100 batches of 20 symbols
constexpr int SymbolsPerBatch = 20;
constexpr int SymbolSlotSize = 7; // 6 characters and the NUL
constexpr int SymbolLengthMax = SymbolSlotSize - 1;

struct SymbolTable {
    char symbols[QuoteTableCapacity][SymbolSlotSize];
    int lengths[QuoteTableCapacity];
    int batch;       // batch in progress: slots 20·batch to 20·batch + 19
    int rowsLoaded;  // rows this load has handed over
    int searchStart; // where the next symbol's text window starts in the reply
};

// True when a symbol slot ends the list: an empty line. Any other byte, 0xFF too, is a symbol's.
bool isEndOfSymbols(const char* slot);

// True when the page patterns can place the slot's symbol: 1 to 6 characters, all of them in
// the slot. Only these are requested. A row the parser cannot place would stay in its way: a
// miss moves the search on by only 100 bytes, never past that row, so two such rows put the
// next symbol's row beyond its 5000-character window, and every miss after that falls further
// behind, to the batch's end.
bool isPlaceableSymbol(const char* slot, int length);
