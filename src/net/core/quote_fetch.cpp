#include "net/core/quote_fetch.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "net/core/http_reply.h"
#include "platform/core/system_error.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
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

// The system's text for an error, as the tail of a sentence: "connection refused".
std::string errorText(int error) {
    std::string text = systemErrorText(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string timeoutText(const FetchTimeouts& timeouts, bool started) {
    const std::string seconds = std::to_string((timeouts.requestMs + 999) / 1000);
    return (started ? "reply not complete within " : "no answer within ") + seconds + " s";
}

struct Connection {
    int socket = -1;
    int error = 0; // the last attempt's error; ETIMEDOUT when no address answered in time
};

// One connect, bounded by the deadline: a host that never answers must not hold the load.
Connection connectOnce(const SocketAddress& server, Clock::time_point deadline) {
    Connection result;
    const int socket = ::socket(server.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) {
        result.error = errno;
        return result;
    }
    int error = 0;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&server.address), server.length) < 0) {
        error = errno;
        if (error == EINPROGRESS || error == EINTR) {
            error = ETIMEDOUT;
            if (pollUntil(socket, POLLOUT, deadline) > 0) {
                socklen_t size = sizeof error;
                if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            }
        }
    }
    if (error != 0 || !setNonBlocking(socket, false)) {
        ::close(socket);
        result.error = error != 0 ? error : errno;
        return result;
    }
    result.socket = socket;
    return result;
}

// Each address in turn, sharing the attempt's time among those not yet tried.
Connection connectAny(const std::vector<SocketAddress>& addresses, Clock::time_point deadline) {
    Connection result{-1, EADDRNOTAVAIL};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const auto share = milliseconds(remainingMs(deadline) / static_cast<int>(addresses.size() - i));
        result = connectOnce(addresses[i], Clock::now() + share);
        if (result.socket >= 0)
            return result;
    }
    return result;
}

// The first attempt, and after the pause one more, all within the request's deadline.
Connection connectWithRetry(const std::vector<SocketAddress>& addresses, const FetchTimeouts& timeouts,
                            Clock::time_point requestDeadline) {
    auto attemptDeadline = [&] { return std::min(Clock::now() + milliseconds(timeouts.connectMs), requestDeadline); };
    Connection connection = connectAny(addresses, attemptDeadline());
    if (connection.socket >= 0)
        return connection;
    std::this_thread::sleep_for(milliseconds(std::min(timeouts.retryPauseMs, remainingMs(requestDeadline))));
    if (remainingMs(requestDeadline) == 0)
        return connection;
    return connectAny(addresses, attemptDeadline());
}

// Receives until the reply is whole, fails, or the deadline passes. The reader puts the page
// into the buffer decoded, as the bytes arrive; bytes beyond the buffer are still read (and
// dropped), so that a long page is known to be complete.
FetchReply receive(int socket, char* buffer, int capacity, const FetchTimeouts& timeouts, Clock::time_point deadline) {
    FetchReply reply;
    HttpReplyReader reader(buffer, static_cast<std::size_t>(capacity));
    char piece[16384];
    while (reader.state() == HttpReplyReader::State::Reading) {
        // The clock is asked before every read: poll() reports waiting bytes even with no time
        // left, so a server that always has more ready would otherwise never be cut off.
        if (Clock::now() >= deadline || pollUntil(socket, POLLIN, deadline) <= 0) {
            reply.reason = timeoutText(timeouts, reader.statusSeen());
            return reply;
        }
        const ssize_t got = ::recv(socket, piece, sizeof piece, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (got < 0) {
            reply.reason = errorText(errno);
            return reply;
        }
        if (got == 0) {
            reader.close();
            break;
        }
        reader.feed(piece, static_cast<std::size_t>(got));
    }
    reply.length = static_cast<int>(reader.pageLength());
    reply.ok = reader.state() == HttpReplyReader::State::Complete;
    if (!reply.ok)
        reply.reason = reader.failure();
    return reply;
}

} // namespace

std::vector<SocketAddress> resolveQuoteServer(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::vector<SocketAddress> addresses;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SocketAddress address;
        std::memcpy(&address.address, entry->ai_addr, entry->ai_addrlen);
        address.length = entry->ai_addrlen;
        addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

FetchReply fetchReply(const std::vector<SocketAddress>& addresses, const std::string& request, char* buffer,
                      int capacity, const FetchTimeouts& timeouts, const std::function<void()>& afterSend) {
    const auto deadline = Clock::now() + milliseconds(timeouts.requestMs);
    const Connection connection = connectWithRetry(addresses, timeouts, deadline);
    if (connection.socket < 0) {
        FetchReply failed;
        failed.reason = connection.error == ETIMEDOUT ? timeoutText(timeouts, false) : errorText(connection.error);
        return failed;
    }
    // MSG_NOSIGNAL: a peer that has gone away gives EPIPE here, not a SIGPIPE that ends the program.
    // A send that fails shows in the receive that follows.
    [[maybe_unused]] const ssize_t sent = ::send(connection.socket, request.data(), request.size(), MSG_NOSIGNAL);
    if (afterSend)
        afterSend();
    FetchReply reply = receive(connection.socket, buffer, capacity, timeouts, deadline);
    ::close(connection.socket);
    return reply;
}
