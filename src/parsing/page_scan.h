#pragma once
// The page-scanning rules both parsers share: the table marker, the text window,
// the symbol patterns, the missing-time fix and the tag blanking, and the batch loop.
#include <algorithm>
#include <vector>

#include "parsing/symbol_table.h"

constexpr int TextWindowSize = 5000;
constexpr int RowTextSize = 800;
constexpr int SymbolShownMax = 6; // a "symbol not found" row shows at most this many characters
constexpr int SearchStep = 100;   // the next symbol's window starts this far past the match

// Finds the quote table's marker; returns the new search start, or -1 when the page
// has none. Lower-cases in place the bytes it inspects, within reply[0, length).
int findTableMarker(char* reply, int length);

// Printable bytes of reply[start, min(start + 5000, length)) with the skip rules
// around line breaks; window must hold TextWindowSize + 1 bytes. Returns its length.
// A start outside the reply gives an empty window; bytes past length count as non-printable.
int buildTextWindow(const char* reply, int length, int start, char* window);

struct TextWindow {
    const char* text; // not NUL-terminated
    int n;
};

// The text windows of one page, without building each one afresh. The skip rules walk the
// reply from a window's start, keeping printable bytes and jumping over the others; two
// walks that reach the same byte go on alike. So the page is walked once, from the first
// window's start, keeping its text and where each of its runs of kept bytes starts; the
// window of a later start that this walk reached is then a slice of that text, ending at
// the first kept byte at or past the window's end. A start the walk jumped over (inside a
// chunk-size line, say) gets its window built the plain way. The walk goes only as far as
// the windows asked for so far reach.
class PageText {
public:
    PageText(const char* reply, int length);
    PageText(const PageText&) = delete;
    PageText& operator=(const PageText&) = delete;

    // The same bytes as buildTextWindow(reply, length, start, ...); valid until the next call.
    TextWindow window(int start);

private:
    struct Run {
        int from; // reply index of the run's first byte
        int text; // its index in text_
    };
    void walkTo(int end);
    const Run& runAt(int p) const; // the last run starting at or before p
    int keptIn(const Run& run) const;
    int keptBefore(int p) const; // kept bytes before reply index p
    bool reached(int p) const;   // the walk kept p, or jumped from it

    const char* reply_;
    int length_;
    int walked_ = -1; // the walk's next reply index; -1 before the first window
    std::vector<char> text_;
    std::vector<Run> runs_;
    char plain_[TextWindowSize + 1]; // a window built the plain way
};

// Pattern A is the tail of a link whose query ends in the symbol; pattern B a text that is exactly it.
enum class SymbolMatch { None, LinkTail /* A */, ExactText /* B */ };

// First place in the text's textLength bytes where the symbol's pattern A or B matches (A tested
// first at each place), and which one matched; symbol holds at least symbolLength characters,
// from 1 to 6. Returns -1 when none.
int findSymbol(const char* text, int textLength, const char* symbol, int symbolLength, SymbolMatch* match);

// Row text of a match: up to 800 characters from j, NUL-terminated, with the link tag
// (pattern A) or the '>' (pattern B) blanked. row must hold RowTextSize + 1 bytes.
void takeRowText(const char* window, int n, int j, SymbolMatch kind, char* row);

// Row text of a symbol the page does not hold: two spaces, the count characters of
// symbol in upper case, and the "symbol not found" words.
void notFoundRowText(const char* symbol, int count, char* row);

// "Unknown ET" for an empty time cell or one holding only ET (first place only).
void fixMissingTime(char* row);

// Tag blanking: every '<', what follows it and the next '>' read as blanks, and a tag left
// open blanks the rest of the text. The parsers read a row text through these two, as words
// and the runs of blanks between them, and only as far as they need it.

// End of the run of blanks (spaces and tags) at text[p], within text[0, length); p itself
// when text[p] is neither a space nor a '<'.
int blankRunEnd(const char* text, int length, int p);

// End of the word at text[p]: the first space or '<' at or after p, or length.
int wordEnd(const char* text, int length, int p);

// True when the NUL-terminated text starts with prefix; never reads past the text's end.
inline bool textStartsWith(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text != *prefix)
            return false;
    }
    return true;
}

// The search start of the next symbol: start + j + 100 (held at INT_MAX rather than wrapping).
int advanceSearchStart(int start, int j);

// One symbol's row text from the page: the text window from start, the pattern search and
// the row text of the match, or the "symbol not found" text (also for a symbol no pattern can
// place, showing the slot's characters, at most 6); then the missing-time fix. Returns j, the
// match's index in the window (0 when not found), by which the caller advances its search
// start; *found (when given) says whether it matched.
int takeSymbolRow(PageText& page, int start, const char* slot, int symbolLength, char* row, bool* found = nullptr);

enum class PageEnd {
    BatchDone, // every symbol of the batch has its row
    EndOfList  // an empty slot ended the symbol list
};

// The batch loop of both parsers: the page's table marker sets the table's search start;
// then each symbol of the table's current batch gets its row text from the reply (the
// missing-time fix applied), which rowStep(row, found) makes into the parser's row (found is
// false for a "symbol not found" row), and the search start moves on past the match. Stops at
// the first slot that ends the list.
template <typename RowStep> PageEnd forEachBatchRow(char* reply, int length, SymbolTable& table, RowStep&& rowStep) {
    length = std::max(length, 0);
    const int marker = findTableMarker(reply, length);
    if (marker >= 0)
        table.searchStart = marker;
    if (table.batch < 0 || table.batch >= QuoteTableCapacity / SymbolsPerBatch)
        return PageEnd::EndOfList;
    PageText page(reply, length);
    const int first = table.batch * SymbolsPerBatch;
    for (int k = first; k < first + SymbolsPerBatch; ++k) {
        if (isEndOfSymbols(table.symbols[k]))
            return PageEnd::EndOfList;
        char row[RowTextSize + 1];
        bool found = false;
        const int j = takeSymbolRow(page, table.searchStart, table.symbols[k], table.lengths[k], row, &found);
        rowStep(row, found);
        table.searchStart = advanceSearchStart(table.searchStart, j);
    }
    return PageEnd::BatchDone;
}
