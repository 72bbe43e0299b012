#pragma once
// One quote request on a fresh TCP connection: resolve, connect (with the one retry),
// send, receive. Plain POSIX sockets; a closed peer never raises SIGPIPE.
#include <netinet/in.h>
#include <string>

constexpr int ReplyBufferSize = 81920;
constexpr int ShortReplyLimit = 1200;  // a reply below this is requested again
constexpr int ShortReplyRepeatLimit = 5; // after this many short replies the load gives up
constexpr int ConnectRetryDelayMs = 1500;

struct FetchTimeouts {
    int connectMs = 5000; // an address that never answers fails within this
    int idleMs = 5000;    // a connection that sends nothing for this long is done
};

// Resolves host to its first IPv4 address with the port; false when it does not resolve.
bool resolveQuoteServer(const std::string& host, int port, sockaddr_in* address);

// Opens a stream socket and connects; on failure closes it, waits 1500 ms and tries
// once more. Returns the socket, or -1 when the second attempt fails too.
int connectQuoteServer(const sockaddr_in& address, const FetchTimeouts& timeouts = {});

// Sends the whole request text in one call; a closed peer is not fatal.
void sendRequest(int socket, const std::string& text);

// Receives into buffer until the server closes, an error, the buffer is full, the
// response is complete (header block plus Content-Length bytes, or the last chunk of
// a chunked body), or nothing arrives for idleMs. Returns the bytes received.
int receiveReply(int socket, char* buffer, int capacity, const FetchTimeouts& timeouts = {});

void closeSocket(int socket);

// True once buffer[0, length) holds a whole HTTP response.
bool responseComplete(const char* buffer, int length);
