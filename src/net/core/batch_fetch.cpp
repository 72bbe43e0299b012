#include "net/core/batch_fetch.h"

#include "net/core/quote_fetch.h"
#include "net/core/quote_request.h"
#include "platform/core/socket_library.h"

FetchOutcome fetchBatch(const std::string& host, int port, const std::string& path, char* buffer, int capacity,
                        int& length, const BatchFetchSteps& steps)
{
    const std::string request = requestText(path, host);
    // A server that answers every request briefly must not hold the load forever.
    for (int attempt = 0; attempt <= ShortReplyRepeatLimit; ++attempt) {
        length = 0;
        sockaddr_in address{};
        if (!resolveQuoteServer(host, port, &address))
            return FetchOutcome::Unresolved;
        if (steps.beforeConnect)
            steps.beforeConnect();
        const int socket = connectQuoteServer(address);
        if (socket < 0)
            return FetchOutcome::ConnectionLost;
        sendRequest(socket, request);
        if (steps.afterSend)
            steps.afterSend();
        length = receiveReply(socket, buffer, capacity);
        closeSocket(socket);
        if (length >= ShortReplyLimit)
            return FetchOutcome::Reply;
        SocketLibraryRelease();
        SocketLibraryStart();
    }
    length = 0;
    return FetchOutcome::ConnectionLost;
}
