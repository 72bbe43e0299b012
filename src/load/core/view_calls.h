#pragma once
// The calls a load makes on its tab's view, run on the window thread in the order the load
// made them. One turn of the window's event loop runs them for a few milliseconds at most and
// leaves the rest to the next turn, so that a burst of pages never keeps the user's input or
// the painting waiting. The load waits only when it is a few pages ahead of the window.
#include <condition_variable>
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
    // How many calls may wait for the window before the load's worker waits for them to run:
    // a few pages. A worker left to run ahead queued most of a 2000-symbol load's pages, all
    // alive at once in its thread's malloc arena, which keeps the pages of its highest such
    // pile for good: over a day of refreshes, the window's memory rose with every new high.
    static constexpr std::size_t MostWaiting = 16;

    explicit ViewCalls(QuoteLoadView* view) : view_(view) {}
    // From the load's worker: the call joins the queue, once fewer than MostWaiting calls
    // wait; a turn is asked for if none is due.
    void post(Call call);

private:
    void runTurn(); // on the window thread

    QuoteLoadView* const view_;
    std::mutex mutex_;
    std::condition_variable ran_; // a call has left the queue
    std::deque<Call> calls_;      // guarded by mutex_
    bool turnDue_ = false;        // guarded by mutex_
    bool running_ = false;        // window thread only: a call opened a box whose own loop turned
};
