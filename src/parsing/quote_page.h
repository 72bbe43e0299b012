#pragma once
// The delayed-quote page parser: turns one received page into one row per symbol of
// the batch. Plain byte work over the reply; what a row does to the window is the sink's.
#include <cstddef>

#include "parsing/data_line_sink.h"
#include "parsing/page_scan.h"

// Grid cuts of a display line: 1-based start and length (a start of 0 counts as 1).
struct CellCut {
    int start;
    int length;
};
// Columns 0, 1, 2, 4, 5, 6 of the Quotes grid; column 3 is never written.
extern const CellCut QuoteCellCuts[7];

// Text of a cut of a NUL-terminated line; a range past the end of the line is cut there.
// Writes at most length characters and a NUL into out (size length + 1).
void cutCell(const char* line, CellCut cut, char* out);

// A cell never shows a prefix of a value: a word longer than this shows as "###".
constexpr int CellValueMax = 14;

// A value a cell shows and where the display line places it.
struct CellItem {
    const char* text;
    int length;
    int first;
};

// The cell of a cut that shows items (in line order). While each item fits its place (ending
// within the cut, a blank before the next item) the cell is the cut as designed: the items at
// their places, blanks around them. Otherwise the items are shown whole, one blank apart, after
// the cut's indent, so the cell is wider than designed but never cuts a value. The indent (the
// cut up to first) keeps the line's sign at signAt (-1: none); anything else of the line there
// belongs to a neighbouring value and reads as blanks. out holds the indent, the items, the
// blanks between them and a NUL.
void layCell(const char* line, CellCut cut, int first, int signAt, const CellItem* items, int count, char* out);

constexpr int QuoteCellTextSize = CellValueMax + 6; // the time, a blank, two characters of the zone

// Cells of a Quotes grid row from its display line and the word line it was made from (or its
// first QuoteWordLineKept characters; an empty one: the line's cuts). Column 1 shows the time
// and the first two characters of the zone; column 3, the spacer, is empty.
void quoteRowCells(const char* line, const char* wordLine, char cells[7][QuoteCellTextSize]);

// Word line of a row text as tag blanking leaves it: every run of blanks made one space, then
// cut just after its eighth space (a space and at most seven space-terminated words). The row
// is read no further than that. wordLine holds RowTextSize + 1.
void makeWordLine(const char* row, char* wordLine);

// Display line of a word line (79 characters and a NUL into line, which holds QuoteLineSize):
// words 1 to 7 into their fields, then the sign at 35. Returns the percent change read from
// word 6, 0 when there is none.
double formatQuoteLine(const char* wordLine, char* line);

// A row's data-file line is its word line.
class QuotePageSink : public DataLineSink {
public:
    using DataLineSink::DataLineSink;
    // The row: where it goes is the sink's; storeQuoteRow keeps it in a tab's rows.
    virtual void appendRow(const char* line, double pct) = 0;
};

// Parses the reply of batch table.batch: finds the table marker (updating table.searchStart),
// then for each symbol of the batch builds its display line and percent change, writes the
// data-file line, hands the row to the sink and advances. The rows themselves are not stored:
// the parser only reads the table's symbols and moves its search start, so it may run on a
// worker while the window reads the rows stored so far.
// The reply may be modified (the marker search lower-cases in place); nothing outside
// reply[0, length) is read or written.
PageEnd parseQuotePage(char* reply, int length, SymbolTable& table, QuotePageSink& sink);
