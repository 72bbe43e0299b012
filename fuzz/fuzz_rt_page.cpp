// The real-time page parser on arbitrary replies, driven the way a load drives it.
// The input, the batches and the checks both page parsers share are in page_fuzzing.h.
#include "page_fuzzing.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"

const char* const FuzzTargetName = "rt page";

namespace {

constexpr char FixedPortfolio[] = "MSFT\nXYZ\nINTC\nKO\nYHOO\nGE\nQWXYZ\ndell\n";

bool knownDirection(double direction) {
    return direction == RtUp || direction == RtDown || direction == RtUnchanged || direction == RtUnknown;
}

// Checks what the parser hands over, as the window's sink would take it.
class CheckingSink : public RtPageSink {
public:
    int dataLines = 0;
    int rows = 0;
    double lastTrade = 0.0;
    double lastAfterHours = 0.0;

    void writeDataLine(const char* squeezed) override {
        require(dataLines == rows, "two data lines without a row between them");
        const std::size_t length = strnlen(squeezed, RowTextSize + 1);
        require(length <= RowTextSize, "data line longer than a row text");
        // The data file holds one line per row.
        require(std::memchr(squeezed, '\n', length) == nullptr, "data line holds a newline");
        ++dataLines;
    }

    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override {
        require(rows + 1 == dataLines, "row appended without its data line");
        require(std::strlen(line) == RtLineLength, "display line is not 92 characters");
        require(knownDirection(tradeDirection), "trade direction outside 1, -1, 0, -100");
        require(knownDirection(afterHoursDirection), "after-hours direction outside 1, -1, 0, -100");
        // The grid's cells, in a block of exactly their size.
        std::unique_ptr<char[][RtCellTextSize]> cells(new char[7][RtCellTextSize]);
        rtRowCells(line, tradeDirection, cells.get());
        for (int c = 0; c < 7; ++c)
            require(strnlen(cells[c], RtCellTextSize) < RtCellTextSize, "cell without its NUL");
        lastTrade = tradeDirection;
        lastAfterHours = afterHoursDirection;
        ++rows;
        storeRtDirections(tradeDirection, afterHoursDirection); // as the RealTime tab keeps them
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzPages(data, size, RtTable, RealTimeQueryKey, FixedPortfolio, RtBatchLimit, [](char* reply, int length) {
        CheckingSink sink;
        const PageEnd end = parseRtPage(reply, length, sink);
        if (sink.rows > 0) {
            const int last = RtTable.rowsLoaded - 1;
            require(RtTradeDirections[last] == static_cast<float>(sink.lastTrade), "stored trade direction differs");
            require(RtAfterHoursDirections[last] == static_cast<float>(sink.lastAfterHours),
                    "stored after-hours direction differs");
        }
        return BatchSeen{end, sink.rows, sink.dataLines};
    });
}
