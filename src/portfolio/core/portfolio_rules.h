#pragma once
// Portfolio files: one symbol per line, read in reads of at most 79 characters.
// Readers take CR LF or LF as one newline; writers write LF.
#include <cstdio>
#include <string>
#include <vector>

#include "parsing/quote_table.h"

constexpr int PortfolioReadSize = 79;

// Opens a portfolio for reading only. A folder is no portfolio: it fails with EISDIR, as any
// other file that cannot be opened fails, with errno set.
FILE* openPortfolio(const char* path);

// The loaders' rule: every read is a line; its newline and then one blank before it are
// removed; nothing else is trimmed. Each line goes into the next slot (a symbol longer
// than 6 characters is kept as its first 5 and '~', with its real length, so it is never
// taken for the symbol its first 6 characters spell). Slots 0 to 1999 are emptied first.
// Returns the number of lines stored; reading stops once QuoteTableCapacity lines are stored.
int readPortfolioSymbols(FILE* file, char (*slots)[SymbolSlotSize], int* lengths);

// How many symbols the portfolio lists: its lines up to the first empty one. Takes the
// slots that readPortfolioSymbols stored and, when they did not hold the end of the list,
// reads on through the rest of the file.
int listedSymbolCount(FILE* file, const char (*slots)[SymbolSlotSize], int stored);

// The editor's rule: reads that begin with a blank or a newline are dropped; otherwise the
// newline and one blank before it are removed.
std::vector<std::string> readPortfolioForEditor(FILE* file);

// "%s_data_qt1.txt" / "%s_data_qt2.txt": the portfolio name less its last 4 characters
// (a name shorter than 4 characters is kept whole).
std::string dataFileName(const std::string& portfolio, const char* suffix);
constexpr char DelayedDataSuffix[] = "_data_qt1.txt";
constexpr char RealTimeDataSuffix[] = "_data_qt2.txt";
