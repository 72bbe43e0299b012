#pragma once
// The quote request both loaders send: the batch path and the hand-written GET.
#include <functional>
#include <string>

#include "quotes/core/quote_table.h"

constexpr char QuotePathPrefix[] = "/q/cq?s=";
constexpr char DelayedQueryKey[] = "&d=v1";
constexpr char RealTimeQueryKey[] = "&d=e";

enum class BatchPlan {
    Request,          // path holds the batch's symbols and the key
    NothingToRequest, // the batch has symbols, but none that may be requested (too long)
    EndOfList         // no symbol left: the load ends normally
};

// Builds the path of batch `batch` from the symbol slots (20 per batch), calling
// visitIndex once per slot index visited, before the slot is examined. A single
// symbol gets the dummy "xxxx"; doubled commas and the trailing comma are tidied.
// Symbols longer than 6 characters are never requested.
BatchPlan buildBatchPath(const char (*symbols)[SymbolSlotSize], const int* lengths, int batch, const char* key,
                         std::string& path, const std::function<void()>& visitIndex = {});

// "GET %s HTTP/1.1\nHost: %s\n\n"
std::string requestText(const std::string& path, const std::string& host);
