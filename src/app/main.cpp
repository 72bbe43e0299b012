#include <cstdio>
#include <cstdlib>
#include <malloc.h>

#include "app/application.h"

int main(int argc, char** argv) {
    // Every load runs on a worker thread of its own. glibc hands threads that overlap a new malloc
    // arena each, up to eight per core, and every arena keeps the high-water mark of what it once
    // held: over a day of refreshes that alone grew the window by megabytes. The window thread and
    // the loads' workers share two; a MALLOC_ARENA_MAX the user set still wins.
    if (!std::getenv("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
    const int code = runTickwell(argc, argv);
    // Loads may still be running: keep what they wrote, then end without waiting for them.
    std::fflush(nullptr);
    std::_Exit(code);
}
