// Page parsing cost: one 20-symbol reply per iteration, delayed and real-time, plain
// and chunked. Reported as pages per second (items) and symbols per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"

namespace {

const char* const Symbols[SymbolsPerBatch] = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                              "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};

std::vector<char> readPage(const char* name) {
    const std::string path = std::string(TICKWELL_BENCH_DATA "/") + name;
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return bytes;
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

void reportRates(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations()); // items/s = pages/s
    state.counters["symbols/s"] =
        benchmark::Counter(double(state.iterations()) * SymbolsPerBatch, benchmark::Counter::kIsRate);
}

void quotePage(benchmark::State& state, const char* name) {
    std::vector<char> page = readPage(name);
    for (int i = 0; i < SymbolsPerBatch; ++i) {
        std::strcpy(QuoteTable.symbols[i], Symbols[i]);
        QuoteTable.lengths[i] = static_cast<int>(std::strlen(Symbols[i]));
    }
    QuoteTable.batch = 0;
    CountingQuoteSink sink;
    for (auto _ : state) {
        QuoteTable.rowsLoaded = 0;
        // Re-parsing the same bytes is fair: the marker search only lower-cases what precedes the table.
        benchmark::DoNotOptimize(parseQuotePage(page.data(), static_cast<int>(page.size()), sink));
    }
    benchmark::DoNotOptimize(sink.bytes);
    reportRates(state);
}

void rtPage(benchmark::State& state, const char* name) {
    std::vector<char> page = readPage(name);
    for (int i = 0; i < SymbolsPerBatch; ++i) {
        std::strcpy(RtTable.symbols[i], Symbols[i]);
        RtTable.lengths[i] = static_cast<int>(std::strlen(Symbols[i]));
    }
    RtTable.batch = 0;
    CountingRtSink sink;
    for (auto _ : state) {
        RtTable.rowsLoaded = 0;
        benchmark::DoNotOptimize(parseRtPage(page.data(), static_cast<int>(page.size()), sink));
    }
    benchmark::DoNotOptimize(sink.bytes);
    reportRates(state);
}

} // namespace

BENCHMARK_CAPTURE(quotePage, delayed_20, "delayed_20.html");
BENCHMARK_CAPTURE(quotePage, delayed_20_chunked, "delayed_20_chunked.html");
BENCHMARK_CAPTURE(rtPage, rt_20, "rt_20.txt");
BENCHMARK_CAPTURE(rtPage, rt_20_chunked, "rt_20_chunked.txt");

BENCHMARK_MAIN();
