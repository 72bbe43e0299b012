#pragma once
// A delayed-quote load: reads the Quotes tab's portfolio, requests the quotes 20 symbols
// a request, hands every page to the parser on the window thread, then completes the load.
#include "platform/t_thread.h"

class LoadnProcess : public TThread {
public:
    explicit LoadnProcess(bool createSuspended);

protected:
    void Execute() override;
};
