// The delayed-quote page parser on arbitrary replies, driven the way a load drives it.
// Input: portfolio text, a NUL byte, then the reply (headers included). Without a NUL the
// whole input is the reply and a fixed portfolio is used. The portfolio goes through the
// loader's reader into the quote table, then each batch's reply is parsed until the list
// ends; every batch gets its own exact-size heap copy of the same reply, so that the
// sanitizers catch any access outside it.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "parsing/batch_path.h"
#include "parsing/page_scan.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "portfolio/core/portfolio_rules.h"

namespace {

// The loader allows 100 batches; three keep each run fast and still start later batches
// from wherever the earlier ones left the search.
constexpr int BatchesPerRun = 3;

constexpr char FixedPortfolio[] = "MSFT\nIBM\nINTC\nGE\nF\nAAPL\nCSCO\nQWXYZ\ndell\n";

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "quote page: %s\n", what);
        std::abort();
    }
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

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
    }

    std::string lastLine;
    double lastPct = 0.0;
};

void loadPortfolio(const char* text, std::size_t size) {
    std::memset(QuoteTable.symbols, 0, sizeof QuoteTable.symbols);
    std::memset(QuoteTable.lengths, 0, sizeof QuoteTable.lengths);
    std::string copy(text, size); // fmemopen wants a writable buffer
    FILE* file = fmemopen(copy.data(), copy.size(), "r");
    require(file != nullptr, "fmemopen failed");
    readPortfolioSymbols(file, QuoteTable.symbols, QuoteTable.lengths);
    std::fclose(file);
}

// Rows a batch must produce: one per slot up to the first that ends the list.
int expectedRows(int batch, bool* endsList) {
    const int first = batch * SymbolsPerBatch;
    for (int k = first; k < first + SymbolsPerBatch; ++k) {
        if (isEndOfSymbols(QuoteTable.symbols[k])) {
            *endsList = true;
            return k - first;
        }
    }
    *endsList = false;
    return SymbolsPerBatch;
}

PageEnd parseBatch(const uint8_t* page, std::size_t pageSize) {
    const int length = static_cast<int>(pageSize);
    std::unique_ptr<char[]> reply(new char[pageSize]);
    std::memcpy(reply.get(), page, pageSize);

    bool endsList = false;
    const int expected = expectedRows(QuoteTable.batch, &endsList);
    const int rowsBefore = QuoteTable.rowsLoaded;
    CheckingSink sink;
    const PageEnd end = parseQuotePage(reply.get(), length, sink);

    require(sink.rows == expected, "not exactly one row per symbol of the batch");
    require(sink.dataLines == expected, "not exactly one data line per symbol of the batch");
    require((end == PageEnd::EndOfList) == endsList, "end of list reported wrongly");
    require(QuoteTable.rowsLoaded == rowsBefore + expected,
            "QuoteTable.rowsLoaded did not advance by the rows appended");
    require(QuoteTable.searchStart >= 0, "negative search start");
    if (expected > 0) {
        const int last = QuoteTable.rowsLoaded - 1;
        require(sink.lastLine == QuoteLines[last], "stored row differs from the appended one");
        require(QuotePctChanges[last] == static_cast<float>(sink.lastPct), "stored change differs");
    }
    // The marker search may only lower-case the reply.
    for (std::size_t i = 0; i < pageSize; ++i) {
        const char before = static_cast<char>(page[i]);
        require(reply[i] == before || reply[i] == lowerAscii(before), "reply changed beyond lower-casing");
    }
    return end;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* split = static_cast<const uint8_t*>(std::memchr(data, '\0', size));
    const uint8_t* page = data;
    std::size_t pageSize = size;
    if (split) {
        loadPortfolio(reinterpret_cast<const char*>(data), static_cast<std::size_t>(split - data));
        page = split + 1;
        pageSize = size - static_cast<std::size_t>(split - data) - 1;
    } else {
        loadPortfolio(FixedPortfolio, sizeof FixedPortfolio - 1);
    }
    if (pageSize > static_cast<std::size_t>(INT_MAX))
        return 0;

    QuoteTable.rowsLoaded = 0;
    QuoteTable.searchStart = 0;
    for (QuoteTable.batch = 0; QuoteTable.batch < BatchesPerRun; ++QuoteTable.batch) {
        std::string path;
        const BatchPlan plan =
            buildBatchPath(QuoteTable.symbols, QuoteTable.lengths, QuoteTable.batch, DelayedQueryKey, path);
        if (plan == BatchPlan::EndOfList)
            break;
        // A batch that cannot be requested is parsed as an empty reply, as the loader does.
        const std::size_t length = plan == BatchPlan::NothingToRequest ? 0 : pageSize;
        if (parseBatch(page, length) == PageEnd::EndOfList)
            break;
    }
    return 0;
}
