#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

namespace {
const char* const Description =
    "A desktop stock-quote retriever: keeps portfolios of ticker symbols and shows their delayed\n"
    "and real-time quotes from a quote server (tickwell-quoted, the bundled simulated market).";

// The one table of options, which the window and --print both read. Qt's own window options
// are rows too, left out of the help: they are passed on to the window system, and a word
// that is neither kind is a mistake told before any display is asked for.
struct OptionRow {
    QStringList names;
    QString description; // empty: one of Qt's
    QString valueName;   // empty: a switch
};

QList<OptionRow> optionTable() {
    return {
        {{"h", "help"}, "Show this help and exit.", {}},
        {{"v", "version"}, "Show the version and exit.", {}},
        {{"server"},
         QString("Ask the quote server at HOST[:PORT] (or [IPv6]:PORT); wins over %1. Default: localhost:8080.")
             .arg(QuoteServerVariable),
         "HOST[:PORT]"},
        {{"print"},
         "Print the quotes of the portfolio on standard output instead of opening the window; the final status "
         "goes to standard error.",
         {}},
        {{"realtime"}, "With --print: the real-time quotes (60 symbols at most).", {}},
        {{"format"}, "With --print: table, csv or json. Default: table on a terminal, csv otherwise.", "FORMAT"},
        {{"watch"}, "With --print: load again every SECONDS (5 or more) until stopped.", "SECONDS"},
        {{"history"},
         "Print the prices the quote server keeps of SYM (CSV, or JSON with --format json) instead of opening the "
         "window.",
         "SYM"},
        {{"kind"}, "With --history: daily or intraday. Default: daily for a range longer than 30 days.", "KIND"},
        {{"from"}, "With --history: the first day, YYYY-MM-DD. Default: a year ago.", "DATE"},
        {{"to"}, "With --history: the last day, YYYY-MM-DD. Default: today.", "DATE"},
        {{"platform"}, {}, "NAME"},
        {{"platformtheme"}, {}, "NAME"},
        {{"style"}, {}, "STYLE"},
        {{"stylesheet"}, {}, "FILE"},
        {{"reverse"}, {}, {}},
        {{"geometry", "qwindowgeometry"}, {}, "GEOMETRY"},
        {{"title", "qwindowtitle"}, {}, "TITLE"},
        {{"display"}, {}, "DISPLAY"},
        {{"session"}, {}, "ID"},
    };
}

void addOptions(QCommandLineParser& parser) {
    for (const OptionRow& row : optionTable()) {
        QCommandLineOption option(row.names, row.description, row.valueName);
        if (row.description.isEmpty())
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// --print and the options that go with it; what is wrong with them, or nothing.
QString readPrintOptions(const QCommandLineParser& parser, CommandLine& line) {
    line.print = parser.isSet("print");
    line.realTime = parser.isSet("realtime");
    line.format = parser.value("format");
    if (!line.print && (line.realTime || (parser.isSet("format") && !parser.isSet("history")) || parser.isSet("watch")))
        return "--realtime, --format and --watch go with --print";
    if (parser.isSet("format") && !QStringList{"table", "csv", "json"}.contains(line.format))
        return "--format " + line.format + " is not table, csv or json";
    if (parser.isSet("watch")) {
        bool number = false;
        line.watchSeconds = parser.value("watch").toInt(&number);
        if (!number || line.watchSeconds < 5 || line.watchSeconds > 86400)
            return "--watch " + parser.value("watch") + " is not a number of seconds from 5 to 86400";
    }
    return {};
}

// --history and the options that go with it; what is wrong with them, or nothing.
QString readHistoryOptions(const QCommandLineParser& parser, CommandLine& line) {
    line.historySymbol = parser.value("history");
    line.historyKind = parser.value("kind");
    line.historyFrom = parser.value("from");
    line.historyTo = parser.value("to");
    if (!parser.isSet("history")) {
        if (parser.isSet("kind") || parser.isSet("from") || parser.isSet("to"))
            return "--kind, --from and --to go with --history";
        return {};
    }
    if (line.historySymbol.trimmed().isEmpty())
        return "--history needs a symbol";
    if (line.print || !line.portfolio.isEmpty())
        return "--history goes with neither --print nor a portfolio";
    if (parser.isSet("format") && line.format == "table")
        return "--history prints csv or json";
    if (parser.isSet("kind") && line.historyKind != "daily" && line.historyKind != "intraday")
        return "--kind " + line.historyKind + " is not daily or intraday";
    return {};
}
} // namespace

QStringList commandLineArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    // Qt's options are single-dash words (-platform); -h and -v stay single letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser);
    parser.addPositionalArgument(
        "portfolio",
        "The portfolio both quote tabs start with, or that --print loads (after --, a name may begin with -). "
        "Default: the one remembered from the last run, or input.txt in the current folder.",
        "[PORTFOLIO]");

    CommandLine line;
    auto end = [&line](int code, const QString& output) {
        line.action = CommandLine::Action::Exit;
        line.exitCode = code;
        line.output = output;
        return line;
    };
    const QString usage = "\nTry 'tickwell --help' for more.\n";
    if (!parser.parse(arguments))
        return end(2, "tickwell: " + parser.errorText() + usage);
    // With no application object yet, Qt leaves the program's name out of the usage line.
    if (parser.isSet("help"))
        return end(0, parser.helpText().replace("<executable_name>", arguments.value(0)));
    if (parser.isSet("version"))
        return end(0, QString("tickwell %1\n").arg(TICKWELL_VERSION));
    if (parser.positionalArguments().size() > 1)
        return end(2, "tickwell: one portfolio at most, got " + QString::number(parser.positionalArguments().size()) +
                          usage);
    if (parser.isSet("server")) {
        const QString text = parser.value("server");
        const std::optional<ServerAddress> address = ServerAddress::parse(text.toStdString());
        if (!address)
            return end(2, "tickwell: --server " + text + " is not a server address (host, host:port or " +
                              "[v6]:port)" + usage);
        line.server = *address;
    } else {
        std::string complaint;
        line.server = serverFromVariable(std::getenv(QuoteServerVariable), &complaint);
        line.serverComplaint = QString::fromLocal8Bit(complaint.c_str());
    }
    line.portfolio = parser.positionalArguments().value(0);
    line.platform = parser.value("platform");
    if (const QString complaint = readPrintOptions(parser, line); !complaint.isEmpty())
        return end(2, "tickwell: " + complaint + usage);
    if (const QString complaint = readHistoryOptions(parser, line); !complaint.isEmpty())
        return end(2, "tickwell: " + complaint + usage);
    return line;
}

int printCommandLineAnswer(const CommandLine& line) {
    std::fputs(line.output.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}
