#pragma once
// What real-time rows do to the window: the grid RT1, the hidden mirror DisplayQR1 and
// the data file. Runs on the window thread.
#include <QString>
#include <cstdio>

#include "parsing/rt_page.h"
#include "quotes/tab_load_view.h"

class TFormQuote;

class RtViewSink : public RtPageSink {
public:
    RtViewSink(TFormQuote& form, FILE* dataFile) : RtPageSink(dataFile), form_(form) {}
    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override;

private:
    TFormQuote& form_;
};

// The end of a real-time load: the final status text and the rows this load parsed.
void CompleteRtLoad(TFormQuote& form, const QString& doneText);

// The RealTime tab as its loads see it.
class RealTimeLoadView : public TabLoadView {
public:
    explicit RealTimeLoadView(TFormQuote& form);
    bool showPage(char* reply, int length, FILE* data) override;
    // The controls enabled, then the completion.
    void finished(const QString& doneText) override;

private:
    TFormQuote& form_;
};
