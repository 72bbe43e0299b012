#pragma once
// The delayed-quote table: the Quotes tab's symbols and, per parsed row, its display line
// and percent change; row i of each describes the same stock. Written by the delayed load
// and its page parser, permuted by the sort, read by the grid, find and completion.
#include "parsing/symbol_table.h"

constexpr int QuoteLineSize = 80; // 79 characters and the NUL
constexpr int QuoteLineLength = 79;

extern SymbolTable QuoteTable;
extern char QuoteLines[QuoteTableCapacity][QuoteLineSize];
extern float QuotePctChanges[QuoteTableCapacity];

extern char CurrentLine[QuoteLineSize]; // the row being built by the parser
extern double CurrentPct;
