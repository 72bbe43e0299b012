#pragma once
// The page-scanning rules both parsers share: the table marker, the text window,
// the symbol patterns, the missing-time fix and the tag blanking.

constexpr int TextWindowSize = 5000;
constexpr int RowTextSize = 800;

// Finds the quote table's marker; returns the new search start, or -1 when the page
// has none. Lower-cases in place the bytes it inspects, within reply[0, length).
int findTableMarker(char* reply, int length);

// Printable bytes of reply[start, min(start + 5000, length)) with the skip rules
// around line breaks; window must hold TextWindowSize + 1 bytes. Returns its length.
int buildTextWindow(const char* reply, int length, int start, char* window);

enum class SymbolMatch { None, PatternA, PatternB };

// First j in the window where the symbol's pattern A or B matches (A tested first at
// each j); symbol holds at least L characters, L from 1 to 5. Returns -1 when none.
int findSymbol(const char* window, int n, const char* symbol, int L, SymbolMatch* kind);

// Row text of a match: up to 800 characters from j, NUL-terminated, with the link tag
// (pattern A) or the '>' (pattern B) blanked. row must hold RowTextSize + 1 bytes.
void takeRowText(const char* window, int n, int j, SymbolMatch kind, char* row);

// "Unknown ET" for an empty time cell or one holding only ET (first place only).
void fixMissingTime(char* row);

// Every '<', what follows it and the next '>' become spaces.
void blankTags(char* row);
