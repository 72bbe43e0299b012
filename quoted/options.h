#pragma once
// Command-line options of tickwell-quoted.
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct ServerOptions {
    quint16 port = 8080;
    quint64 seed = 20240501;
    bool chunked = false;
    int shortReplies = 0; // the first N replies are short error pages; -1: all of them
    bool holdOpen = false;
    bool refuse = false;
    int slowMs = 0;           // pause between the pieces of a reply; 0 sends it at once
    QString recordFile;       // empty: requests are not recorded
    int exitAfterSeconds = 0; // 0: run until stopped
    QString quotesFile;       // empty: the simulated market serves the quotes
    QString sourcesFile;      // empty: the quotes file or the market serves them
    QString historyFile;      // empty: the default place (a feed's or the sources' prices only)
    bool noHistory = false;
    QString importHistory; // a daily CSV to import into the history, then exit
    QString importSymbol;  // the symbol of an import without a Symbol column
};

enum class OptionsOutcome { Run, ShowHelp, ShowVersion, Error };

struct ParsedOptions {
    OptionsOutcome outcome = OptionsOutcome::Error;
    ServerOptions options;
    QString message; // usage text for ShowHelp, name and version for ShowVersion, the complaint for Error
};

// The application's name and version (QCoreApplication) make the --version line.
ParsedOptions parseOptions(const QStringList& arguments);
