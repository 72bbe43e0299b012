// Times one delayed load of the portfolio in the current folder through the main window:
// "Get Quotes" clicked, until the load has ended. Usage: bench_load PORT
// (TICKWELL_QUOTE_SERVER is not read here: the port is the bundled server's on 127.0.0.1).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/main_window.h"
#include "parsing/quote_table.h"
#include "platform/core/quote_server.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"
#include "quotes/quotes_tab.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_load PORT\n");
        return 2;
    }
    QApplication app(argc, argv);
    installFontSubstitutions();
    MessageBoxSeam::answerInTests();
    QuoteServerHost = "127.0.0.1";
    QuoteServerPort = std::atoi(argv[1]);
    MainWindow* window = CreateTickwellWindows();
    window->show();
    QuotesTab& quotes = window->quotesTab();

    QElapsedTimer clock;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (quotes.loadFlagged())
            return;
        std::printf("rows %d, status \"%s\", %.3f s\n", QuoteTable.rowsLoaded,
                    quotes.findChild<TStatusBar*>("StatusBar1")->SimpleText().toLatin1().constData(),
                    clock.nsecsElapsed() / 1e9);
        app.quit();
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        quotes.getQuotes();
        poll.start(1);
    });
    app.exec();
    std::fflush(nullptr);
    std::_Exit(0);
}
