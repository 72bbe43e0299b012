#include "quotes/load_n_process.h"

#include <QLineEdit>

#include "app/form_quote.h"
#include "parsing/batch_path.h"
#include "parsing/quote_table.h"
#include "portfolio/core/portfolio_rules.h"
#include "quotes/quote_load.h"
#include "quotes/quote_views.h"

namespace {
// Advancers, decliners and unchanged issues among the rows this load stored.
void countIssues() {
    int advancers = 0, decliners = 0, unchanged = 0;
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        if (QuotePctChanges[i] > 0)
            ++advancers;
        else if (QuotePctChanges[i] < 0)
            ++decliners;
        else
            ++unchanged;
    }
    OnWindowThread([advancers, decliners, unchanged] {
        FormQuote->Adv->setText(QString::number(advancers));
        FormQuote->Decl->setText(QString::number(decliners));
        FormQuote->NoChg->setText(QString::number(unchanged));
    });
}

const QuoteLoadTab DelayedQuotes = {
    &TFormQuote::BtnQuote,
    &TFormQuote::DisplayQR,
    &TFormQuote::Portfolio,
    &TFormQuote::StatusBar1,
    &TFormQuote::QuotesLoading,
    &QuoteTable,
    LoadCapacity / SymbolsPerBatch - 1,
    DelayedQueryKey,
    DelayedDataSuffix,
    [](char* reply, int length, FILE* data) {
        QuoteViewSink sink(*FormQuote, data);
        return parseQuotePage(reply, length, sink) == PageEnd::EndOfList;
    },
    countIssues,
    [](const QString& doneText) { CompleteQuoteLoad(*FormQuote, doneText); },
};
} // namespace

LoadnProcess::LoadnProcess(bool createSuspended, QuoteLoadRequest request)
    : TThread(createSuspended), request_(std::move(request)) {}

void LoadnProcess::Execute() {
    RunQuoteLoad(DelayedQuotes, request_);
}
