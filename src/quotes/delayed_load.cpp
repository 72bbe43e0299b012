#include "quotes/delayed_load.h"

#include "parsing/batch_path.h"
#include "parsing/quote_table.h"
#include "portfolio/core/portfolio_rules.h"

const QuoteLoadKind DelayedLoad = {&QuoteTable, LoadCapacity / SymbolsPerBatch - 1, DelayedQueryKey, DelayedDataSuffix};
