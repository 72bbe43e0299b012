#include "realtime/real_time_load.h"

#include "parsing/batch_path.h"
#include "parsing/rt_table.h"
#include "portfolio/core/portfolio_rules.h"

namespace {
const QuoteLoadKind RealTimeQuotes = {&RtTable, RtBatchLimit - 1, RealTimeQueryKey, RealTimeDataSuffix};
} // namespace

RealTimeLoad::RealTimeLoad(bool createSuspended, QuoteLoadRequest request)
    : TThread(createSuspended), request_(std::move(request)) {}

void RealTimeLoad::Execute() {
    RunQuoteLoad(RealTimeQuotes, request_);
}
