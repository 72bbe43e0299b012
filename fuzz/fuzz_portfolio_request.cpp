// A portfolio file of arbitrary bytes, read as a load reads it, and the request of every
// batch it gives. Whatever a portfolio line holds, the request must stay one well-formed
// GET: its symbols travel percent-encoded, so no byte of a line can end the request line,
// add a query field or a fragment, or change the key.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "load/core/portfolio_rules.h"
#include "net/core/http_request.h"
#include "parsing/batch_path.h"

namespace {

char Slots[QuoteTableCapacity][SymbolSlotSize];
int Lengths[QuoteTableCapacity];

// One past the last batch that can hold a slot: the batch after it must end the list.
constexpr int BatchBound = QuoteTableCapacity / SymbolsPerBatch + 1;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "portfolio request: %s\n", what);
        std::abort();
    }
}

bool endsList(const char* slot) {
    return slot[0] == '\0';
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool travelsPlain(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '^' ||
           c == '-' || c == '_' || c == '~';
}

// The symbols of a batch's path, decoded; aborts on any byte a symbol may not travel as.
std::vector<std::string> decodeSymbols(const std::string& list) {
    std::vector<std::string> symbols(1);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        require(c != '\r' && c != '\n' && c != ' ', "CR, LF or space in the path");
        require(c != '&' && c != '#', "'&' or '#' in the symbols of the path");
        if (c == ',') {
            symbols.emplace_back();
        } else if (c == '%') {
            require(i + 2 < list.size() && isHex(list[i + 1]) && isHex(list[i + 2]),
                    "'%' without two hex digits in the path");
            symbols.back().push_back(static_cast<char>(hexValue(list[i + 1]) * 16 + hexValue(list[i + 2])));
            i += 2;
        } else {
            require(travelsPlain(c), "a byte in the path that is neither plain nor percent-encoded");
            symbols.back().push_back(c);
        }
    }
    return symbols;
}

void checkRequest(const std::string& path, const char* authority) {
    const std::string text = requestText(path, authority);
    const std::string expected = "GET " + path + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n";
    require(text == expected, "request text is not GET <path> HTTP/1.1 and the Host line");
    const std::size_t end = text.find("\r\n\r\n");
    require(end != std::string::npos && end + 4 == text.size(), "request does not end at its only blank line");
}

void checkBatch(int batch, const char* key) {
    const int first = batch * SymbolsPerBatch;
    std::vector<std::string> wanted; // the batch's symbols that may be requested, in order
    bool skipped = false;
    bool listEndsAtFirst = first >= QuoteTableCapacity;
    int visitsExpected = 0;
    for (int i = first; i < first + SymbolsPerBatch && i < QuoteTableCapacity; ++i) {
        ++visitsExpected;
        if (endsList(Slots[i])) {
            listEndsAtFirst = i == first;
            break;
        }
        if (Lengths[i] > SymbolSlotSize - 1)
            skipped = true;
        else
            wanted.emplace_back(Slots[i]);
    }

    std::string path = "left over from the last batch";
    int visits = 0;
    const BatchPlan plan = buildBatchPath(Slots, Lengths, batch, key, path, [&visits] { ++visits; });
    require(visits == visitsExpected, "slot visits differ from the slots examined");

    if (listEndsAtFirst) {
        require(plan == BatchPlan::EndOfList, "a batch starting at the list's end is not EndOfList");
        return;
    }
    if (wanted.empty()) {
        require(skipped && plan == BatchPlan::NothingToRequest, "a batch of only overlong symbols is requested");
        require(path == QuotePathPrefix, "a batch with nothing to request has symbols in its path");
        return;
    }
    require(plan == BatchPlan::Request, "a batch with symbols is not requested");

    const std::string prefix = QuotePathPrefix;
    require(path.size() >= prefix.size() + std::strlen(key), "path shorter than prefix and key");
    require(path.compare(0, prefix.size(), prefix) == 0, "path does not start with the prefix");
    require(path.compare(path.size() - std::strlen(key), std::string::npos, key) == 0, "path does not end in the key");
    const std::string list = path.substr(prefix.size(), path.size() - prefix.size() - std::strlen(key));
    if (wanted.size() == 1)
        wanted.emplace_back("xxxx");
    require(decodeSymbols(list) == wanted, "path does not carry exactly the batch's symbols");

    checkRequest(path, "127.0.0.1");
    checkRequest(path, "127.0.0.1:8080");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Slots past the loader's capacity are not emptied by the reader; clear them so that
    // every input starts from the same table.
    std::memset(Slots, 0, sizeof Slots);
    std::memset(Lengths, 0, sizeof Lengths);

    std::vector<char> bytes(data, data + size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "r");
    require(file != nullptr, "fmemopen failed");
    const int stored = readPortfolioSymbols(file, Slots, Lengths);
    const int listed = listPortfolio(file).listed;
    std::fclose(file);

    require(stored >= 0 && stored <= QuoteTableCapacity, "stored count outside the table");
    require(listed >= 0, "negative listed count");
    for (int i = 0; i < stored; ++i) {
        require(Lengths[i] >= 0 && Lengths[i] <= PortfolioReadSize, "line length outside one read");
        const std::size_t kept = strnlen(Slots[i], SymbolSlotSize);
        require(kept < SymbolSlotSize, "slot without its NUL");
        if (Lengths[i] < SymbolSlotSize)
            require(kept == static_cast<std::size_t>(Lengths[i]), "short symbol not kept whole");
        else
            require(kept == SymbolSlotSize - 1 && Slots[i][SymbolSlotSize - 2] == '~', "overlong symbol not marked");
        require(std::memchr(Slots[i], '\n', kept) == nullptr, "newline kept in a slot");
    }
    // Up to the first empty line, when the stored lines hold one.
    for (int i = 0; i < stored; ++i) {
        if (Slots[i][0] == '\0') {
            require(listed == i, "listed count is not the first empty line");
            break;
        }
    }
    if (stored < QuoteTableCapacity)
        require(listed <= stored, "more symbols listed than lines read");

    int batch = 0;
    for (; batch < BatchBound; ++batch) {
        checkBatch(batch, RealTimeQueryKey);
        std::string path;
        if (buildBatchPath(Slots, Lengths, batch, DelayedQueryKey, path) == BatchPlan::EndOfList)
            break;
        checkBatch(batch, DelayedQueryKey);
    }
    require(batch < BatchBound, "the batches never reached the end of the list");
    return 0;
}
