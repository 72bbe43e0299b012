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

SymbolTable table_; // the load's
RtRows rows_;       // the tab's

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
        storeRtRow(rows_, "", tradeDirection, afterHoursDirection); // as the RealTime tab keeps them
    }

private:
    static std::string tableMoment() {
        return " " + std::to_string(rows_.count) + " " + std::to_string(table_.searchStart) + "\n";
    }
};

// What a batch can change: the load's table, and the tab's rows from first to end and their count.
struct RtState {
    SymbolTable table;
    float trade[SymbolsPerBatch];
    float afterHours[SymbolsPerBatch];
    int count;
};

void saveState(RtState& state, int first, int end) {
    state.table = table_;
    std::memcpy(state.trade, rows_.tradeDirections + first, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(state.afterHours, rows_.afterHoursDirections + first,
                static_cast<std::size_t>(end - first) * sizeof(float));
    state.count = rows_.count;
}

void restoreState(const RtState& state, int first, int end) {
    table_ = state.table;
    std::memcpy(rows_.tradeDirections + first, state.trade, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(rows_.afterHoursDirections + first, state.afterHours,
                static_cast<std::size_t>(end - first) * sizeof(float));
    rows_.count = state.count;
}

bool sameState(const RtState& a, const RtState& b, int rows) {
    return page_fuzzing::sameTable(a.table, b.table) &&
           std::memcmp(a.trade, b.trade, static_cast<std::size_t>(rows) * sizeof(float)) == 0 &&
           std::memcmp(a.afterHours, b.afterHours, static_cast<std::size_t>(rows) * sizeof(float)) == 0 &&
           a.count == b.count;
}

RtState before;
RtState after;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rows_.count = 0; // a new load's rows
    return fuzzPages(data, size, table_, RealTimeQueryKey, FixedPortfolio, RtBatchLimit, [](char* reply, int length) {
        const int first = page_fuzzing::firstStoredRow(table_);
        const int end = page_fuzzing::storedRowsEnd(table_);
        saveState(before, first, end);
        page_fuzzing::ReplyCopy original(reply, length);

        CheckingSink sink;
        const PageEnd pageEnd = parseRtPage(reply, length, table_, sink);
        if (sink.rows > 0) {
            const int last = rows_.count - 1;
            require(rows_.tradeDirections[last] == static_cast<float>(sink.lastTrade),
                    "stored trade direction differs");
            require(rows_.afterHoursDirections[last] == static_cast<float>(sink.lastAfterHours),
                    "stored after-hours direction differs");
        }

        saveState(after, first, end);
        restoreState(before, first, end);
        CheckingSink plain;
        const PageEnd plainEnd = reference::parseRtPage(original.data(), length, table_, plain);
        require(plain.calls == sink.calls, "sink calls differ from the plain parser's");
        require(plainEnd == pageEnd, "page end differs from the plain parser's");
        require(original.same(reply), "reply left differently from the plain parser");
        saveState(before, first, end);
        require(sameState(before, after, end - first), "tables differ from the plain parser's");
        return BatchSeen{pageEnd, sink.rows, sink.dataLines};
    });
}
