#include "net/core/batch_fetch.h"

#include "net/core/http_request.h"

BatchReply fetchBatch(const ServerAddress& server, const std::string& path, char* buffer, int capacity,
                      const BatchFetchSteps& steps, const FetchTimeouts& timeouts) {
    const std::string authority = server.authority();
    const std::string request = requestText(path, authority);
    BatchReply result;
    // A server that answers every request briefly must not hold the load forever.
    for (int attempt = 0; attempt <= ShortReplyRepeatLimit; ++attempt) {
        const std::vector<SocketAddress> addresses = resolveQuoteServer(server.host, server.port);
        if (addresses.empty()) {
            result.reason = server.host + ": host not found";
            return result;
        }
        if (steps.beforeConnect)
            steps.beforeConnect();
        const FetchReply reply = fetchReply(addresses, request, buffer, capacity, timeouts, steps.afterSend);
        result.length = reply.length;
        if (!reply.ok) {
            result.reason = authority + ": " + reply.reason;
            return result;
        }
        if (reply.length >= ShortReplyLimit) {
            result.ok = true;
            return result;
        }
    }
    result.reason = authority + ": reply too short, " + std::to_string(ShortReplyRepeatLimit + 1) + " tries";
    return result;
}
