#include "realtime/load_n_process_rt.h"

#include "app/form_quote.h"
#include "parsing/batch_path.h"
#include "parsing/rt_table.h"
#include "portfolio/core/portfolio_rules.h"
#include "quotes/quote_load.h"
#include "realtime/rt_views.h"

namespace {
const QuoteLoadTab RealTimeQuotes = {
    &TFormQuote::BtnQuote1,
    &TFormQuote::DisplayQR1,
    &TFormQuote::Portfolio1,
    &TFormQuote::StatusBar2,
    &TFormQuote::RealTimeLoading,
    &RtTable,
    RtBatchLimit - 1,
    RealTimeQueryKey,
    RealTimeDataSuffix,
    [](char* reply, int length, FILE* data) {
        RtViewSink sink(*FormQuote, data);
        return parseRtPage(reply, length, sink) == PageEnd::EndOfList;
    },
    {},
    [](const QString& doneText) { CompleteRtLoad(*FormQuote, doneText); },
};
} // namespace

LoadnProcessRt::LoadnProcessRt(bool createSuspended, QuoteLoadRequest request)
    : TThread(createSuspended), request_(std::move(request)) {}

void LoadnProcessRt::Execute() {
    RunQuoteLoad(RealTimeQuotes, request_);
}
