// tickwell-quoted: the quote server bundled with Tickwell, serving simulated quote pages
// on 127.0.0.1 so that the program runs and is tested without the internet.
#include "options.h"
#include "quote_server.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>

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

    QuoteServer server(parsed.options);
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
