// tickwell-quoted: the quote server bundled with Tickwell, serving simulated quote pages
// on 127.0.0.1 so that the program runs and is tested without the internet.
#include "options.h"
#include "quote_feed.h"
#include "quote_server.h"
#include "sources_file.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Many idle clients must not run the server out of descriptors: take all the system allows.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(1) << 16 : limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
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

    if (!parsed.options.quotesFile.isEmpty()) {
        // A FIFO or a device never ends: no reading of one is safe, so refuse it at once.
        const QString notRegular = QuoteFeed::notRegularFile(parsed.options.quotesFile);
        if (!notRegular.isEmpty()) {
            std::fprintf(stderr, "tickwell-quoted: %s: %s\n", qPrintable(parsed.options.quotesFile),
                         qPrintable(notRegular));
            return 2;
        }
    }
    SourcesFile sources;
    if (!parsed.options.sourcesFile.isEmpty()) {
        sources = readSourcesFile(parsed.options.sourcesFile);
        if (!sources.error.isEmpty()) {
            std::fprintf(stderr, "tickwell-quoted: %s\n", qPrintable(sources.error));
            return 2;
        }
    }
    raiseOpenFileLimit();
    QuoteServer server(parsed.options, sources.sources);
    QString error;
    if (!server.listen(&error)) {
        std::fprintf(stderr, "tickwell-quoted: cannot listen on 127.0.0.1:%u: %s\n", parsed.options.port,
                     qPrintable(error));
        return 1;
    }
    std::printf("tickwell-quoted listening on 127.0.0.1:%u\n", server.port());
    std::fflush(stdout);

    if (parsed.options.exitAfterSeconds > 0)
        QTimer::singleShot(parsed.options.exitAfterSeconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
