#include "realtime/real_time_load.h"

#include "parsing/batch_path.h"
#include "parsing/rt_table.h"
#include "portfolio/core/portfolio_rules.h"

const QuoteLoadKind RealTimeLoad = {&RtTable, RtBatchLimit - 1, RealTimeQueryKey, RealTimeDataSuffix};
