#include "quotes/delayed_load.h"

#include "parsing/batch_path.h"
#include "parsing/quote_table.h"
#include "portfolio/core/portfolio_rules.h"

namespace {
const QuoteLoadKind DelayedQuotes = {&QuoteTable, LoadCapacity / SymbolsPerBatch - 1, DelayedQueryKey,
                                     DelayedDataSuffix};
} // namespace

DelayedLoad::DelayedLoad(bool createSuspended, QuoteLoadRequest request)
    : TThread(createSuspended), request_(std::move(request)) {}

void DelayedLoad::Execute() {
    RunQuoteLoad(DelayedQuotes, request_);
}
