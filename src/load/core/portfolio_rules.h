#pragma once
// Portfolio files: one symbol per line, read in reads of at most 79 characters.
// Readers take CR LF or LF as one newline; writers write LF.
#include <cstdio>
#include <string>

#include "parsing/quote_table.h"
#include "platform/core/owned_file.h"

constexpr int PortfolioReadSize = 79;

// Opens a portfolio for reading only, as the readers take its bytes: a UTF-8 byte-order mark is
// skipped, a UTF-16 file (with its mark) is read as UTF-8, other bytes as they are. Only a
// regular file whose first 4 KB hold no NUL byte is a portfolio; otherwise, or when it cannot be
// opened, it returns nullptr with the reason in why ("Is a directory", "Not a regular file").
OwnedFile openPortfolio(const char* path, std::string* why);

// fgets with an 80-byte buffer: at most 79 characters, up to and including a newline.
// Returns the characters read (up to the first NUL, as a C string holds them); false at end of file.
// endsLine tells whether the read took a newline, even one that the NUL cut off.
bool readPortfolioChunk(FILE* file, std::string& chunk, bool* endsLine = nullptr);
// A read that ends in a newline loses it, and then one blank directly before it.
void dropLineEnd(std::string& chunk);

// The loaders' rule: every read is a line; its newline and then one blank before it are
// removed; nothing else is trimmed. Each line goes into the next slot (a symbol longer
// than 6 characters is kept as its first 5 and '~', with its real length, so it is never
// taken for the symbol its first 6 characters spell). Slots 0 to 1999 are emptied first.
// Returns the number of lines stored; reading stops once QuoteTableCapacity lines are stored.
int readPortfolioSymbols(FILE* file, char (*slots)[SymbolSlotSize], int* lengths);

// What the portfolio lists: its lines up to the first empty one, which ends the list; and the
// lines below that one, which no load requests.
struct PortfolioListing {
    int listed = 0;
    int blankLine = 0;  // the empty line's line number in the file, from 1; 0 when there is none
    int belowBlank = 0; // lines below it that are not empty
};
// Reads the whole file, from its start.
PortfolioListing listPortfolio(FILE* file);

// "%s_data_qt1.txt" / "%s_data_qt2.txt": the portfolio's path less the last 4 characters of its
// file name (a file name shorter than 4 characters is kept whole).
std::string dataFileName(const std::string& portfolio, const char* suffix);
constexpr char DelayedDataSuffix[] = "_data_qt1.txt";
constexpr char RealTimeDataSuffix[] = "_data_qt2.txt";
constexpr char AlertsSuffix[] = ".alerts";
