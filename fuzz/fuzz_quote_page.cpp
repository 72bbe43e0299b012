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
        require(std::strcmp(line, CurrentLine) == 0, "appended line is not CurrentLine");
        require(pct == CurrentPct, "appended change is not CurrentPct");
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
        storeQuoteRow(line, pct); // kept in the table, as the Quotes tab keeps it
    }

    std::string lastLine;
    double lastPct = 0.0;

private:
    static std::string tableMoment() {
        return " " + std::to_string(QuoteTable.rowsLoaded) + " " + std::to_string(QuoteTable.searchStart) + "\n";
    }
};

// What a batch can change in the delayed tables: the table, its rows from first to end, and
// the row being built.
struct QuoteState {
    SymbolTable table;
    char lines[SymbolsPerBatch][QuoteLineSize];
    float pcts[SymbolsPerBatch];
    char currentLine[QuoteLineSize];
    double currentPct;
};

void saveState(QuoteState& state, int first, int end) {
    state.table = QuoteTable;
    std::memcpy(state.lines, QuoteLines + first, static_cast<std::size_t>(end - first) * QuoteLineSize);
    std::memcpy(state.pcts, QuotePctChanges + first, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(state.currentLine, CurrentLine, QuoteLineSize);
    state.currentPct = CurrentPct;
}

void restoreState(const QuoteState& state, int first, int end) {
    QuoteTable = state.table;
    std::memcpy(QuoteLines + first, state.lines, static_cast<std::size_t>(end - first) * QuoteLineSize);
    std::memcpy(QuotePctChanges + first, state.pcts, static_cast<std::size_t>(end - first) * sizeof(float));
    std::memcpy(CurrentLine, state.currentLine, QuoteLineSize);
    CurrentPct = state.currentPct;
}

bool sameState(const QuoteState& a, const QuoteState& b, int rows) {
    return page_fuzzing::sameTable(a.table, b.table) &&
           std::memcmp(a.lines, b.lines, static_cast<std::size_t>(rows) * QuoteLineSize) == 0 &&
           std::memcmp(a.pcts, b.pcts, static_cast<std::size_t>(rows) * sizeof(float)) == 0 &&
           std::memcmp(a.currentLine, b.currentLine, QuoteLineSize) == 0 &&
           std::memcmp(&a.currentPct, &b.currentPct, sizeof a.currentPct) == 0;
}

QuoteState before;
QuoteState after;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzPages(
        data, size, QuoteTable, DelayedQueryKey, FixedPortfolio, BatchesPerRun, [](char* reply, int length) {
            const int first = page_fuzzing::firstStoredRow(QuoteTable);
            const int end = page_fuzzing::storedRowsEnd(QuoteTable);
            saveState(before, first, end);
            page_fuzzing::ReplyCopy original(reply, length);

            CheckingSink sink;
            const PageEnd pageEnd = parseQuotePage(reply, length, sink);
            if (sink.rows > 0) {
                const int last = QuoteTable.rowsLoaded - 1;
                require(sink.lastLine == QuoteLines[last], "stored row differs from the appended one");
                require(QuotePctChanges[last] == static_cast<float>(sink.lastPct), "stored change differs");
            }

            saveState(after, first, end);
            restoreState(before, first, end);
            CheckingSink plain;
            const PageEnd plainEnd = reference::parseQuotePage(original.data(), length, plain);
            require(plain.calls == sink.calls, "sink calls differ from the plain parser's");
            require(plainEnd == pageEnd, "page end differs from the plain parser's");
            require(original.same(reply), "reply left differently from the plain parser");
            saveState(before, first, end);
            require(sameState(before, after, end - first), "tables differ from the plain parser's");
            return BatchSeen{pageEnd, sink.rows, sink.dataLines};
        });
}
