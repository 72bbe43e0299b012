#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/application.h"
#include "app/command_line.h"

namespace {
// --help and --version need no display: they are answered before the window system is asked.
bool asksOnlyForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        return PrintCommandLineAnswer(ReadCommandLine(app.arguments()));
    }
    const int code = RunTickwell(argc, argv);
    // Loads may still be running: keep what they wrote, then end without waiting for them.
    std::fflush(nullptr);
    std::_Exit(code);
}
