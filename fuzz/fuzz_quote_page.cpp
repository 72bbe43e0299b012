// The delayed-quote page parser on arbitrary replies, driven the way a load drives it.
// The input, the batches and the checks both page parsers share are in page_fuzzing.h.
#include "page_fuzzing.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"

const char* const FuzzTargetName = "quote page";

namespace {

// The loader allows 100 batches; three keep each run fast and still start later batches
// from wherever the earlier ones left the search.
constexpr int BatchesPerRun = 3;

constexpr char FixedPortfolio[] = "MSFT\nIBM\nINTC\nGE\nF\nAAPL\nCSCO\nQWXYZ\ndell\n";

// Checks what the parser hands over, as the window's sink would take it.
class CheckingSink : public QuotePageSink {
public:
    int dataLines = 0;
    int rows = 0;

    void writeDataLine(const char* wordLine) override {
        require(dataLines == rows, "two data lines without a row between them");
        const std::size_t length = strnlen(wordLine, RowTextSize + 1);
        require(length <= RowTextSize, "data line longer than a row text");
        // The data file holds one line per row.
        require(std::memchr(wordLine, '\n', length) == nullptr, "data line holds a newline");
        ++dataLines;
    }

    void appendRow(const char* line, double pct) override {
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
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzPages(
        data, size, QuoteTable, DelayedQueryKey, FixedPortfolio, BatchesPerRun, [](char* reply, int length) {
            CheckingSink sink;
            const PageEnd end = parseQuotePage(reply, length, sink);
            if (sink.rows > 0) {
                const int last = QuoteTable.rowsLoaded - 1;
                require(sink.lastLine == QuoteLines[last], "stored row differs from the appended one");
                require(QuotePctChanges[last] == static_cast<float>(sink.lastPct), "stored change differs");
            }
            return BatchSeen{end, sink.rows, sink.dataLines};
        });
}
