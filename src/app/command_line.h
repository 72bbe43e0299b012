#pragma once
// Tickwell's command line, read before any window exists so that --help, --version and a
// mistyped option print and end without a display.
#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Exit };
    Action action = Action::Run;
    int exitCode = 0;
    QString output;    // what to print before ending: help or version (stdout), or the complaint (stderr)
    QString server;    // --server HOST[:PORT]; empty: TICKWELL_QUOTE_SERVER or the default
    QString portfolio; // the portfolio both quote tabs start with; empty: input.txt in the start folder
};

// arguments as main() got them, the program's name first.
CommandLine ReadCommandLine(const QStringList& arguments);

// Prints an Exit line's output (an error on stderr, help or version on stdout) and returns its
// exit code.
int PrintCommandLineAnswer(const CommandLine& line);
