// Page parsing cost: one 20-symbol reply per iteration, delayed and real-time, plain and
// chunked, and the same pages with every row 1600 bytes wider (about 44 KB a page).
// Reported as pages per second (items) and symbols per second, for:
//   quotePage, rtPage                    the parsers;
//   referenceQuotePage, referenceRtPage  their plain versions (tests/core/reference_page_parsers),
//                                        the parsers as they were before they were made fast;
//   memchrFloor                          one memchr over the page for a byte it does not hold,
//                                        the least any parser reading the whole page could cost.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "parsing/quote_page.h"
#include "parsing/rt_page.h"
#include "reference_page_parsers.h"

namespace {

const char* const Symbols[SymbolsPerBatch] = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                              "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};

constexpr std::size_t WideningPerRow = 1600;

// The sample page, or with widen every row's padding attribute 1600 bytes longer.
std::vector<char> readPage(const char* name, bool widen) {
    const std::string path = std::string(TICKWELL_BENCH_DATA "/") + name;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    if (widen) {
        const std::string pad = "data-pad=\"";
        for (std::size_t at = bytes.find(pad); at != std::string::npos; at = bytes.find(pad, at + 1))
            bytes.insert(at + pad.size(), WideningPerRow, '-');
    }
    return std::vector<char>(bytes.begin(), bytes.end());
}

// Counts what a window would be handed, so that nothing is optimised away.
class CountingQuoteSink : public QuotePageSink {
public:
    long long bytes = 0;
    void writeDataLine(const char* wordLine) override { bytes += static_cast<long long>(std::strlen(wordLine)); }
    void appendRow(const char* line, double pct) override { bytes += line[0] + (pct > 0); }
};

class CountingRtSink : public RtPageSink {
public:
    long long bytes = 0;
    void writeDataLine(const char* squeezed) override { bytes += static_cast<long long>(std::strlen(squeezed)); }
    void appendRow(const char* line, double trade, double afterHours) override {
        bytes += line[0] + (trade > 0) + (afterHours > 0);
    }
};

void reportRates(benchmark::State& state, std::size_t pageBytes) {
    state.SetItemsProcessed(state.iterations()); // items/s = pages/s
    state.counters["symbols/s"] =
        benchmark::Counter(double(state.iterations()) * SymbolsPerBatch, benchmark::Counter::kIsRate);
    state.counters["page_bytes"] = double(pageBytes);
}

void setSymbols(SymbolTable& table) {
    for (int i = 0; i < SymbolsPerBatch; ++i) {
        std::strcpy(table.symbols[i], Symbols[i]);
        table.lengths[i] = static_cast<int>(std::strlen(Symbols[i]));
    }
    table.batch = 0;
}

// Counts the rows that found their symbol.
class FoundQuoteSink : public QuotePageSink {
public:
    int found = 0;
    void writeDataLine(const char* wordLine) override { found += std::strstr(wordLine, "not found") == nullptr; }
    void appendRow(const char*, double) override {}
};

class FoundRtSink : public RtPageSink {
public:
    int found = 0;
    void writeDataLine(const char* squeezed) override { found += std::strstr(squeezed, "not found") == nullptr; }
    void appendRow(const char*, double, double) override {}
};

// Every symbol must be found on the page, or the figures would measure something else.
void checkAllFound(benchmark::State& state, const std::vector<char>& page, SymbolTable table, bool realTime) {
    std::vector<char> copy = page;
    int found = 0;
    if (realTime) {
        FoundRtSink sink;
        parseRtPage(copy.data(), static_cast<int>(copy.size()), table, sink);
        found = sink.found;
    } else {
        FoundQuoteSink sink;
        parseQuotePage(copy.data(), static_cast<int>(copy.size()), table, sink);
        found = sink.found;
    }
    if (found != SymbolsPerBatch)
        state.SkipWithError("not every symbol of the page was found");
}

using QuoteParse = PageEnd (*)(char*, int, SymbolTable&, QuotePageSink&);
using RtParse = PageEnd (*)(char*, int, SymbolTable&, RtPageSink&);

void quotePageWith(benchmark::State& state, const char* name, bool widen, QuoteParse parse) {
    std::vector<char> page = readPage(name, widen);
    const auto table = std::make_unique<SymbolTable>();
    setSymbols(*table);
    checkAllFound(state, page, *table, false);
    CountingQuoteSink sink;
    for (auto _ : state) {
        // Re-parsing the same bytes is fair: the marker search only lower-cases what precedes the table.
        benchmark::DoNotOptimize(parse(page.data(), static_cast<int>(page.size()), *table, sink));
    }
    benchmark::DoNotOptimize(sink.bytes);
    reportRates(state, page.size());
}

void rtPageWith(benchmark::State& state, const char* name, bool widen, RtParse parse) {
    std::vector<char> page = readPage(name, widen);
    const auto table = std::make_unique<SymbolTable>();
    setSymbols(*table);
    checkAllFound(state, page, *table, true);
    CountingRtSink sink;
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(page.data(), static_cast<int>(page.size()), *table, sink));
    benchmark::DoNotOptimize(sink.bytes);
    reportRates(state, page.size());
}

void quotePage(benchmark::State& state, const char* name, bool widen) {
    quotePageWith(state, name, widen, parseQuotePage);
}
void referenceQuotePage(benchmark::State& state, const char* name, bool widen) {
    quotePageWith(state, name, widen, reference::parseQuotePage);
}
void rtPage(benchmark::State& state, const char* name, bool widen) {
    rtPageWith(state, name, widen, parseRtPage);
}
void referenceRtPage(benchmark::State& state, const char* name, bool widen) {
    rtPageWith(state, name, widen, reference::parseRtPage);
}

// One pass over the page's bytes looking for a byte value the page does not hold.
void memchrFloor(benchmark::State& state, const char* name, bool widen) {
    const std::vector<char> page = readPage(name, widen);
    int absent = 1;
    while (absent < 256 && std::memchr(page.data(), absent, page.size()) != nullptr)
        ++absent;
    if (absent == 256) {
        state.SkipWithError("the page holds every byte value");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(page.data());
        benchmark::DoNotOptimize(std::memchr(page.data(), absent, page.size()));
    }
    reportRates(state, page.size());
}

} // namespace

#define PAGE_BENCHMARKS(bench)                                                                                         \
    BENCHMARK_CAPTURE(bench, delayed_20, "delayed_20.html", false);                                                    \
    BENCHMARK_CAPTURE(bench, delayed_20_chunked, "delayed_20_chunked.html", false);                                    \
    BENCHMARK_CAPTURE(bench, delayed_20_wide, "delayed_20.html", true)
#define RT_BENCHMARKS(bench)                                                                                           \
    BENCHMARK_CAPTURE(bench, rt_20, "rt_20.txt", false);                                                               \
    BENCHMARK_CAPTURE(bench, rt_20_chunked, "rt_20_chunked.txt", false);                                               \
    BENCHMARK_CAPTURE(bench, rt_20_wide, "rt_20.txt", true)

PAGE_BENCHMARKS(quotePage);
PAGE_BENCHMARKS(referenceQuotePage);
PAGE_BENCHMARKS(memchrFloor);
RT_BENCHMARKS(rtPage);
RT_BENCHMARKS(referenceRtPage);
RT_BENCHMARKS(memchrFloor);

BENCHMARK_MAIN();
