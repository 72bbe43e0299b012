#pragma once
// Tickwell's command line, read from main()'s arguments before any application object exists,
// so that --help, --version, --print, --history and every mistake need no display.
#include <QString>
#include <QStringList>

#include "net/core/server_address.h"

struct CommandLine {
    enum class Action { Run, Exit };
    Action action = Action::Run;
    int exitCode = 0;
    QString output;          // what to print before ending: help or version (stdout), or the complaint (stderr)
    ServerAddress server;    // --server, else TICKWELL_QUOTE_SERVER, else the default
    QString serverComplaint; // a malformed TICKWELL_QUOTE_SERVER, for a box at start; empty if none
    QString portfolio;       // the portfolio both quote tabs start with; empty: input.txt in the start folder
    QString platform;        // Qt's -platform, which the window system takes; empty if not given
    // --print: no window; the rows of one load (or one every watchSeconds) on standard output.
    bool print = false;
    bool realTime = false; // --realtime
    QString format;        // table, csv or json; empty: table on a terminal, csv elsewhere
    int watchSeconds = 0;
    // --history SYM: no window; the symbol's stored prices (--kind, --from, --to) on standard output.
    QString historySymbol;
    QString historyKind, historyFrom, historyTo;
};

// main()'s arguments as text, the program's name first.
QStringList commandLineArguments(int argc, char** argv);

// arguments as main() got them, the program's name first. "--" ends the options, so that a
// portfolio may be named like one. Qt's own window options (-platform, -style, ...) are let
// through for the window system. TICKWELL_QUOTE_SERVER is read here too, so that the one
// place that chooses the server also decides which of the two wins.
CommandLine readCommandLine(const QStringList& arguments);

// Prints an Exit line's output (an error on stderr, help or version on stdout) and returns its
// exit code.
int printCommandLineAnswer(const CommandLine& line);
