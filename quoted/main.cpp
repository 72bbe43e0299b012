// tickwell-quoted: the quote server bundled with Tickwell, serving simulated quote pages
// on 127.0.0.1 so that the program runs and is tested without the internet.
#include "http/quote_server.h"
#include "http/request_log.h"
#include "options.h"
#include "pages/routes.h"
#include "sources/failover_sources.h"
#include "sources/feed_messages.h"
#include "sources/history_import.h"
#include "sources/history_store.h"
#include "sources/quote_feed.h"
#include "sources/sources_file.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Many idle clients must not run the server out of descriptors: take all the system allows.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 16 : limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

// Where the signal handler tells the event loop of a signal: a handler can reach nothing else.
int signalPipe[2] = {-1, -1};

void passOnSignal(int signal) {
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &number, 1);
}

// SIGTERM, SIGINT and SIGHUP end the event loop, so that the server goes down in order: the
// commands of a sources file are killed with it instead of being left to run. Returns the signal
// caught, 0 when none.
int runUntilSignalled(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return app.exec(), 0;
    int caught = 0;
    QSocketNotifier notifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char number = 0;
        if (::read(signalPipe[1], &number, 1) == 1 && caught == 0) {
            caught = number;
            app.quit();
        }
    });
    struct sigaction action {};
    action.sa_handler = passOnSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    app.exec();
    return caught;
}

// The quotes come from the sources file's sources when there are any, else from the --quotes
// file, else from the simulated market.
std::unique_ptr<QuoteSource> makeSource(const ServerOptions& options, const QList<SourceSettings>& sources) {
    if (!sources.isEmpty())
        return std::make_unique<FailoverSources>(sources);
    if (!options.quotesFile.isEmpty())
        return std::make_unique<QuoteFeed>(options.quotesFile);
    return std::make_unique<MarketSource>(options.seed);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tickwell-quoted");
    QCoreApplication::setApplicationVersion(TICKWELL_VERSION);
    std::signal(SIGPIPE, SIG_IGN); // a client that hangs up must never end the server

    const ParsedOptions parsed = parseOptions(QCoreApplication::arguments());
    if (parsed.outcome == OptionsOutcome::ShowHelp || parsed.outcome == OptionsOutcome::ShowVersion) {
        std::fputs(qPrintable(parsed.message), stdout);
        return 0;
    }
    if (parsed.outcome == OptionsOutcome::Error) {
        std::fprintf(stderr, "tickwell-quoted: %s\nTry --help.\n", qPrintable(parsed.message));
        return 2;
    }

    const ServerOptions& options = parsed.options;
    const QString historyFile = options.historyFile.isEmpty() ? HistoryStore::defaultPath() : options.historyFile;
    if (!options.importHistory.isEmpty())
        return importHistoryFile(historyFile, options.importHistory, options.importSymbol.toUtf8());

    if (!parsed.options.quotesFile.isEmpty()) {
        // A FIFO or a device never ends: no reading of one is safe, so refuse it at once.
        QString why;
        if (!QuoteFeed::canServe(parsed.options.quotesFile, &why)) {
            std::fprintf(stderr, "tickwell-quoted: %s: %s\n", qPrintable(parsed.options.quotesFile), qPrintable(why));
            return 2;
        }
    }
    QList<SourceSettings> sources;
    if (!parsed.options.sourcesFile.isEmpty()) {
        QString why;
        if (!readSourcesFile(parsed.options.sourcesFile, &sources, &why)) {
            std::fprintf(stderr, "tickwell-quoted: %s\n", qPrintable(why));
            return 2;
        }
    }
    raiseOpenFileLimit();
    // The simulated market's chart is computed: only a feed's or the sources' prices are kept.
    std::shared_ptr<HistoryStore> history;
    if (!options.noHistory && (!options.quotesFile.isEmpty() || !options.sourcesFile.isEmpty())) {
        HistoryStore::Opened opened = HistoryStore::open(historyFile);
        if (!opened.store)
            sayOnStandardError(opened.problem);
        history = std::move(opened.store);
    }
    int caught = 0;
    {
        const std::unique_ptr<QuoteSource> source = makeSource(options, sources);
        if (history)
            source->keepHistory(history);
        const RequestLog log(options.recordFile);
        Routes routes(*source, {options.chunked, options.shortReplies});
        QuoteServer server(routes, log, {options.port, options.refuse, {options.holdOpen, options.slowMs}});
        QString why;
        if (!server.listen(&why)) {
            std::fprintf(stderr, "tickwell-quoted: cannot listen on 127.0.0.1:%u: %s\n", options.port, qPrintable(why));
            return 1;
        }
        std::printf("tickwell-quoted listening on 127.0.0.1:%u\n", server.port());
        std::fflush(stdout);

        if (parsed.options.exitAfterSeconds > 0)
            QTimer::singleShot(parsed.options.exitAfterSeconds * 1000, &app, &QCoreApplication::quit);
        caught = runUntilSignalled(app);
    }
    history.reset();   // what was offered is written before a signal ends the process
    if (caught != 0) { // ended as the signal would have ended it, now that all is let go
        std::signal(caught, SIG_DFL);
        std::raise(caught);
    }
    return 0;
}
