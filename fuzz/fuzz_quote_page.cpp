// The delayed-quote page parser on arbitrary replies, driven the way a load drives it, and
// its plain version (tests/core/reference_page_parsers) on each batch from the same state,
// which must do exactly the same. The input, the batches and the checks both page parsers
// share are in page_fuzzing.h.
#include "page_fuzzing.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "reference_page_parsers.h"

const char* const FuzzTargetName = "quote page";

namespace {

SymbolTable table_; // the load's
QuoteRows rows_;    // the tab's

// The loader allows 100 batches; three keep each run fast and still start later batches
// from wherever the earlier ones left the search.
constexpr int BatchesPerRun = 3;

constexpr char FixedPortfolio[] = "MSFT\nIBM\nINTC\nGE\nF\nAAPL\nCSCO\nQWXYZ\ndell\nGOOGLE\n";

// Checks what the parser hands over, as the window's sink would take it.
class CheckingSink : public QuotePageSink {
public:
    int dataLines = 0;
    int rows = 0;

    std::string calls; // every call, to hold against the plain parser's

    void writeDataLine(const char* wordLine) override {
        calls.append("D").append(wordLine).append(tableMoment());
        require(dataLines == rows, "two data lines without a row between them");
        const std::size_t length = strnlen(wordLine, RowTextSize + 1);
        require(length <= RowTextSize, "data line longer than a row text");
        // The data file holds one line per row.
        require(std::memchr(wordLine, '\n', length) == nullptr, "data line holds a newline");
        ++dataLines;
    }

    void symbolNotFound() override { calls.append("N").append(tableMoment()); }

    void appendRow(const char* line, double pct) override {
        calls.append("R").append(line).append(reinterpret_cast<const char*>(&pct), sizeof pct).append(tableMoment());
        require(rows + 1 == dataLines, "row appended without its data line");
        require(std::strlen(line) == QuoteLineLength, "display line is not 79 characters");
        // The grid's cells, each cut into a block of exactly its size.
        for (const CellCut& cut : QuoteCellCuts) {
            std::unique_ptr<char[]> cell(new char[static_cast<std::size_t>(cut.length) + 1]);
            cutCell(line, cut, cell.get());
            require(std::strlen(cell.get()) <= static_cast<std::size_t>(cut.length), "cell longer than its cut");
        }
        lastLine.assign(line);
        lastPct = pct;
        ++rows;
        storeQuoteRow(rows_, "", line, pct); // kept in the rows, as the Quotes tab keeps it
    }

    std::string lastLine;
    double lastPct = 0.0;

private:
    static std::string tableMoment() {
        return " " + std::to_string(rows_.count) + " " + std::to_string(table_.searchStart) + "\n";
    }
};

// What a batch can change: the load's table, and the tab's rows from first to end and their count.
struct QuoteState {
    SymbolTable table;
    char lines[SymbolsPerBatch][QuoteLineSize];
    float pcts[SymbolsPerBatch];
    int count;
};

void saveState(QuoteState& state, int first, int end) {
    state.table = table_;
    std::memcpy(state.lines, rows_.lines + first, static_cast<std::size_t>(end - first) * QuoteLineSize);
    std::memcpy(state.pcts, rows_.pctChanges + first, static_cast<std::size_t>(end - first) * sizeof(float));
    state.count = rows_.count;
}

void restoreState(const QuoteState& state, int first, int end) {
    table_ = state.table;
    std::memcpy(rows_.lines + first, state.lines, static_cast<std::size_t>(end - first) * QuoteLineSize);
    std::memcpy(rows_.pctChanges + first, state.pcts, static_cast<std::size_t>(end - first) * sizeof(float));
    rows_.count = state.count;
}

bool sameState(const QuoteState& a, const QuoteState& b, int rows) {
    return page_fuzzing::sameTable(a.table, b.table) &&
           std::memcmp(a.lines, b.lines, static_cast<std::size_t>(rows) * QuoteLineSize) == 0 &&
           std::memcmp(a.pcts, b.pcts, static_cast<std::size_t>(rows) * sizeof(float)) == 0 && a.count == b.count;
}

QuoteState before;
QuoteState after;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    rows_.count = 0; // a new load's rows
    return fuzzPages(data, size, table_, DelayedQueryKey, FixedPortfolio, BatchesPerRun, [](char* reply, int length) {
        const int first = page_fuzzing::firstStoredRow(table_);
        const int end = page_fuzzing::storedRowsEnd(table_);
        saveState(before, first, end);
        page_fuzzing::ReplyCopy original(reply, length);

        CheckingSink sink;
        const PageEnd pageEnd = parseQuotePage(reply, length, table_, sink);
        if (sink.rows > 0) {
            const int last = rows_.count - 1;
            require(sink.lastLine == rows_.lines[last], "stored row differs from the appended one");
            require(rows_.pctChanges[last] == static_cast<float>(sink.lastPct), "stored change differs");
        }

        saveState(after, first, end);
        restoreState(before, first, end);
        CheckingSink plain;
        const PageEnd plainEnd = reference::parseQuotePage(original.data(), length, table_, plain);
        require(plain.calls == sink.calls, "sink calls differ from the plain parser's");
        require(plainEnd == pageEnd, "page end differs from the plain parser's");
        require(original.same(reply), "reply left differently from the plain parser");
        saveState(before, first, end);
        require(sameState(before, after, end - first), "tables differ from the plain parser's");
        return BatchSeen{pageEnd, sink.rows, sink.dataLines};
    });
}
