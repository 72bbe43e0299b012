#pragma once
// A real-time load: up to three batches (60 symbols) of the RealTime tab's portfolio,
// each page parsed on the window thread into RT1, its mirror and the data file.
#include "platform/t_thread.h"
#include "quotes/quote_load.h"

class RealTimeLoad : public TThread {
public:
    RealTimeLoad(bool createSuspended, QuoteLoadRequest request);

protected:
    void Execute() override;

private:
    const QuoteLoadRequest request_;
};
