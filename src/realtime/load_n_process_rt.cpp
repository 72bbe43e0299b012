#include "realtime/load_n_process_rt.h"

#include "parsing/batch_path.h"
#include "parsing/rt_table.h"
#include "portfolio/core/portfolio_rules.h"

namespace {
const QuoteLoadKind RealTimeQuotes = {&RtTable, RtBatchLimit - 1, RealTimeQueryKey, RealTimeDataSuffix};
} // namespace

LoadnProcessRt::LoadnProcessRt(bool createSuspended, QuoteLoadRequest request)
    : TThread(createSuspended), request_(std::move(request)) {}

void LoadnProcessRt::Execute() {
    RunQuoteLoad(RealTimeQuotes, request_);
}
