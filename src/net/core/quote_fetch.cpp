#include "net/core/quote_fetch.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on the socket until the deadline; a signal does not cut the wait short.
// Returns the poll result: >0 ready, 0 timed out, -1 error.
int pollUntil(int socket, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{socket, events, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready >= 0 || errno != EINTR)
            return ready;
    }
}

bool setNonBlocking(int socket, bool on) {
    const int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0)
        return false;
    return ::fcntl(socket, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0;
}

// One connect attempt, bounded by connectMs: a host that never answers must not hold the load.
int connectOnce(const sockaddr_in& address, int connectMs) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    if (!setNonBlocking(socket, true)) {
        ::close(socket);
        return -1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(connectMs);
    int result = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result < 0 && (errno == EINPROGRESS || errno == EINTR)) {
        result = -1;
        if (pollUntil(socket, POLLOUT, deadline) > 0) {
            int error = 0;
            socklen_t size = sizeof error;
            if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
                result = 0;
        }
    }
    if (result < 0 || !setNonBlocking(socket, false)) {
        ::close(socket);
        return -1;
    }
    return socket;
}

// Lengths beyond this cannot fit the reply buffer many times over; treat them as garbage.
constexpr long long MaxSensibleLength = ReplyBufferSize * 16LL;

bool startsWithNoCase(const char* text, const char* end, const char* word) {
    for (; *word; ++word, ++text) {
        if (text >= end || std::tolower(static_cast<unsigned char>(*text)) != *word)
            return false;
    }
    return true;
}

bool containsNoCase(const char* text, const char* end, const char* word) {
    for (; text < end; ++text) {
        if (startsWithNoCase(text, end, word))
            return true;
    }
    return false;
}

// The next line of buffer[from, length): sets lineEnd to the end of its text (before any CR)
// and returns the index after its LF, or -1 when the LF has not arrived yet.
int nextLine(const char* buffer, int length, int from, int* lineEnd) {
    if (from >= length)
        return -1;
    const void* lf = std::memchr(buffer + from, '\n', static_cast<std::size_t>(length - from));
    if (!lf)
        return -1;
    int end = static_cast<int>(static_cast<const char*>(lf) - buffer);
    const int after = end + 1;
    if (end > from && buffer[end - 1] == '\r')
        --end;
    *lineEnd = end;
    return after;
}

long long parseDecimal(const char* text, const char* end) {
    while (text < end && (*text == ' ' || *text == '\t'))
        ++text;
    long long value = 0;
    const char* digits = text;
    for (; text < end && *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > MaxSensibleLength)
            return -1;
    }
    while (text < end && (*text == ' ' || *text == '\t'))
        ++text;
    return (text == digits || text != end) ? -1 : value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Chunk size at the start of a size line (extensions after it ignored); -1 when there is none.
long long parseChunkSize(const char* text, const char* end) {
    long long size = 0;
    const char* digits = text;
    for (; text < end && hexDigit(*text) >= 0; ++text) {
        size = size * 16 + hexDigit(*text);
        if (size > MaxSensibleLength)
            return -1;
    }
    return text == digits ? -1 : size;
}

// Follows a response as it arrives, each byte looked at about once, so that a server
// dribbling small pieces does not make every receive rescan the whole buffer.
class ResponseTracker {
public:
    // True once buffer[0, length) holds the whole response; length only grows between calls.
    bool feed(const char* buffer, int length) {
        for (;;) {
            switch (phase) {
            case Phase::StatusLine:
            case Phase::Headers:
                if (!takeHeaderLine(buffer, length))
                    return false;
                break;
            case Phase::UntilClose:
                return false;
            case Phase::Body:
                return length - at >= contentLength;
            case Phase::ChunkSize:
                if (!takeChunkSize(buffer, length))
                    return false;
                break;
            case Phase::ChunkData:
                if (!takeChunkData(buffer, length))
                    return false;
                break;
            case Phase::Trailers:
                if (!takeTrailer(buffer, length))
                    return false;
                break;
            case Phase::Done:
                return true;
            }
        }
    }

private:
    enum class Phase { StatusLine, Headers, UntilClose, Body, ChunkSize, ChunkData, Trailers, Done };

