#pragma once
// One quote request on a fresh TCP connection: resolve, connect (with the one retry), send,
// receive the whole reply. Plain POSIX sockets; a closed peer never raises SIGPIPE. Every
// wait is bounded: one deadline covers the request from the first connect to the last byte.
#include <functional>
#include <string>
#include <sys/socket.h>
#include <vector>

constexpr int ReplyBufferSize = 81920;

struct FetchTimeouts {
    int connectMs = 4000;    // one connect attempt over the server's addresses
    int retryPauseMs = 1500; // before the second attempt
    int requestMs = 10000;   // the whole request, connect and retry included
};

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Every IPv4 and IPv6 address of host, with the port; empty when the name does not resolve.
std::vector<SocketAddress> resolveQuoteServer(const std::string& host, int port);

struct FetchReply {
    bool ok = false; // a whole 200 reply: length bytes of its page are in the buffer
    // The page's bytes in the buffer: the final response's status line and headers, then its
    // body decoded (a reply beyond the buffer is received whole, kept cut).
    int length = 0;
    std::string reason; // when not ok, what happened, for the user: "connection refused", ...
};

// Connects to the addresses in turn (a second round after the retry pause when none
// answers), sends the request text in one call (then calls afterSend) and receives the
// reply's page into buffer.
FetchReply fetchReply(const std::vector<SocketAddress>& addresses, const std::string& request, char* buffer,
                      int capacity, const FetchTimeouts& timeouts = {}, const std::function<void()>& afterSend = {});
