#pragma once
// A real-time load: up to three batches (60 symbols) of the RealTime tab's portfolio,
// each page parsed on the window thread into RT1, its mirror and the data file.
#include "platform/t_thread.h"

class LoadnProcessRt : public TThread {
public:
    explicit LoadnProcessRt(bool createSuspended);

protected:
    void Execute() override;
};
