#pragma once
// One batch's request as both loaders make it: resolve, connect (one retry), send the
// GET, receive; a reply under 1200 bytes is requested again, a bounded number of times.
#include <functional>
#include <string>

enum class FetchOutcome {
    Reply,         // length bytes (at least the short-reply limit) are in the buffer
    Unresolved,    // the host name did not resolve: nothing was requested, length is 0
    ConnectionLost // the connect failed twice, or every repeat got a short reply
};

struct BatchFetchSteps {
    std::function<void()> beforeConnect; // first batch: "Connecting to remote server"
    std::function<void()> afterSend;     // first batch: "Getting quotes..."
};

FetchOutcome fetchBatch(const std::string& host, int port, const std::string& path, char* buffer, int capacity,
                        int& length, const BatchFetchSteps& steps = {});
