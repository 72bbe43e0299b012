#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const Description =
    "A desktop stock-quote retriever: keeps portfolios of ticker symbols and shows their delayed\n"
    "and real-time quotes from a quote server (tickwell-quoted, the bundled simulated market).";
} // namespace

CommandLine ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
    const QCommandLineOption server(
        "server",
        QString("Ask the quote server at HOST[:PORT] (or [IPv6]:PORT); wins over %1. Default: localhost:8080.")
            .arg(QuoteServerVariable),
        "HOST[:PORT]");
    const QCommandLineOption print("print", "Print the quotes of the portfolio on standard output instead of "
                                            "opening the window; the final status goes to standard error.");
    const QCommandLineOption realTime("realtime", "With --print: the real-time quotes (60 symbols at most).");
    const QCommandLineOption format(
        "format", "With --print: table, csv or json. Default: table on a terminal, csv otherwise.", "FORMAT");
    const QCommandLineOption watch("watch", "With --print: load again every SECONDS (5 or more) until stopped.",
                                   "SECONDS");
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(server);
    const QCommandLineOption history("history",
                                     "Print the prices the quote server keeps of SYM (CSV, or JSON with --format json) "
                                     "instead of opening the window.",
                                     "SYM");
    const QCommandLineOption kind("kind",
                                  "With --history: daily or intraday. Default: daily for a range longer "
                                  "than 30 days.",
                                  "KIND");
    const QCommandLineOption from("from", "With --history: the first day, YYYY-MM-DD. Default: a year ago.", "DATE");
    const QCommandLineOption to("to", "With --history: the last day, YYYY-MM-DD. Default: today.", "DATE");
    parser.addOptions({print, realTime, format, watch, history, kind, from, to});
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
    if (parser.isSet(help))
        return end(0, parser.helpText());
    if (parser.isSet(version))
        return end(0, QString("tickwell %1\n").arg(TICKWELL_VERSION));
    if (parser.positionalArguments().size() > 1)
        return end(2, "tickwell: one portfolio at most, got " + QString::number(parser.positionalArguments().size()) +
                          usage);
    if (parser.isSet(server)) {
        const QString text = parser.value(server);
        const std::optional<ServerAddress> address = ServerAddress::parse(text.toStdString());
        if (!address)
            return end(2, "tickwell: --server " + text + " is not a server address (host, host:port or " +
                              "[v6]:port)" + usage);
        line.server = *address;
    } else {
        std::string complaint;
        line.server = serverFromVariable(std::getenv(QuoteServerVariable), complaint);
        line.serverComplaint = QString::fromLocal8Bit(complaint.c_str());
    }
    line.portfolio = parser.positionalArguments().value(0);
    line.print = parser.isSet(print);
    line.realTime = parser.isSet(realTime);
    line.format = parser.value(format);
    if (!line.print && (line.realTime || (parser.isSet(format) && !parser.isSet(history)) || parser.isSet(watch)))
        return end(2, "tickwell: --realtime, --format and --watch go with --print" + usage);
    if (parser.isSet(format) && !QStringList{"table", "csv", "json"}.contains(line.format))
        return end(2, "tickwell: --format " + line.format + " is not table, csv or json" + usage);
    line.historySymbol = parser.value(history);
    line.historyKind = parser.value(kind);
    line.historyFrom = parser.value(from);
    line.historyTo = parser.value(to);
    if (parser.isSet(history)) {
        if (line.historySymbol.trimmed().isEmpty())
            return end(2, "tickwell: --history needs a symbol" + usage);
        if (line.print || !line.portfolio.isEmpty())
            return end(2, "tickwell: --history goes with neither --print nor a portfolio" + usage);
        if (parser.isSet(format) && line.format == "table")
            return end(2, "tickwell: --history prints csv or json" + usage);
        if (parser.isSet(kind) && line.historyKind != "daily" && line.historyKind != "intraday")
            return end(2, "tickwell: --kind " + line.historyKind + " is not daily or intraday" + usage);
    } else if (parser.isSet(kind) || parser.isSet(from) || parser.isSet(to)) {
        return end(2, "tickwell: --kind, --from and --to go with --history" + usage);
    }
    if (parser.isSet(watch)) {
        bool number = false;
        line.watchSeconds = parser.value(watch).toInt(&number);
        if (!number || line.watchSeconds < 5 || line.watchSeconds > 86400)
            return end(2, "tickwell: --watch " + parser.value(watch) + " is not a number of seconds from 5 to 86400" +
                              usage);
    }
    return line;
}

bool AsksToPrint(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--print") == 0 || std::strcmp(argv[i], "--history") == 0)
            return true;
        for (const char* option : {"--server", "--format", "--watch", "--kind", "--from", "--to"})
            if (std::strcmp(argv[i], option) == 0)
                ++i;
    }
    return false;
}

int PrintCommandLineAnswer(const CommandLine& line) {
    std::fputs(line.output.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}
