#pragma once
// A delayed-quote load: up to 100 batches of the Quotes tab's portfolio into the delayed table,
// asked with "&d=v1", written to "%s_data_qt1.txt".
#include "quotes/quote_load.h"

extern const QuoteLoadKind DelayedLoad;
