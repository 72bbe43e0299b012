#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

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
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(server);
    parser.addPositionalArgument("portfolio",
                                 "The portfolio both quote tabs start with (after --, a name may begin with -). "
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
    return line;
}

int PrintCommandLineAnswer(const CommandLine& line) {
    std::fputs(line.output.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
    return line.exitCode;
}
