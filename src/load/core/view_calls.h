#pragma once
// The calls a load makes on its tab's view, run on the window thread in the order the load
// made them, without the load ever waiting. One turn of the window's event loop runs them for
// a few milliseconds at most and leaves the rest to the next turn, so that a burst of pages
// never keeps the user's input or the painting waiting.
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "load/core/quote_load.h"
#include "platform/core/live_count.h"

class ViewCalls : public std::enable_shared_from_this<ViewCalls>, public LiveCount<ViewCalls> {
public:
    using Call = std::function<void(QuoteLoadView&)>;
    // How long one turn may run calls before it lets the event loop go on.
    static constexpr int TurnMs = 2;

    explicit ViewCalls(QuoteLoadView* view) : view_(view) {}
    // From the load's worker: the call joins the queue; a turn is asked for if none is due.
    void post(Call call);

private:
    void runTurn(); // on the window thread

    QuoteLoadView* const view_;
    std::mutex mutex_;
    std::deque<Call> calls_; // guarded by mutex_
    bool turnDue_ = false;   // guarded by mutex_
    bool running_ = false;   // window thread only: a call opened a box whose own loop turned
};
