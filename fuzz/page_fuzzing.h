#pragma once
// What the two page-parser targets share. Input: portfolio text, a NUL byte, then the reply
// (headers included); without a NUL the whole input is the reply and a fixed portfolio is
// used. The portfolio goes through the loader's reader into the parser's symbol table, then
// each batch's reply is parsed until the list ends, every batch on its own exact-size heap
// copy of the same reply, so that the sanitizers catch any access outside it.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "load/core/portfolio_rules.h"
#include "parsing/batch_path.h"
#include "parsing/page_scan.h"

// Each target names itself, for its messages ("quote page", "rt page").
extern const char* const FuzzTargetName;

inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", FuzzTargetName, what);
        std::abort();
    }
}

// What a parser's sink saw of one batch.
struct BatchSeen {
    PageEnd end;
    int rows;
    int dataLines;
};

namespace page_fuzzing {

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline void loadPortfolio(SymbolTable& table, const char* text, std::size_t size) {
    std::memset(table.symbols, 0, sizeof table.symbols);
    std::memset(table.lengths, 0, sizeof table.lengths);
    std::string copy(text, size); // fmemopen wants a writable buffer
    FILE* file = fmemopen(copy.data(), copy.size(), "r");
    require(file != nullptr, "fmemopen failed");
    readPortfolioSymbols(file, table.symbols, table.lengths);
    std::fclose(file);
}

// Rows the table's current batch must produce: one per slot up to the first that ends the list.
inline int expectedRows(const SymbolTable& table, bool* endsList) {
    const int first = table.batch * SymbolsPerBatch;
    for (int k = first; k < first + SymbolsPerBatch; ++k) {
        if (isEndOfSymbols(table.symbols[k])) {
            *endsList = true;
            return k - first;
        }
    }
    *endsList = false;
    return SymbolsPerBatch;
}

// One batch through parse(reply, length), which also checks what the tab stored of the rows;
// then the checks that hold for both parsers, and the load counts the rows handed over.
template <typename Parse>
PageEnd parseBatch(SymbolTable& table, const uint8_t* page, std::size_t pageSize, Parse&& parse) {
    std::unique_ptr<char[]> reply(new char[pageSize]);
    std::memcpy(reply.get(), page, pageSize);
    bool endsList = false;
    const int expected = expectedRows(table, &endsList);
    const BatchSeen seen = parse(reply.get(), static_cast<int>(pageSize));

    require(seen.rows == expected, "not exactly one row per symbol of the batch");
    require(seen.dataLines == expected, "not exactly one data line per symbol of the batch");
    require((seen.end == PageEnd::EndOfList) == endsList, "end of list reported wrongly");
    require(table.searchStart >= 0, "negative search start");
    // The marker search may only lower-case the reply.
    for (std::size_t i = 0; i < pageSize; ++i) {
        const char before = static_cast<char>(page[i]);
        require(reply[i] == before || reply[i] == lowerAscii(before), "reply changed beyond lower-casing");
    }
    table.rowsLoaded += seen.rows;
    return seen.end;
}

// The reply's bytes before a parse, to give the plain parser the same reply afterwards.
class ReplyCopy {
public:
    ReplyCopy(const char* reply, int length)
        : length_(length), bytes_(new char[static_cast<std::size_t>(std::max(length, 1))]) {
        std::memcpy(bytes_.get(), reply, static_cast<std::size_t>(length));
    }
    char* data() { return bytes_.get(); }
    bool same(const char* reply) const {
        return std::memcmp(bytes_.get(), reply, static_cast<std::size_t>(length_)) == 0;
    }

private:
    int length_;
    std::unique_ptr<char[]> bytes_;
};

// The tab's rows a batch may store: from the rows handed over so far on, one per symbol of the batch.
inline int firstStoredRow(const SymbolTable& table) {
    return std::clamp(table.rowsLoaded, 0, QuoteTableCapacity);
}
inline int storedRowsEnd(const SymbolTable& table) {
    return std::clamp(table.rowsLoaded + SymbolsPerBatch, 0, QuoteTableCapacity);
}

inline bool sameTable(const SymbolTable& a, const SymbolTable& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace page_fuzzing

// The whole input, batch by batch as a load goes, for at most `batches` batches.
template <typename Parse>
int fuzzPages(const uint8_t* data, std::size_t size, SymbolTable& table, const char* key, const char* fixedPortfolio,
              int batches, Parse&& parse) {
    const auto* split = static_cast<const uint8_t*>(std::memchr(data, '\0', size));
    const uint8_t* page = data;
    std::size_t pageSize = size;
    if (split) {
        page_fuzzing::loadPortfolio(table, reinterpret_cast<const char*>(data), static_cast<std::size_t>(split - data));
        page = split + 1;
        pageSize = size - static_cast<std::size_t>(split - data) - 1;
    } else {
        page_fuzzing::loadPortfolio(table, fixedPortfolio, std::strlen(fixedPortfolio));
    }
    if (pageSize > static_cast<std::size_t>(INT_MAX))
        return 0;

    table.rowsLoaded = 0;
    table.searchStart = 0;
    for (table.batch = 0; table.batch < batches; ++table.batch) {
        std::string path;
        const BatchPlan plan = buildBatchPath(table.symbols, table.lengths, table.batch, key, path);
        if (plan == BatchPlan::EndOfList)
            break;
        // A batch that cannot be requested is parsed as an empty reply, as the loader does.
        const std::size_t length = plan == BatchPlan::NothingToRequest ? 0 : pageSize;
        if (page_fuzzing::parseBatch(table, page, length, parse) == PageEnd::EndOfList)
            break;
    }
    return 0;
}
