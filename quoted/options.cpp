#include "options.h"

#include "market/symbols.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <limits>

namespace {

bool readNumber(const QCommandLineParser& parser, const QString& name, qint64 low, qint64 high, qint64* value,
                QString* error) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 number = parser.value(name).toLongLong(&ok);
    if (!ok || number < low || number > high) {
        *error = QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(low)
                     .arg(high)
                     .arg(parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Serves quote pages for Tickwell on 127.0.0.1, from a simulated market, a quote "
                                     "file (--quotes) or the sources of a sources file (--sources):\n"
                                     "  GET /q/cq?s=A,B,...&d=v1   delayed quotes\n"
                                     "  GET /q/cq?s=A,B,...&d=e    real-time quotes\n"
                                     "  GET /q/bc?s=SYM&t=1y       details page with a one-year chart\n"
                                     "  GET /status                one line per source: its state, symbols and errors\n"
                                     "  GET /history?s=SYM&kind=daily|intraday&from=DATE&to=DATE   stored prices, CSV\n"
                                     "Replies close the connection unless --hold-open is given.\n\n" +
                                     QString::fromLatin1(symbolRulesText()));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"port", "Listen on port <N> (0 takes a free port). Default 8080.", "N"},
        {"seed", "Seed of the simulated market. Default 20240501.", "N"},
        {"chunked", "Send bodies with chunked transfer coding, chunks of 256 to 511 bytes."},
        {"short", "The first <N> replies are short busy pages (status 200, under 1200 bytes); -1: every reply.", "N"},
        {"hold-open",
         "Keep the connection open after a reply (keep-alive) until the client closes it or 15 s pass without a "
         "request."},
        {"refuse", "Close every connection at once: nothing is read, recorded or answered."},
        {"slow", "Send replies in 512-byte pieces with <MS> milliseconds between them.", "MS"},
        {"record", "Append every request received, byte for byte, to <FILE>, each followed by a line \"----\".",
         "FILE"},
        {"exit-after", "Quit after <SECONDS>.", "SECONDS"},
        {"quotes",
         "Serve the quotes of the CSV file <FILE.csv> instead of the simulated market, reading it again whenever it "
         "changes. Columns: symbol, last (both required), name, change, volume, time, bid, ask, after_hours_change.",
         "FILE.csv"},
        {"sources",
         "Serve the quotes of the sources named in the INI file <FILE>: feed files, commands and URLs, one section "
         "each, the first fresh one holding a symbol serving it (docs/quote-sources.md).",
         "FILE"},
        {"history-file",
         "Keep the prices of the feed or the sources in the SQLite file <FILE>. Default: "
         "$XDG_DATA_HOME/tickwell/history.sqlite (~/.local/share/tickwell/history.sqlite).",
         "FILE"},
        {"no-history", "Keep no price history: a feed's chart holds the prices read since the start."},
        {"import-history",
         "Import the daily history of <DAILY.csv> (columns Date, Close and optionally Open, High, Low, Volume, "
         "Symbol) into the history file, all of it or nothing, and exit.",
         "DAILY.csv"},
        {"symbol", "The symbol of an --import-history file without a Symbol column.", "SYM"},
    });

    ParsedOptions result;
    if (!parser.parse(arguments)) {
        result.message = parser.errorText();
        return result;
    }
    if (parser.isSet("help")) {
        result.outcome = OptionsOutcome::ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet("version")) {
        result.outcome = OptionsOutcome::ShowVersion;
        result.message = QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion() + '\n';
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.message = "unexpected argument \"" + parser.positionalArguments().constFirst() + '"';
        return result;
    }

    ServerOptions& o = result.options;
    qint64 port = o.port, seed = static_cast<qint64>(o.seed), shortReplies = o.shortReplies, slow = o.slowMs,
           exitAfter = o.exitAfterSeconds;
    const qint64 intMax = std::numeric_limits<int>::max();
    if (!readNumber(parser, "port", 0, 65535, &port, &result.message) ||
        !readNumber(parser, "seed", 0, std::numeric_limits<qint64>::max(), &seed, &result.message) ||
        !readNumber(parser, "short", -1, intMax, &shortReplies, &result.message) ||
        !readNumber(parser, "slow", 0, 60000, &slow, &result.message) ||
        !readNumber(parser, "exit-after", 1, intMax / 1000, &exitAfter, &result.message))
        return result;
    for (const char* fileOption : {"record", "quotes", "sources", "history-file", "import-history"}) {
        if (parser.isSet(fileOption) && parser.value(fileOption).isEmpty()) {
            result.message = QStringLiteral("--%1 needs a file name").arg(fileOption);
            return result;
        }
    }

    if (parser.isSet("quotes") && parser.isSet("sources")) {
        result.message = "--quotes and --sources cannot be given together: name the quotes file in the sources "
                         "file as a section with file = PATH";
        return result;
    }

    if (parser.isSet("no-history") && (parser.isSet("history-file") || parser.isSet("import-history"))) {
        result.message = "--no-history goes with neither --history-file nor --import-history";
        return result;
    }
    if (parser.isSet("symbol") && !parser.isSet("import-history")) {
        result.message = "--symbol goes with --import-history";
        return result;
    }

    o.port = static_cast<quint16>(port);
    o.seed = static_cast<quint64>(seed);
    o.shortReplies = static_cast<int>(shortReplies);
    o.slowMs = static_cast<int>(slow);
    o.exitAfterSeconds = static_cast<int>(exitAfter);
    o.chunked = parser.isSet("chunked");
    o.holdOpen = parser.isSet("hold-open");
    o.refuse = parser.isSet("refuse");
    o.recordFile = parser.value("record");
    o.quotesFile = parser.value("quotes");
    o.sourcesFile = parser.value("sources");
    o.historyFile = parser.value("history-file");
    o.noHistory = parser.isSet("no-history");
    o.importHistory = parser.value("import-history");
    o.importSymbol = parser.value("symbol");
    result.outcome = OptionsOutcome::Run;
    return result;
}