    bool takeHeaderLine(const char* buffer, int length) {
        int lineEnd = 0;
        const int lineStart = at;
        const int next = nextLine(buffer, length, lineStart, &lineEnd);
        if (next < 0)
            return false;
        at = next;
        if (phase == Phase::StatusLine) {
            phase = Phase::Headers;
            return true;
        }
        const char* line = buffer + lineStart;
        const char* end = buffer + lineEnd;
        if (lineEnd == lineStart) // the empty line: the body follows
            phase = chunked ? Phase::ChunkSize : contentLength >= 0 ? Phase::Body : Phase::UntilClose;
        else if (startsWithNoCase(line, end, "content-length:"))
            contentLength = parseDecimal(line + 15, end);
        else if (startsWithNoCase(line, end, "transfer-encoding:"))
            chunked = containsNoCase(line + 18, end, "chunked");
        return true;
    }

    bool takeChunkSize(const char* buffer, int length) {
        int lineEnd = 0;
        const int next = nextLine(buffer, length, at, &lineEnd);
        if (next < 0)
            return false;
        chunkSize = parseChunkSize(buffer + at, buffer + lineEnd);
        at = next;
        // A size line that is not one leaves the reply to the close or the idle wait.
        phase = chunkSize < 0 ? Phase::UntilClose : chunkSize == 0 ? Phase::Trailers : Phase::ChunkData;
        return true;
    }

    // The data and the line ending right after it; anything else there is not chunked framing.
    bool takeChunkData(const char* buffer, int length) {
        const long long dataEnd = at + chunkSize;
        if (dataEnd >= length)
            return false;
        int next = -1;
        if (buffer[dataEnd] == '\n')
            next = static_cast<int>(dataEnd) + 1;
        else if (buffer[dataEnd] == '\r' && dataEnd + 1 >= length)
            return false;
        else if (buffer[dataEnd] == '\r' && buffer[dataEnd + 1] == '\n')
            next = static_cast<int>(dataEnd) + 2;
        at = next < 0 ? at : next;
        phase = next < 0 ? Phase::UntilClose : Phase::ChunkSize;
        return true;
    }

    bool takeTrailer(const char* buffer, int length) {
        int lineEnd = 0;
        const int lineStart = at;
        const int next = nextLine(buffer, length, lineStart, &lineEnd);
        if (next < 0)
            return false;
        at = next;
        if (lineEnd == lineStart)
            phase = Phase::Done;
        return true;
    }

    Phase phase = Phase::StatusLine;
    int at = 0; // start of what has not been taken yet
    long long contentLength = -1;
    long long chunkSize = 0;
    bool chunked = false;
};

} // namespace

bool resolveQuoteServer(const std::string& host, int port, sockaddr_in* address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    std::memset(address, 0, sizeof *address);
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<uint16_t>(port));
    address->sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

int connectQuoteServer(const sockaddr_in& address, const FetchTimeouts& timeouts) {
    const int socket = connectOnce(address, timeouts.connectMs);
    if (socket >= 0)
        return socket;
    std::this_thread::sleep_for(std::chrono::milliseconds(ConnectRetryDelayMs));
    return connectOnce(address, timeouts.connectMs);
}

void sendRequest(int socket, const std::string& text) {
    // MSG_NOSIGNAL: a peer that has gone away gives EPIPE here, not a SIGPIPE that ends the program.
    [[maybe_unused]] const ssize_t sent = ::send(socket, text.data(), text.size(), MSG_NOSIGNAL);
}

int receiveReply(int socket, char* buffer, int capacity, const FetchTimeouts& timeouts) {
    int received = 0;
    ResponseTracker tracker;
    while (received < capacity) {
        // A keep-alive server never closes: stop at the end of the response, or when it goes quiet.
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeouts.idleMs);
        if (pollUntil(socket, POLLIN, deadline) <= 0)
            break;
        const ssize_t got = ::recv(socket, buffer + received, static_cast<std::size_t>(capacity - received), 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (got <= 0)
            break;
        received += static_cast<int>(got);
        if (tracker.feed(buffer, received))
            break;
    }
    return received;
}

void closeSocket(int socket) {
    if (socket >= 0)
        ::close(socket);
}

bool responseComplete(const char* buffer, int length) {
    return ResponseTracker().feed(buffer, length);
}
