#pragma once
// What a quote request asks for: the path of a batch of symbols, the same for both loaders
// but for the key that picks the page.
#include <functional>
#include <string>

#include "parsing/symbol_table.h"

constexpr char QuotePathPrefix[] = "/q/cq?s=";
constexpr char DelayedQueryKey[] = "&d=v1";
constexpr char RealTimeQueryKey[] = "&d=e";

enum class BatchPlan {
    Request,          // path holds the batch's symbols and the key
    NothingToRequest, // the batch has symbols, but none that may be requested (none placeable)
    EndOfList         // no symbol left: the load ends normally
};

// Builds the path of batch `batch` from the symbol slots (20 per batch), calling
// visitIndex once per slot index visited, before the slot is examined. A single
// symbol gets the dummy "xxxx"; the trailing comma goes.
// Only symbols the page patterns can place are requested (isPlaceableSymbol: never a line
// longer than 6 characters); symbol bytes are percent-encoded where percentEncodeSymbol says so.
BatchPlan buildBatchPath(const char (*symbols)[SymbolSlotSize], const int* lengths, int batch, const char* key,
                         std::string& path, const std::function<void()>& visitIndex = {});

// A symbol as it travels in a URL: letters, digits and ".^-_~" as they are, any other byte
// as %XX, so that a portfolio line can never change the rest of the request.
std::string percentEncodeSymbol(const std::string& symbol);
