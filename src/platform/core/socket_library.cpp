#include "platform/core/socket_library.h"

#include <atomic>
#include <csignal>

namespace {
std::atomic<int> starts{0};
}

bool SocketLibraryStart() {
    // Sends use MSG_NOSIGNAL; ignoring SIGPIPE as well keeps any other write to a
    // closed peer from ending the process.
    std::signal(SIGPIPE, SIG_IGN);
    ++starts;
    return true;
}

void SocketLibraryRelease() {
    int current = starts.load();
    while (current > 0 && !starts.compare_exchange_weak(current, current - 1)) {
    }
}
