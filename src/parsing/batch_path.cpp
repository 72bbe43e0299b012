#include "parsing/batch_path.h"

#include <cstring>

namespace {

constexpr char DummySymbol[] = "xxxx,";

} // namespace

BatchPlan buildBatchPath(const char (*symbols)[SymbolSlotSize], const int* lengths, int batch, const char* key,
                         std::string& path, const std::function<void()>& visitIndex) {
    const std::size_t prefixLength = std::strlen(QuotePathPrefix);
    path.assign(QuotePathPrefix);

    int appended = 0;
    bool skippedUnplaceable = false;
    const int first = batch * SymbolsPerBatch;
    for (int i = first; i < first + SymbolsPerBatch && i < QuoteTableCapacity; ++i) {
        if (visitIndex)
            visitIndex();
        if (isEndOfSymbols(symbols[i]))
            break;
        // Never ask for a row no pattern can place (a line longer than 6 characters, kept cut and
        // marked in its slot): it would stand between the next symbols' search and their rows.
        if (!isPlaceableSymbol(symbols[i], lengths[i])) {
            skippedUnplaceable = true;
            continue;
        }
        path.append(percentEncodeSymbol(symbols[i]));
        path.push_back(',');
        ++appended;
    }
    // A lone symbol always travels with a dummy second one.
    if (appended == 1)
        path.append(DummySymbol);

    if (path.size() == prefixLength)
        return skippedUnplaceable ? BatchPlan::NothingToRequest : BatchPlan::EndOfList;

    // Symbols travel encoded, so the only commas are the separators: the last one goes.
    path.pop_back();
    path.append(key);
    return BatchPlan::Request;
}

std::string percentEncodeSymbol(const std::string& symbol) {
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(symbol.size());
    for (const char c : symbol) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '.' || byte == '^' || byte == '-' || byte == '_' ||
                           byte == '~';
        if (plain) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(hex[byte >> 4]);
            encoded.push_back(hex[byte & 15]);
        }
    }
    return encoded;
}
