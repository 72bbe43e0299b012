#pragma once
// What real-time rows do to the window: the grid RT1, the hidden mirror DisplayQR1 and
// the data file. Runs on the window thread.
#include <QString>
#include <cstdio>

#include "realtime/core/rt_page.h"

class TFormQuote;

class RtViewSink : public RtPageSink {
public:
    RtViewSink(TFormQuote& form, FILE* dataFile) : form_(form), dataFile_(dataFile) {}
    void writeDataLine(const char* squeezed) override;
    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override;

private:
    TFormQuote& form_;
    FILE* dataFile_;
};

// The end of a real-time load: the final status text and the rows this load parsed.
void CompleteRtLoad(TFormQuote& form, const QString& doneText);
