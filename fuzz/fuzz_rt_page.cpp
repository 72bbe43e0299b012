// The real-time page parser on arbitrary replies, driven the way a load drives it.
// Input: portfolio text, a NUL byte, then the reply (headers included). Without a NUL the
// whole input is the reply and a fixed portfolio is used. The portfolio goes through the
// loader's reader into the real-time table, then each batch's reply is parsed until the
// list ends; every batch gets its own exact-size heap copy of the same reply, so that the
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
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"
#include "portfolio/core/portfolio_rules.h"

namespace {

constexpr char FixedPortfolio[] = "MSFT\nXYZ\nINTC\nKO\nYHOO\nGE\nQWXYZ\ndell\n";

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "rt page: %s\n", what);
        std::abort();
    }
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

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
    }
};

void loadPortfolio(const char* text, std::size_t size) {
    std::memset(RtTable.symbols, 0, sizeof RtTable.symbols);
    std::memset(RtTable.lengths, 0, sizeof RtTable.lengths);
    std::string copy(text, size); // fmemopen wants a writable buffer
    FILE* file = fmemopen(copy.data(), copy.size(), "r");
    require(file != nullptr, "fmemopen failed");
    readPortfolioSymbols(file, RtTable.symbols, RtTable.lengths);
    std::fclose(file);
}

// Rows a batch must produce: one per slot up to the first that ends the list.
int expectedRows(int batch, bool* endsList) {
    const int first = batch * SymbolsPerBatch;
    for (int k = first; k < first + SymbolsPerBatch; ++k) {
        if (isEndOfSymbols(RtTable.symbols[k])) {
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
    const int expected = expectedRows(RtTable.batch, &endsList);
    const int rowsBefore = RtTable.rowsLoaded;
    CheckingSink sink;
    const PageEnd end = parseRtPage(reply.get(), length, sink);

    require(sink.rows == expected, "not exactly one row per symbol of the batch");
    require(sink.dataLines == expected, "not exactly one data line per symbol of the batch");
    require((end == PageEnd::EndOfList) == endsList, "end of list reported wrongly");
    require(RtTable.rowsLoaded == rowsBefore + expected, "RtTable.rowsLoaded did not advance by the rows appended");
    require(RtTable.searchStart >= 0, "negative search start");
    if (expected > 0) {
        const int last = RtTable.rowsLoaded - 1;
        require(RtTradeDirections[last] == static_cast<float>(sink.lastTrade), "stored trade direction differs");
        require(RtAfterHoursDirections[last] == static_cast<float>(sink.lastAfterHours),
                "stored after-hours direction differs");
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

    RtTable.rowsLoaded = 0;
    RtTable.searchStart = 0;
    for (RtTable.batch = 0; RtTable.batch < RtBatchLimit; ++RtTable.batch) {
        std::string path;
        const BatchPlan plan = buildBatchPath(RtTable.symbols, RtTable.lengths, RtTable.batch, RealTimeQueryKey, path);
        if (plan == BatchPlan::EndOfList)
            break;
        // A batch that cannot be requested is parsed as an empty reply, as the loader does.
        const std::size_t length = plan == BatchPlan::NothingToRequest ? 0 : pageSize;
        if (parseBatch(page, length) == PageEnd::EndOfList)
            break;
    }
    return 0;
}
