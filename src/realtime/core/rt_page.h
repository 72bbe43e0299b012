#pragma once
// The real-time page parser: the twin of the delayed parser, with the colour codes,
// the squeeze into fields and its own 92-character display line.
#include "quotes/core/quote_page.h"

constexpr int RtLineLength = 92;
extern const CellCut RtCellCuts[7];

class RtPageSink {
public:
    virtual ~RtPageSink() = default;
    // Data-file line of a row (the squeezed text, without the newline).
    virtual void writeDataLine(const char* squeezed) = 0;
    // Append the row to RT1 and the mirror; the directions pick colours and cells.
    virtual void appendRow(const char* line, double tradeDirection, double afterHoursDirection) = 0;
};

// Parses the reply of batch RtBatch against RtSymbols / RtSymbolLengths, updating
// RtSearchStart, RtTradeDirections, RtAfterHoursDirections and RtRowsLoaded.
// Nothing outside reply[0, length) is read or written.
PageEnd parseRtPage(char* reply, int length, RtPageSink& sink);
