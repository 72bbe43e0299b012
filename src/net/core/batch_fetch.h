#pragma once
// One batch's request as both loaders make it: resolve, connect (one retry), send the GET,
// receive the whole reply. A complete 200 reply under 1200 bytes is requested again, a
// bounded number of times; nothing else is repeated.
#include <functional>
#include <string>

#include "net/core/quote_fetch.h"
#include "net/core/server_address.h"

// A complete page below this is requested again. The page is counted as the parsers get it,
// decoded: a busy server's short page is short however it was framed.
constexpr int ShortReplyLimit = 1200;
constexpr int ShortReplyRepeatLimit = 5; // after this many repeats the load gives up

struct BatchFetchSteps {
    std::function<void()> beforeConnect; // first batch: "Connecting to remote server"
    std::function<void()> afterSend;     // first batch: "Getting quotes..."
};

struct BatchReply {
    bool ok = false;    // a whole 200 page of at least the short-reply limit is in the buffer
    int length = 0;     // its bytes in the buffer
    std::string reason; // when not ok, for the user: "127.0.0.1:8080: connection refused"
};

BatchReply fetchBatch(const ServerAddress& server, const std::string& path, char* buffer, int capacity,
                      const BatchFetchSteps& steps = {}, const FetchTimeouts& timeouts = {});
