// The real-time page parser on arbitrary replies, driven the way a load drives it, and its
// plain version (tests/core/reference_page_parsers) on each batch from the same state, which
// must do exactly the same. The input, the batches and the checks both page parsers share
// are in page_fuzzing.h.
#include "page_fuzzing.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"
#include "reference_page_parsers.h"

const char* const FuzzTargetName = "rt page";

namespace {

constexpr char FixedPortfolio[] = "MSFT\nXYZ\nINTC\nKO\nYHOO\nGE\nQWXYZ\ndell\nnasdaq\n";

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
    std::string lastSqueezed;
    std::string calls; // every call, to hold against the plain parser's

    void writeDataLine(const char* squeezed) override {
        calls.append("D").append(squeezed).append(tableMoment());
        require(dataLines == rows, "two data lines without a row between them");
        const std::size_t length = strnlen(squeezed, RowTextSize + 1);
        require(length <= RowTextSize, "data line longer than a row text");
        // The data file holds one line per row.
        require(std::memchr(squeezed, '\n', length) == nullptr, "data line holds a newline");
        lastSqueezed.assign(squeezed, length);
        ++dataLines;
    }

    void symbolNotFound() override { calls.append("N").append(tableMoment()); }

    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override {
        calls.append("R").append(line);
        calls.append(reinterpret_cast<const char*>(&tradeDirection), sizeof tradeDirection);
        calls.append(reinterpret_cast<const char*>(&afterHoursDirection), sizeof afterHoursDirection);
        calls.append(tableMoment());
        require(rows + 1 == dataLines, "row appended without its data line");
        require(std::strlen(line) == RtLineLength, "display line is not 92 characters");
        require(knownDirection(tradeDirection), "trade direction outside 1, -1, 0, -100");
        require(knownDirection(afterHoursDirection), "after-hours direction outside 1, -1, 0, -100");
        // The grid's cells, in a block of exactly their size.
        std::unique_ptr<char[][RtCellTextSize]> cells(new char[7][RtCellTextSize]);
        rtRowCells(line, lastSqueezed.c_str(), tradeDirection, cells.get());
        for (int c = 0; c < 7; ++c)
            require(strnlen(cells[c], RtCellTextSize) < RtCellTextSize, "cell without its NUL");
        lastTrade = tradeDirection;
        lastAfterHours = afterHoursDirection;
        ++rows;
        storeRtDirections(tradeDirection, afterHoursDirection); // as the RealTime tab keeps them
    }

private:
    static std::string tableMoment() {
        return " " + std::to_string(RtTable.rowsLoaded) + " " + std::to_string(RtTable.searchStart) + "\n";
    }
};

// What a batch can change in the real-time tables: the table and its rows from first to end.
struct RtState {
    SymbolTable table;
    float trade[SymbolsPerBatch];
    float afterHours[SymbolsPerBatch];
};

void saveState(RtState& state, int first, int end) {
    state.table = RtTable;
    std::memcpy(state.trade, RtTradeDirections + first, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(state.afterHours, RtAfterHoursDirections + first,
                static_cast<std::size_t>(end - first) * sizeof(float));
}

void restoreState(const RtState& state, int first, int end) {
    RtTable = state.table;
    std::memcpy(RtTradeDirections + first, state.trade, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(RtAfterHoursDirections + first, state.afterHours,
                static_cast<std::size_t>(end - first) * sizeof(float));
}

bool sameState(const RtState& a, const RtState& b, int rows) {
    return page_fuzzing::sameTable(a.table, b.table) &&
           std::memcmp(a.trade, b.trade, static_cast<std::size_t>(rows) * sizeof(float)) == 0 &&
           std::memcmp(a.afterHours, b.afterHours, static_cast<std::size_t>(rows) * sizeof(float)) == 0;
}

RtState before;
RtState after;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzPages(data, size, RtTable, RealTimeQueryKey, FixedPortfolio, RtBatchLimit, [](char* reply, int length) {
        const int first = page_fuzzing::firstStoredRow(RtTable);
        const int end = page_fuzzing::storedRowsEnd(RtTable);
        saveState(before, first, end);
        page_fuzzing::ReplyCopy original(reply, length);

        CheckingSink sink;
        const PageEnd pageEnd = parseRtPage(reply, length, sink);
        if (sink.rows > 0) {
            const int last = RtTable.rowsLoaded - 1;
            require(RtTradeDirections[last] == static_cast<float>(sink.lastTrade), "stored trade direction differs");
            require(RtAfterHoursDirections[last] == static_cast<float>(sink.lastAfterHours),
                    "stored after-hours direction differs");
        }

        saveState(after, first, end);
        restoreState(before, first, end);
        CheckingSink plain;
        const PageEnd plainEnd = reference::parseRtPage(original.data(), length, plain);
        require(plain.calls == sink.calls, "sink calls differ from the plain parser's");
        require(plainEnd == pageEnd, "page end differs from the plain parser's");
        require(original.same(reply), "reply left differently from the plain parser");
        saveState(before, first, end);
        require(sameState(before, after, end - first), "tables differ from the plain parser's");
        return BatchSeen{pageEnd, sink.rows, sink.dataLines};
    });
}
