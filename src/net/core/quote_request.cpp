#include "net/core/quote_request.h"

#include <cstring>

namespace {

// Longer portfolio lines are kept cut and marked in their slot; the server never sees them.
constexpr int MaxRequestableLength = SymbolSlotSize - 1;
constexpr char DummySymbol[] = "xxxx,";

bool endsList(const char* slot) {
    return slot[0] == '\0' || static_cast<unsigned char>(slot[0]) == 0xFF;
}

// From the last character down to index 9: wherever ',' follows ',', cut at the second.
// Then the trailing comma goes.
void tidyCommas(std::string& path) {
    for (int k = static_cast<int>(path.size()) - 1; k >= 9; --k) {
        if (path[k] == ',' && path[k - 1] == ',')
            path.resize(k);
    }
    if (!path.empty())
        path.pop_back();
}

} // namespace

BatchPlan buildBatchPath(const char (*symbols)[SymbolSlotSize], const int* lengths, int batch, const char* key,
                         std::string& path, const std::function<void()>& visitIndex) {
    const std::size_t prefixLength = std::strlen(QuotePathPrefix);
    path.assign(QuotePathPrefix);

    int appended = 0;
    bool skippedOverlong = false;
    const int first = batch * SymbolsPerBatch;
    for (int i = first; i < first + SymbolsPerBatch && i < QuoteTableCapacity; ++i) {
        if (visitIndex)
            visitIndex();
        if (endsList(symbols[i]))
            break;
        if (lengths[i] > MaxRequestableLength) {
            skippedOverlong = true;
            continue;
        }
        path.append(symbols[i]);
        path.push_back(',');
        ++appended;
    }
    // A lone symbol always travels with a dummy second one.
    if (appended == 1)
        path.append(DummySymbol);

    if (path.size() == prefixLength)
        return skippedOverlong ? BatchPlan::NothingToRequest : BatchPlan::EndOfList;

    // A leading lone comma tidies the whole path away: that ends the load, as an empty slot would.
    tidyCommas(path);
    if (path.size() <= prefixLength) {
        path.assign(QuotePathPrefix);
        return BatchPlan::EndOfList;
    }
    path.append(key);
    return BatchPlan::Request;
}

std::string requestText(const std::string& path, const std::string& host) {
    std::string text;
    text.reserve(path.size() + host.size() + 24);
    text.append("GET ").append(path).append(" HTTP/1.1\nHost: ").append(host).append("\n\n");
    return text;
}
