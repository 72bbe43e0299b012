#pragma once
// A delayed-quote load: reads the Quotes tab's portfolio, requests the quotes 20 symbols
// a request, hands every page to the parser on the window thread, then completes the load.
#include "platform/t_thread.h"
#include "quotes/quote_load.h"

class DelayedLoad : public TThread {
public:
    DelayedLoad(bool createSuspended, QuoteLoadRequest request);

protected:
    void Execute() override;

private:
    const QuoteLoadRequest request_;
};
