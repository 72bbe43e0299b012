#pragma once
// The real-time page parser: the twin of the delayed parser, with the colour codes,
// the squeeze into fields and its own 92-character display line.
#include "parsing/quote_page.h"

constexpr int RtLineLength = 92;
constexpr int RtLineSize = 100; // 99 characters and a NUL; the line ends at RtLineLength
extern const CellCut RtCellCuts[7];

constexpr double RtUp = 1.0;
constexpr double RtDown = -1.0;
constexpr double RtUnchanged = 0.0;
constexpr double RtUnknown = -100.0;

// Directions of a block from its colour codes: the first code is the trade's change, the
// second the after-hours change; "no long" before any code leaves both unknown. Also turns
// every "&nbsp;" of the block into six blanks, in place.
void readRtDirections(char* block, double* tradeDirection, double* afterHoursDirection);

// Squeezes a block as tag blanking leaves it into compact (RowTextSize + 1 bytes): runs of
// four or more blanks become three, and runs of three are separators. Returns the squeezed
// text, which starts one blank before its first non-blank character and ends just after the
// first blank of its seventh separator; the block is read no further than that.
const char* squeezeRtBlock(const char* block, char* compact);

// The display line of a squeezed text (RtLineLength characters and a NUL into line, which
// holds RtLineSize): seven fields, '+' or '-' at 35 and 53 from the directions.
void formatRtLine(const char* squeezed, double tradeDirection, double afterHoursDirection, char* line);

// Cells of an RT1 row from its display line and the squeezed text it was made from: the seven
// fields of the text in their cuts of the line (each whole, see layCell) when the trade direction
// is known, else the symbol cell, "     N/A" and five empty cells.
constexpr int RtCellTextSize = RowTextSize + 3; // an indent of two and a field as long as the text
void rtRowCells(const char* line, const char* squeezed, double tradeDirection, char cells[7][RtCellTextSize]);

// A row's data-file line is its squeezed text.
class RtPageSink : public DataLineSink {
public:
    using DataLineSink::DataLineSink;
    // The row; the directions pick colours and cells. storeRtRow keeps them in a tab's rows.
    virtual void appendRow(const char* line, double tradeDirection, double afterHoursDirection) = 0;
};

// Parses the reply of batch table.batch against table.symbols / table.lengths, moving
// table.searchStart and handing each row to the sink; the rows are not stored.
// Nothing outside reply[0, length) is read or written.
PageEnd parseRtPage(char* reply, int length, SymbolTable& table, RtPageSink& sink);
