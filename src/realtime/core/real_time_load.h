#pragma once
// A real-time load: up to three batches (60 symbols) of the RealTime tab's portfolio into its
// rows, asked with "&d=e", written to "%s_data_qt2.txt".
#include "load/core/quote_load.h"

extern const QuoteLoadKind RealTimeLoad;
