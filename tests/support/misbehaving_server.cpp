#include "support/misbehaving_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <limits>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int StepMs = 50;          // no wait of the server thread is longer than this
constexpr int RequestWaitMs = 2000; // for the request's blank line

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int waitFor(int socket, short events, int ms) {
    pollfd entry{socket, events, 0};
    return ::poll(&entry, 1, ms);
}

} // namespace

MisbehavingServer::MisbehavingServer(Mode mode, QList<QByteArray> replies, int lifetimeMs)
    : mode_(mode), replies_(std::move(replies)), end_(Clock::now() + std::chrono::milliseconds(lifetimeMs)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0)
        return;
    const sockaddr_in any = loopback(0);
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0)
        return;
    const int backlog = mode == Mode::FullQueue ? 0 : 8;
    if (mode != Mode::Refused && ::listen(listener_, backlog) != 0)
        return;
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) != 0)
        return;
    port_ = ntohs(bound.sin_port);
    if (mode != Mode::FullQueue && mode != Mode::Refused)
        thread_ = std::thread([this] { serve(); });
}

MisbehavingServer::~MisbehavingServer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    for (int filler : fillers_)
        ::close(filler);
    if (listener_ >= 0)
        ::close(listener_);
}

bool MisbehavingServer::stopping() const {
    return stop_ || Clock::now() >= end_;
}

bool MisbehavingServer::fillAcceptQueue(int maxConnections, int waitMs) {
    const sockaddr_in address = loopback(port_);
    for (int i = 0; i < maxConnections; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (filler < 0)
            return false;
        fillers_.push_back(filler);
        if (::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            continue;
        if (errno != EINPROGRESS)
            return false;
        if (waitFor(filler, POLLOUT, waitMs) == 0)
            return true;
    }
    return false;
}

void MisbehavingServer::serve() {
    while (!stopping()) {
        if (waitFor(listener_, POLLIN, StepMs) <= 0)
            continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++connections_;
        const timeval sendStep{0, StepMs * 1000};
        ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &sendStep, sizeof sendStep);
        answer(client);
        ::close(client);
    }
    stop_ = true;
}

bool MisbehavingServer::clientClosedWithin(int client, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    char sink[4096];
    while (!stopping() && Clock::now() < end) {
        if (waitFor(client, POLLIN, StepMs) <= 0)
            continue;
        const ssize_t got = ::recv(client, sink, sizeof sink, 0);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
            return true;
    }
    return false;
}

void MisbehavingServer::answer(int client) {
    // The request: up to its blank line, so that closing does not reset the connection.
    QByteArray request;
    const auto requestEnd = Clock::now() + std::chrono::milliseconds(RequestWaitMs);
    while (!stopping() && Clock::now() < requestEnd && !request.contains("\r\n\r\n")) {
        if (waitFor(client, POLLIN, StepMs) <= 0)
            continue;
        char piece[1024];
        const ssize_t got = ::recv(client, piece, sizeof piece, 0);
        if (got <= 0)
            return;
        request.append(piece, got);
    }
    {
        const std::lock_guard lock(mutex_);
        requests_.append(request);
    }
    const QByteArray reply = replies_.value(std::min(connections_.load(), int(replies_.size())) - 1);
    const int hold = std::numeric_limits<int>::max(); // until the client closes or the server stops
    if (mode_ == Mode::Silent) {
        clientClosedWithin(client, hold);
        return;
    }
    if (mode_ == Mode::Trickle) {
        for (const char byte : reply) {
            if (::send(client, &byte, 1, MSG_NOSIGNAL) != 1 || clientClosedWithin(client, TrickleMs))
                return;
        }
        clientClosedWithin(client, hold);
        return;
    }
    const qsizetype body = reply.indexOf("\r\n\r\n");
    const QByteArray flood =
        reply.mid(body >= 0 ? body + 4 : reply.lastIndexOf('\n', reply.size() - 2) + 1).repeated(2000);
    for (QByteArray bytes = reply; !stopping(); bytes = flood) {
        qsizetype sent = 0;
        while (!stopping() && sent < bytes.size()) {
            const ssize_t put =
                ::send(client, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (put > 0)
                sent += put;
            else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return; // the client has gone
        }
        if (mode_ != Mode::Flood)
            break;
    }
    if (mode_ == Mode::ReplyHold)
        clientClosedWithin(client, hold);
}
