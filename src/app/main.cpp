#include <cstdio>
#include <cstdlib>

#include "app/application.h"

int main(int argc, char** argv) {
    const int code = RunTickwell(argc, argv);
    // Loads may still be running: keep what they wrote, then end without waiting for them.
    std::fflush(nullptr);
    std::_Exit(code);
}
